#pragma once

#include <QObject>

#include <functional>

// While a long task runs in the window's thread, the event loop turns only so
// that its progress dialog paints. For that time every input the user gives is
// dropped: keys (and with them Esc and every shortcut), mouse and wheel, drops
// and the close box of any window. No command can then run on a file half read
// or half written; work handed over from outside waits for the task's end.
class TInputBlock : public QObject {
public:
    TInputBlock();
    ~TInputBlock() override;
    TInputBlock(const TInputBlock&) = delete;
    TInputBlock& operator=(const TInputBlock&) = delete;

    // Whether a long task is running now.
    static bool Active();

    // Runs work at once, or, while a long task runs, once the last one has
    // ended; work whose context has gone by then is dropped.
    static void WhenIdle(QObject* context, std::function<void()> work);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
