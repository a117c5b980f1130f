#include "UiTestSupport.h"

#include "AppWindows.h"
#include "SettingsFile.h"
#include "TMainForm.h"

#include <QDir>

TTempCurrentDir::TTempCurrentDir() : FPrevious(QDir::currentPath()) { QDir::setCurrent(FDir.path()); }

TTempCurrentDir::~TTempCurrentDir() { QDir::setCurrent(FPrevious); }

QByteArray TestFormat::Valid()
{
    return "[RECORDS]\r\n"
           "300000;Header Record;1\r\n"
           "300100;Account Record;1\r\n"
           "300200;Dormant Record;0\r\n"
           "300999;Trailer Record;1\r\n"
           "[FIELDS]\r\n"
           "310000;Record Type\r\n"
           "310011;Account Number\r\n"
           "[FORMAT]\r\n"
           "300000;310000;Record Type;1;N;6;\r\n"
           "300100;310000;Record Type;1;N;6;\r\n"
           "300100;310011;Account Number;1;T;20;\r\n"
           "300200;310000;Record Type;1;N;6;\r\n"
           "300999;310000;Record Type;1;N;6;\r\n";
}

TFreshWindow::TFreshWindow(std::optional<QByteArray> formatText)
{
    SettingsFile::Save(SettingsFile::DefaultFileName, TSettings());
    Form = CreateAppWindows(std::move(formatText));
}

TFreshWindow::~TFreshWindow() { Form.reset(); }
