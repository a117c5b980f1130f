// Start-up and shutdown of the main window: the two modes, the settings file.

#include "AppWindows.h"
#include "SettingsFile.h"
#include "TAccountFilter.h"
#include "TMainForm.h"
#include "TMainStatusBar.h"
#include "TPanelArea.h"
#include "TRecordPopup.h"
#include "TScriptedPrompts.h"
#include "TSettingsForm.h"
#include "UiTestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QScrollBar>
#include <QtTest>

#include <memory>

namespace {

const QString NoSettingsText = QStringLiteral("Не обнаружен файл настроек или неверный формат файла.");
const QString FormatErrorPrefix = QStringLiteral("Ошибка при загрузке структуры UVO файла: \r\n");

QStringList ItemTexts(const QComboBox& box)
{
    QStringList texts;
    for (int i = 0; i < box.count(); ++i)
        texts << box.itemText(i);
    return texts;
}

QStringList EnabledCommands(const TMainForm& form)
{
    QStringList names;
    for (QAction* action : {form.actNew, form.actNewRecs, form.actOpen, form.actSave, form.actSaveAs,
                            form.actLoadFromDB, form.actSettings, form.actCollapse, form.actExpand, form.actExit})
        if (action->isEnabled())
            names << action->objectName();
    return names;
}

void WriteSettings(const TSettings& settings) { SettingsFile::Save(SettingsFile::DefaultFileName, settings); }

}  // namespace

class TStartupTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TTempCurrentDir> FDir;
    std::unique_ptr<TScriptedPrompts> FPrompts;

private slots:
    void init()
    {
        FDir = std::make_unique<TTempCurrentDir>();
        FPrompts = std::make_unique<TScriptedPrompts>();
        WriteSettings(TSettings());  // quiet start unless a test removes it
    }

    void cleanup()
    {
        FPrompts.reset();
        FDir.reset();
    }

    void normalModeShowsTheEmptyView()
    {
        TMainForm form(TestFormat::Valid());
        QCOMPARE(FPrompts->Shown, QList<TShownPrompt>());
        QVERIFY(!form.LimitedMode());
        QCOMPARE(form.windowTitle(), QStringLiteral("UVO - Новый"));
        QVERIFY(!form.RecsChanged());
        QCOMPARE(EnabledCommands(form), QStringList({"actNew", "actNewRecs", "actOpen", "actSaveAs", "actLoadFromDB",
                                                     "actSettings", "actCollapse", "actExpand", "actExit"}));
        QCOMPARE(form.StatusBar->PanelText(0), QStringLiteral("Записей: 0 из 0"));
        QCOMPARE(form.StatusBar->PanelText(1), QString());
        QCOMPARE(ItemTexts(*form.cbFilter), QStringList({"<Все записи>", "Без счёта/Header/Trailer"}));
        QCOMPARE(form.cbFilter->currentText(), QStringLiteral("<Все записи>"));
        QVERIFY(form.PanelGroup->isEnabled() && form.cbFilter->isEnabled() && form.ScrollBar->isEnabled());
        QCOMPARE(form.width(), 1435);  // the height: clientAreaBelowTheMenuBarIs1435By888 (layout)
    }

    void shippedFormatLoadsFromTheResource()
    {
        TMainForm form;
        QCOMPARE(FPrompts->Shown, QList<TShownPrompt>());
        QVERIFY(!form.LimitedMode());
        QCOMPARE(form.mnVTPopup->mnSubAddRec->actions().size(), 14);
    }

    void limitedModeAfterAFormatError_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("field count") << QByteArray("\r\n[RECORDS]\r\n300000;Header Record;1;\r\n")
                                     << QStringLiteral("Неверное число полей в строке 3.");
        QTest::newRow("no layout") << QByteArray("[RECORDS]\n300000;Header Record;1\n[FIELDS]\n310000;Record Type\n")
                                   << QStringLiteral("Неверный формат.");
    }

    void limitedModeAfterAFormatError()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        TMainForm form(text);
        QCOMPARE(FPrompts->Shown, QList<TShownPrompt>({{TPromptKind::Error, "Ошибка", FormatErrorPrefix + message}}));
        QVERIFY(form.LimitedMode());
        QCOMPARE(EnabledCommands(form), QStringList({"actSettings", "actExit"}));
        QCOMPARE(form.windowTitle(), QStringLiteral("UVO"));
        QCOMPARE(form.StatusBar->PanelText(0), QString());
        QCOMPARE(form.StatusBar->PanelText(1), QString());
        QVERIFY(!form.PanelGroup->isEnabled());  // so the record menu cannot open
        QVERIFY(!form.cbFilter->isEnabled());
        QVERIFY(!form.ScrollBar->isEnabled());
        QVERIFY(form.mnVTPopup->mnSubAddRec->actions().isEmpty());
    }

    void missingSettingsFileIsReportedOnceAndWrittenAtClose()
    {
        QVERIFY(QFile::remove(SettingsFile::DefaultFileName));
        {
            TMainForm form(TestFormat::Valid());
            QCOMPARE(FPrompts->Shown, QList<TShownPrompt>({{TPromptKind::Info, "UVO Edit", NoSettingsText}}));
            QVERIFY(!QFileInfo::exists(SettingsFile::DefaultFileName));
        }
        QCOMPARE(FPrompts->Shown.size(), 1);
        QCOMPARE(QFileInfo(SettingsFile::DefaultFileName).size(), qint64(SettingsFile::RecordSize));
    }

    void settingsAreReadAtStartAndWrittenAtClose()
    {
        TSettings stored;
        stored.SubscriberCode = QStringLiteral("12345");
        WriteSettings(stored);
        {
            TMainForm form(TestFormat::Valid());
            QCOMPARE(form.Settings, stored);
            form.Settings.FinanceType = QStringLiteral("01");
        }
        TSettings written;
        QVERIFY(SettingsFile::Load(SettingsFile::DefaultFileName, written));
        QCOMPARE(written.SubscriberCode, QStringLiteral("12345"));
        QCOMPARE(written.FinanceType, QStringLiteral("01"));
        QCOMPARE(FPrompts->Shown, QList<TShownPrompt>());
    }

    void aSettingsWriteFailureAtCloseIsReportedAndShutdownGoesOn()
    {
        {
            TMainForm form(TestFormat::Valid());
            QVERIFY(QFile::remove(SettingsFile::DefaultFileName));
            QVERIFY(QDir().mkdir(SettingsFile::DefaultFileName));  // a folder cannot be written as a file
        }
        QCOMPARE(FPrompts->Shown.size(), 1);
        QCOMPARE(FPrompts->Shown[0].Kind, TPromptKind::AppError);
        QCOMPARE(FPrompts->Shown[0].Title, QStringLiteral("UVO Edit"));
        const QString named = QStringLiteral("Не удалось записать файл настроек \"uvoedit.ini\" в папке \"%1\".")
                                  .arg(QDir::toNativeSeparators(QDir::currentPath()));
        QVERIFY2(FPrompts->Shown[0].Text.startsWith(named), qPrintable(FPrompts->Shown[0].Text));
    }

    void theSettingsDialogIsMadeHiddenAtStartAndReused()
    {
        const std::unique_ptr<TMainForm> form = CreateAppWindows(TestFormat::Valid());
        const QList<TSettingsForm*> made = form->findChildren<TSettingsForm*>();
        QCOMPARE(made.size(), 1);
        QVERIFY(!made[0]->isVisible());

        QList<QDialog*> shown;
        for (int i = 0; i < 2; ++i)
            FPrompts->Dialogs.push_back([&](QDialog& dialog) {
                shown << &dialog;
                return int(QDialog::Rejected);
            });
        form->actSettings->trigger();
        form->actSettings->trigger();
        QCOMPARE(shown, QList<QDialog*>({made[0], made[0]}));
    }

    void limitedModeStillWritesSettingsAtClose()
    {
        QVERIFY(QFile::remove(SettingsFile::DefaultFileName));
        { TMainForm form(QByteArray("[RECORDS]\n")); }
        QVERIFY(QFileInfo::exists(SettingsFile::DefaultFileName));
    }
};

QTEST_MAIN(TStartupTest)
#include "tst_startup.moc"
