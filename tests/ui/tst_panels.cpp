// The panel area: panels and their grids built from the content, cell text and
// colours, the shared sideways scrolling, the wheel, the header menu, collapse
// and expand, and focusing a record.

#include "SettingsFile.h"
#include "TGridHeaderMenu.h"
#include "TRecordGridModel.h"
#include "TRecordPopup.h"
#include "TScriptedPrompts.h"
#include "UiTestSupport.h"
#include "ViewFixture.h"

#include <QAction>
#include <QCollator>
#include <QHeaderView>
#include <QScrollBar>
#include <QWheelEvent>
#include <QtTest>

#include <memory>

using namespace ViewFixture;

namespace {

int ExpectedPanelHeight(const TRecordPanel& panel, int rows)
{
    const TRecordGrid& grid = *panel.Grid();
    return rows * grid.RowHeight() + panel.CaptionHeight() + grid.HeaderHeight() + 22;
}

void TurnWheel(QWidget& over, int delta)
{
    const QPointF local(over.rect().center());
    QWheelEvent event(local, over.mapToGlobal(local), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&over, &event);
}

}  // namespace

class TPanelsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TFreshWindow> FWindow;

    TMainForm& Form() { return *FWindow->Form; }

    // Header, two accounts, Trailer.
    void AddSmallFile()
    {
        Add(Form(), Header, {{"310002", "12345"}});
        AddAccount(Form(), "100");
        AddAccount(Form(), "200");
        Add(Form(), Trailer);
    }

    // Enough panels and rows for the area to scroll.
    void AddTallFile()
    {
        Add(Form(), Header);
        for (int i = 0; i < 30; ++i) {
            const QString account = QString::number(1000 + i);
            AddAccount(Form(), account);
            AddHolder(Form(), account, "01", "Surname", "Name");
            Add(Form(), History, {{"310011", account}});
        }
        Add(Form(), Trailer);
    }

    void ShowWindow()
    {
        Form().show();
        QVERIFY(QTest::qWaitForWindowExposed(&Form()));
    }

    TRecordGrid& GridOf(const QString& recId) { return ViewFixture::GridOf(Form(), recId); }

    // Opens the header menu with a right click over the grid's header.
    TGridHeaderMenu& OpenHeaderMenu(const TRecordGrid& grid)
    {
        QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), grid.mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(grid.horizontalHeader()->viewport(), &request);
        return *Form().PanelGroup->VTHeaderMenu;
    }

private slots:
    void init()
    {
        FWindow = std::make_unique<TFreshWindow>();
    }

    void cleanup() { FWindow.reset(); }

    void emptyContentShowsNoPanels()
    {
        Form().ShowContent(nullptr);
        QVERIFY(Form().VTList().isEmpty());
        QVERIFY(Form().PanelGroup->Panels().isEmpty());
        QCOMPARE(Form().MaxVTWidth(), 0);
    }

    void allRecordsGiveOnePanelPerTypeInTypeOrder()
    {
        Add(Form(), Trailer);
        AddAccount(Form(), "200");
        Add(Form(), Header);
        AddAccount(Form(), "100");
        Form().ShowContent(nullptr);

        QCOMPARE(Captions(Form()), QStringList({"Header", "----Account", "Trailer"}));
        QCOMPARE(RowCounts(Form()), QList<int>({1, 2, 1}));
        QCOMPARE(GridOf(Account).Rec(0)->Account, QStringLiteral("100"));  // by key within the type
        const QList<TRecordPanel*> panels = Form().PanelGroup->Panels();
        for (int i = 0; i < panels.size(); ++i)
            QCOMPARE(panels[i]->height(), ExpectedPanelHeight(*panels[i], RowCounts(Form())[i]));
        QCOMPARE(Form().Content()[0]->Rec->RecID, Trailer);  // the content list keeps its order
        QCOMPARE(Form().StatusBar->PanelText(0), QStringLiteral("Записей: 4 из 4"));
    }

    void gridColumnsAreTheFieldsOfTheType()
    {
        AddSmallFile();
        Form().ShowContent(nullptr);
        const TRecordGrid& grid = GridOf(Account);
        QCOMPARE(grid.Model().columnCount(), 56);
        QCOMPARE(grid.Model().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Record Type"));
        QFont bold = grid.horizontalHeader()->font();
        QVERIFY(bold.bold());
        const QString caption = grid.Model().Captions()[4];
        QCOMPARE(grid.columnWidth(4), QFontMetrics(bold).horizontalAdvance(caption) + 12);
        QCOMPARE(grid.ColumnsWidth(), Form().MaxVTWidth());  // the widest grid shown
    }

    void accountChosenGivesOnePanelPerRunWithSuffixes()
    {
        Add(Form(), Header);
        AddAccount(Form(), "100");
        AddHolder(Form(), "100", "01", "Иванов", "Иван");
        Add(Form(), History, {{"310011", "100"}});
        AddHolder(Form(), "100", "02", "Петров", "Пётр");
        AddAccount(Form(), "200");
        Form().ShowContent(Form().Content()[1]);

        QCOMPARE(Form().cbFilter->currentText(), QStringLiteral("100 Иванов Иван"));
        QCOMPARE(Captions(Form()), QStringList({"----Account - 100", "--------Consumer Name - Иванов Иван",
                                                "--------Account History", "--------Consumer Name - Петров Пётр"}));
        QCOMPARE(RowCounts(Form()), QList<int>({1, 1, 1, 1}));
        QCOMPARE(Form().StatusBar->PanelText(0), QStringLiteral("Записей: 4 из 6"));
    }

    void consumerPanelWithoutNamesStillGetsItsSuffix()
    {
        AddHolder(Form(), "100", "02", QString());
        Form().ShowContent(Form().Content()[0]);
        QCOMPARE(Captions(Form()), QStringList({"--------Consumer Name -  "}));
    }

    void manyRecordsGiveATenRowPanelThatScrolls()
    {
        for (int i = 0; i < 25; ++i)
            AddAccount(Form(), QString::number(100 + i));
        Form().ShowContent(nullptr);
        ShowWindow();

        const TRecordPanel& panel = *Form().PanelGroup->Panels().first();
        QCOMPARE(panel.Grid()->RowCount(), 25);
        QCOMPARE(panel.height(), ExpectedPanelHeight(panel, 10));
        QVERIFY(panel.Grid()->verticalScrollBar()->maximum() > 0);
        QCOMPARE(Form().StatusBar->PanelText(0), QStringLiteral("Записей: 25 из 25"));
    }

    void firstRowOfEveryGridIsFocused()
    {
        AddSmallFile();
        Form().ShowContent(nullptr);
        for (const TRecordGrid* grid : Form().VTList()) {
            QCOMPARE(grid->currentIndex().row(), 0);
            QVERIFY(grid->selectionModel()->isSelected(grid->currentIndex()));
        }
    }

    void cellsShowTheValuesAndMarkInvalidOnes()
    {
        TContentRec* header = Add(Form(), Header, {{"310002", "12345"}});
        Form().ShowContent(nullptr);
        const TRecordGridModel& model = Form().VTList().first()->Model();
        const QModelIndex code = model.index(0, 2);      // Subscriber Code, filled
        const QModelIndex version = model.index(0, 1);   // Version Number, mandatory and empty
        QCOMPARE(model.data(code, Qt::DisplayRole).toString(), QStringLiteral("12345"));
        QCOMPARE(model.data(code, Qt::BackgroundRole), QVariant());
        QCOMPARE(model.data(version, Qt::BackgroundRole).value<QBrush>().color(), QColor(255, 255, 0));
        QCOMPARE(model.data(code, Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 128, 0));
        QCOMPARE(model.headerData(1, Qt::Horizontal, Qt::ForegroundRole).value<QBrush>().color(), QColor(0, 80, 0));

        // Corrected in place: the next paint reads the new value and validity.
        header->SetVal("310001", "01");
        QCOMPARE(model.data(version, Qt::DisplayRole).toString(), QStringLiteral("01"));
        QCOMPARE(model.data(version, Qt::BackgroundRole), QVariant());
    }

    void gridsHaveTheirLook()
    {
        AddSmallFile();
        Form().ShowContent(nullptr);
        const TRecordGrid& grid = *Form().VTList().first();
        QVERIFY(grid.font().bold());
        QCOMPARE(grid.palette().color(QPalette::Active, QPalette::Highlight), QColor(0, 255, 255));
        QCOMPARE(grid.palette().color(QPalette::Active, QPalette::HighlightedText), QColor(0, 80, 0));
        QStyleOptionViewItem cell;
        cell.initFrom(&grid);
        QCOMPARE(QColor::fromRgba(grid.style()->styleHint(QStyle::SH_Table_GridLineColor, &cell, &grid)),
                 QColor(192, 192, 192));
        QCOMPARE(grid.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        QCOMPARE(grid.focusPolicy(), Qt::ClickFocus);
        QCOMPARE(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
        const TRecordPanel& panel = *Form().PanelGroup->Panels().first();
        const QWidget* bar = panel.findChild<QWidget*>("CaptionBar");
        QVERIFY(bar->font().bold());
        QCOMPARE(bar->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    }

    void scrollBarShiftsEveryGridSideways()
    {
        AddSmallFile();
        Form().ShowContent(nullptr);
        ShowWindow();
        const int widest = Form().MaxVTWidth();
        QVERIFY(widest > Form().VTList().first()->width());  // the Account grid is wider than the window

        for (const int p : {50, 101, 7, 0}) {
            Form().ScrollBar->setValue(p);
            for (const TRecordGrid* grid : Form().VTList()) {
                const int expected = std::min(0, -(p * (widest - grid->width() + 100)) / 100);
                QCOMPARE(grid->OffsetX(), expected);
                QCOMPARE(grid->horizontalHeader()->offset(), -expected);  // the header moves along
            }
        }
    }

    void scrollBarOffsetSurvivesALayoutPass()
    {
        AddSmallFile();
        Form().ShowContent(nullptr);
        ShowWindow();
        Form().ScrollBar->setValue(100);
        const TRecordGrid& header = GridOf(Header);
        const int offset = header.OffsetX();
        QVERIFY(-offset > header.ColumnsWidth() - header.viewport()->width());  // beyond its own columns
        Form().resize(Form().width() + 1, Form().height());
        QCoreApplication::processEvents();
        QCOMPARE(header.OffsetX(), offset);
    }

    void wheelOverAGridScrollsTheAreaNotTheRows()
    {
        AddTallFile();
        Form().ShowContent(nullptr);
        ShowWindow();
        TPanelArea& area = *Form().PanelGroup;
        const int step = (area.widget()->height() - area.viewport()->height()) / 5;
        QVERIFY(step > 0);
        TRecordGrid& grid = GridOf(Account);
        QVERIFY(grid.verticalScrollBar()->maximum() > 0);

        TurnWheel(*grid.viewport(), -120);  // towards the user: down
        QCOMPARE(area.verticalScrollBar()->value(), step);
        QCOMPARE(grid.verticalScrollBar()->value(), 0);
        TurnWheel(*grid.viewport(), -120);
        QCOMPARE(area.verticalScrollBar()->value(), 2 * step);
        TurnWheel(*area.widget(), 120);
        QCOMPARE(area.verticalScrollBar()->value(), step);
        TurnWheel(*grid.horizontalHeader()->viewport(), 120);
        QCOMPARE(area.verticalScrollBar()->value(), 0);
        TurnWheel(*grid.viewport(), 120);  // the bar keeps its bounds
        QCOMPARE(area.verticalScrollBar()->value(), 0);
    }

    void wheelOutsideTheAreaIsSwallowed()
    {
        AddTallFile();
        Form().ShowContent(nullptr);
        ShowWindow();
        TurnWheel(*Form().cbFilter, -120);
        QCOMPARE(Form().cbFilter->currentIndex(), 0);
        QCOMPARE(Form().PanelGroup->verticalScrollBar()->value(), 0);
    }

    void headerMenuListsTheColumnsInOrderInMenuColumns()
    {
        AddSmallFile();
        Form().ShowContent(nullptr);
        ShowWindow();
        TRecordGrid& account = GridOf(Account);
        TGridHeaderMenu& menu = OpenHeaderMenu(account);

        QVERIFY(menu.isVisible());
        const QList<QStringList> columns = menu.Columns();
        QCOMPARE(columns.size(), 2);
        QCOMPARE(columns[0].size(), 39);
        QCOMPARE(columns[1].size(), 17);
        const QStringList listed = columns[0] + columns[1];
        QStringList captions = account.Model().Captions();
        QCollator collator{QLocale()};
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        for (int i = 1; i < listed.size(); ++i)
            QVERIFY2(collator.compare(listed[i - 1], listed[i]) <= 0, qPrintable(listed[i - 1] + " / " + listed[i]));
        QStringList sortedListed = listed, sortedCaptions = captions;
        sortedListed.sort();
        sortedCaptions.sort();
        QCOMPARE(sortedListed, sortedCaptions);
        for (const QAction* item : menu.Items())
            QCOMPARE(captions[item->data().toInt()], item->text());
        menu.hide();

        // Opened again over another grid it lists only that grid's columns.
        const TRecordGrid& header = GridOf(Header);
        OpenHeaderMenu(header);
        QCOMPARE(menu.Columns().size(), 1);
        QCOMPARE(menu.Items().size(), header.Model().columnCount());
        menu.hide();
    }

    void headerMenuIsWorkedWithTheKeyboard()
    {
        AddSmallFile();
        Form().ShowContent(nullptr);
        ShowWindow();
        TRecordGrid& account = GridOf(Account);
        TGridHeaderMenu& menu = OpenHeaderMenu(account);

        QTest::keyClick(&menu, Qt::Key_Down);
        QTest::keyClick(&menu, Qt::Key_Down);
        QCOMPARE(menu.ActiveItem(), menu.Items()[1]);
        QTest::keyClick(&menu, Qt::Key_Right);  // the same row of the second menu column
        QCOMPARE(menu.ActiveItem(), menu.Items()[TGridHeaderMenu::FirstColumnItems + 1]);
        QTest::keyClick(&menu, Qt::Key_Return);
        QVERIFY(!menu.isVisible());
        const int chosen = menu.Items()[TGridHeaderMenu::FirstColumnItems + 1]->data().toInt();
        QCOMPARE(account.currentIndex().column(), chosen);

        OpenHeaderMenu(account);
        QTest::keyClick(&menu, Qt::Key_Up);  // Up first picks the last item
        QCOMPARE(menu.ActiveItem(), menu.Items().last());
        QTest::keyClick(&menu, Qt::Key_Escape);
        QVERIFY(!menu.isVisible());
        QCOMPARE(account.currentIndex().column(), chosen);
    }

    void headerMenuJumpsOnlyItsGridToTheColumn()
    {
        AddSmallFile();
        Form().ShowContent(nullptr);
        ShowWindow();
        TRecordGrid& account = GridOf(Account);
        const TRecordGrid& header = GridOf(Header);
        TGridHeaderMenu& menu = OpenHeaderMenu(account);

        QAction* last = nullptr;  // a column far to the right
        for (QAction* item : menu.Items())
            if (item->data().toInt() == 54)
                last = item;
        last->trigger();
        QVERIFY(!menu.isVisible());
        QCOMPARE(account.currentIndex(), account.Model().index(0, 54));
        QVERIFY(account.OffsetX() < 0);
        QVERIFY(account.viewport()->rect().contains(account.visualRect(account.currentIndex()).topLeft()));
        QCOMPARE(header.OffsetX(), 0);
        QCOMPARE(header.currentIndex().column(), 0);
    }

    void collapseAndExpandEveryPanel()
    {
        AddSmallFile();
        Form().ShowContent(nullptr);
        const QList<TRecordPanel*> panels = Form().PanelGroup->Panels();
        QList<int> heights;
        for (const TRecordPanel* panel : panels)
            heights << panel->height();

        Form().actCollapse->trigger();
        for (const TRecordPanel* panel : panels) {
            QVERIFY(panel->Collapsed());
            QCOMPARE(panel->height(), panel->CaptionHeight());
        }
        Form().actExpand->trigger();
        for (int i = 0; i < panels.size(); ++i) {
            QVERIFY(!panels[i]->Collapsed());
            QCOMPARE(panels[i]->height(), heights[i]);
        }
    }

    void showContentFocusesTheRecord()
    {
        AddTallFile();
        TContentRec* wanted = Form().Content()[Form().Content().Count() - 4];  // the last account
        Form().ShowContent(nullptr);
        ShowWindow();
        Form().ShowContent(wanted);

        const TRecordGrid& grid = GridOf(Account);
        QCOMPARE(grid.Rec(grid.currentIndex().row()), wanted);
        QVERIFY(grid.selectionModel()->isSelected(grid.currentIndex()));
        QCOMPARE(Form().focusWidget(), &grid);
    }

    void rightClickSelectsTheRowAndOpensTheRecordMenu()
    {
        AddSmallFile();
        Form().ShowContent(nullptr);
        ShowWindow();
        TRecordGrid& grid = GridOf(Account);
        const QPoint second = grid.visualRect(grid.Model().index(1, 3)).center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, second, grid.viewport()->mapToGlobal(second));
        QCoreApplication::sendEvent(grid.viewport(), &click);

        QCOMPARE(grid.currentIndex().row(), 1);
        TRecordPopup& menu = *Form().mnVTPopup;
        QVERIFY(menu.isVisible());
        QVERIFY(menu.mnEditRec->isEnabled());
        menu.close();
    }

    void headerClickFocusesTheGrid()
    {
        AddSmallFile();
        Form().ShowContent(nullptr);
        ShowWindow();
        TRecordGrid& grid = GridOf(Trailer);
        QHeaderView& header = *grid.horizontalHeader();
        QTest::mouseClick(header.viewport(), Qt::LeftButton, {}, QPoint(header.sectionViewportPosition(1) + 3, 3));
        QCOMPARE(Form().focusWidget(), &grid);
    }

    void arrowsMoveTheFocusedCell()
    {
        AddSmallFile();
        Form().ShowContent(nullptr);
        ShowWindow();
        TRecordGrid& grid = GridOf(Account);
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_Right);
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(grid.currentIndex(), grid.Model().index(1, 1));
    }
};

QTEST_MAIN(TPanelsTest)
#include "tst_panels.moc"
