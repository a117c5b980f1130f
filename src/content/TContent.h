#pragma once

#include "TFieldValues.h"
#include "TFormat.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <functional>
#include <iterator>
#include <memory>
#include <vector>

class TContentRec;

// One field of a record: a light handle (the record, the rule, the position)
// onto the value the record keeps. Every change of a value goes through
// SetValue, which validates it against the field's layout rule and keeps the
// record's Account in step with field 310011. A handle is cheap to copy and
// stays usable for as long as its record lives.
class TContentFld {
public:
    TContentFld() = default;
    TContentFld(TContentRec* parentRec, const TRule* rule, int index) : ParentRec(parentRec), Rule(rule), FIndex(index) {}

    QString Value() const;     // a copy of the value
    TValueView View() const;   // the value without copying it
    void SetValue(QStringView v);  // the assignment: stores, validates, captures the account
    void SetValue(const QString& v) { SetValue(QStringView(v)); }
    bool IsValid() const;
    int Index() const { return FIndex; }  // the position in the record's FldList

    TContentRec* ParentRec = nullptr;
    const TRule* Rule = nullptr;

private:
    int FIndex = 0;
};

// Where a pointer to a field was handed out (FindFld, a row of the edit
// dialog): a field handle or none, used with -> and * like a pointer.
class TContentFldPtr {
public:
    TContentFldPtr() = default;
    TContentFldPtr(std::nullptr_t) {}
    TContentFldPtr(const TContentFld* fld) : FFld(fld ? *fld : TContentFld()), FSet(fld != nullptr) {}
    TContentFldPtr(const TContentFld& fld) : FFld(fld), FSet(true) {}

    // Like a pointer, a const one still changes the field it points to.
    TContentFld* operator->() const { return &FFld; }
    TContentFld& operator*() const { return FFld; }
    explicit operator bool() const { return FSet; }
    friend bool operator==(const TContentFldPtr& p, std::nullptr_t) { return !p.FSet; }
    friend bool operator!=(const TContentFldPtr& p, std::nullptr_t) { return p.FSet; }

private:
    mutable TContentFld FFld;
    bool FSet = false;
};

// The fields of a record as a list, in layout order: FldList.size(),
// FldList[i], range-for. The fields are handles made on access; a reference
// to one that the loop hands out lasts for its turn of the loop.
class TFldList {
public:
    template <typename Fld>
    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = TContentFld;
        using difference_type = std::ptrdiff_t;
        using pointer = Fld*;
        using reference = Fld&;

        Iterator(const TFldList* list, int index) : FList(list), FIndex(index) {}
        Fld& operator*() const { return FField = FList->At(FIndex); }
        Fld* operator->() const { return &**this; }
        Iterator& operator++() { ++FIndex; return *this; }
        Iterator operator++(int) { Iterator before = *this; ++FIndex; return before; }
        friend bool operator==(const Iterator& a, const Iterator& b) { return a.FIndex == b.FIndex; }
        friend bool operator!=(const Iterator& a, const Iterator& b) { return a.FIndex != b.FIndex; }

    private:
        const TFldList* FList;
        int FIndex;
        mutable TContentFld FField;
    };
    using iterator = Iterator<TContentFld>;
    using const_iterator = Iterator<const TContentFld>;

    explicit TFldList(TContentRec* rec) : FRec(rec) {}
    TFldList(const TFldList&) = delete;
    TFldList& operator=(const TFldList&) = delete;

    size_t size() const;
    bool empty() const { return size() == 0; }
    TContentFld operator[](size_t i) { return At(int(i)); }
    const TContentFld operator[](size_t i) const { return At(int(i)); }
    TContentFld front() { return At(0); }
    const TContentFld front() const { return At(0); }
    TContentFld back() { return At(int(size()) - 1); }
    const TContentFld back() const { return At(int(size()) - 1); }
    iterator begin() { return {this, 0}; }
    iterator end() { return {this, int(size())}; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, int(size())}; }

private:
    TContentFld At(int i) const;

    TContentRec* FRec;
};

// One record, one line of a data file: a field per layout rule of its type, in
// layout order. The record refers to the format description it was made from
// and keeps its values compactly (TFieldValues).
class TContentRec {
public:
    explicit TContentRec(const TFormat& format) : Format(&format) {}
    virtual ~TContentRec() = default;
    TContentRec(const TContentRec&) = delete;
    TContentRec& operator=(const TContentRec&) = delete;

    void AddFld(const TRule* Rule, QStringView Val);
    QString GetVal(const QString& FldID) const;
    // The value without copying it; empty for a field the type lacks.
    TValueView GetView(const QString& FldID) const;
    void SetVal(const QString& FldID, QStringView Val);
    void SetVal(const QString& FldID, const QString& Val) { SetVal(FldID, QStringView(Val)); }
    TContentFldPtr FindFld(const QString& FldID);

    // The fields by position, without a handle.
    int FldCount() const { return FValues.Count(); }
    const TRule* FldRule(int index) const { return (*FRules)[size_t(index)]; }
    QString Value(int index) const { return FValues.Chars(index).toString(); }
    TValueView View(int index) const { return TValueView(FValues, index); }
    // The characters as kept, without decoding them; valid until the next
    // change of the record.
    TValueChars Chars(int index) const { return FValues.Chars(index); }
    TValueChars GetChars(const QString& FldID) const;
    bool IsValid(int index) const { return FValues.IsValid(index); }
    bool AllValid() const { return !FValues.AnyInvalid(); }
    void SetValue(int index, QStringView v);

    // Frees the values and keeps the type, the account and the key: for a
    // reader that only passes over the records.
    void DropValues();
    // The memory the values take, for memory accounting.
    qsizetype ValueBytes() const { return FValues.Bytes(); }

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
    TFldList FldList{this};

private:
    friend class TContent;
    int FldIndex(const QString& FldID) const;

    TFieldValues FValues;
    // The rules of the fields: the layout of the record type they came from.
    const std::vector<const TRule*>* FRules = nullptr;
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
    // The record of one line, not added to a list; none as above. The record
    // shares the account text of `previous` when it has the same account, so
    // that the records of one account hold it once.
    static std::unique_ptr<TContentRec> ParseLine(const TFormat& format, QStringView Strn,
                                                  const TContentRec* previous);
    // The same for a line as the file holds it, in the file's code page.
    static std::unique_ptr<TContentRec> ParseFileLine(const TFormat& format, QByteArrayView line,
                                                      const TContentRec* previous);
    // Appends records parsed elsewhere, taking them over.
    void Append(std::vector<std::unique_ptr<TContentRec>>& recs);

    void SortRec();   // account hierarchy: Header first, Trailer last
    // Whether SortRec puts a before b.
    bool SortsBefore(const TContentRec* a, const TContentRec* b) const;
    void SortRec2();  // grouped by record type, then by key

    void CreateBoundsRecs();
    TContentRec* GetHeaderRec() const;
    TContentRec* GetTrailerRec() const;
    void CalcRecsCount();
    // The totals of a Trailer from the number of records of each type, for a
    // reader that counts records it does not keep.
    static void SetRecsCount(const TFormat& format, TContentRec& trailer,
                             const std::function<qsizetype(const TRec* type)>& countOf);

private:
    template <typename Line>
    static std::unique_ptr<TContentRec> ParseText(const TFormat& format, Line line, const TContentRec* previous);

    const TFormat* FFormat;
    bool FOwnsRecords;
    std::vector<TContentRec*> FRecs;
};
