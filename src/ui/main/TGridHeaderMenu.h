#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

class QAction;
class QStyleOptionMenuItem;

// The header menu of the grids (VTHeaderMenu): the grid's column captions in
// alphabetical order, laid out in menu columns separated by vertical bars; the
// first menu column holds 39 items and each further one 40.
//
// A menu of the toolkit cannot be told where to break into columns, so this
// one draws its items in the style's menu look and works as a menu does: the
// pointer or the arrow keys pick an item (Up and Down run through all items in
// order, Left and Right go to the neighbouring menu column), Return or a click
// chooses it, Esc or a click elsewhere closes the menu.
class TGridHeaderMenu : public QWidget {
    Q_OBJECT
public:
    static constexpr int FirstColumnItems = 39;
    static constexpr int ColumnItems = 40;

    explicit TGridHeaderMenu(QWidget* parent = nullptr);

    // Replaces the items: one per caption, sorted case-insensitively in the
    // user's locale, each tagged (QAction::data) with its column index.
    void Fill(const QStringList& captions);
    void Popup(const QPoint& globalPos);

    // The items in menu order, and the captions as they stand in each menu column.
    const QList<QAction*>& Items() const { return FItems; }
    QList<QStringList> Columns() const;
    // The item under the pointer or the keyboard, if any.
    QAction* ActiveItem() const;

    QSize sizeHint() const override;

signals:
    void ColumnChosen(int column);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // Menu column of an item, its row in that column, and the other way round.
    static int ColumnOf(int item);
    static int RowOf(int item);
    int ItemAt(int column, int row) const;
    int ColumnCount() const;

    void Layout();
    QStyleOptionMenuItem ItemOption(int item) const;
    int ItemAt(const QPoint& pos) const;
    void SetActive(int item);
    void MoveActive(int key);

    QList<QAction*> FItems;
    QList<QRect> FItemRects;  // in menu order
    QList<int> FBarX;         // the vertical bars between menu columns
    QSize FSize;
    int FActive = -1;
    bool FPressed = false;  // a button went down inside the menu
};
