#pragma once

#include <QDate>
#include <QString>

#include <random>
#include <vector>

// Deterministic random choices for the generator: the same seed gives the same
// sequence on every platform (no std:: distributions, whose results differ
// between standard libraries).
class RandomValues {
public:
    explicit RandomValues(quint32 seed) : FEngine(seed) {}

    quint32 Below(quint32 n);          // 0 .. n-1; 0 for n == 0
    int Between(int low, int high);    // low .. high, both included
    bool Chance(double share);         // true in about share of the calls
    qint64 Amount(qint64 low, qint64 high);

    QString Digits(int count);                 // count random digits, a leading zero allowed
    QString ZeroFilled(qint64 value, int width);
    QDate DateBetween(const QDate& first, const QDate& last);
    static QString DateText(const QDate& date);  // yyyymmdd

    template <typename T>
    const T& Pick(const std::vector<T>& items)
    {
        return items[Below(quint32(items.size()))];
    }

    std::mt19937& Engine() { return FEngine; }

private:
    std::mt19937 FEngine;
};
