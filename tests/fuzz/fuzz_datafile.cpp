// A whole data file through the reader, the sort and the totals: what is
// written reads back to the same records and writes the same bytes again.

#include "FuzzSupport.h"

#include "TContent.h"
#include "UvoFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const TFormat& format = ShippedFormat();
    TContent content(format);
    const UvoFile::ReadResult read = UvoFile::ReadBytes(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)), content);
    FUZZ_EXPECT(read.Ok == read.Message.isEmpty());
    content.SortRec();
    content.CalcRecsCount();
    const QByteArray written = UvoFile::Render(content);
    qsizetype expected = 0;
    for (const TContentRec* rec : content.Records())
        expected += rec->LineLength() + 2;
    FUZZ_EXPECT(written.size() == expected);

    TContent reread(format);
    const UvoFile::ReadResult again = UvoFile::ReadBytes(written, reread);
    FUZZ_EXPECT(again.Ok && again.Losses.empty());
    FUZZ_EXPECT(reread.Count() == content.Count());
    FUZZ_EXPECT(UvoFile::Render(reread) == written);
    return 0;
}
