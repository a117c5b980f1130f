#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The characters of one value as a record keeps them: the file's single-byte
// code page where the value fits in it (every value read from a file does),
// UTF-16 where it holds a character that code page lacks. Valid until the
// next change of the values it points into.
class TValueChars {
public:
    TValueChars() = default;
    TValueChars(QByteArrayView fileBytes) : FData(fileBytes.data()), FSize(fileBytes.size()) {}
    TValueChars(QStringView text) : FData(text.utf16()), FSize(text.size()), FWide(true) {}

    qsizetype size() const { return FSize; }
    bool isEmpty() const { return FSize == 0; }
    bool IsWide() const { return FWide; }
    // Only for the form the value is in.
    QByteArrayView Bytes() const { return QByteArrayView(static_cast<const char*>(FData), FSize); }
    QStringView Wide() const { return QStringView(static_cast<const char16_t*>(FData), FSize); }

    TValueChars First(qsizetype n) const;
    QString toString() const;
    // Writes size() characters.
    void DecodeTo(char16_t* out) const;
    void AppendTo(QString& out) const;
    // Appends the value in the file's code page.
    void EncodeAppend(QByteArray& out) const;
    // A hash of the characters, the same for either form of a value.
    size_t Hash() const;

    friend bool operator==(const TValueChars& a, const TValueChars& b);
    friend bool operator!=(const TValueChars& a, const TValueChars& b) { return !(a == b); }
    friend bool operator==(const TValueChars& a, QStringView b) { return a == TValueChars(b); }
    friend bool operator!=(const TValueChars& a, QStringView b) { return !(a == b); }

private:
    const void* FData = nullptr;
    qsizetype FSize = 0;
    bool FWide = false;
};
