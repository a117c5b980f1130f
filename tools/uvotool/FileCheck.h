#pragma once

#include "Findings.h"

#include <QByteArray>
#include <QString>

class TFindingWriter;

// uvotool check on one data file image: reads it line by line as the editor
// does, going on after a refused line, and hands every finding to the writer
// the moment it is found: invalid field values, refused lines, records out of
// the account hierarchy order, a repeated Header or Trailer while reading;
// then a missing Header or Trailer and the Trailer totals that differ from the
// records present. Time is linear in the size of the file.
TFileSummary CheckFile(const TFormat& format, const QString& fileName, const QByteArray& bytes,
                       TFindingWriter& writer);
