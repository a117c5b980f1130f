#pragma once

#include <QFrame>
#include <QList>
#include <QStringList>

class QAction;

// The header menu of the grids (VTHeaderMenu): the grid's column captions in
// alphabetical order, laid out in menu columns separated by vertical bars; the
// first menu column holds 39 items and each further one 40.
class TGridHeaderMenu : public QFrame {
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

signals:
    void ColumnChosen(int column);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Clear();
    QWidget* NewMenuColumn(QWidget* parent);

    QList<QAction*> FItems;
    QList<QWidget*> FColumns;
    QWidget* FBody = nullptr;
};
