// The settings file reader on any bytes, and the writer on any values: a
// record written and read back is the record that was written.

#include "FuzzSupport.h"

#include "SettingsFile.h"

#include <QList>

namespace {

bool Same(const TSettings& a, const TSettings& b)
{
    return a.ConnectionString == b.ConnectionString && a.VersionNumber == b.VersionNumber &&
           a.SubscriberCode == b.SubscriberCode && a.FormatID == b.FormatID && a.GroupID == b.GroupID &&
           a.UserID == b.UserID && a.SubscriberName == b.SubscriberName && a.FinanceType == b.FinanceType &&
           a.FOID == b.FOID;
}

// Values from the bytes: eight texts separated by NUL bytes, then the FOID.
TSettings ValuesFrom(const QByteArray& bytes)
{
    const QList<QByteArray> parts = bytes.split('\0');
    const auto text = [&parts](int i) { return QString::fromUtf8(parts.value(i)); };
    TSettings settings;
    settings.ConnectionString = text(0);
    settings.VersionNumber = text(1);
    settings.SubscriberCode = text(2);
    settings.FormatID = text(3);
    settings.GroupID = text(4);
    settings.UserID = text(5);
    settings.SubscriberName = text(6);
    settings.FinanceType = text(7);
    settings.FOID = parts.value(8).toLongLong();
    return settings;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    TSettings read;
    if (SettingsFile::Decode(bytes, read)) {
        FUZZ_EXPECT(bytes.size() >= SettingsFile::RecordSize);
        const QByteArray written = SettingsFile::Encode(read);
        FUZZ_EXPECT(written.size() == SettingsFile::RecordSize);
        TSettings reread;
        FUZZ_EXPECT(SettingsFile::Decode(written, reread) && Same(read, reread));
        FUZZ_EXPECT(SettingsFile::Encode(reread) == written);
    } else {
        FUZZ_EXPECT(bytes.size() < SettingsFile::RecordSize);
    }

    // Any values are stored cut to their capacities and read back as stored.
    const TSettings values = ValuesFrom(bytes);
    TSettings stored;
    FUZZ_EXPECT(SettingsFile::Decode(SettingsFile::Encode(values), stored));
    FUZZ_EXPECT(stored.ConnectionString == SettingsFile::CutToCapacity(values.ConnectionString, 255));
    FUZZ_EXPECT(stored.SubscriberName == SettingsFile::CutToCapacity(values.SubscriberName, 40));
    FUZZ_EXPECT(stored.FinanceType == SettingsFile::CutToCapacity(values.FinanceType, 2));
    FUZZ_EXPECT(stored.FOID == values.FOID);
    TSettings again;
    FUZZ_EXPECT(SettingsFile::Decode(SettingsFile::Encode(stored), again) && Same(stored, again));
    return 0;
}
