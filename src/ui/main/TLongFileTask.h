#pragma once

#include "TInputBlock.h"

#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

// The busy cursor for the whole of a file read or write, and, once it has
// taken about half a second, a progress dialog with its percentage. There is
// no cancel button, and Esc and every other input are dropped until the end
// (see TInputBlock): a file half read or half written is no state the editor
// offers.
class TLongFileTask {
public:
    TLongFileTask(QWidget* parent, const QString& label);
    ~TLongFileTask();
    TLongFileTask(const TLongFileTask&) = delete;
    TLongFileTask& operator=(const TLongFileTask&) = delete;

    // How far the task has come: done of total.
    void Progress(qint64 done, qint64 total);

    // How long a task runs before its dialog shows; a test sets 0 so that the
    // dialog shows, and events are let through to it, on every read or write.
    static void SetShowAfter(int ms);
    static constexpr int DefaultShowAfterMs = 500;

private:
    TInputBlock FBlock;
    std::unique_ptr<QProgressDialog> FDialog;
    int FPercent = -1;
};
