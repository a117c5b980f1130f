#pragma once

#include "TValueSearch.h"

#include <QPointer>
#include <QWidget>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QToolButton;
class TPanelArea;
class TRecordGrid;

// The find bar under the panel area: finds a text among the field values of
// the records shown, in the order of the view, from the focused cell on and
// wrapping, and focuses the cell found. It is no dialog: the window stays
// usable while it is open.
class TFindBar : public QWidget {
    Q_OBJECT
public:
    TFindBar(TPanelArea& area, QWidget* parent);

    // Shows the bar with its text selected for typing over.
    void Open();
    void Close();
    // The next (previous) cell holding the text; false, and "Не найдено" in
    // the bar, when none does.
    bool FindNext();
    bool FindPrevious();

    QLineEdit* edFindText;
    QCheckBox* chkMatchCase;
    QCheckBox* chkWholeValue;
    QLabel* lblFindStatus;
    // F3 and Shift+F3 anywhere in the window (the window carries them), Esc in the bar.
    QAction* actFindNext;
    QAction* actFindPrevious;
    QAction* actFindClose;

private:
    bool Find(TValueSearch::TDirection direction);
    QToolButton* NewButton(QAction* action);
    void GridFocused(QWidget* now);

    TPanelArea& FArea;
    QPointer<TRecordGrid> FFocusedGrid;  // the grid whose focused cell the search starts from
};
