// The open file compared with an older one while it is edited: after every
// change, and its undo, the comparison it keeps is the one made afresh.

#include "ContentComparison.h"
#include "ShippedFormatFixture.h"
#include "TUvoDocument.h"

#include <QStringList>

#include <functional>

namespace {

void FillFile(TContent& c)
{
    ShippedFormatFixture::MakeIn(c, "300000", {});
    for (const char* account : {"A", "B", "C"}) {
        ShippedFormatFixture::MakeIn(c, "300100", {{"310011", account}});
        ShippedFormatFixture::MakeIn(c, "300300", {{"310011", account}, {"310065", "01"}, {"310233", "Иванов"}});
        ShippedFormatFixture::MakeIn(c, "300300", {{"310011", account}, {"310065", "02"}, {"310233", "Петрова"}});
    }
    ShippedFormatFixture::MakeIn(c, "300999", {});
    c.CalcRecsCount();
}

// Every difference on one line, without the places in the open list, which
// the comparison kept lets go stale.
QStringList Lines(const std::vector<TAccountDifference>& accounts)
{
    QStringList lines;
    for (const TAccountDifference& group : accounts) {
        for (const TRecordDifference& record : group.Records) {
            QString line = QStringLiteral("%1 %2 %3 %4 old %5 %6 %7")
                               .arg(int(group.Group))
                               .arg(group.Account)
                               .arg(int(group.Kind))
                               .arg(int(record.Kind))
                               .arg(record.OldIndex)
                               .arg(quintptr(record.OldRec))
                               .arg(quintptr(record.NewRec));
            for (const TFieldDifference& field : record.Fields)
                line += QStringLiteral(" %1:%2>%3").arg(field.FieldIndex).arg(field.OldValue, field.NewValue);
            lines << line;
        }
    }
    return lines;
}

class ComparisonTest : public ShippedFormatFixture {
protected:
    void SetUp() override
    {
        document.ReplaceAll([](TContent& c) {
            FillFile(c);
            return TReplacement{"/data/new.uvo", false, false, {}};
        });
        auto older = std::make_unique<TContent>(Format());
        FillFile(*older);
        comparison = std::make_unique<TContentComparison>(std::move(older), document.Content());
        comparison->CompareAll();
        QObject::connect(&document, &TUvoDocument::RecordsChanged,
                         [this](const TRecordChange& change) { comparison->Update(change); });
    }

    void ExpectAsIfMadeAfresh()
    {
        const TContentDiff fresh(comparison->Older(), document.Content());
        EXPECT_EQ(Lines(comparison->Accounts()), Lines(fresh.Accounts()));
        EXPECT_EQ(comparison->Summary().FieldsChanged, fresh.Summary().FieldsChanged);
        EXPECT_EQ(comparison->Summary().RecordsAdded, fresh.Summary().RecordsAdded);
        EXPECT_EQ(comparison->Summary().AccountsChanged, fresh.Summary().AccountsChanged);
    }

    TContentRec* Holder(const char* account, const char* holder)
    {
        for (TContentRec* rec : document.Content().Records())
            if (rec->Rec->RecID == u"300300" && rec->Account == account && rec->GetVal("310065") == holder)
                return rec;
        return nullptr;
    }

    void Edit(TContentRec* rec, const char* fldId, const QString& value)
    {
        TContentRec edited(Format());
        TContent::CopyRec(*rec, edited);
        edited.SetVal(fldId, value);
        document.EditRecord(*rec, edited);
    }

    TUvoDocument document{Format()};
    std::unique_ptr<TContentComparison> comparison;
};

}  // namespace

TEST_F(ComparisonTest, AfterEveryChangeAndItsUndoTheComparisonIsTheOneMadeAfresh)
{
    ASSERT_TRUE(comparison->Same());
    const std::vector<std::pair<const char*, std::function<void()>>> operations = {
        {"a value changed", [&] { Edit(Holder("A", "01"), "310233", "Семёнов"); }},
        // B's second holder leaves an account that differed in nothing before.
        {"a holder moved to another account", [&] { Edit(Holder("B", "02"), "310011", "C"); }},
        {"a record removed", [&] { document.RemoveRecord(Holder("C", "01")); }},
        {"a new account", [&] {
             std::vector<std::unique_ptr<TContentRec>> recs;
             recs.push_back(document.Content().CreateNewOnRec(Format().GetRec("300100")));
             recs.back()->SetVal("310011", "D");
             recs.back()->CalcSortStr();
             document.AppendRecords("добавление записи", std::move(recs), TAppendOrder::SortThenCount, true);
         }},
        {"two accounts joined", [&] { document.SetField("замена", {Holder("A", "02"), Holder("C", "02")}, "310011", "E"); }},
    };
    for (const auto& [name, run] : operations) {
        SCOPED_TRACE(name);
        run();
        EXPECT_FALSE(comparison->Same());
        ExpectAsIfMadeAfresh();
    }
    while (document.UndoStack().canUndo()) {
        document.UndoStack().undo();
        ExpectAsIfMadeAfresh();
    }
    EXPECT_TRUE(comparison->Same());
}
