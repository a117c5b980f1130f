// The problems of the open content: after a change only the records named are
// checked again, and the findings are those a whole check gives.

#include "ContentProblems.h"
#include "ShippedFormatFixture.h"

#include <QStringList>

namespace {

QStringList Texts(const std::vector<TFinding>& findings)
{
    QStringList texts;
    for (const TFinding& f : findings)
        texts << QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(ReasonCode(f), f.RecID, f.Account, f.FldID, f.Value);
    texts.sort();
    return texts;
}

class ContentProblemsTest : public ShippedFormatFixture {
protected:
    // What a whole check of the list gives now.
    QStringList WholeCheck()
    {
        TContentProblems fresh(content);
        fresh.CheckAll(false, {});
        return Texts(fresh.Findings());
    }
};

}  // namespace

TEST_F(ContentProblemsTest, AnUpdateAfterChangesGivesWhatAWholeCheckGives)
{
    Make("300000");
    TContentRec* first = Make("300100", {{"310011", "A"}, {"310016", "XYZ"}});
    TContentRec* second = Make("300100", {{"310011", "B"}});
    Make("300999");
    TContentProblems problems(content);
    problems.CheckAll(false, {});
    ASSERT_TRUE(Texts(problems.Findings()).contains("not-in-domain 300100 A 310016 XYZ"));
    ASSERT_TRUE(Texts(problems.Findings()).contains("total-differs 300999  310107 "));

    first->SetVal("310016", "EUR");  // an edit that mends the value
    ASSERT_TRUE(first->FindFld("310016")->IsValid());
    problems.Update({{first}, {}});
    EXPECT_FALSE(Texts(problems.Findings()).contains("not-in-domain 300100 A 310016 XYZ"));
    EXPECT_EQ(Texts(problems.Findings()), WholeCheck());

    TContentRec* added = Make("300100", {{"310011", "0"}, {"310001", "x"}});  // added out of order
    content.CalcRecsCount();
    problems.Update({{added, content.GetTrailerRec()}, {}});
    EXPECT_TRUE(Texts(problems.Findings()).contains("out-of-order 300999   "));
    EXPECT_EQ(Texts(problems.Findings()), WholeCheck());

    content.Delete(content.IndexOf(second));
    content.SortRec();
    content.CalcRecsCount();
    problems.Update({{content.GetTrailerRec()}, {second}});
    EXPECT_EQ(Texts(problems.Findings()), WholeCheck());
}
