// The record edit dialog: its rows and their colours, confirming and
// cancelling with buttons and keys, and its height.

#include "EditFormFixture.h"

#include <QBrush>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>

#include <optional>

class TEditFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TEditFormFixture> F;

    // A Header with the values a file would bring; Format ID is missing.
    void OpenHeader()
    {
        QVERIFY(F->Open("300000", {{"310001", "01"},
                                   {"310002", "12345"},
                                   {"310003", "01"},
                                   {"310005", "GRP"},
                                   {"310006", "USR"},
                                   {"310008", "Bank"},
                                   {"310009", "20210215"},
                                   {"310010", "20210216"}}));
    }

    std::unique_ptr<TContentRec> CopyOfRec() const
    {
        auto copy = std::make_unique<TContentRec>(TEditFormFixture::Format());
        TContent::CopyRec(*F->Rec, *copy);
        return copy;
    }

    int TitleBar() const { return F->Form->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, F->Form); }

private slots:
    void init() { F = std::make_unique<TEditFormFixture>(); }
    void cleanup() { F.reset(); }

    void headerShowsTwelveRowsWithFirstAndLastGreyed()
    {
        OpenHeader();
        TFldValModel& rows = F->Rows();
        QCOMPARE(rows.rowCount(), 12);
        QCOMPARE(rows.index(3, 0).data().toString(), QStringLiteral("(310003) Finance Type"));
        QCOMPARE(rows.index(3, 1).data().toString(), QStringLiteral("01"));
        QCOMPARE(rows.index(3, 0).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 0, 128));
        QVERIFY(rows.index(3, 0).data(Qt::FontRole).value<QFont>().bold());
        for (int row : {0, 11}) {
            QVERIFY(!(rows.flags(rows.index(row, 1)) & Qt::ItemIsEnabled));
            F->ClickCell(row, TFldValModel::ValueColumn);
            QTest::qWait(150);
            QVERIFY(!F->Form->Editor->IsEditing());
        }
        QCOMPARE(rows.index(11, 0).data().toString(), QStringLiteral("(310137) EndOfRecord"));

        QCOMPARE(F->Form->width(), 884);
        QCOMPARE(F->Form->Panel1->height(), 41);
        QCOMPARE(F->Form->EditVT->columnWidth(0), 420);
        QCOMPARE(F->Form->EditVT->columnWidth(1), 460);
        QCOMPARE(F->Form->EditVT->rowHeight(5), 20);
        QCOMPARE(F->Form->btnOK->text(), QStringLiteral("ОК"));
        QCOMPARE(F->Form->btnOK->toolTip(), QStringLiteral("Сохранить и закрыть (Ctrl+Enter)"));
        QCOMPARE(F->Form->btnCancel->text(), QStringLiteral("Отмена"));
        QCOMPARE(F->Form->btnCancel->toolTip(), QStringLiteral("Отменить и закрыть (Esc)"));
    }

    void storingAValidValueTakesTheYellowAwayAndMakesItBold()
    {
        OpenHeader();
        const QModelIndex formatId = F->Rows().index(F->RowOf("310004"), TFldValModel::ValueColumn);
        QCOMPARE(formatId.data(Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 255, 0));
        QVERIFY(!formatId.data(Qt::FontRole).value<QFont>().bold());

        F->Store("310004", "FMT");
        QCOMPARE(F->Row("310004").Value, QStringLiteral("FMT"));
        QVERIFY(!formatId.data(Qt::BackgroundRole).isValid());
        QVERIFY(formatId.data(Qt::FontRole).value<QFont>().bold());
    }

    void aValueStoredInvalidIsYellowInItsSelectedRow()
    {
        OpenHeader();
        F->Store("310004", "");  // the Format ID may not be empty
        const int row = F->RowOf("310004");
        QVERIFY(F->Form->EditVT->selectionModel()->isRowSelected(row));
        const QRect cell = F->Form->EditVT->visualRect(F->Rows().index(row, TFldValModel::ValueColumn));
        const QColor painted = F->Form->EditVT->viewport()->grab().toImage().pixelColor(cell.right() - 3, cell.center().y());
        // Yellow, as the style blends it with the selection, not the selection's blue.
        QVERIFY2(painted.red() > 200 && painted.green() > 180 && painted.blue() < 100, qPrintable(painted.name()));
    }

    void cancelAfterSeveralChangesLeavesTheRecordUntouched()
    {
        OpenHeader();
        const auto before = CopyOfRec();
        F->Store("310004", "FMT");
        F->Store("310008", "Other bank");
        QTest::mouseClick(F->Form->btnCancel, Qt::LeftButton);
        QTRY_VERIFY(!F->Form);
        QCOMPARE(F->Result, int(QDialog::Rejected));
        QVERIFY(!TContent::RecDiffer(*before, *F->Rec));
    }

    void confirmWithoutChangesWritesEveryValueBackUnchanged()
    {
        OpenHeader();
        const auto before = CopyOfRec();
        QTest::mouseClick(F->Form->btnOK, Qt::LeftButton);
        QTRY_VERIFY(!F->Form);
        QCOMPARE(F->Result, int(QDialog::Accepted));
        QVERIFY(!TContent::RecDiffer(*before, *F->Rec));
    }

    void escCancelsTheOpenEditAndASecondEscClosesTheDialog()
    {
        OpenHeader();
        QVERIFY(F->StartEditing("310008"));
        QVERIFY(!F->Form->CanCloseOnEsc);
        F->Type("xyz");
        F->Key(Qt::Key_Escape);
        QVERIFY(F->Form);
        QVERIFY(!F->Form->Editor->IsEditing());
        QVERIFY(F->Form->CanCloseOnEsc);
        QCOMPARE(F->Row("310008").Value, QStringLiteral("Bank"));

        F->Key(Qt::Key_Escape);
        QTRY_VERIFY(!F->Form);
        QCOMPARE(F->Result, int(QDialog::Rejected));
        QCOMPARE(F->Rec->GetVal("310008"), QStringLiteral("Bank"));
    }

    void selectingARowOpensItsEditorAndAClickOnItsValueOpensItAgain()
    {
        OpenHeader();
        F->ClickCell(F->RowOf("310008"), TFldValModel::CaptionColumn);
        QVERIFY(F->WaitForEditor());
        F->Key(Qt::Key_Escape);
        QVERIFY(!F->Form->Editor->IsEditing());
        F->ClickCell(F->RowOf("310008"), TFldValModel::ValueColumn);
        QVERIFY(F->WaitForEditor());
    }

    void ctrlEnterWhileEditingTakesTheTextAndConfirms()
    {
        OpenHeader();
        QVERIFY(F->StartEditing("310004"));
        F->Type("FMT");
        F->Key(Qt::Key_Return, Qt::ControlModifier);
        QTRY_VERIFY(!F->Form);
        QCOMPARE(F->Result, int(QDialog::Accepted));
        QCOMPARE(F->Rec->GetVal("310004"), QStringLiteral("FMT"));
        QVERIFY(F->Rec->FindFld("310004")->IsValid());
    }

    void ctrlShiftEnterNeverCloses()
    {
        OpenHeader();
        QVERIFY(F->StartEditing("310004"));
        F->Type("FMT");
        F->Key(Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!F->Form->Editor->IsEditing());
        QCOMPARE(F->Row("310004").Value, QStringLiteral("FMT"));
        F->Key(Qt::Key_Return, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::qWait(50);
        QVERIFY(F->Form && F->Form->isVisible());
        QCOMPARE(F->Rec->GetVal("310004"), QString());
    }

    void heightGivesTwoSpareRowsOrStopsTenPixelsAboveTheWorkArea()
    {
        OpenHeader();
        QCOMPARE(TitleBar() + F->Form->height(), TitleBar() + 41 + 14 * 20);
        delete F->Form.data();

        QVERIFY(F->Open("300100"));
        F->Form->FitHeight(600);
        QCOMPARE(F->Rows().rowCount(), 56);
        QCOMPARE(TitleBar() + F->Form->height(), 590);
        QTRY_VERIFY(F->Form->EditVT->verticalScrollBar()->maximum() > 0);
    }
};

QTEST_MAIN(TEditFormTest)
#include "tst_editform.moc"
