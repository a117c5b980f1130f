#pragma once

#include "TFormat.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <memory>
#include <vector>

class TContentRec;

// One field value of a record. Every change of a value goes through SetValue,
// which validates it against the field's layout rule and keeps the record's
// Account in step with field 310011.
class TContentFld {
public:
    TContentFld(TContentRec* parentRec, const TRule* rule) : ParentRec(parentRec), Rule(rule) {}

    const QString& Value() const { return FValue; }
    void SetValue(const QString& v);  // the assignment: stores, validates, captures the account
    bool IsValid() const { return FIsValid; }

    TContentRec* ParentRec;
    const TRule* Rule;

private:
    QString FValue;
    bool FIsValid = true;
};

// One record, one line of a data file: a field per layout rule of its type, in
// layout order. The record refers to the format description it was made from.
class TContentRec {
public:
    explicit TContentRec(const TFormat& format) : Format(&format) {}
    virtual ~TContentRec() = default;
    TContentRec(const TContentRec&) = delete;
    TContentRec& operator=(const TContentRec&) = delete;

    void AddFld(const TRule* Rule, const QString& Val);
    QString GetVal(const QString& FldID) const;
    void SetVal(const QString& FldID, const QString& Val);
    TContentFld* FindFld(const QString& FldID);

    // The record's line without line end: every field but the last, each
    // filled with blanks or cut to its width.
    QString RecToString() const;
    // The length of that line: the widths of every field but the last.
    qsizetype LineLength() const;
    // Appends the line's text in the file's code page to a byte buffer.
    void AppendLineBytes(QByteArray& out) const;

    void CalcSortStr();

    const TFormat* Format;
    const TRec* Rec = nullptr;
    QString Account;
    QString SortStr;
    std::vector<TContentFld> FldList;

private:
    friend class TContent;
    void ClearFields() { FldList.clear(); }
};

// The ordered list of records. The application's one content list owns its
// records; short-lived non-owning lists hold filtered or re-sorted views of
// the same records.
class TContent {
public:
    explicit TContent(const TFormat& format, bool ownsRecords = true);
    ~TContent();
    TContent(const TContent&) = delete;
    TContent& operator=(const TContent&) = delete;

    const TFormat& Format() const { return *FFormat; }
    bool OwnsRecords() const { return FOwnsRecords; }

    // The list operations.
    int Count() const { return int(FRecs.size()); }
    TContentRec* Items(int index) const { return FRecs[size_t(index)]; }
    TContentRec* operator[](int index) const { return Items(index); }
    void Add(TContentRec* rec);                  // takes ownership when the list owns its records
    void Add(std::unique_ptr<TContentRec> rec);  // the same, for a record the caller owned
    int IndexOf(const TContentRec* rec) const;
    void Delete(int index);                      // frees the record when the list owns its records
    void Clear();
    // Takes a record out without freeing it, and puts one back at a place:
    // what an undo history keeps and gives back.
    std::unique_ptr<TContentRec> Take(int index);
    void Insert(int index, std::unique_ptr<TContentRec> rec);
    // The same records in another order.
    void Rearrange(std::vector<TContentRec*> order);
    // Called whenever the list is emptied: whatever still refers to its
    // records (an undo history) lets go of them.
    std::function<void()> Cleared;
    void Reserve(int count) { FRecs.reserve(size_t(count)); }
    const std::vector<TContentRec*>& Records() const { return FRecs; }

    // A record of the type with every field empty, not added to the list; none
    // for a record type without layout.
    std::unique_ptr<TContentRec> CreateNewOnRec(const TRec* Rec) const;
    static void CopyRec(const TContentRec& Rec1, TContentRec& Rec2);
    static bool RecDiffer(const TContentRec& Rec1, const TContentRec& Rec2);

    // Parses one line and appends the record; none when the first six
    // characters name no record type with a layout.
    TContentRec* AddFromString(QStringView Strn);

    void SortRec();   // account hierarchy: Header first, Trailer last
    // Whether SortRec puts a before b.
    bool SortsBefore(const TContentRec* a, const TContentRec* b) const;
    void SortRec2();  // grouped by record type, then by key

    void CreateBoundsRecs();
    TContentRec* GetHeaderRec() const;
    TContentRec* GetTrailerRec() const;
    void CalcRecsCount();

private:
    const TFormat* FFormat;
    bool FOwnsRecords;
    std::vector<TContentRec*> FRecs;
};
