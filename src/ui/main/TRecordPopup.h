#pragma once

#include <QMenu>

class TFormat;

// The record context menu (mnVTPopup) of the grids and the panel area.
class TRecordPopup : public QMenu {
    Q_OBJECT
public:
    explicit TRecordPopup(QWidget* parent = nullptr);

    // One "Добавить запись" item per active record type, in ascending id,
    // captioned with the type's full name and named "M" + its id.
    void FillSubMenu(const TFormat& format);
    // The record items apply only to a grid row; adding is always offered.
    void EnableRecordItems(bool onGrid);

    QAction* mnEditRec;
    QAction* mnCopyRec;
    QMenu* mnSubAddRec;
    QAction* mnDeleteRec;

signals:
    void AddRecChosen(const QString& RecID);
};
