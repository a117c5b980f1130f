// What the main window offers: menus, commands, tool bar, filter box, status
// bar and the record context menu.

#include "SettingsFile.h"
#include "ShownText.h"
#include "TMainForm.h"
#include "TMainStatusBar.h"
#include "TPanelArea.h"
#include "TRecordPopup.h"
#include "TScriptedPrompts.h"
#include "UiTestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>
#include <QLabel>
#include <QtTest>

#include <memory>

namespace {

QStringList Captions(const QList<QAction*>& actions)
{
    QStringList captions;
    for (const QAction* action : actions)
        captions << (action->isSeparator() ? QStringLiteral("-") : ShownText(*action));
    return captions;
}

QStringList ToolBarItems(const QToolBar& bar)
{
    QStringList names;
    for (QAction* action : bar.actions()) {
        const QWidget* widget = bar.widgetForAction(action);
        const bool isButton = qobject_cast<const QToolButton*>(widget);
        names << (widget && !isButton ? widget->objectName() : action->objectName());
    }
    return names;
}

}  // namespace

class TLayoutTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TFreshWindow> FWindow;

private slots:
    void init()
    {
        FWindow = std::make_unique<TFreshWindow>(TestFormat::Valid());
    }

    void cleanup() { FWindow.reset(); }

    void menusListTheCommandsInOrder()
    {
        QCOMPARE(Captions(FWindow->Form->menuBar()->actions()), QStringList({"Файл", "Правка", "Вид", "Справка"}));
        QCOMPARE(Captions(FWindow->Form->mnFile->actions()),
                 QStringList({"Создать пустой файл", "Создать файл с записями", "Открыть", "Последние файлы", "-", "Сохранить",
                              "Сохранить как", "-", "Загрузить из Fa#", "-", "Выход"}));
        QCOMPARE(Captions(FWindow->Form->mnView->actions()), QStringList({"Свернуть всё", "Развернуть всё", "-", "Настройки"}));
    }

    void editMenuBeginsWithUndoAndFind()
    {
        const QList<QAction*> items = FWindow->Form->mnEdit->actions();
        QCOMPARE(Captions(items.mid(0, 4)), QStringList({"Отменить", "Повторить", "-", "Найти…"}));
        QCOMPARE(items[0]->shortcut(), QKeySequence("Ctrl+Z"));
        QCOMPARE(items[1]->shortcuts(), QList<QKeySequence>({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")}));
        QCOMPARE(items[3]->shortcut(), QKeySequence("Ctrl+F"));
        QVERIFY(!items[0]->isEnabled() && !items[1]->isEnabled());
    }

    void commandsCarryHintsAndKeys_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QKeySequence>("key");
        QTest::newRow("new") << "actNew" << "Создать пустой файл" << QKeySequence("Ctrl+N");
        QTest::newRow("new with records") << "actNewRecs" << "Создать файл с записями" << QKeySequence();
        QTest::newRow("open") << "actOpen" << "Открыть файл" << QKeySequence("Ctrl+O");
        QTest::newRow("save") << "actSave" << "Сохранить файл" << QKeySequence("Ctrl+S");
        QTest::newRow("save as") << "actSaveAs" << "Сохранить файл как" << QKeySequence();
        QTest::newRow("load") << "actLoadFromDB" << "Загрузить данные из Fa#" << QKeySequence("Ctrl+D");
        QTest::newRow("settings") << "actSettings" << "Настройки" << QKeySequence();
        QTest::newRow("collapse") << "actCollapse" << "Свернуть всё" << QKeySequence();
        QTest::newRow("expand") << "actExpand" << "Развернуть всё" << QKeySequence();
        QTest::newRow("exit") << "actExit" << "Закрыть" << QKeySequence();
    }

    void commandsCarryHintsAndKeys()
    {
        QFETCH(QString, name);
        const auto* action = FWindow->Form->findChild<QAction*>(name);
        QVERIFY(action);
        QFETCH(QString, hint);
        QFETCH(QKeySequence, key);
        // The key follows the hint in the tool tip.
        QCOMPARE(action->toolTip(), key.isEmpty() ? hint : hint + " (" + key.toString(QKeySequence::NativeText) + ")");
        QCOMPARE(action->shortcut(), key);
    }

    void everyMenuItemHasALetterOfItsOwn()
    {
        QList<QMenu*> menus;
        for (QAction* item : FWindow->Form->menuBar()->actions())
            menus << item->menu();
        QList<QList<QAction*>> groups = {FWindow->Form->menuBar()->actions()};
        for (QMenu* menu : menus)
            groups << menu->actions();
        for (const QList<QAction*>& group : groups) {
            QSet<QChar> letters;
            for (const QAction* item : group) {
                if (item->isSeparator())
                    continue;
                const qsizetype marker = item->text().indexOf(u'&');
                QVERIFY2(marker >= 0 && marker + 1 < item->text().size(), qPrintable(item->text()));
                const QChar letter = item->text()[marker + 1].toLower();
                QVERIFY2(!letters.contains(letter), qPrintable(item->text()));
                letters << letter;
            }
        }
    }

    void f10OpensTheFirstMenu()
    {
        FWindow->Form->show();
        QVERIFY(QTest::qWaitForWindowActive(FWindow->Form.get()));
        QTest::keyClick(FWindow->Form.get(), Qt::Key_F10);
        QTRY_VERIFY(FWindow->Form->mnFile->isVisible());
        QTest::keyClick(FWindow->Form->mnFile, Qt::Key_Escape);
    }

    void aboutNamesTheVersionsTheFormatAndTheLicence()
    {
        FWindow->Form->findChild<QAction*>("actAbout")->trigger();
        QCOMPARE(FWindow->Prompts.Shown.size(), 1);
        const TShownPrompt about = FWindow->Prompts.Shown.first();
        QCOMPARE(about.Kind, TPromptKind::Info);
        QCOMPARE(about.Title, QStringLiteral("О программе"));
        QVERIFY(QRegularExpression(QStringLiteral("^UVO Edit \\d+\\.\\d+\\.\\d+\n")).match(about.Text).hasMatch());
        QVERIFY(about.Text.contains(QStringLiteral("Qt ") + qVersion()));
        QVERIFY(about.Text.contains(QStringLiteral("Описание формата: заданное при запуске, типов записей: 4")));
        QVERIFY(about.Text.contains(QStringLiteral("Лицензия: ")));
    }

    void toolBarHoldsTheCommandsWithGaps()
    {
        QCOMPARE(ToolBarItems(*FWindow->Form->ToolBar),
                 QStringList({"actNew", "actNewRecs", "actOpen", "actSave", "actSaveAs", "actLoadFromDB", "tbGap1",
                              "actSettings", "tbGap2", "cbFilter", "actCollapse", "actExpand", "tbGap3", "actExit"}));
        const int gap = FWindow->Form->ToolBar->findChild<QWidget*>("tbGap1")->width();
        QCOMPARE(FWindow->Form->ToolBar->findChild<QWidget*>("tbGap2")->width(), 2 * gap);
        QCOMPARE(FWindow->Form->ToolBar->findChild<QWidget*>("tbGap3")->width(), 3 * gap);
    }

    void filterBoxAndScrollBar()
    {
        QCOMPARE(FWindow->Form->cbFilter->width(), 439);
        QCOMPARE(FWindow->Form->cbFilter->toolTip(), QStringLiteral("Отбор по номеру счёта"));
        QVERIFY(!FWindow->Form->cbFilter->isEditable());
        QCOMPARE(FWindow->Form->cbFilter->maxVisibleItems(), 20);
        QCOMPARE(FWindow->Form->ScrollBar->orientation(), Qt::Horizontal);
        QCOMPARE(FWindow->Form->ScrollBar->minimum(), 0);
        QCOMPARE(FWindow->Form->ScrollBar->pageStep(), 4);
    }

    void commandsHaveIconsOfTheirOwn()
    {
        QList<QImage> icons;
        for (const QAction* action : FWindow->Form->ToolBar->actions())
            if (!action->objectName().isEmpty()) {
                const QImage icon = action->icon().pixmap(16, 16).toImage();
                QVERIFY2(!icon.isNull(), qPrintable(action->objectName()));
                QVERIFY2(!icons.contains(icon), qPrintable(action->objectName()));
                icons << icon;
            }
        QCOMPARE(icons.size(), 10);
    }

    void barsOfferNoMenuToHideThem()
    {
        FWindow->Form->show();
        QVERIFY(QTest::qWaitForWindowExposed(FWindow->Form.get()));
        for (QWidget* bar : {static_cast<QWidget*>(FWindow->Form->ToolBar), FWindow->Form->findChild<QWidget*>("tbGap2"),
                             static_cast<QWidget*>(FWindow->Form->menuBar())}) {
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(1, 1), bar->mapToGlobal(QPoint(1, 1)));
            QCoreApplication::sendEvent(bar, &event);
            QVERIFY2(!QApplication::activePopupWidget(), qPrintable(bar->objectName()));
        }
        QVERIFY(FWindow->Form->ToolBar->isVisible());
    }

    void clientAreaBelowTheMenuBarIs1435By888()
    {
        FWindow->Form->show();
        QVERIFY(QTest::qWaitForWindowExposed(FWindow->Form.get()));
        const QRect client = FWindow->Form->rect().adjusted(0, FWindow->Form->menuBar()->height(), 0, 0);
        QCOMPARE(client.size(), QSize(1435, 888));
    }

    void windowStaysOnTheScreen()
    {
        FWindow->Form->show();
        QVERIFY(QTest::qWaitForWindowExposed(FWindow->Form.get()));
        const QRect room = FWindow->Form->screen()->availableGeometry();
        const QRect frame = FWindow->Form->frameGeometry();
        QVERIFY2(room.contains(frame), qPrintable(QString("%1,%2 %3x%4").arg(frame.x()).arg(frame.y())
                                                      .arg(frame.width()).arg(frame.height())));
        if (room.width() < 1435)
            QVERIFY(FWindow->Form->width() >= room.width() * 9 / 10);  // shrunk to the screen, not below it
    }

    void statusPanelsHaveTheirWidths()
    {
        QCOMPARE(FWindow->Form->findChild<QWidget*>("StatusPanel0")->width(), 150);
        QCOMPARE(FWindow->Form->findChild<QWidget*>("StatusPanel1")->width(), 50);
    }

    void longCountsAreNotCut()
    {
        auto* panel = FWindow->Form->findChild<QLabel*>("StatusPanel0");
        FWindow->Form->StatusBar->SetPanelText(0, QStringLiteral("Записей: 583589 из 583589"));
        FWindow->Form->show();
        QVERIFY(QTest::qWaitForWindowExposed(FWindow->Form.get()));
        QVERIFY(panel->width() >= panel->fontMetrics().horizontalAdvance(panel->text()) + panel->indent());
    }

    void recordMenuOffersTheRecordCommands()
    {
        TRecordPopup& menu = *FWindow->Form->mnVTPopup;
        QCOMPARE(Captions(menu.actions()),
                 QStringList({"Редактировать запись", "Копировать запись", "Добавить запись", "Удалить запись"}));
        QCOMPARE(menu.defaultAction(), menu.mnEditRec);
        QCOMPARE(Captions(menu.mnSubAddRec->actions()),
                 QStringList({"Header Record", "Account Record", "Trailer Record"}));
        QStringList names;
        for (const QAction* item : menu.mnSubAddRec->actions())
            names << item->objectName();
        QCOMPARE(names, QStringList({"M300000", "M300100", "M300999"}));
    }

    void recordMenuOverThePanelAreaOffersOnlyAdding()
    {
        FWindow->Form->show();
        QWidget* background = FWindow->Form->PanelGroup->widget();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10), background->mapToGlobal(QPoint(10, 10)));
        QCoreApplication::sendEvent(background, &event);
        TRecordPopup& menu = *FWindow->Form->mnVTPopup;
        QVERIFY(menu.isVisible());
        QVERIFY(!menu.mnEditRec->isEnabled() && !menu.mnCopyRec->isEnabled() && !menu.mnDeleteRec->isEnabled());
        QVERIFY(menu.mnSubAddRec->menuAction()->isEnabled());
        menu.close();
    }
};

QTEST_MAIN(TLayoutTest)
#include "tst_layout.moc"
