// Open, Save and Save As, and the settings command, driven through the window.

#include "AnsiCodePage.h"
#include "BadInputs.h"
#include "InterruptedSaves.h"
#include "KilledSave.h"
#include "SaveRecovery.h"
#include "SettingsFile.h"
#include "TContent.h"
#include "TFileCommands.h"
#include "TLongFileTask.h"
#include "TMainForm.h"
#include "TMainStatusBar.h"
#include "TRecentFiles.h"
#include "TRecordGrid.h"
#include "TUvoDocument.h"
#include "TScriptedPrompts.h"
#include "TSettingsForm.h"
#include "TWidgetPrompts.h"
#include "UiTestSupport.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QToolBar>
#include <QtTest>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include <sys/stat.h>

namespace {

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The prompts the user sees, with each box and dialog played by the test
// instead of a person. Installed for its lifetime.
class TPlayedWidgetPrompts : public TWidgetPrompts {
public:
    TPlayedWidgetPrompts() { SetPrompts(this); }
    ~TPlayedWidgetPrompts() override { SetPrompts(nullptr); }

    std::deque<std::function<int(QDialog&)>> Plays;

    int ExecDialog(QDialog& dialog) override
    {
        const auto play = Plays.front();
        Plays.pop_front();
        return play(dialog);
    }
};

// Types a full path into the file dialog's name box and confirms it.
std::function<int(QDialog&)> TypePath(const QString& path, QString* shownFilter = nullptr)
{
    return [=](QDialog& dialog) {
        if (shownFilter)
            *shownFilter = dialog.findChild<QComboBox*>("fileTypeCombo")->currentText();
        dialog.findChild<QLineEdit*>("fileNameEdit")->setText(path);
        dialog.accept();
        return dialog.result();
    };
}

}  // namespace

class TFileCommandsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TFreshWindow> FWindow;

    // A line of the record type with the given values, as the codec renders it.
    QByteArray Line(const char* recId, std::initializer_list<std::pair<const char*, QString>> values = {})
    {
        auto rec = FWindow->Form->Content().CreateNewOnRec(FWindow->Form->Format().GetRec(recId));
        rec->SetVal("310000", recId);
        for (const auto& [fldId, value] : values)
            rec->SetVal(fldId, value);
        return AnsiCodePage::Encode(rec->RecToString()) + "\r\n";
    }

    QByteArray SampleFile()
    {
        return Line("300000", {{"310002", "12345"}}) + Line("300100", {{"310011", "4711"}}) +
               Line("300300", {{"310011", "4711"}, {"310065", "01"}, {"310233", "Иванов"}}) + Line("300999");
    }

    QString Caption() const { return FWindow->Form->windowTitle(); }

private slots:
    void init()
    {
        FWindow = std::make_unique<TFreshWindow>();
        FWindow->Form->FileCommands().Today = [] { return QDate(2024, 3, 1); };
    }

    void cleanup() { FWindow.reset(); }

    void openReadsTheFile()
    {
        const QString path = FWindow->Dir.FilePath("in.uvo");
        WriteBytes(path, SampleFile());
        FWindow->Prompts.FileNames.push_back(path);
        FWindow->Form->actOpen->trigger();
        QCOMPARE(FWindow->Form->Content().Count(), 4);
        QCOMPARE(FWindow->Form->CurrentFile(), path);
        QCOMPARE(Caption(), "UVO - " + path);
        QVERIFY(!FWindow->Form->RecsChanged());
        QCOMPARE(FWindow->Prompts.Shown.first(), (TShownPrompt{TPromptKind::OpenFile, TFileCommands::Filter, QString()}));
    }

    void aLongReadTakesNoOtherInput()
    {
        // Three pieces of reading, with the progress dialog shown at once, so
        // that the event loop turns while the file is half read.
        const QByteArray account = Line("300100", {{"310011", "4711"}});
        const int accounts = 48 * 1024 * 1024 / int(account.size());
        const QString path = FWindow->Dir.FilePath("long.uvo");
        WriteBytes(path, Line("300000", {{"310002", "12345"}}) + account.repeated(accounts) + Line("300999"));
        FWindow->Form->show();
        QVERIFY(QTest::qWaitForWindowExposed(FWindow->Form.get()));
        TLongFileTask::SetShowAfter(0);
        bool dialogStayed = false;
        bool closeRefused = false;
        QTimer::singleShot(0, this, [&] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            QTest::keyClick(dialog, Qt::Key_Escape);
            dialogStayed = dialog->isVisible();
            QTest::keyClick(FWindow->Form.get(), Qt::Key_N, Qt::ControlModifier);
            QTest::mouseClick(FWindow->Form->ToolBar->widgetForAction(FWindow->Form->actSaveAs), Qt::LeftButton);
            QCloseEvent close;
            QApplication::sendEvent(FWindow->Form.get(), &close);
            closeRefused = !close.isAccepted();
        });
        FWindow->Prompts.FileNames.push_back(path);
        FWindow->Form->actOpen->trigger();
        TLongFileTask::SetShowAfter(TLongFileTask::DefaultShowAfterMs);
        QVERIFY(dialogStayed);
        QVERIFY(closeRefused);
        QCOMPARE(FWindow->Prompts.Shown.size(), 1);  // the Open dialog only: no Save As, no question
        QCOMPARE(FWindow->Form->Content().Count(), accounts + 2);
        QCOMPARE(Caption(), "UVO - " + path);
        QVERIFY(!FWindow->Form->RecsChanged());
        // Once the read has ended, the same click works.
        QTest::mouseClick(FWindow->Form->ToolBar->widgetForAction(FWindow->Form->actSaveAs), Qt::LeftButton);
        QCOMPARE(FWindow->Prompts.Shown.last().Kind, TPromptKind::SaveFile);
    }

    void openAfterCancelledQuestionShowsNoDialog()
    {
        FWindow->Form->SetRecsChanged(true);
        FWindow->Prompts.Answers.push_back(TAnswer::Cancel);
        FWindow->Form->actOpen->trigger();
        QCOMPARE(FWindow->Prompts.Shown.size(), 1);
        QCOMPARE(FWindow->Prompts.Shown.first().Kind, TPromptKind::Question);
        QVERIFY(FWindow->Form->RecsChanged());
    }

    void filesOpenedAndSavedAreListedNewestFirstAndOpenFromThere()
    {
        const QString in = FWindow->Dir.FilePath("in.uvo");
        const QString out = FWindow->Dir.FilePath("out.uvo");
        WriteBytes(in, SampleFile());
        FWindow->Form->show();
        QVERIFY(QTest::qWaitForWindowActive(FWindow->Form.get()));
        FWindow->Form->LoadUVO(in);
        // The first grid takes the keys once the file is shown.
        auto* grid = qobject_cast<TRecordGrid*>(FWindow->Form->focusWidget());
        QVERIFY(grid && grid == FWindow->Form->VTList().first() && grid->FocusedRow() == 0);
        FWindow->Form->SaveToFile(out);
        QCOMPARE(TRecentFiles::Files(), QStringList({out, in}));

        QMenu* recent = FWindow->Form->findChild<QMenu*>("mnRecent");
        emit recent->aboutToShow();
        QCOMPARE(recent->actions().size(), 2);
        FWindow->Form->Document().SetRecsChanged(true);
        FWindow->Prompts.Answers = {TAnswer::No};
        recent->actions()[1]->trigger();  // through the question, as Open goes
        QCOMPARE(FWindow->Prompts.Shown.last().Kind, TPromptKind::Question);
        QCOMPARE(FWindow->Form->CurrentFile(), in);
        QCOMPARE(TRecentFiles::Files(), QStringList({in, out}));

        QVERIFY(QFile::remove(out));
        emit recent->aboutToShow();
        recent->actions()[1]->trigger();
        QCOMPARE(FWindow->Prompts.Shown.last(),
                 (TShownPrompt{TPromptKind::Warning, TRecentFiles::MissingTitle, TRecentFiles::MissingText.arg(out)}));
        QCOMPARE(TRecentFiles::Files(), QStringList({in}));
        QCOMPARE(FWindow->Form->CurrentFile(), in);
    }

    void theListKeepsTheLastEightFiles()
    {
        for (int i = 0; i < 10; ++i)
            FWindow->Form->SaveToFile(FWindow->Dir.FilePath(QStringLiteral("%1.uvo").arg(i)));
        const QStringList files = TRecentFiles::Files();
        QCOMPARE(files.size(), TRecentFiles::MaxCount);
        QCOMPARE(files.first(), FWindow->Dir.FilePath("9.uvo"));
        QCOMPARE(files.last(), FWindow->Dir.FilePath("2.uvo"));
    }

    void cancelledOpenChangesNothing()
    {
        FWindow->Form->Content().AddFromString(u"300000");
        FWindow->Form->actOpen->trigger();
        QCOMPARE(FWindow->Form->Content().Count(), 1);
        QCOMPARE(Caption(), QString("UVO - Новый"));
    }

    void badFileKeepsWhatWasReadButNotTheFileName()
    {
        QByteArray bytes = SampleFile();
        const QByteArray badLine = "123456 no such record type";
        bytes.insert(bytes.indexOf("\r\n", bytes.indexOf("\r\n") + 2) + 2, badLine + "\r\n");
        const QString path = FWindow->Dir.FilePath("bad.uvo");
        WriteBytes(path, bytes);
        FWindow->Prompts.FileNames.push_back(path);
        FWindow->Form->actOpen->trigger();

        QCOMPARE(FWindow->Prompts.Shown.last(),
                 (TShownPrompt{TPromptKind::Error, QString("Ошибка"),
                               "Ошибка при загрузке файла: \r\nНеверный формат. Строка 3:\r\n" + QString(badLine)}));
        QCOMPARE(FWindow->Form->Content().Count(), 2);
        QVERIFY(FWindow->Form->RecsChanged());
        QVERIFY(FWindow->Form->CurrentFile().isEmpty());
        QCOMPARE(Caption(), QString("UVO - Новый*"));

        // Save asks for a name instead of overwriting the file with a fragment.
        FWindow->Form->actSave->trigger();
        QCOMPARE(FWindow->Prompts.Shown.last().Kind, TPromptKind::SaveFile);
        QCOMPARE(ReadBytes(path), bytes);
    }

    void fileDialogsShowTheFilterByNameAndOpenWhereTheLastFileWas()
    {
        QTemporaryDir elsewhere;
        const QString path = elsewhere.filePath("typed.uvo");
        WriteBytes(path, SampleFile());
        TPlayedWidgetPrompts prompts;
        QString shownFilter, saveFolder, proposedName;
        prompts.Plays.push_back(TypePath(path, &shownFilter));
        prompts.Plays.push_back([&](QDialog& dialog) {
            saveFolder = static_cast<QFileDialog&>(dialog).directory().absolutePath();
            proposedName = dialog.findChild<QLineEdit*>("fileNameEdit")->text();
            return int(QDialog::Rejected);
        });
        FWindow->Form->actOpen->trigger();
        FWindow->Form->actSaveAs->trigger();

        QCOMPARE(FWindow->Form->CurrentFile(), path);
        QCOMPARE(shownFilter, QString("Файлы UVO"));
        QCOMPARE(saveFolder, elsewhere.path());
        QCOMPARE(proposedName, QString("SUB__20240301__001"));
    }

    void aRefusedBinaryLineIsShownWithinTheScreen()
    {
        QByteArray binary;
        for (int i = 0; binary.size() < 20000; ++i)
            if (const char byte = char(i * 131 % 251); byte != '\n' && byte != '\r' && byte != 26)
                binary += byte;
        const QString path = FWindow->Dir.FilePath("binary.uvo");
        WriteBytes(path, binary);
        TPlayedWidgetPrompts prompts;
        QString text;
        QSize boxSize;
        prompts.Plays.push_back(TypePath(path));
        prompts.Plays.push_back([&](QDialog& dialog) {
            dialog.show();
            text = static_cast<QMessageBox&>(dialog).text();
            boxSize = dialog.size();
            return int(QMessageBox::Ok);
        });
        FWindow->Form->actOpen->trigger();

        QVERIFY(text.startsWith("Ошибка при загрузке файла: \r\nНеверный формат. Строка 1:\r\n"));
        QVERIFY(text.endsWith(u'…'));
        const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
        QVERIFY2(boxSize.width() <= screen.width() && boxSize.height() <= screen.height(),
                 qPrintable(QString("%1x%2").arg(boxSize.width()).arg(boxSize.height())));
    }

    void accountInputBoxShowsItsWholeTitleAndALongAccount()
    {
        TPlayedWidgetPrompts prompts;
        int boxWidth = 0;
        int editWidth = 0;
        prompts.Plays.push_back([&](QDialog& dialog) {
            dialog.show();
            boxWidth = dialog.width();
            editWidth = dialog.findChild<QLineEdit*>()->width();
            return int(QDialog::Rejected);
        });
        FWindow->Form->actNewRecs->trigger();
        const QFontMetrics metrics(FWindow->Form->font());
        QVERIFY(boxWidth > metrics.horizontalAdvance(QStringLiteral("Введите номер счёта")) + 100);
        QVERIFY(editWidth > metrics.horizontalAdvance(QString(40, u'0')));
    }

    void openWarnsOfDataThatReadingPassedOver()
    {
        // A lone CR joins the second and third records: the file reads as
        // three records, the surplus of the joined line ignored.
        QByteArray bytes = SampleFile();
        const qsizetype second = bytes.indexOf("\r\n") + 2;
        bytes.remove(bytes.indexOf("\r\n", second) + 1, 1);
        const QString path = FWindow->Dir.FilePath("joined.uvo");
        WriteBytes(path, bytes);
        FWindow->Prompts.FileNames.push_back(path);
        FWindow->Form->actOpen->trigger();

        QCOMPARE(FWindow->Prompts.Shown.size(), 2);
        const TShownPrompt warning = FWindow->Prompts.Shown.last();
        QCOMPARE(warning.Kind, TPromptKind::Warning);
        QCOMPARE(warning.Title, QString("UVO Edit"));
        QVERIFY2(warning.Text.startsWith("При чтении файла пропущены данные (строк: 1).\n\n"
                                         "строка 2: одиночный символ CR, строки прочитаны как одна запись, "
                                         "текст после него: «300300"),
                 qPrintable(warning.Text));
        QVERIFY(warning.Text.endsWith("При сохранении он будет записан без пропущенных данных."));
        // The file stays open as it was read, and unchanged until it is saved.
        QCOMPARE(FWindow->Form->Content().Count(), 3);
        QCOMPARE(FWindow->Form->CurrentFile(), path);
        QVERIFY(!FWindow->Form->RecsChanged());
        QCOMPARE(ReadBytes(path), bytes);
    }

    void openRefusesAFifoInsteadOfWaitingForAWriter()
    {
        const QString path = FWindow->Dir.FilePath("fifo.uvo");
        if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0)
            QSKIP("no FIFO can be made here");
        FWindow->Prompts.FileNames.push_back(path);
        FWindow->Form->actOpen->trigger();
        QCOMPARE(FWindow->Prompts.Shown.last(),
                 (TShownPrompt{TPromptKind::Error, QString("Ошибка"),
                               "Ошибка при загрузке файла: \r\nОшибка при открытии файла. Возможно, файл занят "
                               "другим приложением."}));
    }

    void badFilesAndPlacesAreToldAndChangeNoFile()
    {
        ::chmod(QFile::encodeName(FWindow->Dir.FilePath(QString())).constData(), 0777);
        const QByteArray sound = SampleFile();
        const QString refused = "Ошибка при загрузке файла: \r\nНеверный формат. Строка 1:\r\n";
        const QString cannotOpen = "Ошибка при загрузке файла: \r\nОшибка при открытии файла. Возможно, файл занят "
                                   "другим приложением.";
        const QString cannotWrite = "Невозможно открыть файл для записи.";
        const TFullDisk disk(FWindow->Dir.FilePath("full"));
        struct Case {
            const char* Name;
            std::optional<TBadContent> Content;  // opened; none: the sound file is opened, then saved to Target
            QString Target;                      // the file opened or written; "" for the one of the content
            TPromptKind Kind;                    // of the last prompt shown
            QString Text;                        // its beginning
            int Records;                         // in the window afterwards
            bool Unprivileged = false;
        };
        const QString dirPath = FWindow->Dir.FilePath("folder.uvo");
        const Case cases[] = {
            {"empty", TBadContent::Empty, "", TPromptKind::OpenFile, "", 0},
            {"NUL bytes", TBadContent::NulBytes, "", TPromptKind::Error, refused, 0},
            {"binary", TBadContent::Binary, "", TPromptKind::Error, refused, 0},
            {"UTF-8 with BOM", TBadContent::Utf8Bom, "", TPromptKind::Error, refused, 0},
            {"UTF-16", TBadContent::Utf16, "", TPromptKind::Error, refused, 0},
            {"CR only", TBadContent::CrOnly, "", TPromptKind::Warning, "При чтении файла пропущены данные", 1},
            {"mixed line ends", TBadContent::MixedLineEnds, "", TPromptKind::Warning, "При чтении файла пропущены данные", 3},
            {"100 MB line", TBadContent::HugeLine, "", TPromptKind::Error,
             "Ошибка при загрузке файла: \r\nНеверный формат. Строка 2 длиннее 1 МБ: это не запись файла UVO.", 1},
            {"1,000,000 lines", TBadContent::MillionShortLines, "", TPromptKind::Error, refused + "x", 0},
            {"byte 26 inside", TBadContent::EndMarkInside, "", TPromptKind::Warning, "При чтении файла пропущены данные", 2},
            {"gone before reading", TBadContent::Empty, FWindow->Dir.FilePath("gone.uvo"), TPromptKind::Error, cannotOpen, 0},
            {"no read permission", TBadContent::Empty, FWindow->Dir.FilePath("locked.uvo"), TPromptKind::Error, cannotOpen, 0, true},
            {"folder named like the file", TBadContent::Empty, dirPath, TPromptKind::Error, cannotOpen, 0},
            {"read-only target", std::nullopt, FWindow->Dir.FilePath("readonly.uvo"), TPromptKind::AppError, cannotWrite, 4, true},
            {"read-only target, as whoever saves", std::nullopt, FWindow->Dir.FilePath("readonly.uvo"), TPromptKind::AppError, cannotWrite, 4},
            {"folder as target", std::nullopt, dirPath, TPromptKind::AppError, cannotWrite, 4},
            {"full disk", std::nullopt, disk.Path("out.uvo"), TPromptKind::AppError,
             "Ошибка при записи файла: " + disk.Cause() + ".", 4},
        };
        WriteBytes(disk.Path("out.uvo"), "kept");
        disk.Fill();
        QVERIFY(QDir().mkdir(dirPath));
        for (const Case& c : cases) {
            const QString path = FWindow->Dir.FilePath("in.uvo");
            WriteBytes(path, c.Content ? BadContent(*c.Content, sound) : sound);
            WriteBytes(FWindow->Dir.FilePath("readonly.uvo"), "kept");
            WriteBytes(FWindow->Dir.FilePath("locked.uvo"), sound);
            ::chmod(QFile::encodeName(FWindow->Dir.FilePath("readonly.uvo")).constData(), 0444);
            ::chmod(QFile::encodeName(FWindow->Dir.FilePath("locked.uvo")).constData(), 0);
            const QByteArray before = ReadBytes(path);
            FWindow->Prompts.Shown.clear();
            FWindow->Form->SetRecsChanged(false);
            if (c.Content) {
                FWindow->Prompts.FileNames.push_back(c.Target.isEmpty() ? path : c.Target);
                const TUnprivileged unprivileged(c.Unprivileged);
                FWindow->Form->actOpen->trigger();
            } else {
                FWindow->Form->LoadUVO(path);
                FWindow->Form->SetRecsChanged(true);
                FWindow->Prompts.FileNames.push_back(c.Target);
                const TUnprivileged unprivileged(c.Unprivileged);
                const TFileSizeLimit limit(c.Target == disk.Path("out.uvo") && disk.Injected());
                FWindow->Form->actSaveAs->trigger();
                QVERIFY2(FWindow->Form->RecsChanged(), c.Name);
            }
            ::chmod(QFile::encodeName(FWindow->Dir.FilePath("readonly.uvo")).constData(), 0644);
            ::chmod(QFile::encodeName(FWindow->Dir.FilePath("locked.uvo")).constData(), 0644);
            const TShownPrompt shown = FWindow->Prompts.Shown.last();
            QVERIFY2(shown.Kind == c.Kind, c.Name);
            QVERIFY2(c.Text.isEmpty() || shown.Text.startsWith(c.Text), qPrintable(c.Name + QString(": ") + shown.Text.left(300)));
            QVERIFY2(FWindow->Form->Content().Count() == c.Records, c.Name);
            QVERIFY2(ReadBytes(path) == before, c.Name);
            QVERIFY2(ReadBytes(FWindow->Dir.FilePath("readonly.uvo")) == "kept", c.Name);
            QVERIFY2(ReadBytes(disk.Path("out.uvo")) == "kept", c.Name);
            QVERIFY2(QFileInfo(dirPath).isDir(), c.Name);
        }
    }

    void failedWriteNamesTheCause()
    {
        FWindow->Form->Content().AddFromString(u"300000");
        FWindow->Form->SetRecsChanged(true);
        FWindow->Prompts.FileNames.push_back("/dev/full");
        FWindow->Form->actSaveAs->trigger();
        QCOMPARE(FWindow->Prompts.Shown.last(),
                 (TShownPrompt{TPromptKind::AppError, QString("UVO Edit"),
                               QString("Ошибка при записи файла: недостаточно места на диске.")}));
        QVERIFY(FWindow->Form->RecsChanged());
        QVERIFY(FWindow->Form->CurrentFile().isEmpty());
        QCOMPARE(QFileInfo("/dev/full").isFile(), false);
    }

    void saveAsProposesTheDefaultNameOncePerRun()
    {
        FWindow->Form->Settings.SubscriberCode = "12345";
        FWindow->Form->Settings.FinanceType = "01";
        FWindow->Form->actSaveAs->trigger();  // cancelled
        QCOMPARE(FWindow->Prompts.Shown.last(),
                 (TShownPrompt{TPromptKind::SaveFile, TFileCommands::Filter, QString("SUB_12345_20240301_01_001")}));

        FWindow->Form->Settings.SubscriberCode = "99999";
        FWindow->Form->FileCommands().Today = [] { return QDate(2024, 3, 2); };
        const QString path = FWindow->Dir.FilePath("chosen.uvo");
        FWindow->Prompts.FileNames.push_back(path);
        FWindow->Form->actSaveAs->trigger();
        QCOMPARE(FWindow->Prompts.Shown.last().Text, QString("SUB_12345_20240301_01_001"));
        QCOMPARE(FWindow->Form->CurrentFile(), path);
        QCOMPARE(Caption(), "UVO - " + path);

        FWindow->Form->actSaveAs->trigger();
        QCOMPARE(FWindow->Prompts.Shown.last().Text, QString("chosen.uvo"));
    }

    void saveWritesTheCurrentFileByteForByte()
    {
        const QString path = FWindow->Dir.FilePath("in.uvo");
        WriteBytes(path, SampleFile());
        FWindow->Form->LoadUVO(path);
        QVERIFY(!FWindow->Form->actSave->isEnabled());
        FWindow->Form->Content()[1]->SetVal("310011", "4712");
        FWindow->Form->SetRecsChanged(true);
        QCOMPARE(Caption(), "UVO - " + path + "*");
        FWindow->Form->actSave->trigger();
        QVERIFY(FWindow->Prompts.Shown.isEmpty());
        QVERIFY(!FWindow->Form->RecsChanged());
        QByteArray expected = SampleFile();
        expected.replace(Line("300100", {{"310011", "4711"}}), Line("300100", {{"310011", "4712"}}));
        QCOMPARE(ReadBytes(path), expected);
    }

    // Whoever runs the editor, root included: the owner's read-only mark holds.
    void saveLeavesAFileMadeReadOnlyAsItIs()
    {
        const QString path = FWindow->Dir.FilePath("in.uvo");
        WriteBytes(path, SampleFile());
        FWindow->Form->LoadUVO(path);
        ::chmod(QFile::encodeName(path).constData(), 0444);
        FWindow->Form->Content()[1]->SetVal("310011", "4712");
        FWindow->Form->SetRecsChanged(true);
        FWindow->Form->actSave->trigger();  // Ctrl+S
        ::chmod(QFile::encodeName(path).constData(), 0644);
        QCOMPARE(FWindow->Prompts.Shown.last(),
                 (TShownPrompt{TPromptKind::AppError, QString("UVO Edit"), QString("Невозможно открыть файл для записи.")}));
        QVERIFY(FWindow->Form->RecsChanged());
        QCOMPARE(ReadBytes(path), SampleFile());
    }

    void failedWriteKeepsTheFileState()
    {
        FWindow->Form->Content().AddFromString(u"300000");
        FWindow->Form->SetRecsChanged(true);
        FWindow->Prompts.FileNames.push_back(FWindow->Dir.FilePath("missing/folder/out.uvo"));
        FWindow->Form->actSaveAs->trigger();
        QCOMPARE(FWindow->Prompts.Shown.last(),
                 (TShownPrompt{TPromptKind::AppError, QString("UVO Edit"), QString("Невозможно открыть файл для записи.")}));
        QVERIFY(FWindow->Form->RecsChanged());
        QVERIFY(FWindow->Form->CurrentFile().isEmpty());
    }

    void closingWithYesSavesUnderTheChosenName()
    {
        FWindow->Form->Content().AddFromString(u"300000");
        FWindow->Form->SetRecsChanged(true);
        FWindow->Prompts.Answers.push_back(TAnswer::Yes);
        const QString path = FWindow->Dir.FilePath("closing.uvo");
        FWindow->Prompts.FileNames.push_back(path);
        QVERIFY(FWindow->Form->close());
        QCOMPARE(ReadBytes(path), QByteArray("300000") + QByteArray(111, ' ') + "\r\n");
    }

    void aFileChangedByAnotherProgramIsNotOverwrittenUnasked()
    {
        const QString path = FWindow->Dir.FilePath("in.uvo");
        WriteBytes(path, SampleFile());
        FWindow->Form->LoadUVO(path);
        FWindow->Form->Content()[1]->SetVal("310011", "4712");
        FWindow->Form->SetRecsChanged(true);
        const QByteArray theirs = SampleFile() + Line("300100", {{"310011", "4713"}});
        WriteBytes(path, theirs);

        // Coming back to the window tells of it.
        QEvent activation(QEvent::WindowActivate);
        QCoreApplication::sendEvent(FWindow->Form.get(), &activation);
        QCOMPARE(FWindow->Form->StatusBar->currentMessage(), TFileCommands::ChangedOnDiskNote);
        // Save asks; No writes nothing and keeps the changes.
        FWindow->Prompts.Answers.push_back(TAnswer::No);
        FWindow->Form->actSave->trigger();
        QCOMPARE(FWindow->Prompts.Shown.last(),
                 (TShownPrompt{TPromptKind::Question, QString("Сохранить"),
                               QString("Файл изменён другой программой. Перезаписать?")}));
        QCOMPARE(FWindow->Prompts.QuestionButtons.last(), TQuestionButtons::YesNo);
        QCOMPARE(ReadBytes(path), theirs);
        QVERIFY(FWindow->Form->RecsChanged());
        QCOMPARE(FWindow->Form->Content().Count(), 4);
        QCOMPARE(FWindow->Form->Content()[1]->GetVal("310011"), QString("4712"));

        // Yes overwrites it, and the file written is the one the next Save expects.
        FWindow->Prompts.Answers.push_back(TAnswer::Yes);
        FWindow->Form->actSave->trigger();
        QVERIFY(!FWindow->Form->RecsChanged());
        QByteArray ours = SampleFile();
        ours.replace(Line("300100", {{"310011", "4711"}}), Line("300100", {{"310011", "4712"}}));
        QCOMPARE(ReadBytes(path), ours);
        FWindow->Prompts.Shown.clear();
        FWindow->Form->SetRecsChanged(true);
        FWindow->Form->actSave->trigger();
        QVERIFY(FWindow->Prompts.Shown.isEmpty());

        // Save As to another name does not ask.
        WriteBytes(path, theirs);
        FWindow->Prompts.FileNames.push_back(FWindow->Dir.FilePath("other.uvo"));
        FWindow->Form->actSaveAs->trigger();
        QCOMPARE(FWindow->Prompts.Shown.last().Kind, TPromptKind::SaveFile);
        QCOMPARE(ReadBytes(FWindow->Dir.FilePath("other.uvo")), ours);
    }

    void aSaveCutShortIsOfferedUntilItIsFinished()
    {
        // A save in place of a file of 3 MB, killed once its first megabyte is new.
        ::chmod(QFile::encodeName(FWindow->Dir.FilePath(QString())).constData(), 0777);
        QVERIFY(QDir().mkdir(FWindow->Dir.FilePath("locked")));
        const QString path = FWindow->Dir.FilePath("locked/large.uvo");
        const auto file = [this](const QString& account) {
            const int lines = (3 << 20) / int(Line("300100").size());
            return Line("300000") + Line("300100", {{"310011", account}}).repeated(lines) + Line("300999");
        };
        const QByteArray before = file("4711"), after = file("4712");
        WriteBytes(path, before);
        QVERIFY(KillSaveInPlace(path, after, 1 << 20, FWindow->Dir.FilePath("cache")));
        const QByteArray mixture = ReadBytes(path);
        QCOMPARE(mixture, after.left(1 << 20) + before.mid(1 << 20));

        // The next start tells of it, with where the whole new file is; left
        // for later, the file stays as it is.
        SaveRecovery::OfferAll();
        const std::vector<InterruptedSaves::TInterruptedSave> pending = InterruptedSaves::Pending();
        QCOMPARE(pending.size(), size_t(1));
        QCOMPARE(ReadBytes(pending.front().Copy), after);
        const QString target = QFileInfo(path).canonicalFilePath();
        const TShownPrompt question{TPromptKind::Question, QString("Прерванное сохранение"),
                                    "Сохранение файла «" + target + "» было прервано, и файл записан не полностью.\n\n"
                                    "Полная новая копия файла находится в «" + pending.front().Copy + "».\n\n"
                                    "Завершить сохранение? Если нет, копия останется, и вопрос будет задан при "
                                    "следующем запуске."};
        QCOMPARE(FWindow->Prompts.Shown, QList<TShownPrompt>{question});
        QCOMPARE(FWindow->Prompts.QuestionButtons.last(), TQuestionButtons::YesNo);
        QCOMPARE(ReadBytes(path), mixture);

        // Opening the file asks again; finished, the file read is the whole new one.
        FWindow->Prompts.Answers.push_back(TAnswer::Yes);
        FWindow->Form->LoadUVO(path);
        QCOMPARE(FWindow->Prompts.Shown.mid(1),
                 (QList<TShownPrompt>{question, {TPromptKind::Info, QString("Прерванное сохранение"),
                                                 "Сохранение файла «" + target + "» завершено."}}));
        QCOMPARE(ReadBytes(path), after);
        QCOMPARE(FWindow->Form->Content().Count(), after.count("\r\n"));
        QVERIFY(InterruptedSaves::Pending().empty());
        QVERIFY(QDir(InterruptedSaves::Folder()).isEmpty());
    }

    void settingsCommandStoresAndSaves()
    {
        FWindow->Prompts.Dialogs.push_back([](QDialog& dialog) {
            auto& form = static_cast<TSettingsForm&>(dialog);
            form.edSubscriberCode->setText("54321");
            form.edFinanceType->setText("123");
            return int(QDialog::Accepted);
        });
        FWindow->Form->actSettings->trigger();
        QCOMPARE(FWindow->Form->Settings.SubscriberCode, QString("54321"));
        QCOMPARE(FWindow->Form->Settings.FinanceType, QString("12"));
        TSettings stored;
        QVERIFY(SettingsFile::Load(SettingsFile::DefaultFileName, stored));
        QCOMPARE(stored, FWindow->Form->Settings);

        FWindow->Prompts.Dialogs.push_back([](QDialog& dialog) {
            static_cast<TSettingsForm&>(dialog).edSubscriberCode->setText("11111");
            return int(QDialog::Rejected);
        });
        FWindow->Form->actSettings->trigger();
        QCOMPARE(FWindow->Form->Settings.SubscriberCode, QString("54321"));
    }
};

QTEST_MAIN(TFileCommandsTest)
#include "tst_filecommands.moc"
