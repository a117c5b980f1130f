// The in-place field editors of the edit dialog: the control each kind of field
// gets, the value each stores, and the keys that move between rows.

#include "EditFormFixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCompleter>
#include <QLineEdit>

class TEditorTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TEditFormFixture> F;

    QString StoredAfterTyping(const char* fldId, const QString& text)
    {
        F->Store(fldId, text);
        return F->Row(fldId).Value;
    }

private slots:
    // An Account record with a code, dates and a number filled in; 00000000
    // stands for "no date" in some files.
    void init()
    {
        F = std::make_unique<TEditFormFixture>();
        QVERIFY(F->Open("300100", {{"310003", "02"},
                                   {"310011", "12345"},
                                   {"310014", "20210215"},
                                   {"310022", "000000000001234"},
                                   {"310044", "00000000"}}));
    }
    void cleanup() { F.reset(); }

    void financeTypeOffersTheCodesAndStoresTheBareCode()
    {
        auto* combo = qobject_cast<QComboBox*>(F->StartEditing("310003"));
        QVERIFY(combo);
        QCOMPARE(combo->currentText(), QStringLiteral("02"));
        QCOMPARE(combo->font().family(), QStringLiteral("Courier New"));
        QCOMPARE(combo->maxVisibleItems(), 20);
        QCOMPARE(combo->itemText(0), QStringLiteral("01 Secured Loan"));
        for (int i = 1; i < combo->count(); ++i)
            QVERIFY(combo->itemText(i - 1) < combo->itemText(i));

        // Down while the list is open stays in the list.
        combo->showPopup();
        QTRY_VERIFY(combo->view()->isVisible());
        QTest::keyClick(combo, Qt::Key_Down);
        QVERIFY(F->Form->Editor->IsEditing());
        QTest::mouseClick(combo->view()->viewport(), Qt::LeftButton, {},
                          combo->view()->visualRect(combo->model()->index(0, 0)).center());
        QTRY_VERIFY(!combo->view()->isVisible());
        QCOMPARE(combo->currentText(), QStringLiteral("01 Secured Loan"));
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(F->Row("310003").Value, QStringLiteral("01"));
    }

    void aTypedCodeIsStoredAsTypedNotAsTheCodeItBegins()
    {
        auto* combo = qobject_cast<QComboBox*>(F->StartEditing("310003"));
        QVERIFY(combo);
        F->Retype("1");
        QTRY_VERIFY(combo->completer()->popup()->isVisible());  // "11 Government Loan" and others offered
        F->Key(Qt::Key_Return);
        QCOMPARE(F->Row("310003").Value, QStringLiteral("1"));
    }

    void numberIsZeroFilledAndBlankIsEmpty()
    {
        QCOMPARE(StoredAfterTyping("310030", "12ab34"), QStringLiteral("000000000001234"));
        QCOMPARE(StoredAfterTyping("310030", ""), QString());
        auto* box = qobject_cast<QLineEdit*>(F->StartEditing("310030"));
        QVERIFY(box);
        QCOMPARE(box->maxLength(), 15);
    }

    void dateIsShownAsDayMonthYearAndStoredOnlyWhenItExists()
    {
        auto* box = qobject_cast<QLineEdit*>(F->StartEditing("310014"));
        QVERIFY(box);
        QCOMPARE(box->displayText(), QStringLiteral("15.02.2021"));
        F->Key(Qt::Key_Escape);

        QCOMPARE(StoredAfterTyping("310014", "29022021"), QString());
        QCOMPARE(StoredAfterTyping("310014", "29022020"), QStringLiteral("20200229"));
        QCOMPARE(StoredAfterTyping("310014", "1502"), QString());
    }

    void textKeepsTrailingSpacesAndItsWidth()
    {
        QCOMPARE(StoredAfterTyping("310013", "AB  "), QStringLiteral("AB  "));
        QCOMPARE(StoredAfterTyping("310013", QString(45, QLatin1Char('x'))), QString(40, QLatin1Char('x')));
    }

    void storingTheValueTheRowHoldsLeavesItUnchanged()
    {
        QCOMPARE(StoredAfterTyping("310022", "1234"), QStringLiteral("000000000001234"));
        QVERIFY(!F->Row("310022").Changed);
    }

    void upAndDownStoreAndOpenTheNeighbouringRowAndPassingLeavesAValueAlone()
    {
        QVERIFY(F->StartEditing("310043"));
        F->Type("01022020");
        F->Key(Qt::Key_Down);
        QTRY_COMPARE(F->Form->EditVT->currentIndex().row(), F->RowOf("310044"));
        auto* box = qobject_cast<QLineEdit*>(F->WaitForEditor());
        QVERIFY(box);
        QCOMPARE(box->displayText(), QStringLiteral("00.00.0000"));
        QCOMPARE(F->Row("310043").Value, QStringLiteral("20200201"));
        QVERIFY(F->Row("310043").Changed);

        F->Key(Qt::Key_Up);
        QTRY_COMPARE(F->Form->EditVT->currentIndex().row(), F->RowOf("310043"));
        QVERIFY(F->WaitForEditor());
        QCOMPARE(F->Row("310044").Value, QStringLiteral("00000000"));
        QVERIFY(!F->Row("310044").Changed);
    }
};

QTEST_MAIN(TEditorTest)
#include "tst_editor.moc"
