#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QVarLengthArray>

#include "TValueChars.h"

#include <atomic>
#include <span>
#include <utility>

// The values of one record's fields in one block of memory: every value's
// characters one after another, the end of each value, and one bit per field
// for a value its rule refuses. An empty value costs only its end. A large
// file holds millions of records, so a value must not cost an object of its
// own, and the block holds no more than the file does: the characters stay
// in the file's single-byte code page until a value needs one it lacks (then
// the block turns to UTF-16), and the ends take two bytes while the
// characters fit in 64 KB.
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
    TValueChars Chars(int index) const;
    bool IsValid(int index) const;
    // Whether any value is marked as refused by its rule.
    bool AnyInvalid() const;
    // Whether the characters are kept in UTF-16.
    bool IsWide() const { return FBlock && FBlock->Wide; }

    // Room for `count` fields of `chars` characters in all, so that appending
    // them allocates nothing more; `wide` where one of them needs UTF-16.
    void Reserve(int count, qsizetype chars, bool wide = false);
    void Append(QStringView value, bool valid);
    void Set(int index, QStringView value, bool valid);
    void Clear();

    // Appending into the room that Reserve made, without the checks of
    // Append: for a reader that measured the whole record first. The value
    // counts as valid until SetValid marks it otherwise.
    void AppendReserved(std::span<const QStringView> values);
    void AppendReserved(std::span<const QByteArrayView> fileValues);  // in the file's code page
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
        bool Wide;      // characters in UTF-16, else in the file's code page
        bool WideEnds;  // ends in 32 bits, else in 16
    };

    static TBlock* Allocate(quint32 countCapacity, quint32 charCapacity, bool wide);
    static size_t BlockBytes(quint32 countCapacity, quint32 charCapacity, bool wide);
    static quint32* InvalidBits(TBlock* block)
    {
        return reinterpret_cast<quint32*>(reinterpret_cast<char*>(block) + HeaderSize);
    }
    static void* Ends(TBlock* block) { return InvalidBits(block) + BitWords(block->CountCapacity); }
    static char* CharBytes(TBlock* block)
    {
        return static_cast<char*>(Ends(block)) + EndSize(block->WideEnds) * block->CountCapacity;
    }
    static quint32 End(TBlock* block, quint32 index)
    {
        return block->WideEnds ? static_cast<quint32*>(Ends(block))[index]
                               : static_cast<quint16*>(Ends(block))[index];
    }
    static void SetEnd(TBlock* block, quint32 index, quint32 end);
    static size_t EndSize(bool wideEnds) { return wideEnds ? sizeof(quint32) : sizeof(quint16); }
    static quint32 BitWords(quint32 count) { return (count + 31) / 32; }
    static constexpr size_t HeaderSize = (sizeof(TBlock) + 7) / 8 * 8;
    static constexpr quint32 MaxNarrowEnd = 0xFFFF;

    quint32 Begin(int index) const { return index == 0 ? 0 : End(FBlock, quint32(index - 1)); }
    // A block of its own with room for at least this many fields and
    // characters, in UTF-16 where `wide` asks for it or the block already is.
    void MakeRoom(quint32 count, quint32 chars, bool wide);
    static void CopyContent(TBlock* from, TBlock* to);
    void SetValidBit(int index, bool valid);
    // The place of one more value of `size` characters in room already made.
    char* AppendRoom(qsizetype size);
    // Appends values of one character form into room already made.
    template <typename Value, typename CopyChars>
    void AppendAll(std::span<const Value> values, size_t charSize, CopyChars copy);
    bool Holds(QStringView value) const;
    void Retain() const
    {
        if (FBlock)
            FBlock->Refs.fetch_add(1, std::memory_order_relaxed);
    }
    void Release();

    TBlock* FBlock = nullptr;
};

// A view of one value that keeps what it reads: the characters in UTF-16,
// either pointing into values kept in UTF-16 (a change of the record
// afterwards makes the record copy its values first, so the view goes on
// reading what it was taken from) or decoded from the file's code page into
// the view itself. Only a named TValueView hands out its QStringView (a
// temporary one refuses to), so that no QStringView outlives what it reads.
class TValueView {
public:
    TValueView() = default;
    TValueView(const TFieldValues& values, int index);

    QStringView View() const& { return FWide ? FWideView : QStringView(FDecoded.constData(), FDecoded.size()); }
    QStringView View() const&& = delete;
    operator QStringView() const& { return View(); }
    operator QStringView() const&& = delete;

    QString toString() const { return View().toString(); }
    qsizetype size() const { return View().size(); }
    bool isEmpty() const { return size() == 0; }
    friend bool operator==(const TValueView& a, QStringView b) { return a.View() == b; }
    friend bool operator!=(const TValueView& a, QStringView b) { return a.View() != b; }

private:
    TFieldValues FKeep;  // only for values kept in UTF-16
    QStringView FWideView;
    QVarLengthArray<char16_t, 64> FDecoded;
    bool FWide = false;
};
