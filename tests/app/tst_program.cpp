// The editor as a program: the options that print and end it, and the place
// of its window beside the windows of other starts.

#include "TWindowSlot.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <memory>

namespace {

// The editor's output and exit code; no window is made for these options.
std::pair<QString, int> RunEditor(const QStringList& args)
{
    QProcess editor;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    editor.setProcessEnvironment(env);
    editor.start(QStringLiteral(UVO_EDITOR), args);
    if (!editor.waitForFinished(-1))
        return {QStringLiteral("<did not run>"), -1};
    return {QString::fromUtf8(editor.readAllStandardOutput()), editor.exitCode()};
}

}  // namespace

class TProgramTest : public QObject {
    Q_OBJECT

private slots:
    void versionAndHelpPrintAndEnd()
    {
        QCOMPARE(RunEditor({"--version"}), std::make_pair(QStringLiteral("uvoedit " UVO_VERSION "\n"), 0));
        const auto [help, code] = RunEditor({"--help"});
        QCOMPARE(code, 0);
        QVERIFY(help.startsWith(QStringLiteral("Usage: uvoedit [FILE]\n")));
        QVERIFY(help.contains(QStringLiteral("--version")));
    }

    void aSecondWindowStandsOffsetFromTheFirst()
    {
        QTemporaryDir folder;
        auto first = std::make_unique<TWindowSlot>(folder.path());
        const TWindowSlot second(folder.path());
        QCOMPARE(first->Index(), 0);
        QCOMPARE(second.Index(), 1);
        first.reset();
        QCOMPARE(TWindowSlot(folder.path()).Index(), 0);  // free again once its window has gone

        QWidget window;
        window.resize(300, 200);
        window.move(100, 100);
        second.Place(window);
        QCOMPARE(window.pos(), QPoint(100 + TWindowSlot::Step, 100 + TWindowSlot::Step));
    }
};

QTEST_MAIN(TProgramTest)
#include "tst_program.moc"
