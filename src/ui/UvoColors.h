#pragma once

#include <QColor>

// The colours the windows paint with, each named by what it marks.
namespace UvoColors {

// A value that fails its field's rule, in the record grids and in the edit dialog: yellow.
inline const QColor InvalidValue(255, 255, 0);
// The same value in the selected row of a focused grid: a darker yellow, so
// that the selection hides no yellow.
inline const QColor SelectedInvalidValue(230, 200, 0);

// The record grids of the main window and their panels.
inline const QColor CellText(0, 128, 0);  // green
inline const QColor HeaderText(0, 80, 0);  // dark green
inline const QColor FocusedCell(0, 255, 255);  // aqua
inline const QColor FocusedCellText(0, 80, 0);  // dark green
inline const QColor GridLines(192, 192, 192);  // silver
inline const QColor PanelCaption(0, 0, 255);  // blue

// The comparison with an older file: what came, green, and what went, maroon.
inline const QColor ComparisonAdded(0, 128, 0);
inline const QColor ComparisonRemoved(128, 0, 0);

// The status bar's marker of unsaved changes: olive.
inline const QColor ChangedMarker(128, 128, 0);

// The record edit dialog.
inline const QColor EditBackground(255, 255, 250);
inline const QColor EditText(128, 0, 0);  // maroon
inline const QColor EditGreyedText(128, 128, 128);  // the rows that cannot be edited
inline const QColor FieldCaption(0, 0, 128);  // navy

// The contracts marked for the import.
inline const QColor MarkedContract(0, 255, 255);  // aqua
inline const QColor MarkedContractText(Qt::black);  // readable on aqua

}  // namespace UvoColors
