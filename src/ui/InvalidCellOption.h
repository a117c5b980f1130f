#pragma once

#include "UvoColors.h"

#include <QStyle>
#include <QStyleOptionViewItem>

// A selected cell of an invalid value keeps its yellow: darker where the
// selection is shown, plain where it is not, with the cell's own text colour.
// A value that becomes invalid is marked the moment it is stored.
inline void KeepInvalidYellowWhenSelected(QStyleOptionViewItem& option)
{
    const bool invalid = option.backgroundBrush.style() != Qt::NoBrush &&
                         option.backgroundBrush.color() == UvoColors::InvalidValue;
    if (!invalid || !(option.state & QStyle::State_Selected))
        return;
    const bool shown = option.state & QStyle::State_Active;
    option.palette.setColor(QPalette::Highlight, shown ? UvoColors::SelectedInvalidValue : UvoColors::InvalidValue);
    option.palette.setColor(QPalette::HighlightedText, option.palette.color(QPalette::Text));
}
