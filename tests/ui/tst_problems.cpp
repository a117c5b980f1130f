// The problems of the open file: the list "Проверка" after reading, its jump
// to a finding, next and previous problem, and the list after an edit and a
// deletion.

#include "TEditForm.h"
#include "TProblemCommands.h"
#include "TProblemsDock.h"
#include "TProblemsModel.h"
#include "TScriptedPrompts.h"
#include "UiTestSupport.h"
#include "UvoToolFixture.h"
#include "ViewFixture.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

#include <memory>

using namespace ViewFixture;

namespace {

const QString Address = QStringLiteral("300500");
const int CurrencyField = 10;    // 310016 in the Account layout
const int ChangeTypeField = 40;  // 310258 in the Consumer Name layout, far to the right

}  // namespace

class TProblemsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TFreshWindow> FWindow;

    TMainForm& Form() { return *FWindow->Form; }
    TProblemsDock& Dock() { return Form().ProblemCommands().Dock(); }
    QTableView& List() { return *Dock().View(); }

    QStringList Row(int row)
    {
        QStringList texts;
        for (int column = 0; column < TProblemsModel::ColumnCount; ++column)
            texts << List().model()->index(row, column).data().toString();
        return texts;
    }

    int RowWith(int column, const QString& text)
    {
        for (int row = 0; row < List().model()->rowCount(); ++row)
            if (Row(row)[column] == text)
                return row;
        return -1;
    }

    // Header; ACC1 with an invalid currency; ACC2 whose holder has an invalid
    // change type and whose address line runs on past its length; a Trailer
    // that counts one Account record too many. Read into the shown window.
    void OpenFileWithFaults()
    {
        TUvoFileBuilder b;
        b.Add(Header);
        b.Add(Account, "ACC1", {{"310016", "XYZ"}});
        b.Add(Consumer, "ACC1", {{"310065", "01"}});
        b.Add(Address, "ACC1", {{"310065", "01"}});
        b.Add(Account, "ACC2");
        b.Add(Consumer, "ACC2", {{"310065", "01"}, {"310258", "Z"}});
        b.Add(Address, "ACC2", {{"310065", "01"}});
        b.Add(Trailer);
        b.CalcTotals();
        b.Trailer().SetVal("310107", "000000003");
        QList<QByteArray> lines = b.Lines();
        lines[6] += "  surplus";
        const QString path = FWindow->Dir.FilePath(QStringLiteral("faults.uvo"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(JoinLines(lines)) > 0);
        file.close();
        Form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&Form()));
        Form().LoadUVO(path);
    }

    TContentRec* RecOf(const QString& recId, const QString& account)
    {
        for (TContentRec* rec : Form().Content().Records())
            if (rec->Rec->RecID == recId && rec->Account == account)
                return rec;
        return nullptr;
    }

    // The grid with the keyboard focus, its focused record and column.
    std::pair<TContentRec*, int> FocusedCell()
    {
        const auto* grid = qobject_cast<TRecordGrid*>(QApplication::focusWidget());
        if (!grid || !grid->currentIndex().isValid())
            return {nullptr, -1};
        return {grid->Rec(grid->currentIndex().row()), grid->currentIndex().column()};
    }

    void Press(const QKeySequence& key) { QTest::keySequence(QApplication::focusWidget(), key); }

private slots:
    void init() { FWindow = std::make_unique<TFreshWindow>(); }

    void cleanup() { FWindow.reset(); }

    void listAfterReadingAFileWithPlantedFaults()
    {
        OpenFileWithFaults();
        QVERIFY(!Dock().isVisible());
        QVERIFY(Form().mnEdit->actions().contains(Form().ProblemCommands().actProblems));
        Press(QKeySequence(Qt::Key_F9));
        QVERIFY(Dock().isVisible());
        QCOMPARE(Dock().windowTitle(), QStringLiteral("Проверка: 4"));
        QCOMPARE(TProblemsDock::TitleFor(1116), QStringLiteral("Проверка: 1 116"));

        List().sortByColumn(TProblemsModel::AccountColumn, Qt::AscendingOrder);
        QCOMPARE(Row(0), QStringList({"Trailer Record", "", "(310107) Total Account Records", "000000003",
                                      "итог не совпадает с записями, по ним 000000002"}));
        QCOMPARE(Row(1), QStringList({"Account Record", "ACC1", "(310016) Currency Code", "XYZ",
                                      "нет такого кода в справочнике"}));
        QCOMPARE(Row(2)[TProblemsModel::FieldColumn], QStringLiteral("(310258) Change Type"));
        QCOMPARE(Row(3)[TProblemsModel::ValueColumn], QStringLiteral("  surplus"));
        QCOMPARE(Row(3)[TProblemsModel::ReasonColumn], QStringLiteral("текст за концом записи, при сохранении пропадёт"));
        List().sortByColumn(TProblemsModel::AccountColumn, Qt::DescendingOrder);
        QCOMPARE(Row(3)[TProblemsModel::RecordColumn], QStringLiteral("Trailer Record"));
    }

    void jumpToAFindingInAnotherAccount()
    {
        OpenFileWithFaults();
        Form().ShowContent(RecOf(Account, "ACC1"));
        Form().ProblemCommands().actProblems->trigger();
        List().setFocus();
        List().setCurrentIndex(List().model()->index(RowWith(TProblemsModel::FieldColumn, "(310258) Change Type"), 0));
        QTest::keyClick(&List(), Qt::Key_Return);

        QVERIFY(Form().cbFilter->currentText().startsWith(QLatin1String("ACC2")));
        QCOMPARE(FocusedCell(), std::pair(RecOf(Consumer, "ACC2"), ChangeTypeField));
        const auto* grid = qobject_cast<TRecordGrid*>(QApplication::focusWidget());
        QVERIFY(Form().ScrollBar->value() > 0);  // moved sideways with the window's bar
        QVERIFY(grid->viewport()->rect().contains(grid->visualRect(grid->currentIndex())));
    }

    void nextProblemGoesAcrossPanelsAndWraps()
    {
        OpenFileWithFaults();
        TRecordGrid& header = GridOf(Form(), Header);
        header.setFocus();
        header.setCurrentIndex(header.model()->index(0, 0));

        Press(QKeySequence(Qt::Key_F8));
        QCOMPARE(FocusedCell(), std::pair(RecOf(Account, "ACC1"), CurrencyField));
        Press(QKeySequence(Qt::Key_F8));
        QCOMPARE(FocusedCell(), std::pair(RecOf(Consumer, "ACC2"), ChangeTypeField));
        QVERIFY(Form().StatusBar->NoteText().isEmpty());
        Press(QKeySequence(Qt::Key_F8));
        QCOMPARE(FocusedCell(), std::pair(RecOf(Account, "ACC1"), CurrencyField));
        QCOMPARE(Form().StatusBar->NoteText(), TProblemCommands::WrappedForward);
        Press(QKeySequence(Qt::SHIFT | Qt::Key_F8));
        QCOMPARE(FocusedCell(), std::pair(RecOf(Consumer, "ACC2"), ChangeTypeField));
        QCOMPARE(Form().StatusBar->NoteText(), TProblemCommands::WrappedBackward);
        // The note hides neither the counts nor the changed state.
        QCOMPARE(Form().StatusBar->PanelText(0), QStringLiteral("Записей: 8 из 8"));
        QVERIFY(Form().StatusBar->findChild<QWidget*>("StatusPanel0")->isVisible());
        QVERIFY(Form().StatusBar->findChild<QWidget*>("StatusPanel1")->isVisible());
    }

    void listFollowsAnEditThatMendsAValueAndADeletion()
    {
        OpenFileWithFaults();
        const QString accepted = Form().Format().GetRule(Account, "310016")->ValSet->ValList.front()->Value;
        FWindow->Prompts.Dialogs.push_back([&](QDialog& dialog) {
            static_cast<TEditForm&>(dialog).ContentRec->SetVal("310016", accepted);
            return int(QDialog::Accepted);
        });
        Form().EditRec(RecOf(Account, "ACC1"));
        QCOMPARE(Dock().windowTitle(), QStringLiteral("Проверка: 3"));
        QCOMPARE(RowWith(TProblemsModel::AccountColumn, "ACC1"), -1);

        TContentRec* holder = RecOf(Consumer, "ACC2");
        TRecordGrid& grid = GridOf(Form(), Consumer);
        FWindow->Prompts.Answers.push_back(TAnswer::Yes);
        Form().DeleteRec(&grid, grid.RowOf(holder));
        // The holder's finding goes, and the totals the deletion recomputed are right now.
        QCOMPARE(Dock().windowTitle(), QStringLiteral("Проверка: 1"));
        QCOMPARE(Row(0)[TProblemsModel::ValueColumn], QStringLiteral("  surplus"));

        // Undo brings the findings back (the deletion's old totals with them); redo takes them away again.
        Form().actUndo->trigger();
        QCOMPARE(Dock().windowTitle(), QStringLiteral("Проверка: 3"));
        Form().actUndo->trigger();
        QCOMPARE(Dock().windowTitle(), QStringLiteral("Проверка: 4"));
        Form().actRedo->trigger();
        Form().actRedo->trigger();
        QCOMPARE(Dock().windowTitle(), QStringLiteral("Проверка: 1"));
    }
};

QTEST_MAIN(TProblemsTest)
#include "tst_problems.moc"
