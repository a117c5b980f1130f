#include "StrUtils.h"
#include "TFormat.h"

// Whether a value may stand in a field of the rule. Invalid values are never
// refused elsewhere: the answer is information for the user.
bool TFormat::StrIsValid(QStringView S, const TRule& Rule) const
{
    const QStringView value = TrimRightControls(S);
    if (Rule.Required && value.isEmpty())
        return false;
    if (value.size() > Rule.Size)
        return false;
    if (Rule.Kind == u'N' && !StrIsDigits(value))
        return false;
    if (!Rule.ValSet || value.isEmpty())
        return true;
    for (const TVal* val : Rule.ValSet->ValList)
        if (val->Value == value)
            return true;
    return false;
}
