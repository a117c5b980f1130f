#include "AnsiCodePage.h"
#include "StrUtils.h"
#include "TFormat.h"

#include <QVarLengthArray>

#include <algorithm>

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
    const auto& codes = Rule.ValSet->ValList;
    if (!FCodesSorted)
        return std::any_of(codes.begin(), codes.end(), [&](const TVal* val) { return val->Value == value; })
                   ? TValidity::Valid
                   : TValidity::NotInDomain;
    // Once OnEndLoading sorted the codes, a binary search finds the same code
    // as a walk from the start.
    // Codes are a few characters: compared in place, code unit by code unit
    // as QStringView orders them, without a call per step.
    const auto it = std::lower_bound(codes.begin(), codes.end(), value, [](const TVal* val, QStringView code) {
        const QStringView own = val->Value;
        return std::lexicographical_compare(own.utf16(), own.utf16() + own.size(), code.utf16(),
                                            code.utf16() + code.size());
    });
    return it != codes.end() && (*it)->Value == value ? TValidity::Valid : TValidity::NotInDomain;
}

// The code page gives blanks, controls and digits the codes of the same
// characters, so only a domain's codes need the value decoded.
TValidity TFormat::Validity(QByteArrayView fileBytes, const TRule& Rule) const
{
    qsizetype end = fileBytes.size();
    while (end > 0 && uchar(fileBytes[end - 1]) <= 32)
        --end;
    const QByteArrayView value = fileBytes.first(end);
    if (Rule.Required && value.isEmpty())
        return TValidity::MissingRequired;
    if (value.size() > Rule.Size)
        return TValidity::TooLong;
    if (Rule.Kind == u'N' && !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return TValidity::NotDigits;
    if (!Rule.ValSet || value.isEmpty())
        return TValidity::Valid;
    return DomainValidity(value, Rule);
}

TValidity TFormat::DomainValidity(QByteArrayView value, const TRule& Rule) const
{
    if (FCodesSorted)
        return Rule.ValSet->FileCodes.Contains(value) ? TValidity::Valid : TValidity::NotInDomain;
    QVarLengthArray<char16_t, 64> chars(value.size());
    AnsiCodePage::DecodeTo(value, chars.data());
    return Validity(QStringView(chars.data(), chars.size()), Rule);
}
