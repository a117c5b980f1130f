#pragma once

#include <QApplication>
#include <QCursor>

// The busy cursor for the lifetime of the object, restored however the work
// ends.
class TBusyCursor {
public:
    TBusyCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

// The normal cursor for the lifetime of the object, inside busy work that asks
// the user something.
class TNormalCursor {
public:
    TNormalCursor() { QApplication::setOverrideCursor(QCursor(Qt::ArrowCursor)); }
    ~TNormalCursor() { QApplication::restoreOverrideCursor(); }
    TNormalCursor(const TNormalCursor&) = delete;
    TNormalCursor& operator=(const TNormalCursor&) = delete;
};
