#pragma once

#include <QLockFile>
#include <QPoint>

#include <memory>

class QWidget;

// The place of this program's window among the editor windows open on the
// desktop: the first takes slot 0, a second start the lowest free slot, and a
// slot is free again once its program has ended, however it ended. Each slot
// moves the window a step down and to the right, so that a second window does
// not hide the first exactly.
class TWindowSlot {
public:
    static constexpr int Step = 32;
    static constexpr int Slots = 16;

    // folder holds one lock file per slot taken.
    explicit TWindowSlot(const QString& folder);
    // The user's runtime folder.
    TWindowSlot();

    int Index() const { return FIndex; }
    // Moves window by its slot, within the screen's free area.
    void Place(QWidget& window) const;

private:
    std::unique_ptr<QLockFile> FLock;
    int FIndex = 0;
};
