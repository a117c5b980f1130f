#include "TFieldValues.h"

#include "AnsiCodePage.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

TFieldValues& TFieldValues::operator=(const TFieldValues& other) noexcept
{
    if (FBlock != other.FBlock) {
        other.Retain();
        Release();
        FBlock = other.FBlock;
    }
    return *this;
}

TFieldValues& TFieldValues::operator=(TFieldValues&& other) noexcept
{
    if (this != &other) {
        Release();
        FBlock = std::exchange(other.FBlock, nullptr);
    }
    return *this;
}

void TFieldValues::Release()
{
    if (FBlock && FBlock->Refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
        std::free(FBlock);
    FBlock = nullptr;
}

TFieldValues::TBlock* TFieldValues::Allocate(quint32 countCapacity, quint32 charCapacity)
{
    const size_t bytes = HeaderSize + sizeof(quint32) * (countCapacity + BitWords(countCapacity)) +
                         sizeof(char16_t) * charCapacity;
    auto* block = static_cast<TBlock*>(std::malloc(bytes));
    if (!block)
        throw std::bad_alloc();
    new (&block->Refs) std::atomic<int>(1);
    block->Count = 0;
    block->CountCapacity = countCapacity;
    block->Used = 0;
    block->CharCapacity = charCapacity;
    std::memset(InvalidBits(block), 0, sizeof(quint32) * BitWords(countCapacity));
    return block;
}

QStringView TFieldValues::View(int index) const
{
    if (!FBlock || index < 0 || quint32(index) >= FBlock->Count)
        return {};
    const quint32 begin = Begin(index);
    return QStringView(Chars(FBlock) + begin, qsizetype(Ends(FBlock)[index] - begin));
}

bool TFieldValues::IsValid(int index) const
{
    if (!FBlock || index < 0 || quint32(index) >= FBlock->Count)
        return true;
    return !(InvalidBits(FBlock)[index / 32] & (1u << (index % 32)));
}

bool TFieldValues::AnyInvalid() const
{
    if (!FBlock)
        return false;
    const quint32* words = InvalidBits(FBlock);
    return std::any_of(words, words + BitWords(FBlock->Count), [](quint32 word) { return word != 0; });
}

void TFieldValues::SetValidBit(int index, bool valid)
{
    quint32& word = InvalidBits(FBlock)[index / 32];
    const quint32 bit = 1u << (index % 32);
    word = valid ? word & ~bit : word | bit;
}

void TFieldValues::MakeRoom(quint32 count, quint32 chars)
{
    const bool shared = FBlock && FBlock->Refs.load(std::memory_order_acquire) > 1;
    if (FBlock && !shared && count <= FBlock->CountCapacity && chars <= FBlock->CharCapacity)
        return;
    const quint32 oldCount = FBlock ? FBlock->Count : 0;
    const quint32 oldUsed = FBlock ? FBlock->Used : 0;
    // A record grows field by field while it is built: room for more at once.
    // The old content is copied before a change that may shrink it, so the
    // new block holds at least that much.
    const bool grows = FBlock && !shared;
    const quint32 countCapacity =
        std::max({count, oldCount, grows && count > FBlock->CountCapacity ? FBlock->CountCapacity * 2 : 0u});
    const quint32 charCapacity =
        std::max({chars, oldUsed, grows && chars > FBlock->CharCapacity ? FBlock->CharCapacity * 3 / 2 : 0u});
    TBlock* block = Allocate(countCapacity, charCapacity);
    if (FBlock) {
        block->Count = oldCount;
        block->Used = oldUsed;
        std::memcpy(Ends(block), Ends(FBlock), sizeof(quint32) * oldCount);
        std::memcpy(InvalidBits(block), InvalidBits(FBlock), sizeof(quint32) * BitWords(oldCount));
        std::memcpy(Chars(block), Chars(FBlock), sizeof(char16_t) * oldUsed);
    }
    Release();
    FBlock = block;
}

void TFieldValues::Reserve(int count, qsizetype chars)
{
    MakeRoom(quint32(std::max(count, Count())), quint32(std::max<qsizetype>(chars, FBlock ? FBlock->Used : 0)));
}

bool TFieldValues::Holds(QStringView value) const
{
    if (!FBlock || value.isEmpty())
        return false;
    const auto* data = reinterpret_cast<const char16_t*>(value.data());
    return data >= Chars(FBlock) && data < Chars(FBlock) + FBlock->CharCapacity;
}

static void CopyChars(char16_t* to, QStringView value)
{
    if (!value.isEmpty())
        std::memcpy(to, value.utf16(), sizeof(char16_t) * size_t(value.size()));
}

void TFieldValues::Append(QStringView value, bool valid)
{
    QString copy;
    if (Holds(value)) {  // a value of this very block may move below
        copy = value.toString();
        value = copy;
    }
    const quint32 used = FBlock ? FBlock->Used : 0;
    MakeRoom(quint32(Count() + 1), used + quint32(value.size()));
    CopyChars(Chars(FBlock) + used, value);
    FBlock->Used = used + quint32(value.size());
    Ends(FBlock)[FBlock->Count] = FBlock->Used;
    ++FBlock->Count;
    SetValidBit(int(FBlock->Count) - 1, valid);
}

void TFieldValues::Set(int index, QStringView value, bool valid)
{
    if (index < 0 || index >= Count())
        return;
    QString copy;
    if (Holds(value)) {  // a value of this very block may move below
        copy = value.toString();
        value = copy;
    }
    const quint32 begin = Begin(index);
    const quint32 oldEnd = Ends(FBlock)[index];
    const qint64 delta = qint64(value.size()) - qint64(oldEnd - begin);
    MakeRoom(FBlock->Count, quint32(qint64(FBlock->Used) + delta));
    char16_t* chars = Chars(FBlock);
    std::memmove(chars + begin + value.size(), chars + oldEnd, sizeof(char16_t) * (FBlock->Used - oldEnd));
    CopyChars(chars + begin, value);
    FBlock->Used = quint32(qint64(FBlock->Used) + delta);
    quint32* ends = Ends(FBlock);
    for (quint32 i = quint32(index); i < FBlock->Count; ++i)
        ends[i] = quint32(qint64(ends[i]) + delta);
    SetValidBit(index, valid);
}

char16_t* TFieldValues::AppendRoom(qsizetype size)
{
    Q_ASSERT(FBlock && FBlock->Refs.load(std::memory_order_relaxed) == 1);
    Q_ASSERT(FBlock->Count < FBlock->CountCapacity && FBlock->Used + quint64(size) <= FBlock->CharCapacity);
    char16_t* at = Chars(FBlock) + FBlock->Used;
    FBlock->Used += quint32(size);
    Ends(FBlock)[FBlock->Count++] = FBlock->Used;
    return at;
}

QStringView TFieldValues::AppendReserved(QStringView value)
{
    char16_t* at = AppendRoom(value.size());
    CopyChars(at, value);
    return QStringView(at, value.size());
}

QStringView TFieldValues::AppendReserved(QByteArrayView fileBytes)
{
    char16_t* at = AppendRoom(fileBytes.size());
    AnsiCodePage::DecodeTo(fileBytes, at);
    return QStringView(at, fileBytes.size());
}

void TFieldValues::Clear() { Release(); }

qsizetype TFieldValues::Bytes() const
{
    if (!FBlock)
        return 0;
    return qsizetype(HeaderSize + sizeof(quint32) * (FBlock->CountCapacity + BitWords(FBlock->CountCapacity)) +
                     sizeof(char16_t) * FBlock->CharCapacity);
}
