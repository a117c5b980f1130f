#include "StrUtils.h"
#include "TFormat.h"

// Whether a value may stand in a field of the rule, and if not, the first test
// it fails. Invalid values are never refused elsewhere: the answer is
// information for the user.
TValidity TFormat::Validity(QStringView S, const TRule& Rule) const
{
    const QStringView value = TrimRightControls(S);
    if (Rule.Required && value.isEmpty())
        return TValidity::MissingRequired;
    if (value.size() > Rule.Size)
        return TValidity::TooLong;
    if (Rule.Kind == u'N' && !StrIsDigits(value))
        return TValidity::NotDigits;
    if (!Rule.ValSet || value.isEmpty())
        return TValidity::Valid;
    for (const TVal* val : Rule.ValSet->ValList)
        if (val->Value == value)
            return TValidity::Valid;
    return TValidity::NotInDomain;
}
