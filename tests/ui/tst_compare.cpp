// The open file compared with last month's: the dock "Сравнение" after the
// older file is chosen, its jump to a changed field, and the dock after an
// edit and its undo.

#include "TCompareCommands.h"
#include "TCompareDock.h"
#include "TCompareModel.h"
#include "TLongFileTask.h"
#include "TScriptedPrompts.h"
#include "UiTestSupport.h"
#include "UvoIds.h"
#include "UvoToolFixture.h"
#include "ViewFixture.h"

#include <QAction>
#include <QMenu>
#include <QProgressDialog>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QtTest>

#include <memory>

using namespace ViewFixture;

namespace {

// The Header, per account an Account and a Consumer Name record, the Trailer.
QByteArray File(const QStringList& accounts, const QString& changedAccount = {})
{
    TUvoFileBuilder b;
    b.Add(Header);
    for (const QString& account : accounts) {
        b.Add(Account, account);
        b.Add(Consumer, account,
              {{"310065", "01"}, {"310233", account == changedAccount ? QStringLiteral("Семёнов") : QStringLiteral("Иванов")}});
    }
    b.Add(Trailer);
    b.CalcTotals();
    return b.Bytes();
}

}  // namespace

class TCompareTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TFreshWindow> FWindow;

    TMainForm& Form() { return *FWindow->Form; }
    TCompareDock& Dock() { return *Form().CompareCommands().Dock(); }
    QTreeView& Tree() { return *Dock().View(); }

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = FWindow->Dir.FilePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the test file");
        return path;
    }

    // Now A1, A3 with its holder renamed, and A4, in the shown window.
    void Open()
    {
        Form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&Form()));
        Form().LoadUVO(Write(QStringLiteral("newer.uvo"), File({"A1", "A3", "A4"}, "A3")));
    }

    // Last month A1, A2, A3.
    void Compare()
    {
        FWindow->Prompts.FileNames.push_back(Write(QStringLiteral("older.uvo"), File({"A1", "A2", "A3"})));
        QTest::keySequence(&Form(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
        QVERIFY(Form().CompareCommands().Dock());
    }

    // The top entries: the subject and the change of each.
    QStringList Groups()
    {
        QStringList groups;
        for (int row = 0; row < Tree().model()->rowCount(); ++row)
            groups << Text(Tree().model()->index(row, 0)) + u' ' +
                          Text(Tree().model()->index(row, TCompareModel::ChangeColumn));
        return groups;
    }

    QModelIndex GroupOf(const QString& subject)
    {
        const QAbstractItemModel& model = *Tree().model();
        for (int row = 0; row < model.rowCount(); ++row)
            if (Text(model.index(row, 0)) == subject)
                return model.index(row, 0);
        return {};
    }

    static QString Text(const QModelIndex& index) { return index.data().toString(); }

    TContentRec* RecOf(const QString& recId, const QString& account)
    {
        for (TContentRec* rec : Form().Content().Records())
            if (rec->Rec->RecID == recId && rec->Account == account)
                return rec;
        return nullptr;
    }

    void Choose(const QModelIndex& index)
    {
        Tree().setFocus();
        Tree().setCurrentIndex(index);
        QTest::keyClick(&Tree(), Qt::Key_Return);
    }

private slots:
    void init() { FWindow = std::make_unique<TFreshWindow>(); }

    void cleanup() { FWindow.reset(); }

    void jumpFromAChangedFieldToTheOpenFile()
    {
        QVERIFY(Form().mnEdit->actions().contains(Form().CompareCommands().actCompare));
        Open();
        TLongFileTask::SetShowAfter(0);
        QString progressLabel;
        QTimer::singleShot(0, this, [&] {
            if (auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget()))
                progressLabel = dialog->labelText();
        });
        Compare();
        TLongFileTask::SetShowAfter(TLongFileTask::DefaultShowAfterMs);
        QCOMPARE(progressLabel, QStringLiteral("Сравнение с файлом…"));
        QCOMPARE(FWindow->Prompts.Shown.last(), (TShownPrompt{TPromptKind::OpenFile, "Файлы UVO (*.uvo)", QString()}));
        QVERIFY(Dock().isVisible());
        QCOMPARE(Dock().windowTitle(), QStringLiteral("Сравнение: счетов добавлено 1, удалено 1, изменено 1"));
        QCOMPARE(Groups(), QStringList({"A2 удалён", "A3 изменён", "A4 добавлен"}));
        Tree().sortByColumn(TCompareModel::ChangeColumn, Qt::AscendingOrder);
        QCOMPARE(Groups(), QStringList({"A4 добавлен", "A3 изменён", "A2 удалён"}));

        const QModelIndex record = Tree().model()->index(0, 0, GroupOf("A3"));
        const QModelIndex field = Tree().model()->index(0, 0, record);
        QCOMPARE(Text(record), QStringLiteral("(300300) Consumer Name Record"));
        QCOMPARE(Text(field), QStringLiteral("(310233) Surname / Company Name"));
        QCOMPARE(Text(field.siblingAtColumn(TCompareModel::OldColumn)), QStringLiteral("Иванов"));
        QCOMPARE(Text(field.siblingAtColumn(TCompareModel::NewColumn)), QStringLiteral("Семёнов"));
        Form().ShowContent(RecOf(Account, "A1"));
        Choose(field);
        QVERIFY(Form().cbFilter->currentText().startsWith(QLatin1String("A3")));
        TContentRec* holder = RecOf(Consumer, "A3");
        QCOMPARE(FocusedCell(Form()), std::pair(holder, holder->FindFld(UvoIds::SurnameFld)->Index()));

        Choose(GroupOf("A2"));
        QCOMPARE(Form().StatusBar->currentMessage(), TCompareDock::AccountOnlyInOlder);
    }

    void dockFollowsAnEditAndItsUndo()
    {
        Open();
        Compare();
        Tree().expand(GroupOf("A4"));
        PlayEditDialog(FWindow->Prompts, {{UvoIds::SurnameFld, QStringLiteral("Иванов")}});
        Form().EditRec(RecOf(Consumer, "A3"));
        QCOMPARE(Dock().windowTitle(), QStringLiteral("Сравнение: счетов добавлено 1, удалено 1, изменено 0"));
        QCOMPARE(Groups(), QStringList({"A2 удалён", "A4 добавлен"}));
        QVERIFY(Tree().isExpanded(GroupOf("A4")));  // what was open stays open

        Form().actUndo->trigger();
        QCOMPARE(Groups(), QStringList({"A2 удалён", "A3 изменён", "A4 добавлен"}));
        QVERIFY(Tree().isExpanded(GroupOf("A4")));
    }
};

QTEST_MAIN(TCompareTest)
#include "tst_compare.moc"
