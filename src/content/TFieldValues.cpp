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

size_t TFieldValues::BlockBytes(quint32 countCapacity, quint32 charCapacity, bool wide)
{
    return HeaderSize + sizeof(quint32) * BitWords(countCapacity) +
           EndSize(charCapacity > MaxNarrowEnd) * countCapacity +
           (wide ? sizeof(char16_t) : 1) * size_t(charCapacity);
}

TFieldValues::TBlock* TFieldValues::Allocate(quint32 countCapacity, quint32 charCapacity, bool wide)
{
    auto* block = static_cast<TBlock*>(std::malloc(BlockBytes(countCapacity, charCapacity, wide)));
    if (!block)
        throw std::bad_alloc();
    new (&block->Refs) std::atomic<int>(1);
    block->Count = 0;
    block->CountCapacity = countCapacity;
    block->Used = 0;
    block->CharCapacity = charCapacity;
    block->Wide = wide;
    block->WideEnds = charCapacity > MaxNarrowEnd;
    std::memset(InvalidBits(block), 0, sizeof(quint32) * BitWords(countCapacity));
    return block;
}

void TFieldValues::SetEnd(TBlock* block, quint32 index, quint32 end)
{
    if (block->WideEnds)
        static_cast<quint32*>(Ends(block))[index] = end;
    else
        static_cast<quint16*>(Ends(block))[index] = quint16(end);
}

TValueChars TFieldValues::Chars(int index) const
{
    if (!FBlock || index < 0 || quint32(index) >= FBlock->Count)
        return {};
    const quint32 begin = Begin(index);
    const qsizetype size = qsizetype(End(FBlock, quint32(index)) - begin);
    if (FBlock->Wide)
        return QStringView(reinterpret_cast<const char16_t*>(CharBytes(FBlock)) + begin, size);
    return QByteArrayView(CharBytes(FBlock) + begin, size);
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

void TFieldValues::CopyContent(TBlock* from, TBlock* to)
{
    to->Count = from->Count;
    to->Used = from->Used;
    std::memcpy(InvalidBits(to), InvalidBits(from), sizeof(quint32) * BitWords(from->Count));
    for (quint32 i = 0; i < from->Count; ++i)
        SetEnd(to, i, End(from, i));
    const TValueChars chars = from->Wide
                                  ? TValueChars(QStringView(reinterpret_cast<const char16_t*>(CharBytes(from)), from->Used))
                                  : TValueChars(QByteArrayView(CharBytes(from), from->Used));
    if (to->Wide)
        chars.DecodeTo(reinterpret_cast<char16_t*>(CharBytes(to)));
    else
        std::memcpy(CharBytes(to), CharBytes(from), from->Used);  // both in the code page
}

void TFieldValues::MakeRoom(quint32 count, quint32 chars, bool wide)
{
    wide = wide || IsWide();
    const bool shared = FBlock && FBlock->Refs.load(std::memory_order_acquire) > 1;
    if (FBlock && !shared && count <= FBlock->CountCapacity && chars <= FBlock->CharCapacity && wide == FBlock->Wide)
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
    TBlock* block = Allocate(countCapacity, charCapacity, wide);
    if (FBlock)
        CopyContent(FBlock, block);
    Release();
    FBlock = block;
}

void TFieldValues::Reserve(int count, qsizetype chars, bool wide)
{
    MakeRoom(quint32(std::max(count, Count())), quint32(std::max<qsizetype>(chars, FBlock ? FBlock->Used : 0)), wide);
}

bool TFieldValues::Holds(QStringView value) const
{
    if (!FBlock || value.isEmpty() || !FBlock->Wide)
        return false;
    const auto* data = reinterpret_cast<const char*>(value.data());
    return data >= CharBytes(FBlock) && data < CharBytes(FBlock) + sizeof(char16_t) * FBlock->CharCapacity;
}

namespace {

// Writes a value into room for it in the block's form; false where the
// block is in the code page and the value has a character it lacks.
bool Store(QStringView value, char* at, bool wide)
{
    if (value.isEmpty())
        return true;
    if (wide) {
        std::memcpy(at, value.utf16(), sizeof(char16_t) * size_t(value.size()));
        return true;
    }
    return AnsiCodePage::EncodeExactly(value, at);
}

}  // namespace

void TFieldValues::Append(QStringView value, bool valid)
{
    QString copy;
    if (Holds(value)) {  // a value of this very block may move below
        copy = value.toString();
        value = copy;
    }
    const quint32 used = FBlock ? FBlock->Used : 0;
    const bool wide = !AnsiCodePage::CanEncode(value);
    MakeRoom(quint32(Count() + 1), used + quint32(value.size()), wide);
    Store(value, AppendRoom(value.size()), FBlock->Wide);
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
    const quint32 oldEnd = End(FBlock, quint32(index));
    const qint64 delta = qint64(value.size()) - qint64(oldEnd - begin);
    MakeRoom(FBlock->Count, quint32(qint64(FBlock->Used) + delta), !AnsiCodePage::CanEncode(value));
    const size_t charSize = FBlock->Wide ? sizeof(char16_t) : 1;
    char* chars = CharBytes(FBlock);
    std::memmove(chars + charSize * size_t(begin + value.size()), chars + charSize * oldEnd,
                 charSize * (FBlock->Used - oldEnd));
    Store(value, chars + charSize * begin, FBlock->Wide);
    FBlock->Used = quint32(qint64(FBlock->Used) + delta);
    for (quint32 i = quint32(index); i < FBlock->Count; ++i)
        SetEnd(FBlock, i, quint32(qint64(End(FBlock, i)) + delta));
    SetValidBit(index, valid);
}

char* TFieldValues::AppendRoom(qsizetype size)
{
    Q_ASSERT(FBlock && FBlock->Refs.load(std::memory_order_relaxed) == 1);
    Q_ASSERT(FBlock->Count < FBlock->CountCapacity && FBlock->Used + quint64(size) <= FBlock->CharCapacity);
    char* at = CharBytes(FBlock) + (FBlock->Wide ? sizeof(char16_t) : 1) * FBlock->Used;
    FBlock->Used += quint32(size);
    SetEnd(FBlock, FBlock->Count++, FBlock->Used);
    return at;
}

template <typename Value, typename CopyChars>
void TFieldValues::AppendAll(std::span<const Value> values, size_t charSize, CopyChars copy)
{
    Q_ASSERT(FBlock && FBlock->Refs.load(std::memory_order_relaxed) == 1);
    Q_ASSERT(FBlock->Count + values.size() <= FBlock->CountCapacity);
    char* chars = CharBytes(FBlock);
    quint32 used = FBlock->Used;
    quint32 count = FBlock->Count;
    for (const Value& value : values) {
        Q_ASSERT(used + quint64(value.size()) <= FBlock->CharCapacity);
        if (!value.isEmpty())
            copy(value, chars + charSize * used);
        used += quint32(value.size());
        SetEnd(FBlock, count++, used);
    }
    FBlock->Used = used;
    FBlock->Count = count;
}

void TFieldValues::AppendReserved(std::span<const QStringView> values)
{
    const bool fits = std::all_of(values.begin(), values.end(), [](QStringView v) { return AnsiCodePage::CanEncode(v); });
    if (!FBlock->Wide && !fits)  // the room in the code page cannot hold them
        MakeRoom(FBlock->CountCapacity, FBlock->CharCapacity, true);
    const bool wide = FBlock->Wide;
    AppendAll(values, wide ? sizeof(char16_t) : 1, [wide](QStringView value, char* at) { Store(value, at, wide); });
}

void TFieldValues::AppendReserved(std::span<const QByteArrayView> fileValues)
{
    if (FBlock->Wide) {
        AppendAll(fileValues, sizeof(char16_t), [](QByteArrayView value, char* at) {
            AnsiCodePage::DecodeTo(value, reinterpret_cast<char16_t*>(at));
        });
        return;
    }
    AppendAll(fileValues, 1, [](QByteArrayView value, char* at) { std::memcpy(at, value.data(), size_t(value.size())); });
}

void TFieldValues::Clear() { Release(); }

qsizetype TFieldValues::Bytes() const
{
    return FBlock ? qsizetype(BlockBytes(FBlock->CountCapacity, FBlock->CharCapacity, FBlock->Wide)) : 0;
}

// ---- TValueView ----

TValueView::TValueView(const TFieldValues& values, int index)
{
    const TValueChars chars = values.Chars(index);
    if (chars.IsWide()) {
        FKeep = values;
        FWideView = chars.Wide();
        FWide = true;
        return;
    }
    FDecoded.resize(chars.size());
    chars.DecodeTo(FDecoded.data());
}
