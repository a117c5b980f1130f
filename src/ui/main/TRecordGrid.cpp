#include "TRecordGrid.h"

#include "InvalidCellOption.h"
#include "TRecordGridModel.h"
#include "UvoColors.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>
#include <QProxyStyle>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QWheelEvent>

#include <algorithm>
#include <optional>

namespace {

constexpr int ColumnExtra = 12;  // beyond the caption's width in the bold header font

// The focused cell is drawn like any other cell: no focus frame.
class TCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
        KeepInvalidYellowWhenSelected(*option);
    }
};

// The grid lines are silver whatever the style would draw.
class TGridStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_Table_GridLineColor)
            return int(UvoColors::GridLines.rgba());
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// One style serves every grid; it lives as long as the application.
QStyle* GridStyle()
{
    static QPointer<TGridStyle> style;
    if (!style) {
        style = new TGridStyle;
        style->setParent(qApp);
    }
    return style;
}

QFont Bold(QFont font)
{
    font.setBold(true);
    return font;
}

// The widths of column captions in one font. Every grid of a record type has
// the same captions, and a view shows a dozen grids or more at every rebuild:
// each caption is laid out once. Like the grid style, the one set of widths
// lives as long as the application.
class TCaptionWidths : public QObject {
public:
    // Another font than the last starts afresh.
    void UseFont(const QFont& font)
    {
        if (FMetrics && FFont == font)
            return;
        FFont = font;
        FMetrics.emplace(font);
        FWidths.clear();
    }
    int Of(const QString& caption)
    {
        auto known = FWidths.constFind(caption);
        if (known == FWidths.constEnd())
            known = FWidths.insert(caption, FMetrics->horizontalAdvance(caption));
        return *known;
    }

private:
    QFont FFont;
    std::optional<QFontMetrics> FMetrics;
    QHash<QString, int> FWidths;
};

TCaptionWidths& CaptionWidths(const QFont& font)
{
    static QPointer<TCaptionWidths> widths;
    if (!widths) {
        widths = new TCaptionWidths;
        widths->setParent(qApp);
    }
    widths->UseFont(font);
    return *widths;
}

}  // namespace

TRecordGrid::TRecordGrid(const TContentRec& first, QWidget* parent)
    : QTableView(parent), FModel(new TRecordGridModel(first, this))
{
    setObjectName(QStringLiteral("VT"));
    // Tuned while there are no columns: a font or a scroll mode set later would
    // lay out every column again.
    TuneVT();
    setModel(FModel);
    AddColumns();
}

void TRecordGrid::AddColumns()
{
    const QStringList& captions = FModel->Captions();
    TCaptionWidths& widths = CaptionWidths(Bold(horizontalHeader()->font()));
    for (int i = 0; i < captions.size(); ++i)
        horizontalHeader()->resizeSection(i, widths.Of(captions[i]) + ColumnExtra);
}

void TRecordGrid::TuneVT()
{
    setFocusPolicy(Qt::ClickFocus);  // not a tab stop
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);
    setWordWrap(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);  // the selected row shows as its focused cell
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setStyle(GridStyle());
    setItemDelegate(new TCellDelegate(this));
    setFont(Bold(font()));
    TunePalette();
    TuneHeader();

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &TRecordGrid::VTContextMenu);
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        emit NodeDblClick(this, FModel->Rec(index.row()));
    });
}

void TRecordGrid::TunePalette()
{
    QPalette colours = palette();
    colours.setColor(QPalette::Text, UvoColors::CellText);
    colours.setColor(QPalette::Active, QPalette::Highlight, UvoColors::FocusedCell);
    colours.setColor(QPalette::Active, QPalette::HighlightedText, UvoColors::FocusedCellText);
    // The selection is not shown while another control has the keyboard focus.
    colours.setColor(QPalette::Inactive, QPalette::Highlight, colours.color(QPalette::Active, QPalette::Base));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText, UvoColors::CellText);
    setPalette(colours);
}

void TRecordGrid::TuneHeader()
{
    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    const int textHeight = QFontMetrics(font()).height();
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(std::max(18, textHeight + 4));

    QHeaderView* header = horizontalHeader();
    header->setFont(Bold(font()));
    header->setFixedHeight(std::max(19, QFontMetrics(header->font()).height() + 6));
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionsMovable(false);
    header->setSortIndicatorShown(false);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSectionsClickable(true);
    header->setMinimumSectionSize(1);
    connect(header, &QHeaderView::sectionPressed, this, &TRecordGrid::VTHeaderClick);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header, &QWidget::customContextMenuRequested, this,
            [this, header](const QPoint& pos) { emit HeaderMenuRequested(this, header->mapToGlobal(pos)); });
}

void TRecordGrid::SetRecs(std::vector<TContentRec*> recs) { FModel->SetRecs(std::move(recs)); }

int TRecordGrid::RowCount() const { return FModel->rowCount(); }

TContentRec* TRecordGrid::Rec(int row) const { return FModel->Rec(row); }

int TRecordGrid::RowOf(const TContentRec* rec) const { return FModel->RowOf(rec); }

int TRecordGrid::FocusedRow() const { return currentIndex().isValid() ? currentIndex().row() : -1; }

int TRecordGrid::RowHeight() const { return verticalHeader()->defaultSectionSize(); }

int TRecordGrid::HeaderHeight() const { return horizontalHeader()->height(); }

int TRecordGrid::ColumnsWidth() const { return horizontalHeader()->length(); }

void TRecordGrid::FocusRow(int row)
{
    setCurrentIndex(FModel->index(row, std::max(0, currentIndex().column())));
}

void TRecordGrid::FocusColumn(int column)
{
    const QModelIndex cell = FModel->index(std::max(0, currentIndex().row()), column);
    setCurrentIndex(cell);
    scrollTo(cell);
}

int TRecordGrid::OffsetX() const { return -horizontalScrollBar()->value(); }

void TRecordGrid::SetOffsetX(int offset)
{
    // A grid cannot shift its columns to the right of its left edge.
    const int value = std::max(0, -offset);
    QScrollBar* bar = horizontalScrollBar();
    if (bar->maximum() < value)
        bar->setMaximum(value);
    bar->setValue(value);
}

void TRecordGrid::updateGeometries()
{
    // The view would clamp the offset to its columns; keep the one the shared bar set.
    const int value = horizontalScrollBar()->value();
    QTableView::updateGeometries();
    SetOffsetX(-value);
}

void TRecordGrid::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    emit Resized(this);
}

void TRecordGrid::wheelEvent(QWheelEvent* event)
{
    // The wheel scrolls the panel area, never the grid's rows.
    emit WheelTurned(event->globalPosition().toPoint(), event->angleDelta().y());
    event->accept();
}

void TRecordGrid::keyPressEvent(QKeyEvent* event)
{
    const int row = FocusedRow();
    if (row >= 0 && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            emit NodeDblClick(this, FModel->Rec(row));
            return;
        }
        if (event->key() == Qt::Key_Delete) {
            emit DeleteRequested(this);
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void TRecordGrid::VTHeaderClick() { setFocus(Qt::MouseFocusReason); }

void TRecordGrid::VTContextMenu(const QPoint& pos)
{
    const QModelIndex under = indexAt(pos);
    if (under.isValid())
        FocusRow(under.row());
    emit PopupRequested(viewport()->mapToGlobal(pos), this);
}
