#include "TGridHeaderMenu.h"

#include <QAction>
#include <QApplication>
#include <QCollator>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionMenuItem>

#include <algorithm>
#include <numeric>

namespace {

constexpr int BarWidth = 7;  // the gap between menu columns, the bar in its middle

// Column indexes ordered by their captions, case-insensitively in the user's locale.
std::vector<int> SortedColumns(const QStringList& captions)
{
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<int> order(size_t(captions.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return collator.compare(captions[a], captions[b]) < 0; });
    return order;
}

}  // namespace

TGridHeaderMenu::TGridHeaderMenu(QWidget* parent) : QWidget(parent, Qt::Popup)
{
    setObjectName(QStringLiteral("VTHeaderMenu"));
    setFont(QApplication::font("QMenu"));
    setMouseTracking(true);
}

int TGridHeaderMenu::ColumnOf(int item) { return item < FirstColumnItems ? 0 : 1 + (item - FirstColumnItems) / ColumnItems; }

int TGridHeaderMenu::RowOf(int item) { return item < FirstColumnItems ? item : (item - FirstColumnItems) % ColumnItems; }

int TGridHeaderMenu::ColumnCount() const { return FItems.isEmpty() ? 0 : ColumnOf(int(FItems.size()) - 1) + 1; }

// The item at a row of a menu column, or the column's last item when the
// column is shorter.
int TGridHeaderMenu::ItemAt(int column, int row) const
{
    const int first = column == 0 ? 0 : FirstColumnItems + (column - 1) * ColumnItems;
    const int last = std::min(int(FItems.size()), column == 0 ? FirstColumnItems : first + ColumnItems) - 1;
    return std::min(first + row, last);
}

void TGridHeaderMenu::Fill(const QStringList& captions)
{
    qDeleteAll(FItems);
    FItems.clear();
    FActive = -1;
    for (const int index : SortedColumns(captions)) {
        auto* item = new QAction(captions[index], this);
        item->setData(index);
        connect(item, &QAction::triggered, this, [this, index] {
            hide();
            emit ColumnChosen(index);
        });
        FItems << item;
    }
    Layout();
}

QStyleOptionMenuItem TGridHeaderMenu::ItemOption(int item) const
{
    QStyleOptionMenuItem option;
    option.initFrom(this);
    option.state = QStyle::State_Enabled;
    if (isActiveWindow())
        option.state |= QStyle::State_Active;
    if (item == FActive)
        option.state |= QStyle::State_Selected;
    option.menuItemType = QStyleOptionMenuItem::Normal;
    option.checkType = QStyleOptionMenuItem::NotCheckable;
    // A menu takes '&' for a mnemonic; captions are shown as they are.
    option.text = FItems[item]->text().replace(u'&', QStringLiteral("&&"));
    option.font = font();
    option.fontMetrics = fontMetrics();
    option.maxIconWidth = 0;
    option.reservedShortcutWidth = 0;
    option.menuRect = rect();
    if (item < FItemRects.size())
        option.rect = FItemRects[item];
    return option;
}

void TGridHeaderMenu::Layout()
{
    FItemRects.clear();
    FBarX.clear();
    const int frame = style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, this);
    const int hMargin = style()->pixelMetric(QStyle::PM_MenuHMargin, nullptr, this);
    const int vMargin = style()->pixelMetric(QStyle::PM_MenuVMargin, nullptr, this);
    const int top = frame + vMargin;
    int left = frame + hMargin;
    int bottom = top;
    for (int first = 0; first < FItems.size();) {
        const int column = ColumnOf(first);
        const int last = ItemAt(column, ColumnItems);
        QList<QSize> sizes;
        int width = 0;
        for (int i = first; i <= last; ++i) {
            const QStyleOptionMenuItem option = ItemOption(i);
            const QSize text(option.fontMetrics.horizontalAdvance(option.text), option.fontMetrics.height());
            sizes << style()->sizeFromContents(QStyle::CT_MenuItem, &option, text, this);
            width = std::max(width, sizes.last().width());
        }
        if (column > 0) {
            FBarX << left + BarWidth / 2;
            left += BarWidth;
        }
        int y = top;
        for (const QSize& size : sizes) {
            FItemRects << QRect(left, y, width, size.height());
            y += size.height();
        }
        bottom = std::max(bottom, y);
        left += width;
        first = last + 1;
    }
    FSize = QSize(left + hMargin + frame, bottom + vMargin + frame);
    resize(FSize);
    update();
}

QSize TGridHeaderMenu::sizeHint() const { return FSize; }

QList<QStringList> TGridHeaderMenu::Columns() const
{
    QList<QStringList> columns(ColumnCount());
    for (int i = 0; i < FItems.size(); ++i)
        columns[ColumnOf(i)] << FItems[i]->text();
    return columns;
}

QAction* TGridHeaderMenu::ActiveItem() const { return FActive >= 0 ? FItems[FActive] : nullptr; }

void TGridHeaderMenu::Popup(const QPoint& globalPos)
{
    QRect place(globalPos, sizeHint());
    if (const QScreen* screen = QGuiApplication::screenAt(globalPos)) {
        const QRect room = screen->availableGeometry();
        place.moveRight(std::min(place.right(), room.right()));
        place.moveBottom(std::min(place.bottom(), room.bottom()));
        place.moveTopLeft(QPoint(std::max(place.left(), room.left()), std::max(place.top(), room.top())));
    }
    move(place.topLeft());
    show();
}

void TGridHeaderMenu::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    QStyleOption panel;
    panel.initFrom(this);
    panel.state = QStyle::State_None;
    style()->drawPrimitive(QStyle::PE_PanelMenu, &panel, &painter, this);
    for (int i = 0; i < FItems.size(); ++i) {
        const QStyleOptionMenuItem option = ItemOption(i);
        style()->drawControl(QStyle::CE_MenuItem, &option, &painter, this);
    }
    const int frame = style()->pixelMetric(QStyle::PM_MenuPanelWidth, nullptr, this);
    for (const int x : FBarX) {
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(x, frame + 2, x, height() - frame - 3);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(x + 1, frame + 2, x + 1, height() - frame - 3);
    }
    QStyleOptionFrame border;
    border.initFrom(this);
    border.state = QStyle::State_None;
    border.lineWidth = frame;
    border.midLineWidth = 0;
    style()->drawPrimitive(QStyle::PE_FrameMenu, &border, &painter, this);
}

void TGridHeaderMenu::SetActive(int item)
{
    if (item == FActive)
        return;
    FActive = item;
    update();
}

void TGridHeaderMenu::MoveActive(int key)
{
    const int count = int(FItems.size());
    if (count == 0)
        return;
    if (FActive < 0) {  // the first key picks the first or the last item
        SetActive(key == Qt::Key_Up || key == Qt::Key_End ? count - 1 : 0);
        return;
    }
    const int columns = ColumnCount();
    switch (key) {
    case Qt::Key_Down:
        return SetActive((FActive + 1) % count);
    case Qt::Key_Up:
        return SetActive((FActive + count - 1) % count);
    case Qt::Key_Right:
        return SetActive(ItemAt((ColumnOf(FActive) + 1) % columns, RowOf(FActive)));
    case Qt::Key_Left:
        return SetActive(ItemAt((ColumnOf(FActive) + columns - 1) % columns, RowOf(FActive)));
    case Qt::Key_Home:
        return SetActive(0);
    case Qt::Key_End:
        return SetActive(count - 1);
    }
}

void TGridHeaderMenu::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        hide();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        if (QAction* item = ActiveItem())
            item->trigger();
        break;
    case Qt::Key_Down:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Left:
    case Qt::Key_Home:
    case Qt::Key_End:
        MoveActive(event->key());
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

int TGridHeaderMenu::ItemAt(const QPoint& pos) const
{
    for (int i = 0; i < FItemRects.size(); ++i)
        if (FItemRects[i].contains(pos))
            return i;
    return -1;
}

void TGridHeaderMenu::mouseMoveEvent(QMouseEvent* event) { SetActive(ItemAt(event->position().toPoint())); }

void TGridHeaderMenu::mousePressEvent(QMouseEvent* event)
{
    FPressed = rect().contains(event->position().toPoint());
    QWidget::mousePressEvent(event);  // a press outside closes the menu
}

void TGridHeaderMenu::mouseReleaseEvent(QMouseEvent* event)
{
    // The release of the click that opened the menu chooses nothing: only a
    // click made in the menu does.
    const int item = ItemAt(event->position().toPoint());
    if (FPressed && item >= 0)
        FItems[item]->trigger();
    FPressed = false;
}

void TGridHeaderMenu::leaveEvent(QEvent* /*event*/) { SetActive(-1); }

void TGridHeaderMenu::hideEvent(QHideEvent* /*event*/)
{
    FActive = -1;
    FPressed = false;
}
