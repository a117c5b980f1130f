#pragma once

#include "TSettings.h"

#include <QByteArray>
#include <QString>

// The settings file "uvoedit.ini": one 360-byte little-endian binary record of
// length-prefixed single-byte strings and the 64-bit FOID.
namespace SettingsFile {

inline constexpr int RecordSize = 360;
inline const QString DefaultFileName = QStringLiteral("uvoedit.ini");

// The record's bytes, and the record read back from them (length bytes above
// their capacity read as the capacity). Decoding needs at least RecordSize bytes.
QByteArray Encode(const TSettings& settings);
bool Decode(const QByteArray& bytes, TSettings& settings);

// Reads the file; false when it is missing, unreadable, not a regular file or shorter than a record
// (the settings are then left as they were).
bool Load(const QString& fileName, TSettings& settings);

// Writes the file, readable by its owner only since it may hold a database
// password. A failure throws TUvoError naming the file and its folder, with
// the system's message, or "Невозможно открыть файл для записи." for a
// read-only file.
void Save(const QString& fileName, const TSettings& settings);

// A text cut to a capacity of single-byte characters, as the settings store it.
QString CutToCapacity(const QString& text, int capacity);

}  // namespace SettingsFile
