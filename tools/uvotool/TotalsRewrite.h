#pragma once

#include <QString>

class TFormat;

namespace UvoTool {

// Why totals cannot be recomputed, after the file's name.
inline const QString NoTrailerMessage =
    QStringLiteral("no Trailer record, no totals to recompute; nothing written.");

// uvotool totals on a regular file, read twice in pieces rather than held
// whole, so that memory does not grow with the file: the first read counts the
// records of each type and finds what stops a whole read of the file; the
// second renders the lines to the target as the editor writes its records,
// the last Trailer with the recomputed totals. The messages and the exit
// status are those of the file read whole; the target is written as
// WriteRewritten writes it.
int RewriteTotalsInPieces(const TFormat& format, const QString& file, const QString& target, bool force);

}  // namespace UvoTool
