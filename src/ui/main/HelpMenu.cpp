#include "HelpMenu.h"

#include "FormatResource.h"
#include "TFormat.h"
#include "TMainForm.h"
#include "TPrompts.h"

#include <QAction>
#include <QCryptographicHash>
#include <QMenu>
#include <QMenuBar>

namespace {

const QString AboutCaption = QStringLiteral("О программе");

// Which description the records are read by: where it came from, its size,
// and the start of its digest, so that two copies of the program can be told
// apart by the layouts they use.
QString FormatInUse(const TMainForm& form)
{
    if (form.LimitedMode())
        return QStringLiteral("не загружено");
    QByteArray text;
    QString origin;
    if (form.FormatText()) {
        text = *form.FormatText();
        origin = QStringLiteral("заданное при запуске");
    } else {
        text = FormatResource::Read();
        origin = QStringLiteral("встроенное");
    }
    const QByteArray digest = QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex().left(12);
    return QStringLiteral("%1, типов записей: %2, SHA-256 %3…")
        .arg(origin)
        .arg(form.Format().RecCount())
        .arg(QString::fromLatin1(digest));
}

}  // namespace

void HelpMenu::Add(TMainForm& form)
{
    QMenu* menu = form.menuBar()->addMenu(QStringLiteral("&Справка"));
    menu->setObjectName(QStringLiteral("mnHelp"));
    auto* about = menu->addAction(QStringLiteral("&О программе"));
    about->setObjectName(QStringLiteral("actAbout"));
    about->setMenuRole(QAction::AboutRole);
    QObject::connect(about, &QAction::triggered, &form,
                     [&form] { Prompts().Info(AboutCaption, AboutText(form)); });
}

QString HelpMenu::AboutText(const TMainForm& form)
{
    return QStringLiteral("%1 %2\nРедактор файлов UVO для бюро кредитных историй.\n\n"
                          "Qt %3 (собрано с Qt %4)\nОписание формата: %5\n\nЛицензия: %6")
        .arg(AppTitle, QStringLiteral(UVO_VERSION), QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR),
             FormatInUse(form), QStringLiteral(UVO_LICENSE));
}
