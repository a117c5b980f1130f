#include "TValueSearch.h"

#include "TContent.h"

bool TValueSearch::Matches(QStringView value) const
{
    if (value.size() < FOptions.Text.size())
        return false;  // most values, and every empty one, end here
    const Qt::CaseSensitivity cs = FOptions.MatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (FOptions.WholeValue)
        return value.size() == FOptions.Text.size() && value.compare(FOptions.Text, cs) == 0;
    return value.contains(FOptions.Text, cs);
}

std::optional<TValueSearch::TCell> TValueSearch::Find(const std::vector<const TContentRec*>& rows, TCell from,
                                                      TDirection direction) const
{
    const int count = int(rows.size());
    if (count == 0 || FOptions.Text.isEmpty())
        return std::nullopt;
    const int step = direction == TDirection::Next ? 1 : -1;
    if (from.Row < 0 || from.Row >= count) {
        // Starting from one end is starting from the cell at the other end, which comes last.
        from.Row = step > 0 ? count - 1 : 0;
        from.Field = step > 0 ? rows[size_t(from.Row)]->FldCount() - 1 : 0;
    }
    // count + 1 rows: the start row once more at the end, for its cells before the start.
    for (int visited = 0; visited <= count; ++visited) {
        const int row = ((from.Row + step * visited) % count + count) % count;
        const TContentRec& rec = *rows[size_t(row)];
        const int last = rec.FldCount() - 1;
        int field = visited == 0 ? from.Field + step : (step > 0 ? 0 : last);
        const int end = visited == count ? from.Field : (step > 0 ? last : 0);
        for (; step > 0 ? field <= end : field >= end; field += step) {
            if (field < 0 || field > last)
                continue;
            const TValueView value = rec.View(field);
            if (Matches(value))
                return TCell{row, field};
        }
    }
    return std::nullopt;
}
