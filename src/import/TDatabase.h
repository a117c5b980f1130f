#pragma once

#include "TUvoError.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// A failure of the database or of its driver, with the driver's own text.
class TDbError : public TUvoError {
public:
    enum class TLink { Kept, Lost };

    explicit TDbError(const QString& message, const QString& state = {}, TLink link = TLink::Kept)
        : TUvoError(message), FState(state), FLink(link)
    {
    }
    // The five-character SQLSTATE when the driver gave one ("HYT00": time-out).
    const QString& State() const { return FState; }
    // The link to the server broke while a command ran (the server restarted,
    // the network went down): the connection is of no further use.
    bool ConnectionLost() const { return FLink == TLink::Lost; }

private:
    QString FState;
    TLink FLink;
};

// The answer to one command: any number of result sets, read one after the
// other, each row by row. A NULL reads as the empty text, or as 0 for numbers
// and dates.
class TDbReply {
public:
    virtual ~TDbReply() = default;

    // Moves to the next result set that has columns (the first one on the
    // first call), passing over the row counts of statements that return no
    // rows. False when none is left.
    virtual bool NextResultSet() = 0;
    virtual int ColumnCount() const = 0;
    virtual QString ColumnName(int column) const = 0;
    // Moves to the next row of the result set; false at its end.
    virtual bool NextRow() = 0;
    // The value of a column of the current row as text.
    virtual QString Text(int column) const = 0;

    // The column of that name, compared without regard to case; -1 for none.
    int ColumnIndex(const QString& name) const;
    // The same, but a missing column is a TDbError.
    int RequiredColumn(const QString& name) const;

    // A whole number; a text that is none, or one out of range, is a
    // TDbError naming the column and the text, never another number.
    qint64 Int64(int column) const;
    QDate Date(int column) const;
    // A money value in ten-thousandths (digits past them cut off); the same
    // errors as Int64.
    qint64 Currency(int column) const;

private:
    qint64 Number(int column, int scale, bool whole) const;
};

struct TDbCredentials {
    QString UserName;
    QString Password;
};

// A connection to the core banking database. Commands are plain text; each
// waits at most the command time-out.
class TDatabase {
public:
    static constexpr int DefaultCommandTimeout = 300;  // seconds

    virtual ~TDatabase() = default;

    // Opens the connection with the connection string alone or with a user
    // name and password that take the place of any in the string.
    virtual void Open(const QString& connectionString, const std::optional<TDbCredentials>& login = {}) = 0;
    virtual bool IsOpen() const = 0;
    virtual void Close() = 0;
    virtual std::unique_ptr<TDbReply> Execute(const QString& commandText) = 0;
};
