#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <atomic>
#include <utility>

// The values of one record's fields in one block of memory: every value's
// characters one after another, the end of each value, and one bit per field
// for a value its rule refuses. An empty value costs only its end. A large
// file holds millions of records, so a value must not cost an object of its
// own.
//
// Copies share the block and a change copies it first when it is shared, so
// a TValueView taken before a change keeps reading the block it was taken
// from.
class TFieldValues {
public:
    TFieldValues() = default;
    ~TFieldValues() { Release(); }
    TFieldValues(const TFieldValues& other) noexcept : FBlock(other.FBlock) { Retain(); }
    TFieldValues& operator=(const TFieldValues& other) noexcept;
    TFieldValues(TFieldValues&& other) noexcept : FBlock(std::exchange(other.FBlock, nullptr)) {}
    TFieldValues& operator=(TFieldValues&& other) noexcept;

    int Count() const { return FBlock ? int(FBlock->Count) : 0; }
    // Valid until the next change of these values; see TValueView for a view
    // that stays valid.
    QStringView View(int index) const;
    bool IsValid(int index) const;
    // Whether any value is marked as refused by its rule.
    bool AnyInvalid() const;

    // Room for `count` fields of `chars` characters in all, so that appending
    // them allocates nothing more.
    void Reserve(int count, qsizetype chars);
    void Append(QStringView value, bool valid);
    void Set(int index, QStringView value, bool valid);
    void Clear();

    // Appending into the room that Reserve made, without the checks of
    // Append: for a reader that measured the whole record first. Each answers
    // the value as stored, valid until SetValid marks it otherwise.
    QStringView AppendReserved(QStringView value);
    QStringView AppendReserved(QByteArrayView fileBytes);  // decoded from the file's code page
    void SetValid(int index, bool valid) { SetValidBit(index, valid); }

    // Characters and bookkeeping held, for memory accounting.
    qsizetype Bytes() const;

private:
    struct TBlock {
        std::atomic<int> Refs;
        quint32 Count;
        quint32 CountCapacity;
        quint32 Used;  // characters
        quint32 CharCapacity;
    };

    static TBlock* Allocate(quint32 countCapacity, quint32 charCapacity);
    static quint32* Ends(TBlock* block) { return reinterpret_cast<quint32*>(reinterpret_cast<char*>(block) + HeaderSize); }
    static quint32* InvalidBits(TBlock* block) { return Ends(block) + block->CountCapacity; }
    static char16_t* Chars(TBlock* block)
    {
        return reinterpret_cast<char16_t*>(InvalidBits(block) + BitWords(block->CountCapacity));
    }
    static quint32 BitWords(quint32 count) { return (count + 31) / 32; }
    static constexpr size_t HeaderSize = (sizeof(TBlock) + 7) / 8 * 8;

    quint32 Begin(int index) const { return index == 0 ? 0 : Ends(FBlock)[index - 1]; }
    // A block of its own with room for at least this many fields and characters.
    void MakeRoom(quint32 count, quint32 chars);
    void SetValidBit(int index, bool valid);
    // The place of one more value of `size` characters in room already made.
    char16_t* AppendRoom(qsizetype size);
    bool Holds(QStringView value) const;
    void Retain() const
    {
        if (FBlock)
            FBlock->Refs.fetch_add(1, std::memory_order_relaxed);
    }
    void Release();

    TBlock* FBlock = nullptr;
};

// A view of one value that keeps the values it points into alive: a change
// of the record afterwards makes the record copy its values first, so the
// view goes on reading what it was taken from. Only a named TValueView hands
// out its QStringView (a temporary one refuses to), so that no QStringView
// outlives the values it reads.
class TValueView {
public:
    TValueView() = default;
    TValueView(const TFieldValues& values, int index) : FKeep(values), FView(values.View(index)) {}

    QStringView View() const& { return FView; }
    QStringView View() const&& = delete;
    operator QStringView() const& { return FView; }
    operator QStringView() const&& = delete;

    QString toString() const { return FView.toString(); }
    qsizetype size() const { return FView.size(); }
    bool isEmpty() const { return FView.isEmpty(); }
    friend bool operator==(const TValueView& a, QStringView b) { return a.FView == b; }
    friend bool operator!=(const TValueView& a, QStringView b) { return a.FView != b; }

private:
    TFieldValues FKeep;
    QStringView FView;
};
