#pragma once

#include <QString>
#include <QStringView>

// Fixed-width string helpers shared by the codec, the sort keys, the control
// totals and the numeric cell editor.

// True when every character is a digit 0-9; true for the empty string.
bool StrIsDigits(QStringView S);

// Exactly Width characters: S cut to Width, or filled with blanks on the right.
QString PadRight(QStringView S, qsizetype Width);

// Exactly Width characters: S filled with zeros on the left, or its last Width characters.
QString PadZeroLeft(QStringView S, qsizetype Width);

// S without its trailing characters of code 0 to 32.
QStringView TrimRightControls(QStringView S);

// S without its leading and trailing characters of code 0 to 32.
QStringView TrimControls(QStringView S);
