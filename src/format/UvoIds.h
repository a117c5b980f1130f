#pragma once

#include <QString>

// The record type ids and field ids that the program's own logic names: the
// fixed roles, the sort key, the known values and the control totals. All
// other ids come from the format description alone.
namespace UvoIds {

// Record types.
inline const QString HeaderRecID = QStringLiteral("300000");
inline const QString AccountRecID = QStringLiteral("300100");
inline const QString AccountHistoryRecID = QStringLiteral("300210");
inline const QString ConsumerRecID = QStringLiteral("300300");  // Consumer Name Record
inline const QString ConsumerAddressRecID = QStringLiteral("300500");
inline const QString EmployerDetailsRecID = QStringLiteral("300600");
inline const QString LegalRecID = QStringLiteral("300620");
inline const QString WarrantyRecID = QStringLiteral("300630");
inline const QString WarrantyHistoryRecID = QStringLiteral("300640");
inline const QString GuaranteeRecID = QStringLiteral("300650");
inline const QString LienRecID = QStringLiteral("300660");
inline const QString MortgageGracePeriodRecID = QStringLiteral("300665");
inline const QString AssigneeRecID = QStringLiteral("300670");
inline const QString TrailerRecID = QStringLiteral("300999");

// The fields that open every layout.
inline const QString RecordTypeFld = QStringLiteral("310000");
inline const QString VersionNumberFld = QStringLiteral("310001");
inline const QString SubscriberCodeFld = QStringLiteral("310002");
inline const QString FinanceTypeFld = QStringLiteral("310003");

// The Header's identification and dates.
inline const QString FormatIdFld = QStringLiteral("310004");
inline const QString GroupIdFld = QStringLiteral("310005");
inline const QString UserIdFld = QStringLiteral("310006");
inline const QString SubscriberNameFld = QStringLiteral("310008");
inline const QString AccountingDateFld = QStringLiteral("310009");
inline const QString FilePreparationDateFld = QStringLiteral("310010");

// The fields that place a record within its account.
inline const QString AccountFld = QStringLiteral("310011");  // Consumer Account Number
inline const QString HistoryNumberFld = QStringLiteral("310059");
inline const QString HolderNumberFld = QStringLiteral("310065");  // Account Holder Number
inline const QString AddressTypeFld = QStringLiteral("310087");
inline const QString JudgmentTypeFld = QStringLiteral("310475");
inline const QString HistoryRecordNumberFld = QStringLiteral("310496");  // of a Warranty History Record

// A consumer's name.
inline const QString SurnameFld = QStringLiteral("310233");
inline const QString FirstNameFld = QStringLiteral("310230");

// The Trailer's control totals, one per counted record type.
inline const QString TotalAccountRecordsFld = QStringLiteral("310107");
inline const QString TotalHistoryRecordsFld = QStringLiteral("310109");
inline const QString TotalNameRecordsFld = QStringLiteral("310110");
inline const QString TotalAddressRecordsFld = QStringLiteral("310111");
inline const QString TotalEmployerRecordsFld = QStringLiteral("310113");
inline const QString TotalLegalRecordsFld = QStringLiteral("310445");
inline const QString TotalWarrantyRecordsFld = QStringLiteral("310447");
inline const QString TotalWarrantyHistoryRecordsFld = QStringLiteral("310448");
inline const QString TotalGuaranteeRecordsFld = QStringLiteral("310451");
inline const QString TotalLienRecordsFld = QStringLiteral("310444");
inline const QString TotalMortgageGracePeriodRecordsFld = QStringLiteral("310542");
inline const QString TotalAssigneeRecordsFld = QStringLiteral("310446");
// Filler0 in the Trailer's layout: always nine zeros, never counted.
inline const QString TotalPersonalDetailsRecordsFld = QStringLiteral("310112");

}  // namespace UvoIds
