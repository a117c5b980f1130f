#pragma once

#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

// The busy cursor for the whole of a file read or write, and, once it has
// taken about half a second, a progress dialog with its percentage. There is
// no cancel button: a file half read or half written is no state the editor
// offers.
class TLongFileTask {
public:
    TLongFileTask(QWidget* parent, const QString& label);
    ~TLongFileTask();
    TLongFileTask(const TLongFileTask&) = delete;
    TLongFileTask& operator=(const TLongFileTask&) = delete;

    // How far the task has come: done of total.
    void Progress(qint64 done, qint64 total);

private:
    std::unique_ptr<QProgressDialog> FDialog;
    int FPercent = -1;
};
