#include "TPanelArea.h"

#include <QContextMenuEvent>
#include <QLayoutItem>
#include <QVBoxLayout>

TPanelArea::TPanelArea(QWidget* parent) : QScrollArea(parent)
{
    setObjectName(QStringLiteral("PanelGroup"));
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // the window's ScrollBar moves the grids sideways
    auto* column = new QWidget(this);
    FColumn = new QVBoxLayout(column);
    FColumn->setContentsMargins(0, 0, 0, 0);
    FColumn->setSpacing(0);
    FColumn->addStretch();  // panels stack from the top
    setWidget(column);
}

void TPanelArea::ClearView()
{
    for (int i = FColumn->count() - 2; i >= 0; --i) {  // the last item is the stretch
        QLayoutItem* item = FColumn->takeAt(i);
        delete item->widget();
        delete item;
    }
}

int TPanelArea::ShownRowCount() const { return 0; }

void TPanelArea::CollapseAll() {}

void TPanelArea::ExpandAll() {}

void TPanelArea::contextMenuEvent(QContextMenuEvent* event)
{
    emit PopupRequested(event->globalPos(), nullptr);
    event->accept();
}
