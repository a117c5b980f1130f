// The settings dialog "Настройки": what it shows, what it lets be typed, and
// what a confirmed or cancelled run stores.

#include "SettingsFile.h"
#include "TConnectionStringEditor.h"
#include "TScriptedPrompts.h"
#include "TSettingsForm.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

using TSteps = std::function<void(TSettingsForm&)>;

// Plays the settings dialog like a user: shown, the steps done, then closed by
// a key or a button; the result is what closing it left.
std::function<int(QDialog&)> Play(TSteps steps, std::function<void(TSettingsForm&)> close)
{
    return [steps, close](QDialog& dialog) {
        auto& form = static_cast<TSettingsForm&>(dialog);
        form.show();
        if (steps)
            steps(form);
        close(form);
        return form.result();
    };
}

void PressOK(TSettingsForm& form) { QTest::mouseClick(form.btnOK, Qt::LeftButton); }
void PressCancel(TSettingsForm& form) { QTest::mouseClick(form.btnCancel, Qt::LeftButton); }

// Types the text key by key, Cyrillic included.
void Type(QWidget* widget, const QString& text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(ch.toUpper().unicode()), QString(ch), Qt::NoModifier);
}

void Retype(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    Type(edit, text);
}

// Plays the connection string editor: the server renamed, then confirmed.
std::function<int(QDialog&)> EditorRenamesServer(const QString& server)
{
    return [server](QDialog& dialog) {
        auto& editor = static_cast<TConnectionStringEditor&>(dialog);
        editor.edServer->setText(server);
        return int(QDialog::Accepted);
    };
}

TSettings Filled()
{
    TSettings settings;
    settings.ConnectionString = "Provider=SQLOLEDB.1;Data Source=srv;Initial Catalog=fa;Integrated Security=SSPI";
    settings.VersionNumber = "01";
    settings.SubscriberCode = "12345";
    settings.FormatID = "FMT";
    settings.GroupID = "GRP";
    settings.UserID = "USR";
    settings.SubscriberName = "Банк";
    settings.FinanceType = "02";
    settings.FOID = 42;
    return settings;
}

}  // namespace

class TSettingsFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TScriptedPrompts> FPrompts;
    std::unique_ptr<TSettingsForm> FForm;

    QList<QLineEdit*> Fields() const
    {
        return {FForm->edConnectionString, FForm->edVersionNumber, FForm->edSubscriberCode,
                FForm->edFormatID,         FForm->edGroupID,       FForm->edUserID,
                FForm->edSubscriberName,   FForm->edFinanceType};
    }

private slots:
    void init()
    {
        FPrompts = std::make_unique<TScriptedPrompts>();
        FForm = std::make_unique<TSettingsForm>();
    }

    void cleanup()
    {
        FForm.reset();
        FPrompts.reset();
    }

    void showsTheFieldsUnderTheirLabels()
    {
        QCOMPARE(FForm->windowTitle(), QStringLiteral("Настройки"));
        QCOMPARE(FForm->minimumSize(), QSize(357, 498));
        QCOMPARE(FForm->maximumSize(), QSize(357, 498));

        QMap<QWidget*, QLabel*> labels;
        for (QLabel* label : FForm->findChildren<QLabel*>())
            if (label->buddy())
                labels[label->buddy()] = label;
        const QStringList expected = {"Строка подключения к БД Диасофт Fa#",
                                      "Version Number/Номер версии",
                                      "Subscriber Code/Код подписчика",
                                      "Format ID/Идентификатор формата",
                                      "Group ID/Идентификатор группы",
                                      "User ID/Идентификатор пользователя",
                                      "Subscriber Name/Имя подписчика",
                                      "Finance Type/Тип финансирования"};
        const QList<int> maxLengths = {32767, 2, 5, 10, 12, 12, 40, 40};
        FForm->show();
        for (int i = 0; i < Fields().size(); ++i) {
            QLineEdit* field = Fields()[i];
            QLabel* label = labels.value(field);
            QVERIFY2(label, qPrintable(field->objectName()));
            QCOMPARE(label->text(), expected[i]);
            QVERIFY(label->font().bold());
            QCOMPARE(label->font().pixelSize(), 11);
            QCOMPARE(field->font().pixelSize(), 13);
            QVERIFY(label->geometry().bottom() < field->geometry().top());
            QCOMPARE(field->maxLength(), maxLengths[i]);
        }
        QCOMPARE(FForm->btnConnectionString->text(), QStringLiteral("..."));
        QVERIFY(FForm->btnConnectionString->geometry().left() > FForm->edConnectionString->geometry().right());
        QCOMPARE(FForm->btnOK->text(), QStringLiteral("ОК"));
        QVERIFY(FForm->btnOK->isDefault());
        QCOMPARE(FForm->btnCancel->text(), QStringLiteral("Отмена"));
    }

    void tabGoesThroughTheFieldsInOrder()
    {
        QStringList order;
        QWidget* widget = FForm->edConnectionString;
        do {
            if (widget->focusPolicy() & Qt::TabFocus)
                order << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget != FForm->edConnectionString);
        QCOMPARE(order, QStringList({"edConnectionString", "btnConnectionString", "edVersionNumber",
                                     "edSubscriberCode", "edFormatID", "edGroupID", "edUserID", "edSubscriberName",
                                     "edFinanceType", "btnOK", "btnCancel"}));
    }

    void confirmedValuesAreStored()
    {
        TSettings settings = Filled();
        QStringList shown;
        FPrompts->Dialogs.push_back(Play(
            [&](TSettingsForm& form) {
                for (QLineEdit* field : Fields())
                    shown << field->text();
                Retype(form.edVersionNumber, "2");
                Retype(form.edSubscriberCode, "54321");
                Retype(form.edFormatID, " F 1 ");
                Retype(form.edGroupID, "Группа");
                Retype(form.edUserID, "U2");
                Retype(form.edSubscriberName, "ООО \"Ромашка\"");
                Retype(form.edFinanceType, "07");
            },
            PressOK));

        const TSettingsForm::TResult result = FForm->Execute(settings);

        QCOMPARE(shown, QStringList({Filled().ConnectionString, "01", "12345", "FMT", "GRP", "USR", "Банк", "02"}));
        QVERIFY(result.Confirmed);
        QVERIFY(!result.ConnectionStringChanged);
        QCOMPARE(FPrompts->Shown, QList<TShownPrompt>({{TPromptKind::Dialog, "Настройки", ""}}));
        TSettings expected = Filled();
        expected.VersionNumber = "2";
        expected.SubscriberCode = "54321";
        expected.FormatID = " F 1 ";  // as typed: neither trimmed nor padded
        expected.GroupID = "Группа";
        expected.UserID = "U2";
        expected.SubscriberName = "ООО \"Ромашка\"";
        expected.FinanceType = "07";
        QCOMPARE(settings, expected);  // FOID included
    }

    void enterConfirmsAndEscapeCancels()
    {
        TSettings settings = Filled();
        const auto typeThenPress = [](Qt::Key key) {
            return Play([](TSettingsForm& form) { Retype(form.edGroupID, "G9"); },
                        [key](TSettingsForm& form) { QTest::keyClick(form.edGroupID, key); });
        };
        FPrompts->Dialogs.push_back(typeThenPress(Qt::Key_Escape));
        QVERIFY(!FForm->Execute(settings).Confirmed);
        QCOMPARE(settings, Filled());

        FPrompts->Dialogs.push_back(typeThenPress(Qt::Key_Return));
        QVERIFY(FForm->Execute(settings).Confirmed);
        QCOMPARE(settings.GroupID, QStringLiteral("G9"));
    }

    void cancelStoresNothing()
    {
        TSettings settings = Filled();
        QString builtText;
        FPrompts->Dialogs.push_back(Play(
            [&](TSettingsForm& form) {
                for (QLineEdit* field : Fields().mid(1))
                    Retype(field, "9");
                QTest::mouseClick(form.btnConnectionString, Qt::LeftButton);
                builtText = form.edConnectionString->text();
            },
            PressCancel));
        FPrompts->Dialogs.push_back(EditorRenamesServer("other"));

        const TSettingsForm::TResult result = FForm->Execute(settings);

        QCOMPARE(builtText, QString(Filled().ConnectionString).replace("srv", "other"));
        QVERIFY(!result.Confirmed);
        QVERIFY(!result.ConnectionStringChanged);
        QCOMPARE(settings, Filled());

        // The next run shows the stored values again, not what was typed.
        QStringList shown;
        FPrompts->Dialogs.push_back(Play(
            [&](TSettingsForm&) {
                for (QLineEdit* field : Fields())
                    shown << field->text();
            },
            PressCancel));
        FForm->Execute(settings);
        QCOMPARE(shown, QStringList({Filled().ConnectionString, "01", "12345", "FMT", "GRP", "USR", "Банк", "02"}));
    }

    void valuesAreCutToTheirCapacity()
    {
        TSettings settings;
        const QString name40 = QString("Акционерный коммерческий банк").leftJustified(40, u'Я');
        const QString connection300 = "Data Source=" + QString(288, u'x');
        FPrompts->Dialogs.push_back(Play(
            [&](TSettingsForm& form) {
                Type(form.edFinanceType, "123");
                Type(form.edSubscriberName, name40 + "!");
                form.edConnectionString->setText(connection300);
            },
            PressOK));

        QVERIFY(FForm->Execute(settings).ConnectionStringChanged);

        QCOMPARE(settings.FinanceType, QStringLiteral("12"));
        QCOMPARE(settings.SubscriberName, name40);
        QCOMPARE(int(SettingsFile::Encode(settings).at(302)), 40);
        QCOMPARE(settings.ConnectionString, connection300.left(255));
    }

    void digitsOnlyFieldsRefuseOtherCharacters_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("version number") << "edVersionNumber" << "a1-b2" << "12";
        QTest::newRow("version number, at most 2") << "edVersionNumber" << "123" << "12";
        QTest::newRow("subscriber code") << "edSubscriberCode" << "1 2x34.5" << "12345";
        QTest::newRow("subscriber code, cyrillic") << "edSubscriberCode" << "Ю7" << "7";
    }

    void digitsOnlyFieldsRefuseOtherCharacters()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        FForm->show();
        auto* edit = FForm->findChild<QLineEdit*>(field);
        Type(edit, typed);
        QCOMPARE(edit->text(), kept);

        edit->clear();
        QApplication::clipboard()->setText("4a");
        QTest::keySequence(edit, QKeySequence::Paste);
        QCOMPARE(edit->text(), QString());
        QApplication::clipboard()->setText("45");
        QTest::keySequence(edit, QKeySequence::Paste);
        QCOMPARE(edit->text(), QStringLiteral("45"));
    }

    void connectionStringIsReportedOnlyWhenItChanged_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("changed");
        const QString text = Filled().ConnectionString;
        QTest::newRow("unchanged") << text << text << false;
        QTest::newRow("one character") << text << QString(text).replace("srv", "srw") << true;
        QTest::newRow("case of one character") << text << QString(text).replace("srv", "Srv") << true;
        QTest::newRow("trailing space") << text << text + " " << true;
        QTest::newRow("emptied") << text << QString() << true;
        const QString full = QString(255, u'c');
        QTest::newRow("differs only beyond 255") << full << full + "more" << false;
    }

    void connectionStringIsReportedOnlyWhenItChanged()
    {
        QFETCH(QString, stored);
        QFETCH(QString, typed);
        QFETCH(bool, changed);
        TSettings settings = Filled();
        settings.ConnectionString = stored;
        FPrompts->Dialogs.push_back(Play([&](TSettingsForm& form) { form.edConnectionString->setText(typed); }, PressOK));

        const TSettingsForm::TResult result = FForm->Execute(settings);

        QVERIFY(result.Confirmed);
        QCOMPARE(result.ConnectionStringChanged, changed);
        QCOMPARE(settings.ConnectionString, typed.left(255));
    }

    void passwordsAreMaskedInTheFieldAndKeptUnlessRetyped_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<std::function<void(QLineEdit*)>>("edit");
        QTest::addColumn<QString>("kept");
        const QString stored = "Data Source=srv;User ID=uvo;Password=Пароль-7;pwd={x;y}";
        const QString shown = "Data Source=srv;User ID=uvo;Password=********;pwd=********";
        const auto none = [](QLineEdit*) {};
        QTest::newRow("untouched") << stored << shown << std::function<void(QLineEdit*)>(none) << stored;
        QTest::newRow("another server")
            << stored << shown
            << std::function<void(QLineEdit*)>([](QLineEdit* e) { e->setText(QString(e->text()).replace("srv", "db2")); })
            << "Data Source=db2;User ID=uvo;Password=Пароль-7;pwd={x;y}";
        QTest::newRow("a new password")
            << stored << shown
            << std::function<void(QLineEdit*)>([](QLineEdit* e) { e->setText("Data Source=srv;PASSWORD=новый"); })
            << "Data Source=srv;PASSWORD=новый";
    }

    void passwordsAreMaskedInTheFieldAndKeptUnlessRetyped()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QFETCH(std::function<void(QLineEdit*)>, edit);
        QFETCH(QString, kept);
        TSettings settings = Filled();
        settings.ConnectionString = stored;
        QString text;
        FPrompts->Dialogs.push_back(Play(
            [&](TSettingsForm& form) {
                text = form.edConnectionString->text();
                edit(form.edConnectionString);
            },
            PressOK));
        FForm->Execute(settings);
        QCOMPARE(text, shown);
        QCOMPARE(settings.ConnectionString, kept);
    }

    void connectionStringButtonOpensTheEditor_data()
    {
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("confirmed") << true
                                   << "Provider=SQLOLEDB.1;Data Source=new;Initial Catalog=fa;Integrated Security=SSPI";
        QTest::newRow("cancelled") << false << Filled().ConnectionString;
    }

    void connectionStringButtonOpensTheEditor()
    {
        QFETCH(bool, confirmed);
        QFETCH(QString, expected);
        TSettings settings = Filled();
        QString editorServer;
        QString text;
        QWidget* focused = nullptr;
        FPrompts->Dialogs.push_back(Play(
            [&](TSettingsForm& form) {
                form.edSubscriberName->setFocus();
                QTest::mouseClick(form.btnConnectionString, Qt::LeftButton);
                text = form.edConnectionString->text();
                focused = form.focusWidget();
            },
            PressCancel));
        FPrompts->Dialogs.push_back([&](QDialog& dialog) {
            auto& editor = static_cast<TConnectionStringEditor&>(dialog);
            editorServer = editor.edServer->text();
            editor.edServer->setText("new");
            return int(confirmed ? QDialog::Accepted : QDialog::Rejected);
        });

        FForm->Execute(settings);

        QCOMPARE(FPrompts->Shown.size(), 2);
        QCOMPARE(FPrompts->Shown[1].Title, QStringLiteral("Подключение к БД Диасофт Fa#"));
        QCOMPARE(editorServer, QStringLiteral("srv"));
        QCOMPARE(text, expected);
        QCOMPARE(focused, FForm->edConnectionString);
    }
};

QTEST_MAIN(TSettingsFormTest)
#include "tst_settingsform.moc"
