#include "TMemoryDatabase.h"

namespace {

class TMemoryReply : public TDbReply {
public:
    explicit TMemoryReply(QList<TMemoryDatabase::TResultSet> sets) : FSets(std::move(sets)) {}

    bool NextResultSet() override
    {
        FRow = -1;
        return ++FSet < FSets.size();
    }
    int ColumnCount() const override { return int(Current().Columns.size()); }
    QString ColumnName(int column) const override { return Current().Columns.value(column); }
    bool NextRow() override { return ++FRow < Current().Rows.size(); }
    QString Text(int column) const override { return Current().Rows.value(FRow).value(column); }

private:
    const TMemoryDatabase::TResultSet& Current() const { return FSets[FSet]; }

    QList<TMemoryDatabase::TResultSet> FSets;
    qsizetype FSet = -1;
    qsizetype FRow = -1;
};

}  // namespace

std::unique_ptr<TDbReply> TMemoryDatabase::Execute(const QString& commandText)
{
    Executed.append(commandText);
    if (OnExecute)
        OnExecute(commandText);
    const auto found = Replies.constFind(commandText);
    if (found == Replies.constEnd())
        throw TDbError(QStringLiteral("Could not find stored procedure for: ") + commandText);
    return std::make_unique<TMemoryReply>(*found);
}
