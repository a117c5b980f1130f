#pragma once

#include <QString>
#include <QtGlobal>

// What the editor knows about the submitter and the core banking database.
// Each text holds at most its capacity of single-byte characters.
struct TSettings {
    QString ConnectionString;  // 255
    QString VersionNumber;     // 2
    QString SubscriberCode;    // 5
    QString FormatID;          // 10
    QString GroupID;           // 12
    QString UserID;            // 12
    QString SubscriberName;    // 40
    QString FinanceType;       // 2
    qint64 FOID = 0;

    bool operator==(const TSettings&) const = default;
};

namespace SettingsCapacity {
constexpr int ConnectionString = 255;
constexpr int VersionNumber = 2;
constexpr int SubscriberCode = 5;
constexpr int FormatID = 10;
constexpr int GroupID = 12;
constexpr int UserID = 12;
constexpr int SubscriberName = 40;
constexpr int FinanceType = 2;
}  // namespace SettingsCapacity
