// Reads arbitrary bytes as an animated cursor, as the data of an icon list and as a GIF picture:
// each either raises a picture error or gives a result that agrees with itself; an icon list
// writes back the very bytes it was read from, and a GIF that loaded reads back what it writes.
#include "controls/pictures/AnimatedCursorImage.h"
#include "controls/pictures/GIFImage.h"
#include "controls/pictures/IconList.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz::Check;
    const QByteArray bytes = fuzz::InputBytes(data, size);

    TAnimatedCursorImage cursor;
    try {
        cursor.LoadFromBytes(bytes);
        const TAniHeader& header = cursor.Header();
        Check(std::uint64_t(cursor.Frames().size()) == header.Frames);
        Check(std::uint64_t(cursor.Sequence().size()) == header.Steps);
        Check(cursor.Rates().size() == cursor.Sequence().size());
        for (std::uint32_t frame : cursor.Sequence())
            Check(frame < header.Frames);
        for (const TIconFrame& frame : cursor.Frames())
            IconFile::Check(frame.Icon, QStringLiteral("frame")); // raises, and so crashes, if wrong
    } catch (const EPictureError&) {
        Check(cursor.Frames().isEmpty());
    }

    TIconList icons;
    try {
        icons.ReadData(bytes);
        Check(icons.WriteData() == bytes);
    } catch (const EPictureError&) {
        Check(icons.Count() == 0);
    }

    TGIFImage gif;
    try {
        gif.LoadFromBytes(bytes);
        for (int i = 0; i < gif.Count(); ++i)
            gif.FrameImage(i);
        if (!gif.Empty()) {
            TGIFImage again;
            again.LoadFromBytes(gif.SaveToBytes());
            Check(again.Count() == gif.Count());
        }
    } catch (const EPictureError&) {
        Check(gif.Empty());
    }
    return 0;
}
