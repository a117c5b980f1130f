#include "TMainForm.h"
#include "TUvoApplication.h"

int main(int argc, char** argv)
{
    TUvoApplication app(argc, argv);
    TMainForm form;
    form.show();
    // The settings dialog and then the import dialog are created here, once,
    // after the main window: nothing in its construction may use them.
    return app.exec();
}
