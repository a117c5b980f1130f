#include "TLongFileTask.h"

#include <QApplication>
#include <QProgressDialog>

namespace {

// A task shorter than this ends before its dialog would show.
int ShowAfterMs = TLongFileTask::DefaultShowAfterMs;

}  // namespace

TLongFileTask::TLongFileTask(QWidget* parent, const QString& label)
    : FDialog(std::make_unique<QProgressDialog>(label, QString(), 0, 100, parent))
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    FDialog->setWindowModality(Qt::ApplicationModal);
    FDialog->setCancelButton(nullptr);
    FDialog->setMinimumDuration(ShowAfterMs);
    FDialog->setAutoClose(false);
    FDialog->setAutoReset(false);
    FDialog->setValue(0);
}

TLongFileTask::~TLongFileTask()
{
    FDialog.reset();
    QApplication::restoreOverrideCursor();
}

void TLongFileTask::SetShowAfter(int ms) { ShowAfterMs = ms; }

void TLongFileTask::Progress(qint64 done, qint64 total)
{
    const int percent = total > 0 ? int(std::clamp<qint64>(done * 100 / total, 0, 100)) : 0;
    if (percent == FPercent)
        return;
    FPercent = percent;
    // setValue shows the dialog once the task has run long enough and, as the
    // dialog is modal, lets it paint.
    FDialog->setValue(percent);
}
