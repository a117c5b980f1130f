#include "TWindowSlot.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>

#include <algorithm>

TWindowSlot::TWindowSlot() : TWindowSlot(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)) {}

TWindowSlot::TWindowSlot(const QString& folder)
{
    QDir().mkpath(folder);
    for (int i = 0; i < Slots; ++i) {
        auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(QStringLiteral("uvoedit-window-%1.lock").arg(i)));
        // Only the lock of a program that has ended is stale, however old the lock.
        lock->setStaleLockTime(0);
        if (lock->tryLock()) {
            FLock = std::move(lock);
            FIndex = i;
            return;
        }
    }
    FIndex = Slots;  // more windows than slots: they share the last step
}

void TWindowSlot::Place(QWidget& window) const
{
    if (FIndex == 0)
        return;
    QPoint corner = window.pos() + QPoint(FIndex * Step, FIndex * Step);
    // The title bar stays on the screen; the far edges may run past it.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect room = screen->availableGeometry();
        corner.setX(std::clamp(corner.x(), room.left(), std::max(room.left(), room.right() - Step)));
        corner.setY(std::clamp(corner.y(), room.top(), std::max(room.top(), room.bottom() - Step)));
    }
    window.move(corner);
}
