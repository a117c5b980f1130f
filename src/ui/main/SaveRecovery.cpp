#include "SaveRecovery.h"

#include "InterruptedSaves.h"
#include "TPrompts.h"
#include "TUvoError.h"

namespace SaveRecovery {
namespace {

const QString Title = QStringLiteral("Прерванное сохранение");

QString Question(const InterruptedSaves::TInterruptedSave& save)
{
    const QString told =
        save.TargetChanged
            ? QStringLiteral("Сохранение файла «%1» было прервано, а с тех пор файл заменён или удалён другой "
                             "программой.\n\nПолная копия прерванного сохранения находится в «%2».\n\n"
                             "Записать её в файл «%1»?")
            : QStringLiteral("Сохранение файла «%1» было прервано, и файл записан не полностью.\n\n"
                             "Полная новая копия файла находится в «%2».\n\nЗавершить сохранение?");
    return told.arg(save.Target, save.Copy) +
           QStringLiteral(" Если нет, копия останется, и вопрос будет задан при следующем запуске.");
}

void Offer(const InterruptedSaves::TInterruptedSave& save)
{
    if (Prompts().Question(Title, Question(save), TQuestionButtons::YesNo) != TAnswer::Yes)
        return;
    try {
        InterruptedSaves::Finish(save);
    } catch (const TUvoError& error) {
        Prompts().Error(QStringLiteral("Не удалось завершить сохранение файла «%1»: %2\n\nКопия остаётся в «%3».")
                            .arg(save.Target, error.Message(), save.Copy));
        return;
    }
    Prompts().Info(Title, QStringLiteral("Сохранение файла «%1» завершено.").arg(save.Target));
}

}  // namespace

void OfferAll()
{
    for (const InterruptedSaves::TInterruptedSave& save : InterruptedSaves::Pending())
        Offer(save);
}

void OfferFor(const QString& fileName)
{
    for (const InterruptedSaves::TInterruptedSave& save : InterruptedSaves::PendingFor(fileName))
        Offer(save);
}

}  // namespace SaveRecovery
