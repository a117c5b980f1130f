// Files opened from outside the Open dialog: the editor's argument and a file
// dropped onto the window, and the program's icon.

#include "TContent.h"
#include "TExternalOpen.h"
#include "TMainForm.h"
#include "TPanelArea.h"
#include "TScriptedPrompts.h"
#include "TUvoApplication.h"
#include "UiTestSupport.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QTextStream>
#include <QUrl>
#include <QWindow>
#include <QtTest>

#include <memory>

namespace {

const QString SampleFile = QStringLiteral(UVO_SAMPLE_FILE);
constexpr int SampleRecords = 237;

const QString OpenFailure =
    QStringLiteral("Ошибка при загрузке файла: \r\nОшибка при открытии файла. Возможно, файл занят другим приложением.");

}  // namespace

class TExternalOpenTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TFreshWindow> FWindow;
    TExternalOpen* FOpen = nullptr;

    TMainForm& Form() { return *FWindow->Form; }

    // The editor started with args; what it noted on standard error.
    QString Start(const QStringList& args)
    {
        QString notes;
        QTextStream stream(&notes);
        FOpen->OpenArguments(args, stream);
        return notes;
    }

    // Drags files over the middle of the window and drops them there with Shift
    // held, which proposes a move, as the window system hands a drop to the
    // window: the drop reaches the widget under the pointer that accepts drops.
    // True when the drop was accepted as a copy, which leaves the file alone.
    bool Drop(const QList<QUrl>& urls, Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction)
    {
        QMimeData data;
        data.setUrls(urls);
        const QPointF middle = Form().rect().center();
        QDragEnterEvent enter(middle.toPoint(), actions, &data, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(Form().windowHandle(), &enter);
        QDropEvent drop(middle, actions, &data, Qt::LeftButton, Qt::ShiftModifier);
        QCoreApplication::sendEvent(Form().windowHandle(), &drop);
        const bool copied = drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
        QCoreApplication::processEvents();  // the file opens after the drop
        return copied;
    }

private slots:
    void init()
    {
        FWindow = std::make_unique<TFreshWindow>();
        FOpen = new TExternalOpen(Form());
        Form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&Form()));
    }

    void cleanup() { FWindow.reset(); }

    void argumentOpensTheFile()
    {
        QFile::copy(SampleFile, FWindow->Dir.FilePath("sample.uvo"));
        QCOMPARE(Start({"sample.uvo"}), QString());
        QTRY_COMPARE(Form().Content().Count(), SampleRecords);
        QCOMPARE(Form().CurrentFile(), FWindow->Dir.FilePath("sample.uvo"));
        QCOMPARE(Form().windowTitle(), "UVO - " + Form().CurrentFile());
        QVERIFY(!Form().RecsChanged());
        QVERIFY(FWindow->Prompts.Shown.isEmpty());
        QVERIFY(!Form().PanelGroup->VTList().isEmpty());
    }

    void otherArgumentsAreNotedAndIgnored()
    {
        const QString notes = Start({"--help", SampleFile, "second.uvo"});
        QCOMPARE(notes.count('\n'), 2);
        QVERIFY(notes.contains("'--help'") && notes.contains("'second.uvo'"));
        QTRY_COMPARE(Form().CurrentFile(), SampleFile);
    }

    void missingFileShowsTheOpenFailure()
    {
        Start({"missing.uvo"});
        QTRY_COMPARE(FWindow->Prompts.Shown.size(), 1);
        QCOMPARE(FWindow->Prompts.Shown.first(), (TShownPrompt{TPromptKind::Error, QString("Ошибка"), OpenFailure}));
        QCOMPARE(Form().Content().Count(), 0);
        QVERIFY(Form().RecsChanged());
    }

    void droppedFileOpensAfterCanLeaveFile()
    {
        Start({SampleFile});
        QTRY_COMPARE(Form().Content().Count(), SampleRecords);
        Form().SetRecsChanged(true);

        // Anything but a .uvo file, or a drop that can only move, is refused.
        QVERIFY(!Drop({QUrl::fromLocalFile(FWindow->Dir.FilePath("notes.txt"))}));
        QVERIFY(!Drop({QUrl::fromLocalFile(SampleFile)}, Qt::MoveAction));
        QVERIFY(FWindow->Prompts.Shown.isEmpty());

        const QString copy = FWindow->Dir.FilePath("COPY.UVO");
        QFile::copy(SampleFile, copy);
        FWindow->Prompts.Answers.push_back(TAnswer::Cancel);
        QVERIFY(Drop({QUrl::fromLocalFile(copy)}));
        QCOMPARE(FWindow->Prompts.Shown.size(), 1);
        QCOMPARE(Form().CurrentFile(), SampleFile);

        FWindow->Prompts.Answers.push_back(TAnswer::No);
        QVERIFY(Drop({QUrl(), QUrl::fromLocalFile(copy)}));
        QCOMPARE(Form().CurrentFile(), copy);
        QCOMPARE(Form().Content().Count(), SampleRecords);
        QVERIFY(!Form().RecsChanged());
    }

    void nothingOpensInTheLimitedMode()
    {
        FWindow.reset();  // one window, one scripted seam at a time
        FWindow = std::make_unique<TFreshWindow>(QByteArray("not a format description"));
        FOpen = new TExternalOpen(Form());
        Form().show();
        FWindow->Prompts.Shown.clear();
        Start({SampleFile});
        QVERIFY(!Drop({QUrl::fromLocalFile(SampleFile)}));
        QCOMPARE(Form().Content().Count(), 0);
        QVERIFY(FWindow->Prompts.Shown.isEmpty());
    }

    void iconRenders() { QVERIFY(!TUvoApplication::AppIcon().pixmap(48).isNull()); }
};

QTEST_MAIN(TExternalOpenTest)
#include "tst_externalopen.moc"
