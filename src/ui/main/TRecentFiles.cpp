#include "TRecentFiles.h"

#include "AppErrorGuard.h"
#include "TMainForm.h"
#include "TPrompts.h"
#include "TUvoDocument.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString Key = QStringLiteral("RecentFiles");

// ~/.config/uvoedit/uvoedit.conf: the user's own settings, beside the
// program's settings file of the current folder. The folder is looked up each
// time, where QSettings would keep the first it found.
QSettings UserSettings()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QSettings(folder + QStringLiteral("/uvoedit/uvoedit.conf"), QSettings::IniFormat);
}

}  // namespace

TRecentFiles::TRecentFiles(TMainForm& form) : QObject(&form), FForm(form), FMenu(new QMenu(QStringLiteral("&Последние файлы"), &form))
{
    FMenu->setObjectName(QStringLiteral("mnRecent"));
    const QList<QAction*> items = form.mnFile->actions();
    const qsizetype open = items.indexOf(form.actOpen);
    form.mnFile->insertMenu(items.value(open + 1), FMenu);
    // Filled each time it opens, so that files noted by another window show too.
    connect(FMenu, &QMenu::aboutToShow, this, &TRecentFiles::FillMenu);
    connect(&form.Document(), &TUvoDocument::FileStateChanged, this, &TRecentFiles::NoteCurrentFile);
    // Nothing opens while Open cannot (the limited mode).
    const auto follow = [this] { FMenu->menuAction()->setEnabled(FForm.actOpen->isEnabled()); };
    connect(form.actOpen, &QAction::changed, this, follow);
    follow();
}

QStringList TRecentFiles::Files() { return UserSettings().value(Key).toStringList().mid(0, MaxCount); }

void TRecentFiles::Store(const QStringList& files)
{
    QSettings settings = UserSettings();
    settings.setValue(Key, files.mid(0, MaxCount));
}

void TRecentFiles::NoteCurrentFile()
{
    const QString& file = FForm.CurrentFile();
    if (file.isEmpty())
        return;
    QStringList files = Files();
    if (!files.isEmpty() && files.first() == file)
        return;  // every edit writes the state; the list is written only when it changes
    files.removeAll(file);
    files.prepend(file);
    Store(files);
}

void TRecentFiles::FillMenu()
{
    FMenu->clear();
    const QStringList files = Files();
    for (int i = 0; i < files.size(); ++i) {
        // The number is the underlined letter; a marker in a folder name is shown as it is.
        QString shown = QDir::toNativeSeparators(files[i]);
        shown.replace(u'&', QStringLiteral("&&"));
        QAction* item = FMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        const QString file = files[i];
        connect(item, &QAction::triggered, this, [this, file] { RunGuarded([&] { Choose(file); }); });
    }
    if (files.isEmpty())
        FMenu->addAction(QStringLiteral("(пусто)"))->setEnabled(false);
}

void TRecentFiles::Choose(const QString& FileName)
{
    if (!QFileInfo(FileName).isFile()) {
        QStringList files = Files();
        files.removeAll(FileName);
        Store(files);
        Prompts().Warning(MissingTitle, MissingText.arg(QDir::toNativeSeparators(FileName)));
        return;
    }
    if (!FForm.actOpen->isEnabled() || !FForm.CanLeaveFile())
        return;
    FForm.LoadUVO(FileName);
}
