#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The single-byte "ANSI" code page of UVO files, the format description and the
// settings file: Windows-1251, as on the Russian Windows desktops the files come
// from. Every conversion between those bytes and the program's UTF-16 text goes
// through here.
namespace AnsiCodePage {

QString Decode(QByteArrayView bytes);
// Decodes into an existing string, reusing its buffer (for line-by-line reading).
void DecodeInto(QByteArrayView bytes, QString& out);
// Decodes into room for bytes.size() characters.
void DecodeTo(QByteArrayView bytes, char16_t* out);
// Characters the code page cannot represent become '?'.
QByteArray Encode(QStringView text);
void EncodeAppend(QStringView text, QByteArray& out);
// Whether every character of the text has a byte of its own in the code page.
bool CanEncode(QStringView text);
// Encodes the whole text into room for text.size() bytes; false, with the
// room left undefined, where a character has no byte in the code page.
bool EncodeExactly(QStringView text, char* out);

}  // namespace AnsiCodePage
