#include "TMainForm.h"
#include "TUvoApplication.h"

int main(int argc, char** argv)
{
    TUvoApplication app(argc, argv);
    TMainForm form;
    form.show();
    // The settings dialog is made by the main window at its first use and
    // reused until exit; nothing in the window's construction uses it.
    return app.exec();
}
