#include "TInputBlock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>

#include <utility>
#include <vector>

namespace {

int ActiveBlocks = 0;

struct TWaitingWork {
    QPointer<QObject> Context;
    std::function<void()> Work;
};

std::vector<TWaitingWork>& Waiting()
{
    static std::vector<TWaitingWork> waiting;
    return waiting;
}

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::FileOpen:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

}  // namespace

TInputBlock::TInputBlock()
{
    ++ActiveBlocks;
    QCoreApplication::instance()->installEventFilter(this);
}

TInputBlock::~TInputBlock()
{
    if (--ActiveBlocks > 0)
        return;
    // Queued, so that the task's own caller finishes before the waiting work.
    for (TWaitingWork& waiting : std::exchange(Waiting(), {}))
        if (waiting.Context)
            QTimer::singleShot(0, waiting.Context, std::move(waiting.Work));
}

bool TInputBlock::Active() { return ActiveBlocks > 0; }

void TInputBlock::WhenIdle(QObject* context, std::function<void()> work)
{
    if (Active())
        Waiting().push_back({context, std::move(work)});
    else
        work();
}

bool TInputBlock::eventFilter(QObject* watched, QEvent* event)
{
    if (!IsUserInput(event->type()))
        return QObject::eventFilter(watched, event);
    // A close request refused, a drop not taken: the sender learns it was not accepted.
    event->ignore();
    return true;
}
