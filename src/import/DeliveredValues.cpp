#include "DeliveredValues.h"

#include "AnsiCodePage.h"
#include "StrUtils.h"
#include "TContent.h"
#include "TFormat.h"

#include <algorithm>

namespace {

constexpr size_t WarnedValues = 10;
constexpr qsizetype ShownChars = 40;

// Makes every control character a space; whether there was one.
bool ReplaceControls(QString& value)
{
    bool replaced = false;
    for (QChar& c : value)
        if (c.category() == QChar::Other_Control) {
            c = u' ';
            replaced = true;
        }
    return replaced;
}

QString Shown(const QString& value)
{
    QString shown = value.left(ShownChars);
    ReplaceControls(shown);
    return value.size() > ShownChars ? shown + u'…' : shown;
}

QString Describe(const TValueProblem& problem)
{
    using K = TValueProblem::TKind;
    const QString where = QStringLiteral("Запись %1 (%2, договор %3), поле %4 «%5»: ")
                              .arg(problem.Record)
                              .arg(problem.RecID)
                              .arg(problem.DealID)
                              .arg(problem.FldID, problem.FldName);
    switch (problem.Kind) {
    case K::ControlReplaced:
        return where + QStringLiteral("управляющие знаки (переводы строки и другие) заменены пробелами.");
    case K::TooLong:
        return where + QStringLiteral("значение длиннее поля (знаков: %1, ширина поля: %2): «%3».")
                           .arg(problem.Value.size())
                           .arg(problem.Width)
                           .arg(Shown(problem.Value));
    case K::NotInCodePage:
        return where + QStringLiteral("знаки, которых нет в кодировке Windows-1251: «%1».").arg(Shown(problem.Value));
    }
    return where;
}

}  // namespace

void TDeliveredValues::Set(TContentRec& rec, const QString& fldId, QString value, qint64 dealId, int record)
{
    const TContentFldPtr fld = rec.FindFld(fldId);
    if (!fld)
        return;
    const TRule& rule = *fld->Rule;
    const QString delivered = value;
    const auto note = [&](TValueProblem::TKind kind) {
        FProblems.push_back({kind, record, dealId, rule.RecID(), rule.FldID(), rule.Name, rule.Size, delivered});
    };
    if (ReplaceControls(value))
        note(TValueProblem::TKind::ControlReplaced);
    // The last field of a record is not part of its line.
    const bool written = fld->Index() + 1 < rec.FldCount();
    if (written && TrimRightControls(value).size() > rule.Size)
        note(TValueProblem::TKind::TooLong);
    if (written && !AnsiCodePage::CanEncode(value))
        note(TValueProblem::TKind::NotInCodePage);
    fld->SetValue(value);
}

bool TDeliveredValues::AnyAltered() const
{
    return std::any_of(FProblems.begin(), FProblems.end(),
                       [](const TValueProblem& p) { return p.Kind != TValueProblem::TKind::ControlReplaced; });
}

QString TDeliveredValues::Warning(const std::vector<TValueProblem>& problems)
{
    QString text = QStringLiteral("Не все значения из Fa# попадут в файл в том виде, в каком получены "
                                  "(значений: %1).\n\n")
                       .arg(problems.size());
    for (size_t i = 0; i < std::min(problems.size(), WarnedValues); ++i)
        text += Describe(problems[i]) + u'\n';
    if (problems.size() > WarnedValues)
        text += QStringLiteral("…и ещё значений: %1.\n").arg(problems.size() - WarnedValues);
    text += QStringLiteral("\nЗаписи загружены с этими значениями; длинные значения показаны как неверные. "
                           "При сохранении они будут обрезаны по ширине поля, а знаки вне кодировки "
                           "заменены на «?».");
    return text;
}
