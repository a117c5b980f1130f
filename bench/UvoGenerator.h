#pragma once

#include "FieldValues.h"
#include "RandomValues.h"
#include "TSettings.h"

#include <QDate>
#include <QString>

#include <initializer_list>
#include <utility>

class TContent;
class TContentRec;
class TFormat;

// How many records of each kind an account carries. The defaults give about
// 11.7 records and 5.8 KB per account (10,000 accounts: ~117,000 records, ~58 MB).
struct RecordMix {
    int MinHistory = 4;                 // Account History records per account
    int MaxHistory = 6;
    double SecondAddressShare = 0.25;   // holders with an actual residence besides the registration
    double EmployerShare = 0.6;         // main holders with an employer
    double WarrantyShare = 0.1;         // accounts with a warranty (and 1-3 warranty history records)
    double GuaranteeShare = 0.15;
    double LienShare = 0.1;
    double LegalShare = 0.01;
    double OptionalShare = 0.5;         // optional fields that carry a value
    double InvalidShare = 0.01;         // records with one value their rule refuses
};

struct GeneratorOptions {
    int Accounts = 1000;
    quint32 Seed = 1;
    QDate Today = QDate(2024, 6, 28);   // fixed, so that a seed always gives the same file
    RecordMix Mix;
};

// Builds a synthetic but realistic submission on the content model: a Header,
// per account an Account record with its history, two holders (names,
// passports, addresses, an employer), sometimes a warranty with its history,
// a guarantee, a lien or a court judgment, and a Trailer with the totals; in
// file order. The same options always give the same records.
class UvoGenerator {
public:
    UvoGenerator(const TFormat& format, const GeneratorOptions& options);

    void Generate(TContent& content);
    int InvalidRecords() const { return FInvalidRecords; }

    // The submitter the records are filed for.
    static TSettings Submitter();

private:
    using FieldValuesList = std::initializer_list<std::pair<QString, QString>>;

    TContentRec& NewRec(const QString& recId, const TContentRec* account);
    TContentRec& NewFilledRec(const QString& recId, const TContentRec& account, const QString& holder = {});
    void FillByRules(TContentRec& rec);
    static void SetValues(TContentRec& rec, FieldValuesList values);

    void AddAccount(int index);
    void AddHistory(const TContentRec& account, qint64 financed, int months);
    void AddHolder(const TContentRec& account, const QString& holder);
    void AddAddress(const TContentRec& account, const QString& holder, const QString& type, const QString& city);
    void AddEmployer(const TContentRec& account, const QString& holder);
    void AddWarranty(const TContentRec& account, const QString& holder);
    void AddLegal(const TContentRec& account, const QString& holder);
    void AddGuarantee(const TContentRec& account);
    void AddLien(const TContentRec& account);
    void FillPlace(TContentRec& rec, const QString& city);
    void FillIdentity(TContentRec& rec, const QString& city);

    QString AccountNumber(int index);
    QString DateBefore(int maxYears);
    void SpoilSome();

    const TFormat& FFormat;
    GeneratorOptions FOptions;
    TSettings FSettings;
    RandomValues FRandom;
    FieldValues FValues;
    TContent* FContent = nullptr;
    int FInvalidRecords = 0;
};
