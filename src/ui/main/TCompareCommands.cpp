#include "TCompareCommands.h"

#include "AppErrorGuard.h"
#include "TCompareDock.h"
#include "TContent.h"
#include "TFileCommands.h"
#include "TLongFileTask.h"
#include "TMainForm.h"
#include "TMainStatusBar.h"
#include "TPrompts.h"
#include "TUvoDocument.h"
#include "UvoFile.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QTreeView>

namespace {

constexpr int StatusMessageMs = 4000;

// One stage of a task, from..to percent of its bar.
UvoFile::TProgress Stage(TLongFileTask& task, int from, int to)
{
    return [&task, from, to](qint64 done, qint64 total) { task.Progress(from * total + (to - from) * done, 100 * total); };
}

}  // namespace

TCompareCommands::TCompareCommands(TMainForm& form) : QObject(&form), FForm(form)
{
    // A menu item only, without an icon, as the problems list.
    actCompare = new QAction(QStringLiteral("Сра&внить с файлом…"), this);
    actCompare->setObjectName(QStringLiteral("actCompare"));
    actCompare->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    form.mnEdit->addSeparator();
    form.mnEdit->addAction(actCompare);
    connect(actCompare, &QAction::triggered, this, [this] { RunGuarded([this] { actCompareExecute(); }); });
}

TCompareDock* TCompareCommands::Dock() const { return FDock.data(); }

void TCompareCommands::SetEnabled(bool enabled) { actCompare->setEnabled(enabled); }

void TCompareCommands::actCompareExecute()
{
    const QString olderFile = Prompts().OpenFileName(TFileCommands::Filter);
    if (!olderFile.isEmpty())
        CompareWith(olderFile);
}

void TCompareCommands::CompareWith(const QString& olderFile)
{
    auto older = std::make_unique<TContent>(FForm.Format());
    UvoFile::ReadResult read;
    {
        TLongFileTask task(&FForm, QStringLiteral("Сравнение с файлом…"));
        // Reading takes about as long as comparing: half of the bar each.
        read = UvoFile::Read(olderFile, *older, Stage(task, 0, 50));
        if (read.Ok)
            (FDock ? *FDock : NewDock()).Start(olderFile, std::move(older), Stage(task, 50, 100));
    }
    if (!read.Ok) {
        Prompts().Error(QStringLiteral("Ошибка при сравнении с файлом: \r\n") + read.Message);
        return;
    }
    FDock->show();
    FDock->raise();
    FDock->View()->setFocus();
    if (!read.Losses.empty())
        Prompts().Warning(AppTitle, QStringLiteral("При чтении файла %1 пропущены данные (строк: %2); "
                                                   "записи сравниваются без них.")
                                        .arg(QDir::toNativeSeparators(olderFile))
                                        .arg(read.Losses.size()));
}

TCompareDock& TCompareCommands::NewDock()
{
    FDock = new TCompareDock(FForm.Document(), &FForm);
    // Beside the problems list, in the same area.
    FForm.addDockWidget(Qt::BottomDockWidgetArea, FDock, Qt::Horizontal);
    connect(FDock, &TCompareDock::JumpRequested, this,
            [this](const TContentRec* rec, int fieldIndex) { FForm.ShowRecordField(rec, fieldIndex); });
    connect(FDock, &TCompareDock::NotInOpenFile, this,
            [this](const QString& message) { FForm.StatusBar->showMessage(message, StatusMessageMs); });
    connect(FDock, &TCompareDock::RefreshRequested, this,
            [this] { RunGuarded([this] { CompareWith(FDock->OlderFile()); }); });
    return *FDock;
}
