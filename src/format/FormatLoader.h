#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

class TFormat;

// Reads the line-oriented format description text into a TFormat: sections
// [RECORDS], [FIELDS], [DOMAINS], [VALUES] and [FORMAT], one entry per line,
// fields separated by ';'. Stops at the first problem.
class FormatLoader {
public:
    struct Result {
        bool Ok = false;
        QString Message;  // the first problem, in the user's words; empty when Ok
    };

    // Loads a whole text (the shipped description or any other, for tests).
    static Result Load(QByteArrayView text, TFormat& format);

    // Splits a text into lines: CR LF, a lone CR or a lone LF ends a line; a
    // last line without a line end still counts.
    static QStringList SplitLines(const QString& text);

    // Splits a data line at every ';': fields are not trimmed and empty fields count.
    static QStringList SplitFields(const QString& line);

private:
    static QString DecodeText(QByteArrayView text);
};
