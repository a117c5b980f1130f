// "Заменить значение…": one field set to one value in many records. The
// preview counts what the replacement changes, one undo gives back the file as
// it was read, and a change of the account number re-sorts the records and
// moves the filter with them.

#include "ShownText.h"
#include "TFldValModel.h"
#include "TReplaceValueForm.h"
#include "TScriptedPrompts.h"
#include "UiTestSupport.h"
#include "UvoToolFixture.h"
#include "ViewFixture.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>

#include <functional>
#include <memory>

using namespace ViewFixture;

namespace {

const QString SourceOfPayment = QStringLiteral("310460");
const int SourceOfPaymentColumn = 8;  // its place in the Account History layout

}  // namespace

class TReplaceTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TFreshWindow> FWindow;
    QString FPreview;  // the preview line of the last dialog, as it was confirmed

    TMainForm& Form() { return *FWindow->Form; }
    TContent& Content() { return Form().Content(); }

    // Header; ACC2 before ACC1, out of order as a file may come; each account
    // with its Account record, a holder and three histories whose sources of
    // payment are 02, 98, the empty value for ACC2 and 01, 02, 02 for ACC1; a
    // Trailer. Written and read into the shown window.
    QByteArray OpenFile()
    {
        TUvoFileBuilder b;
        b.Add(Header);
        const auto addAccount = [&b](const QString& account, const QStringList& sources) {
            b.Add(Account, account);
            b.Add(Consumer, account, {{"310065", "01"}});
            for (int i = 0; i < sources.size(); ++i)
                b.Add(History, account, {{"310059", QStringLiteral("000%1").arg(i + 1)}, {"310460", sources[i]}});
        };
        addAccount(QStringLiteral("ACC2"), {"02", "98", ""});
        addAccount(QStringLiteral("ACC1"), {"01", "02", "02"});
        b.Add(Trailer);
        b.CalcTotals();
        const QString path = FWindow->Dir.FilePath(QStringLiteral("in.uvo"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(b.Bytes()) <= 0)
            qFatal("cannot write the test file");
        file.close();
        Form().show();
        if (!QTest::qWaitForWindowExposed(&Form()))
            qFatal("the window is not shown");
        Form().LoadUVO(path);
        return b.Bytes();
    }

    QStringList SourcesOfPayment()
    {
        QStringList values;
        for (const TContentRec* rec : Content().Records())
            if (rec->Rec->RecID == History)
                values << rec->Account + u':' + rec->GetVal(SourceOfPayment);
        return values;
    }

    // The next replace dialog is shown, set up as the test says, typed into
    // its value editor, and confirmed with "Заменить".
    void PlayReplace(const std::function<void(TReplaceValueForm&)>& setUp, const QString& typed)
    {
        FWindow->Prompts.Dialogs.push_back([this, setUp, typed](QDialog& dialog) {
            auto& form = static_cast<TReplaceValueForm&>(dialog);
            form.show();
            setUp(form);
            const QModelIndex value = form.Rows->index(form.cbField->currentData().toInt(), TFldValModel::ValueColumn);
            form.ValueVT->edit(value);
            QWidget* editor = form.ValueVT->indexWidget(value);
            if (!editor)
                return int(QDialog::Rejected);
            QTest::keyClicks(editor, typed);
            QTest::keyClick(editor, Qt::Key_Return);
            FPreview = form.lbPreview->text();
            form.btnReplace->click();
            return form.result();
        });
    }

    static void Choose(TReplaceValueForm& form, const QString& recId, const QString& caption)
    {
        form.cbRecType->setCurrentIndex(form.cbRecType->findData(recId));
        form.cbField->setCurrentIndex(form.cbField->findText(caption));
    }

private slots:
    void init() { FWindow = std::make_unique<TFreshWindow>(); }

    void cleanup() { FWindow.reset(); }

    void previewCountsTheRecordsThatChange_data()
    {
        QTest::addColumn<QString>("scope");
        QTest::addColumn<QString>("whereValue");
        QTest::addColumn<QString>("preview");
        QTest::addColumn<QStringList>("after");
        const QString counts = QStringLiteral("Изменится записей: %1; с недопустимым значением сейчас: %2, после замены: %3");
        QTest::newRow("all of the type") << "rbAllRecs" << "" << counts.arg(5).arg(1).arg(0)
                                         << QStringList{"ACC1:01", "ACC1:01", "ACC1:01", "ACC2:01", "ACC2:01", "ACC2:01"};
        QTest::newRow("shown by the filter") << "rbShownRecs" << "" << counts.arg(2).arg(0).arg(0)
                                             << QStringList{"ACC1:01", "ACC1:01", "ACC1:01", "ACC2:02", "ACC2:98", "ACC2:"};
        QTest::newRow("holding a value") << "rbWhereValue" << "02" << counts.arg(3).arg(0).arg(0)
                                         << QStringList{"ACC1:01", "ACC1:01", "ACC1:01", "ACC2:01", "ACC2:98", "ACC2:"};
        QTest::newRow("holding the empty value") << "rbWhereValue" << "" << counts.arg(1).arg(1).arg(0)
                                                 << QStringList{"ACC1:01", "ACC1:02", "ACC1:02", "ACC2:02", "ACC2:98", "ACC2:01"};
    }

    void previewCountsTheRecordsThatChange()
    {
        QFETCH(QString, scope);
        QFETCH(QString, whereValue);
        QFETCH(QString, preview);
        QFETCH(QStringList, after);
        OpenFile();
        TContentRec* acc1History = nullptr;
        for (TContentRec* rec : Content().Records())
            if (rec->Rec->RecID == History && rec->Account == u"ACC1" && rec->GetVal(SourceOfPayment) == u"02")
                acc1History = rec;
        Form().ShowContent(acc1History);  // the filter on ACC1
        QVERIFY(Form().PanelGroup->FocusField(acc1History, SourceOfPaymentColumn));

        PlayReplace(
            [&](TReplaceValueForm& form) {
                // The dialog starts on the cell the user was on.
                QCOMPARE(form.cbRecType->currentText(), QStringLiteral("Account History Record"));
                QCOMPARE(form.cbField->currentText(), QStringLiteral("(310460) Source of Payment"));
                QCOMPARE(form.edWhereValue->text(), QStringLiteral("02"));
                QVERIFY(form.rbShownRecs->isChecked());  // the filter shows one account
                form.findChild<QRadioButton*>(scope)->setChecked(true);
                form.edWhereValue->setText(whereValue);
            },
            QStringLiteral("01"));
        Form().actReplace->trigger();

        QCOMPARE(FPreview, preview);
        QStringList sources = SourcesOfPayment();
        sources.sort();
        after.sort();
        QCOMPARE(sources, after);
        QCOMPARE(ShownText(*Form().actUndo), QStringLiteral("Отменить: замена значения"));
    }

    void oneUndoGivesBackTheFileAsRead()
    {
        const QByteArray read = OpenFile();
        const std::vector<TContentRec*> order = Content().Records();
        PlayReplace([](TReplaceValueForm& form) {
            Choose(form, Account, QStringLiteral("(310011) Consumer Account Number"));
            form.rbWhereValue->setChecked(true);
            form.edWhereValue->setText(QStringLiteral("ACC2"));
        }, QStringLiteral("ACC3"));
        Form().actReplace->trigger();
        QVERIFY(Content().Records() != order);  // sorted once a key changed

        Form().actUndo->trigger();
        QVERIFY(!Form().actUndo->isEnabled());
        QVERIFY(Content().Records() == order);
        const QString saved = FWindow->Dir.FilePath(QStringLiteral("saved.uvo"));
        Form().SaveToFile(saved);
        QFile file(saved);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), read);
    }

    void accountNumberMovesTheRecordsAndTheFilter()
    {
        OpenFile();
        TContentRec* holder = nullptr;
        for (TContentRec* rec : Content().Records())
            if (rec->Rec->RecID == Consumer && rec->Account == u"ACC2")
                holder = rec;
        Form().ShowContent(holder);
        QVERIFY(Form().PanelGroup->FocusField(holder, 4));  // its account number
        PlayReplace([](TReplaceValueForm& form) { QVERIFY(form.rbShownRecs->isChecked()); }, QStringLiteral("ACC0"));
        Form().actReplace->trigger();

        // ACC2's records of the type moved to ACC0, first in the file now; the
        // records of ACC1 kept theirs.
        QVERIFY(FPreview.startsWith(QStringLiteral("Изменится записей: 1;")));
        QCOMPARE(holder->Account, QStringLiteral("ACC0"));
        QCOMPARE(Content().IndexOf(holder), 1);
        QVERIFY(Form().cbFilter->currentText().startsWith(QLatin1String("ACC0")));
        QCOMPARE(FocusedCell(Form()).first, holder);
        QCOMPARE(RowCounts(Form()), QList<int>{1});
    }
};

QTEST_MAIN(TReplaceTest)
#include "tst_replace.moc"
