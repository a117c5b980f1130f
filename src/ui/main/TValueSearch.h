#pragma once

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

class TContentRec;

// Finds a text among the field values of records given in the order of the
// view, cell by cell (record by record, field by field in layout order), from
// a cell on and wrapping around the ends; the cell it starts from comes last.
// It reads the records, never the widgets that show them.
class TValueSearch {
public:
    struct TOptions {
        QString Text;
        bool MatchCase = false;
        bool WholeValue = false;  // the value equals the text, rather than holds it
    };
    // A cell: a record of the list and the index of its field in FldList.
    struct TCell {
        int Row = -1;  // -1: no cell; the search starts at one end of the list
        int Field = -1;
        bool operator==(const TCell&) const = default;
    };
    enum class TDirection { Next, Previous };

    explicit TValueSearch(TOptions options) : FOptions(std::move(options)) {}

    bool Matches(QStringView value) const;
    std::optional<TCell> Find(const std::vector<const TContentRec*>& rows, TCell from, TDirection direction) const;

private:
    TOptions FOptions;
};
