#include "AppWindows.h"
#include "TMainForm.h"
#include "TUvoApplication.h"

int main(int argc, char** argv)
{
    TUvoApplication app(argc, argv);
    const std::unique_ptr<TMainForm> form = CreateAppWindows();
    form->show();
    return app.exec();
}
