// The connection string editor behind the "..." button of the settings dialog.

#include "TConnectionStringEditor.h"
#include "TScriptedPrompts.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

const QString SqlLogin = QStringLiteral(
    "Provider=SQLOLEDB.1;Persist Security Info=True;User ID=sa;Password=\"p;w\";Initial Catalog=FaBank;"
    "Data Source=SRV01;Application Name=x");
const QString WindowsLogin =
    QStringLiteral("Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;Initial Catalog=FaBank;"
                   "Data Source=SRV01");

using TSteps = std::function<void(TConnectionStringEditor&)>;

// Plays the editor: shown, the steps done, then closed with a button.
std::function<int(QDialog&)> Play(TSteps steps, bool confirm)
{
    return [steps, confirm](QDialog& dialog) {
        auto& editor = static_cast<TConnectionStringEditor&>(dialog);
        editor.show();
        if (steps)
            steps(editor);
        QTest::mouseClick(confirm ? editor.btnOK : editor.btnCancel, Qt::LeftButton);
        return editor.result();
    };
}

void Retype(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

}  // namespace

class TConnectionStringEditorTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TScriptedPrompts> FPrompts;
    std::unique_ptr<TConnectionStringEditor> FEditor;

    QString Edit(const QString& text, TSteps steps, bool confirm = true)
    {
        FPrompts->Dialogs.push_back(Play(steps, confirm));
        return FEditor->Execute(text);
    }

private slots:
    void init()
    {
        FPrompts = std::make_unique<TScriptedPrompts>();
        FEditor = std::make_unique<TConnectionStringEditor>();
    }

    void cleanup()
    {
        FEditor.reset();
        FPrompts.reset();
    }

    void showsTheStringByItsParts()
    {
        FEditor->SetConnectionString(SqlLogin);
        QCOMPARE(FEditor->edServer->text(), QStringLiteral("SRV01"));
        QCOMPARE(FEditor->edDatabase->text(), QStringLiteral("FaBank"));
        QVERIFY(FEditor->rbSqlAuth->isChecked());
        QCOMPARE(FEditor->edUserName->text(), QStringLiteral("sa"));
        QCOMPARE(FEditor->edPassword->text(), QStringLiteral("p;w"));
        QCOMPARE(FEditor->edPassword->echoMode(), QLineEdit::Password);
        QVERIFY(FEditor->edUserName->isEnabled());
        QCOMPARE(FEditor->edResult->toPlainText(), QString(SqlLogin).replace("\"p;w\"", "***"));

        // Other names of the same keys.
        FEditor->SetConnectionString("server=S2;database=D2;Trusted_Connection=yes;UID=ignored");
        QCOMPARE(FEditor->edServer->text(), QStringLiteral("S2"));
        QCOMPARE(FEditor->edDatabase->text(), QStringLiteral("D2"));
        QVERIFY(FEditor->rbWindowsAuth->isChecked());
        QVERIFY(!FEditor->edUserName->isEnabled());
        QVERIFY(!FEditor->edPassword->isEnabled());
    }

    void confirmedUntouchedGivesTheSameString()
    {
        const QString odd = QStringLiteral(" provider = SQLOLEDB.1 ;;server='SRV;01'; Application Name = x ;");
        for (const QString& text : {SqlLogin, WindowsLogin, odd, QString()})
            QCOMPARE(Edit(text, nullptr), text);
    }

    void editsKeepEveryOtherPairInItsPlace()
    {
        const QString edited = Edit(SqlLogin, [](TConnectionStringEditor& editor) {
            Retype(editor.edServer, "SRV02");
            Retype(editor.edDatabase, "Fa Test");
            Retype(editor.edPassword, "new;one");
            QCOMPARE(editor.edResult->toPlainText(),
                     "Provider=SQLOLEDB.1;Persist Security Info=True;User ID=sa;Password=*******;"
                     "Initial Catalog=Fa Test;Data Source=SRV02;Application Name=x");
        });
        QCOMPARE(edited, "Provider=SQLOLEDB.1;Persist Security Info=True;User ID=sa;Password=\"new;one\";"
                         "Initial Catalog=Fa Test;Data Source=SRV02;Application Name=x");
    }

    void thePreviewMasksThePasswordOnly()
    {
        const QString edited = Edit(WindowsLogin, [](TConnectionStringEditor& editor) {
            QTest::mouseClick(editor.rbSqlAuth, Qt::LeftButton);
            QTest::keyClicks(editor.edUserName, "fa_user");
            QTest::keyClicks(editor.edPassword, "secret");
            QCOMPARE(editor.edResult->toPlainText(),
                     "Provider=SQLOLEDB.1;Persist Security Info=False;Initial Catalog=FaBank;Data Source=SRV01;"
                     "User ID=fa_user;Password=******");
        });
        QVERIFY(edited.endsWith(";User ID=fa_user;Password=secret"));
    }

    void switchingTheLoginRewritesOnlyItsPairs()
    {
        const QString toWindows = Edit(SqlLogin, [](TConnectionStringEditor& editor) {
            QTest::mouseClick(editor.rbWindowsAuth, Qt::LeftButton);
            QVERIFY(!editor.edUserName->isEnabled());
        });
        QCOMPARE(toWindows, "Provider=SQLOLEDB.1;Persist Security Info=True;Initial Catalog=FaBank;"
                            "Data Source=SRV01;Application Name=x;Integrated Security=SSPI");

        const QString toSql = Edit(WindowsLogin, [](TConnectionStringEditor& editor) {
            QTest::mouseClick(editor.rbSqlAuth, Qt::LeftButton);
            QVERIFY(editor.edUserName->isEnabled());
            QTest::keyClicks(editor.edUserName, "fa_user");
            QTest::keyClicks(editor.edPassword, "secret");
        });
        QCOMPARE(toSql, "Provider=SQLOLEDB.1;Persist Security Info=False;Initial Catalog=FaBank;Data Source=SRV01;"
                        "User ID=fa_user;Password=secret");
    }

    void emptiedFieldsDropTheirPairs()
    {
        const QString edited = Edit(SqlLogin, [](TConnectionStringEditor& editor) {
            editor.edDatabase->clear();
            editor.edPassword->clear();
        });
        QCOMPARE(edited, "Provider=SQLOLEDB.1;Persist Security Info=True;User ID=sa;Data Source=SRV01;"
                         "Application Name=x");
    }

    void aNewStringNamesTheProvider()
    {
        const QString edited = Edit(QString(), [](TConnectionStringEditor& editor) {
            QVERIFY(editor.rbSqlAuth->isChecked());
            QTest::keyClicks(editor.edServer, "SRV01");
            QTest::mouseClick(editor.rbWindowsAuth, Qt::LeftButton);
        });
        QCOMPARE(edited, QStringLiteral("Provider=SQLOLEDB.1;Data Source=SRV01;Integrated Security=SSPI"));
    }

    void cancelReturnsTheStringUnchanged()
    {
        const QString edited = Edit(
            SqlLogin,
            [](TConnectionStringEditor& editor) {
                Retype(editor.edServer, "elsewhere");
                QTest::mouseClick(editor.rbWindowsAuth, Qt::LeftButton);
            },
            false);
        QCOMPARE(edited, SqlLogin);
        QCOMPARE(FPrompts->Shown, QList<TShownPrompt>({{TPromptKind::Dialog, "Подключение к БД Диасофт Fa#", ""}}));
    }
};

QTEST_MAIN(TConnectionStringEditorTest)
#include "tst_connectionstringeditor.moc"
