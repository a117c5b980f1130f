#pragma once

#include "Findings.h"

#include <cstdio>
#include <memory>

// Where uvotool check puts its findings as it finds them: nothing is kept
// once a finding is written, so memory does not grow with their number.
class TFindingWriter {
public:
    virtual ~TFindingWriter() = default;
    virtual void Finding(const TFinding& finding) = 0;
    // After the last finding of a file.
    virtual void Summary(const TFileSummary& summary) = 0;
    // After the last file.
    virtual void Finish() = 0;
};

// One line per finding, "file:line: subject: reason", then a summary per file
// and record type. UTF-8.
std::unique_ptr<TFindingWriter> MakeTextWriter(std::FILE* out);

// One JSON document: an array with an object per finding. UTF-8.
std::unique_ptr<TFindingWriter> MakeJsonWriter(std::FILE* out);

// Writes text to a stream in UTF-8.
void Print(std::FILE* out, const QString& text);
