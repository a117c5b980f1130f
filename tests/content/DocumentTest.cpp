// The open file as one document: each operation is one undo step that gives
// back the list, its order and its totals exactly, announces once what it
// touched, and the changed state follows the history.

#include "ShippedFormatFixture.h"
#include "TUvoDocument.h"

#include <QStringList>

#include <functional>

namespace {

class DocumentTest : public ShippedFormatFixture {
protected:
    void SetUp() override
    {
        QObject::connect(&document, &TUvoDocument::ContentAboutToBeReplaced, [this] { events << "about to replace"; });
        QObject::connect(&document, &TUvoDocument::ContentReplaced, [this] { events << "replaced"; });
        QObject::connect(&document, &TUvoDocument::RecordsChanged, [this](const TRecordChange& c) { changes.push_back(c); });
        document.ReplaceAll([this](TContent& c) {
            MakeIn(c, "300000");
            accountA = MakeIn(c, "300100", {{"310011", "A"}});
            holderA = MakeIn(c, "300300", {{"310011", "A"}, {"310065", "01"}, {"310233", "Иванов"}});
            MakeIn(c, "300100", {{"310011", "B"}});
            MakeIn(c, "300999");
            c.CalcRecsCount();
            return TReplacement{"/data/in.uvo"};
        });
        opened = Records();
        openedTrailer = Trailer();
        changes.clear();
    }

    std::vector<TContentRec*> Records() const { return document.Content().Records(); }
    QString Trailer() const { return document.Content().GetTrailerRec()->RecToString(); }

    void ExpectAsOpened()
    {
        EXPECT_EQ(Records(), opened);
        EXPECT_EQ(Trailer(), openedTrailer);
        EXPECT_FALSE(document.RecsChanged());
    }

    TUvoDocument document{Format()};
    TContentRec* accountA = nullptr;
    TContentRec* holderA = nullptr;
    std::vector<TContentRec*> opened;
    QString openedTrailer;
    QStringList events;
    std::vector<TRecordChange> changes;
};

}  // namespace

TEST_F(DocumentTest, EveryOperationIsOneStepThatUndoTakesBackWhole)
{
    const std::vector<std::pair<const char*, std::function<void()>>> operations = {
        {"append", [&] {
             std::vector<std::unique_ptr<TContentRec>> recs;
             recs.push_back(document.Content().CreateNewOnRec(Format().GetRec("300300")));
             recs.back()->SetVal("310011", "B");
             recs.back()->CalcSortStr();
             document.AppendRecords("добавление записи", std::move(recs), TAppendOrder::SortThenCount, true);
         }},
        {"remove", [&] { document.RemoveRecord(holderA); }},
        {"edit moving the holder", [&] {
             TContentRec edited(Format());
             TContent::CopyRec(*holderA, edited);
             edited.SetVal("310011", "B");
             document.EditRecord(*holderA, edited);
         }},
        {"set the account of two records", [&] {
             document.SetField("замена значения", {accountA, holderA}, "310011", "C");
         }},
    };
    for (const auto& [name, run] : operations) {
        SCOPED_TRACE(name);
        run();
        const std::vector<TContentRec*> after = Records();
        const QString afterTrailer = Trailer();
        EXPECT_TRUE(document.RecsChanged());
        ASSERT_EQ(changes.size(), 1u);
        document.UndoStack().undo();
        ExpectAsOpened();
        EXPECT_EQ(changes.size(), 2u);
        EXPECT_TRUE(changes.back().Rebuild);
        document.UndoStack().redo();
        EXPECT_EQ(Records(), after);
        EXPECT_EQ(Trailer(), afterTrailer);
        document.UndoStack().undo();
        changes.clear();
    }
    EXPECT_EQ(accountA->Account, "A");
    EXPECT_EQ(holderA->GetVal("310011"), "A");
}

TEST_F(DocumentTest, AFirstRemovalOrKeptKeyEditTouchesOnlyItsRows)
{
    document.RemoveRecord(holderA);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_FALSE(changes[0].Rebuild);
    EXPECT_EQ(changes[0].Removed, std::vector<const TContentRec*>{holderA});
    EXPECT_EQ(changes[0].Changed, std::vector<const TContentRec*>{document.Content().GetTrailerRec()});
    document.UndoStack().undo();
    EXPECT_EQ(changes[1].Focus, holderA);

    TContentRec edited(Format());
    TContent::CopyRec(*holderA, edited);
    edited.SetVal("310233", "Петров");
    document.EditRecord(*holderA, edited);
    EXPECT_FALSE(changes[2].Rebuild);
    EXPECT_EQ(changes[2].Changed, std::vector<const TContentRec*>{holderA});
}

TEST_F(DocumentTest, ReplacingTellsTheViewsFirstAndForgetsTheHistory)
{
    document.RemoveRecord(holderA);
    events.clear();
    document.ReplaceAll([this](TContent& c) {
        EXPECT_EQ(events, QStringList{"about to replace"});
        EXPECT_EQ(document.UndoStack().count(), 0);
        EXPECT_EQ(c.Count(), 0);
        MakeIn(c, "300000");
        return TReplacement{QString(), true};
    });
    EXPECT_EQ(events, QStringList({"about to replace", "replaced"}));
    EXPECT_EQ(document.Content().Count(), 1);
    EXPECT_TRUE(document.CurrentFile().isEmpty());
    EXPECT_TRUE(document.RecsChanged());  // an import into a new file is unsaved from the start
}

TEST_F(DocumentTest, AChangeOutsideTheHistoryLeavesNoCleanStateBehind)
{
    document.SetRecsChanged(true);  // a file read only in part
    document.RemoveRecord(holderA);
    document.UndoStack().undo();
    EXPECT_TRUE(document.RecsChanged());
    document.MarkSaved("/data/out.uvo");
    EXPECT_FALSE(document.RecsChanged());
    EXPECT_EQ(document.CurrentFile(), "/data/out.uvo");
    document.RemoveRecord(holderA);
    document.UndoStack().undo();
    EXPECT_FALSE(document.RecsChanged());
}
