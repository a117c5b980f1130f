#pragma once

#include "TDatabase.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <functional>

// A database in memory for logic tests: each command text has its canned
// result sets; a command without one fails as an unknown procedure would.
class TMemoryDatabase : public TDatabase {
public:
    struct TResultSet {
        QStringList Columns;
        QList<QStringList> Rows;  // a null QString stands for NULL
    };

    QHash<QString, QList<TResultSet>> Replies;
    QStringList Executed;  // every command run, in order
    // Called with each command before it is answered: a test acts "during" a call.
    std::function<void(const QString&)> OnExecute;

    void Open(const QString&, const std::optional<TDbCredentials>& = {}) override { FOpen = true; }
    bool IsOpen() const override { return FOpen; }
    void Close() override { FOpen = false; }
    std::unique_ptr<TDbReply> Execute(const QString& commandText) override;

private:
    bool FOpen = false;
};
