// The find bar: field values of the records shown, in the order of the view,
// from the focused cell on, wrapping; with and without case, whole values,
// backwards, and "Не найдено".

#include "TFindBar.h"
#include "TScriptedPrompts.h"
#include "UiTestSupport.h"
#include "ViewFixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QtTest>

#include <memory>

using namespace ViewFixture;

class TFindTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TFreshWindow> FWindow;
    TContentRec* FIvanov = nullptr;   // holder of account 100
    TContentRec* FIvanova = nullptr;  // holder of account 200
    TContentRec* FAccount300 = nullptr;

    TMainForm& Form() { return *FWindow->Form; }
    TFindBar& Bar() { return *Form().FindBar; }

    static int FieldIndex(const TContentRec* rec, const char* fldId)
    {
        for (size_t i = 0; i < rec->FldList.size(); ++i)
            if (rec->FldList[i].Rule->Key.Fld->FldID == QLatin1String(fldId))
                return int(i);
        return -1;
    }

    // Types what the user types into the bar, with the options given.
    void Search(const QString& text, bool matchCase = false, bool wholeValue = false)
    {
        Bar().Open();
        Bar().edFindText->setText(text);
        Bar().chkMatchCase->setChecked(matchCase);
        Bar().chkWholeValue->setChecked(wholeValue);
    }

    std::pair<TContentRec*, int> Surname(TContentRec* rec) { return {rec, FieldIndex(rec, "310233")}; }

private slots:
    void init()
    {
        FWindow = std::make_unique<TFreshWindow>();
        Add(Form(), Header);
        AddAccount(Form(), "100");
        FIvanov = AddHolder(Form(), "100", "01", "Иванов", "Иван");
        AddAccount(Form(), "200");
        FIvanova = AddHolder(Form(), "200", "01", "ИВАНОВА", "Анна");
        FAccount300 = AddAccount(Form(), "300");
        AddHolder(Form(), "300", "01", "Петров", "Пётр");
        Add(Form(), Trailer);
        Form().ShowContent(nullptr);
        Form().show();
        Form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&Form()));
    }

    void cleanup() { FWindow.reset(); }

    void ctrlFOpensTheBarAndEnterFindsOnWithoutCase()
    {
        QVERIFY(Bar().isHidden());
        QTest::keyClick(&Form(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(Bar().isVisible());
        QVERIFY(Bar().edFindText->hasFocus());
        Bar().edFindText->insert(QStringLiteral("иванов"));  // typed
        QTest::keyClick(Bar().edFindText, Qt::Key_Return);
        QCOMPARE(FocusedCell(Form()), Surname(FIvanov));
        QTest::keyClick(&Form(), Qt::Key_F3);
        QCOMPARE(FocusedCell(Form()), Surname(FIvanova));
        QTest::keyClick(&Form(), Qt::Key_F3);  // wraps around the end
        QCOMPARE(FocusedCell(Form()), Surname(FIvanov));
        QVERIFY(Bar().lblFindStatus->text().isEmpty());
        QTest::keyClick(&Form(), Qt::Key_Escape);
        QVERIFY(Bar().isHidden());
    }

    void matchCaseAndWholeValueNarrowTheSearch()
    {
        Search(QStringLiteral("ИВАНОВ"), true);
        QVERIFY(Bar().FindNext());
        QCOMPARE(FocusedCell(Form()), Surname(FIvanova));
        QVERIFY(Bar().FindNext());  // the only one: found again
        QCOMPARE(FocusedCell(Form()), Surname(FIvanova));

        Search(QStringLiteral("иванов"), false, true);
        QVERIFY(Bar().FindNext());
        QCOMPARE(FocusedCell(Form()), Surname(FIvanov));
        QVERIFY(Bar().FindNext());
        QCOMPARE(FocusedCell(Form()), Surname(FIvanov));
    }

    void shiftF3FindsBackwardsAndWraps()
    {
        Search(QStringLiteral("иванов"));
        QVERIFY(Bar().FindNext());
        QCOMPARE(FocusedCell(Form()), Surname(FIvanov));
        QTest::keyClick(&Form(), Qt::Key_F3, Qt::ShiftModifier);  // wraps around the beginning
        QCOMPARE(FocusedCell(Form()), Surname(FIvanova));
        QTest::keyClick(&Form(), Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(FocusedCell(Form()), Surname(FIvanov));
    }

    void searchGoesOnFromTheFocusedCellAndSideways()
    {
        // Account 300's record stands before the holders; a value of its last
        // field lies beyond the right edge of the window.
        const int last = int(FAccount300->FldList.size()) - 2;
        FAccount300->FldList[size_t(last)].SetValue(QStringLiteral("иванов"));
        Form().FindFocus(FAccount300);
        Search(QStringLiteral("иванов"));
        QVERIFY(Bar().FindNext());
        QCOMPARE(FocusedCell(Form()), std::make_pair(FAccount300, last));
        TRecordGrid& accounts = GridOf(Form(), Account);
        QVERIFY(Form().ScrollBar->value() > 0);
        QVERIFY(accounts.viewport()->rect().contains(accounts.visualRect(accounts.currentIndex())));
        QVERIFY(Bar().FindNext());
        QCOMPARE(FocusedCell(Form()), Surname(FIvanov));
    }

    void nothingFoundSaysSo()
    {
        Form().FindFocus(FIvanova);
        Search(QStringLiteral("Сидоров"));
        QVERIFY(!Bar().FindNext());
        QCOMPARE(Bar().lblFindStatus->text(), QStringLiteral("Не найдено"));
        QCOMPARE(FocusedCell(Form()).first, nullptr);  // the text keeps the focus
        Bar().edFindText->insert(QStringLiteral("а"));
        QVERIFY(Bar().lblFindStatus->text().isEmpty());
    }

    void anAccountShownSearchesOnlyItsRecords()
    {
        ChooseItem(Form(), ItemTexts(Form()).indexOf("200 ИВАНОВА Анна"));
        Search(QStringLiteral("иванов"));
        QVERIFY(Bar().FindNext());
        QCOMPARE(FocusedCell(Form()), Surname(FIvanova));
        QVERIFY(Bar().FindNext());
        QCOMPARE(FocusedCell(Form()), Surname(FIvanova));
    }
};

QTEST_MAIN(TFindTest)
#include "tst_find.moc"
