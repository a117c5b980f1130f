#include "LinePieces.h"

#include "FileIo.h"
#include "UvoLines.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>

bool TLinePieces::Add(QByteArrayView bytes)
{
    if (FTail) {
        FTail->Add(bytes);
        FAfterMark += bytes.size();
        return true;
    }
    const qsizetype mark = bytes.indexOf('\x1A');
    QByteArrayView data = mark < 0 ? bytes : bytes.first(mark);
    if (!FCarry.isEmpty()) {
        // The line the last piece began ends here, or at the mark.
        const qsizetype lf = data.indexOf('\n');
        FCarry.append(lf < 0 ? data : data.first(lf + 1));
        data = lf < 0 ? QByteArrayView() : data.sliced(lf + 1);
        if (lf >= 0 || mark >= 0) {
            FTake(FCarry);
            FCarry.clear();
        }
    }
    if (mark < 0) {
        const qsizetype lastLf = data.lastIndexOf('\n');
        FTake(data.first(lastLf + 1));
        FCarry.append(data.sliced(lastLf + 1));
    } else {
        FTake(data);
        const bool startsLine = mark > 0 ? bytes[mark - 1] == '\n' : !FLastByte || *FLastByte == '\n';
        FTail.emplace(startsLine);
        FTail->Add(bytes.sliced(mark + 1));
        FAfterMark = bytes.size() - mark - 1;
    }
    if (!bytes.isEmpty())
        FLastByte = bytes.back();
    if (FCarry.size() > FileIo::MaxLineBytes) {
        FCarry.clear();
        return false;
    }
    return true;
}

void TLinePieces::Finish()
{
    if (!FCarry.isEmpty())
        FTake(FCarry);
    FCarry.clear();
}

namespace {

int Processors() { return std::max(1, QThread::idealThreadCount()); }

// Runs per processor: a processor that is done with its run while another is
// slowed (by other programs on the machine, by a run harder to read) takes the
// next one instead of waiting.
constexpr int RunsPerProcessor = 4;

}  // namespace

std::vector<QByteArrayView> RunsForProcessors(QByteArrayView lines, qsizetype minShare)
{
    const int most = Processors() > 1 ? Processors() * RunsPerProcessor : 1;
    const int count = int(std::clamp<qsizetype>(lines.size() / minShare, 1, most));
    return TUvoLines::SplitAtLineEnds(lines, count);
}

void SideBySide(size_t count, const std::function<void(size_t index)>& work)
{
    std::vector<std::exception_ptr> failures(count);
    std::atomic<size_t> next = 0;
    const auto takeRuns = [&]() noexcept {
        for (size_t i; (i = next++) < count;) {
            try {
                work(i);
            } catch (...) {
                failures[i] = std::current_exception();
            }
        }
    };
    {
        std::vector<std::jthread> workers;
        for (size_t i = 1; i < std::min(count, size_t(Processors())); ++i)
            workers.emplace_back(takeRuns);
        takeRuns();
    }
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);
}
