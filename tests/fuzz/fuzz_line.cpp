// One data line through the record codec: a line that is read renders to its
// layout's length, and rendering, reading and rendering again is stable.

#include "FuzzSupport.h"

#include "AnsiCodePage.h"
#include "TContent.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const TFormat& format = ShippedFormat();
    TContent content(format);
    const QString line = AnsiCodePage::Decode(Bytes(data, size));
    const TContentRec* rec = content.AddFromString(line);
    if (!rec) {
        FUZZ_EXPECT(content.Count() == 0);
        return 0;
    }
    const QString rendered = rec->RecToString();
    FUZZ_EXPECT(rendered.size() == rec->LineLength());
    FUZZ_EXPECT(rendered.left(6) == rec->Rec->RecID);
    QByteArray bytes;
    rec->AppendLineBytes(bytes);
    FUZZ_EXPECT(bytes == AnsiCodePage::Encode(rendered));

    const TContentRec* again = content.AddFromString(rendered);
    FUZZ_EXPECT(again && again->Rec == rec->Rec);
    FUZZ_EXPECT(again->RecToString() == rendered);
    return 0;
}
