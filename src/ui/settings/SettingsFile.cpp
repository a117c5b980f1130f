#include "SettingsFile.h"

#include "AnsiCodePage.h"
#include "FileRights.h"
#include "TUvoError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <array>

namespace {

// One length-prefixed string of the record: its offset and capacity.
struct StringSlot {
    QString TSettings::*Field;
    int Offset;
    int Capacity;
};

constexpr int FoidOffset = 352;

// The file is named without a folder, so it lands in whatever folder is
// current: the message says which file in which folder could not be written.
[[noreturn]] void ThrowWriteFailure(const QString& fileName, const QString& reason)
{
    const QFileInfo file(fileName);
    throw TUvoError(QStringLiteral("Не удалось записать файл настроек \"%1\" в папке \"%2\".\n%3")
                        .arg(file.fileName(), QDir::toNativeSeparators(file.absolutePath()), reason));
}

const std::array<StringSlot, 8>& StringSlots()
{
    static const std::array<StringSlot, 8> stringSlots = {{
        {&TSettings::ConnectionString, 0, SettingsCapacity::ConnectionString},
        {&TSettings::VersionNumber, 256, SettingsCapacity::VersionNumber},
        {&TSettings::SubscriberCode, 259, SettingsCapacity::SubscriberCode},
        {&TSettings::FormatID, 265, SettingsCapacity::FormatID},
        {&TSettings::GroupID, 276, SettingsCapacity::GroupID},
        {&TSettings::UserID, 289, SettingsCapacity::UserID},
        {&TSettings::SubscriberName, 302, SettingsCapacity::SubscriberName},
        {&TSettings::FinanceType, 343, SettingsCapacity::FinanceType},
    }};
    return stringSlots;
}

}  // namespace

namespace SettingsFile {

QByteArray Encode(const TSettings& settings)
{
    QByteArray bytes(RecordSize, '\0');
    for (const StringSlot& slot : StringSlots()) {
        const QByteArray text = AnsiCodePage::Encode(settings.*slot.Field).left(slot.Capacity);
        bytes[slot.Offset] = char(text.size());
        std::copy(text.begin(), text.end(), bytes.begin() + slot.Offset + 1);
    }
    qToLittleEndian<qint64>(settings.FOID, bytes.data() + FoidOffset);
    return bytes;
}

bool Decode(const QByteArray& bytes, TSettings& settings)
{
    if (bytes.size() < RecordSize)
        return false;
    for (const StringSlot& slot : StringSlots()) {
        // A length above the capacity reads the whole capacity, never beyond it.
        const int length = std::min(int(quint8(bytes[slot.Offset])), slot.Capacity);
        settings.*slot.Field = AnsiCodePage::Decode(QByteArrayView(bytes).sliced(slot.Offset + 1, length));
    }
    settings.FOID = qFromLittleEndian<qint64>(bytes.constData() + FoidOffset);
    return true;
}

bool Load(const QString& fileName, TSettings& settings)
{
    // A FIFO or device of that name would make the start wait or read forever.
    if (!QFileInfo(fileName).isFile())
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.read(RecordSize);
    if (file.error() != QFileDevice::NoError)
        return false;
    return Decode(bytes, settings);
}

void Save(const QString& fileName, const TSettings& settings)
{
    const QByteArray bytes = Encode(settings);
    // The record goes only into a regular file of that name: a link would
    // carry the password to wherever it points.
    const QFileInfo existing(fileName);
    if (existing.isSymLink())
        ThrowWriteFailure(fileName, QStringLiteral("Это символическая ссылка: настройки по ссылкам не записываются."));
    if (existing.exists() && !existing.isFile())
        ThrowWriteFailure(fileName, QStringLiteral("Это не обычный файл: настройки в него не записываются."));
    // A file its owner made read-only is not replaced, as data files are not.
    if (existing.exists() && !FileRights::MayWrite(QFile::encodeName(fileName)))
        ThrowWriteFailure(fileName, QStringLiteral("Невозможно открыть файл для записи."));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        ThrowWriteFailure(fileName, file.errorString());
    // The record may hold a database password: readable by its owner only.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        ThrowWriteFailure(fileName, reason);
    }
    if (!file.commit())
        ThrowWriteFailure(fileName, file.errorString());
}

QString CutToCapacity(const QString& text, int capacity)
{
    return AnsiCodePage::Decode(AnsiCodePage::Encode(text).left(capacity));
}

}  // namespace SettingsFile
