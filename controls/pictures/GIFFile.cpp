#include "controls/pictures/GIFFile.h"

#include "controls/pictures/InvalidGraphic.h"
#include "core/io/Win1252Codec.h"

#include <QRegularExpression>

namespace {

constexpr char ImageIntroducer = 0x2C;
constexpr char ExtensionIntroducer = 0x21;
constexpr char Trailer = 0x3B;
constexpr int MaxSubBlock = 255;

const QByteArray NetscapeLoop = QByteArrayLiteral("NETSCAPE2.0");
const QByteArray AnimExtsLoop = QByteArrayLiteral("ANIMEXTS1.0");

class TReader {
public:
    explicit TReader(const QByteArray& bytes) : Bytes(bytes) {}

    bool AtEnd() const { return At >= Bytes.size(); }
    qsizetype Offset() const { return At; }

    quint8 Byte(const char* what) {
        Need(1, what);
        return quint8(Bytes[At++]);
    }
    int Word(const char* what) {
        Need(2, what);
        const int value = quint8(Bytes[At]) | quint8(Bytes[At + 1]) << 8;
        At += 2;
        return value;
    }
    QByteArray Take(qsizetype count, const char* what) {
        Need(count, what);
        const QByteArray taken = Bytes.mid(At, count);
        At += count;
        return taken;
    }
    // Sub-blocks up to the zero-length one that ends them.
    QList<QByteArray> SubBlocks(const char* what) {
        QList<QByteArray> blocks;
        for (quint8 size = Byte(what); size != 0; size = Byte(what))
            blocks.append(Take(size, what));
        return blocks;
    }
    QList<QRgb> ColorTable(int count, const char* what) {
        const QByteArray table = Take(qsizetype(count) * 3, what);
        QList<QRgb> colors;
        colors.reserve(count);
        for (int i = 0; i < count; ++i)
            colors.append(qRgb(quint8(table[i * 3]), quint8(table[i * 3 + 1]), quint8(table[i * 3 + 2])));
        return colors;
    }

private:
    void Need(qsizetype count, const char* what) const {
        if (Bytes.size() - At < count)
            throw EPictureError(QStringLiteral("GIF image: the data ends inside %1 at offset %2")
                                    .arg(QLatin1String(what))
                                    .arg(Bytes.size()));
    }

    const QByteArray& Bytes;
    qsizetype At = 0;
};

QStringList CommentLines(const TExtension& comment) {
    QByteArray text;
    for (const QByteArray& block : comment.Data)
        text += block;
    QStringList lines = TWin1252Codec::Decode(text).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    // A line break ends the last line rather than starting an empty one.
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    return lines;
}

// The frame's graphic control values from its extensions, the loop into the data, the rest kept.
void TakeExtensions(TGIFFrame& frame, TGIFData& data, const QList<TExtension>& extensions) {
    for (const TExtension& extension : extensions) {
        int repeatCount = 0;
        if (extension.FunctionCode == TExtension::GraphicControl) {
            // One without its four bytes says nothing and is dropped.
            if (extension.Data.isEmpty() || extension.Data[0].size() < 4)
                continue;
            const QByteArray& block = extension.Data[0];
            frame.Disposal = (quint8(block[0]) >> 2) & 7;
            frame.UserInput = (quint8(block[0]) & 2) != 0;
            frame.Delay = quint8(block[1]) | quint8(block[2]) << 8;
            frame.TransparentIndex = (quint8(block[0]) & 1) != 0 ? quint8(block[3]) : -1;
        } else if (GIFFile::IsLoopExtension(extension, &repeatCount)) {
            data.Looping = true;
            data.RepeatCount = repeatCount;
        } else {
            frame.Extensions.append(extension);
        }
    }
}

void ReadFrame(TReader& reader, TGIFData& data, const QList<TExtension>& extensions) {
    const int left = reader.Word("an image descriptor");
    const int top = reader.Word("an image descriptor");
    const int width = reader.Word("an image descriptor");
    const int height = reader.Word("an image descriptor");
    const quint8 flags = reader.Byte("an image descriptor");
    QList<QRgb> colors;
    if ((flags & 0x80) != 0)
        colors = reader.ColorTable(2 << (flags & 7), "a local colour table");
    const int codeSize = reader.Byte("the image data");
    if (codeSize < 2 || codeSize > 9)
        throw EInvalidGraphic(GIFMessages::CodeSizeOutOfRange());
    QByteArray encoded;
    for (const QByteArray& block : reader.SubBlocks("the image data"))
        encoded += block;
    TGIFFrame frame(TGIFItem::FromEncoded(width, height, (flags & 0x40) != 0, codeSize, encoded));
    frame.Origin = QPoint(left, top);
    frame.SetColorTable(colors);
    TakeExtensions(frame, data, extensions);
    data.Frames.append(frame);
}

void Append16(QByteArray& bytes, int value) {
    bytes.append(char(value & 0xFF));
    bytes.append(char((value >> 8) & 0xFF));
}

void AppendSubBlocks(QByteArray& bytes, const QByteArray& data) {
    for (qsizetype at = 0; at < data.size(); at += MaxSubBlock) {
        const qsizetype size = qMin<qsizetype>(MaxSubBlock, data.size() - at);
        bytes.append(char(size));
        bytes.append(data.constData() + at, size);
    }
    bytes.append('\0');
}

void AppendColorTable(QByteArray& bytes, const QList<QRgb>& colors) {
    for (const QRgb color : colors) {
        bytes.append(char(qRed(color)));
        bytes.append(char(qGreen(color)));
        bytes.append(char(qBlue(color)));
    }
}

// The size field of a colour table's flags: the table holds 2^(field + 1) entries.
int TableSizeField(const QList<QRgb>& colors) {
    if (colors.isEmpty())
        return 0;
    if (!TGIFFrame::IsTableSize(colors.size()))
        throw EInvalidGraphic(GIFMessages::WrongColorCount());
    int field = 0;
    while ((2 << field) < colors.size())
        ++field;
    return field;
}

void CheckWord(int value) {
    if (value < 0 || value > 0xFFFF)
        throw EInvalidGraphic(GIFMessages::EncodingError());
}

} // namespace

namespace GIFFile {

bool IsLoopExtension(const TExtension& extension, int* repeatCount) {
    if (extension.FunctionCode != TExtension::Application || extension.Data.size() < 2)
        return false;
    const QByteArray& identifier = extension.Data[0];
    const QByteArray& block = extension.Data[1];
    if ((identifier != NetscapeLoop && identifier != AnimExtsLoop) || block.size() < 3 || block[0] != 1)
        return false;
    if (repeatCount != nullptr)
        *repeatCount = quint8(block[1]) | quint8(block[2]) << 8;
    return true;
}

TGIFData Read(const QByteArray& bytes) {
    TReader reader(bytes);
    const QByteArray header = reader.Take(6, "the header");
    if (header.left(3).toUpper() != "GIF")
        throw EInvalidGraphic(GIFMessages::UnknownVersion());
    TGIFData data;
    if (header.mid(3) == "87a")
        data.Version = TGIFVersion::GIF87a;
    else if (header.mid(3) == "89a")
        data.Version = TGIFVersion::GIF89a;
    else
        throw EInvalidGraphic(GIFMessages::UnknownVersion());

    data.ScreenWidth = reader.Word("the logical screen descriptor");
    data.ScreenHeight = reader.Word("the logical screen descriptor");
    const quint8 flags = reader.Byte("the logical screen descriptor");
    data.BackgroundIndex = reader.Byte("the logical screen descriptor");
    data.AspectRatio = reader.Byte("the logical screen descriptor");
    data.ColorResolution = ((flags >> 4) & 7) + 1;
    if ((flags & 0x80) != 0)
        data.ColorTable = reader.ColorTable(2 << (flags & 7), "the global colour table");

    QList<TExtension> pending;
    bool afterFrame = false;
    while (true) {
        if (afterFrame && reader.AtEnd())
            break;
        const qsizetype offset = reader.Offset();
        const char introducer = char(reader.Byte("the blocks"));
        if (introducer == ImageIntroducer) {
            ReadFrame(reader, data, pending);
            pending.clear();
            afterFrame = true;
        } else if (introducer == ExtensionIntroducer) {
            TExtension extension;
            extension.FunctionCode = reader.Byte("an extension block");
            if (!TExtension::IsKnown(extension.FunctionCode))
                throw EInvalidGraphic(GIFMessages::UnrecognizedExtension(extension.FunctionCode));
            extension.Data = reader.SubBlocks("an extension block");
            pending.append(extension);
            afterFrame = false;
        } else if (introducer == Trailer) {
            break;
        } else if (afterFrame) {
            if (introducer != 0)
                break;
        } else {
            throw EPictureError(
                QStringLiteral("GIF image: the byte %1 at offset %2 is not a block")
                    .arg(QString::number(quint8(introducer), 16).rightJustified(2, u'0').toUpper())
                    .arg(offset));
        }
    }
    if (data.Comment.isEmpty()) {
        for (const TExtension& extension : pending) {
            if (extension.FunctionCode != TExtension::Comment)
                continue;
            if (!data.Comment.isEmpty())
                data.Comment.append(QString());
            data.Comment += CommentLines(extension);
        }
    }
    return data;
}

QByteArray Write(const TGIFData& data) {
    if (data.Frames.isEmpty())
        throw EInvalidGraphic(GIFMessages::NoDataToWrite());
    bool extensions = data.Looping || !data.Comment.isEmpty();
    for (const TGIFFrame& frame : data.Frames)
        extensions = extensions || frame.HasGraphicControl() || !frame.Extensions.isEmpty();
    const TGIFVersion version =
        extensions ? TGIFVersion::GIF89a
                   : (data.Version == TGIFVersion::Unknown ? TGIFVersion::GIF87a : data.Version);

    QByteArray bytes = "GIF" + GIFVersionText(version).toLatin1();
    CheckWord(data.ScreenWidth);
    CheckWord(data.ScreenHeight);
    Append16(bytes, data.ScreenWidth);
    Append16(bytes, data.ScreenHeight);
    const int globalSize = TableSizeField(data.ColorTable);
    bytes.append(char((data.ColorTable.isEmpty() ? 0 : 0x80) | (qBound(1, data.ColorResolution, 8) - 1) << 4 |
                      globalSize));
    bytes.append(char(data.BackgroundIndex));
    bytes.append(char(data.AspectRatio));
    AppendColorTable(bytes, data.ColorTable);

    if (data.Looping) {
        bytes.append("\x21\xFF\x0B", 3);
        bytes.append(NetscapeLoop);
        bytes.append("\x03\x01", 2);
        Append16(bytes, qBound(0, data.RepeatCount, 0xFFFF));
        bytes.append('\0');
    }
    for (const TGIFFrame& frame : data.Frames) {
        if (!frame.Item())
            throw EInvalidGraphic(GIFMessages::NoDataToWrite());
        for (const TExtension& extension : frame.Extensions) {
            bytes.append(ExtensionIntroducer);
            bytes.append(char(extension.FunctionCode));
            QByteArray blocks;
            for (const QByteArray& block : extension.Data)
                for (qsizetype at = 0; at < block.size(); at += MaxSubBlock) {
                    const qsizetype size = qMin<qsizetype>(MaxSubBlock, block.size() - at);
                    blocks.append(char(size));
                    blocks.append(block.constData() + at, size);
                }
            bytes.append(blocks);
            bytes.append('\0');
        }
        if (frame.HasGraphicControl()) {
            if (frame.TransparentIndex > 255)
                throw EInvalidGraphic(GIFMessages::EncodingError());
            bytes.append("\x21\xF9\x04", 3);
            bytes.append(char((frame.Disposal & 7) << 2 | (frame.UserInput ? 2 : 0) |
                              (frame.TransparentIndex >= 0 ? 1 : 0)));
            Append16(bytes, qBound(0, frame.Delay, 0xFFFF));
            bytes.append(char(qMax(frame.TransparentIndex, 0)));
            bytes.append('\0');
        }
        CheckWord(frame.Origin.x());
        CheckWord(frame.Origin.y());
        CheckWord(frame.Width());
        CheckWord(frame.Height());
        bytes.append(ImageIntroducer);
        Append16(bytes, frame.Origin.x());
        Append16(bytes, frame.Origin.y());
        Append16(bytes, frame.Width());
        Append16(bytes, frame.Height());
        const int localSize = TableSizeField(frame.ColorTable());
        bytes.append(
            char((frame.ColorTable().isEmpty() ? 0 : 0x80) | (frame.Interlaced() ? 0x40 : 0) | localSize));
        AppendColorTable(bytes, frame.ColorTable());
        bytes.append(char(frame.Item()->CodeSize()));
        AppendSubBlocks(bytes, frame.Item()->Data());
    }
    if (!data.Comment.isEmpty()) {
        bytes.append("\x21\xFE", 2);
        AppendSubBlocks(bytes, TWin1252Codec::Encode(data.Comment.join(QStringLiteral("\r\n"))));
    }
    bytes.append(Trailer);
    return bytes;
}

} // namespace GIFFile
