#pragma once

#include <QApplication>
#include <QCursor>

// A cursor over every window of the program for the lifetime of the object,
// restored however the work ends: the busy cursor while the database works,
// the normal one over a question asked in the middle of that work.
class TOverrideCursor {
public:
    explicit TOverrideCursor(Qt::CursorShape shape) { QApplication::setOverrideCursor(QCursor(shape)); }
    ~TOverrideCursor() { QApplication::restoreOverrideCursor(); }
    TOverrideCursor(const TOverrideCursor&) = delete;
    TOverrideCursor& operator=(const TOverrideCursor&) = delete;
};
