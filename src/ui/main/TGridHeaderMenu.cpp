#include "TGridHeaderMenu.h"

#include <QAction>
#include <QCollator>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

namespace {

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

QFrame* VerticalBar(QWidget* parent)
{
    auto* bar = new QFrame(parent);
    bar->setFrameShape(QFrame::VLine);
    bar->setFrameShadow(QFrame::Sunken);
    return bar;
}

}  // namespace

TGridHeaderMenu::TGridHeaderMenu(QWidget* parent) : QFrame(parent, Qt::Popup)
{
    setObjectName(QStringLiteral("VTHeaderMenu"));
    setFrameShape(QFrame::StyledPanel);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
}

void TGridHeaderMenu::Clear()
{
    delete FBody;
    FBody = nullptr;
    FColumns.clear();
    qDeleteAll(FItems);
    FItems.clear();
}

QWidget* TGridHeaderMenu::NewMenuColumn(QWidget* parent)
{
    auto* column = new QWidget(parent);
    auto* items = new QVBoxLayout(column);
    items->setContentsMargins(0, 0, 0, 0);
    items->setSpacing(0);
    items->addStretch();
    FColumns << column;
    return column;
}

void TGridHeaderMenu::Fill(const QStringList& captions)
{
    Clear();
    FBody = new QWidget(this);
    auto* row = new QHBoxLayout(FBody);
    row->setContentsMargins(0, 0, 0, 0);
    layout()->addWidget(FBody);
    QWidget* column = nullptr;
    for (const int index : SortedColumns(captions)) {
        // The 40th, 80th, ... item starts a new menu column.
        if (!column || (FItems.size() + 1) % ColumnItems == 0) {
            if (column)
                row->addWidget(VerticalBar(FBody));
            column = NewMenuColumn(FBody);
            row->addWidget(column);
        }
        auto* item = new QAction(captions[index], this);
        item->setData(index);
        connect(item, &QAction::triggered, this, [this, index] {
            hide();
            emit ColumnChosen(index);
        });
        auto* button = new QToolButton(column);
        button->setDefaultAction(item);
        button->setAutoRaise(true);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        auto* items = static_cast<QVBoxLayout*>(column->layout());
        items->insertWidget(items->count() - 1, button);  // above the stretch
        FItems << item;
    }
    adjustSize();
}

QList<QStringList> TGridHeaderMenu::Columns() const
{
    QList<QStringList> columns;
    for (const QWidget* column : FColumns) {
        QStringList captions;
        for (const QToolButton* button : column->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
            captions << button->text();
        columns << captions;
    }
    return columns;
}

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

void TGridHeaderMenu::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        hide();
    else
        QFrame::keyPressEvent(event);
}
