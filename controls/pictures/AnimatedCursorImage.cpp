#include "controls/pictures/AnimatedCursorImage.h"

#include "controls/pictures/IconList.h"
#include "core/io/Win1252Codec.h"

#include <QFile>
#include <QtEndian>

#include <optional>

namespace {

constexpr qsizetype ChunkHeaderSize = 8;
constexpr qsizetype AniHeaderSize = 36;
// The least a frame takes: an "icon" chunk header and an icon header.
constexpr qsizetype SmallestFrame = ChunkHeaderSize + 6;

[[noreturn]] void Fail(const QString& fault) {
    throw EPictureError(QStringLiteral("Animated cursor: %1").arg(fault));
}

std::uint32_t U32(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<std::uint32_t>(bytes.constData() + at);
}

struct TChunk {
    QByteArray Id;
    qsizetype Data = 0; // offset of the chunk's data
    qsizetype Size = 0;
};

// The chunks of the region [begin, end) of the file, each checked to lie inside it.
QList<TChunk> Chunks(const QByteArray& bytes, qsizetype begin, qsizetype end) {
    QList<TChunk> chunks;
    qsizetype at = begin;
    while (at < end) {
        if (end - at < ChunkHeaderSize)
            Fail(QStringLiteral("a chunk header at offset %1 is cut short").arg(at));
        TChunk chunk;
        chunk.Id = bytes.mid(at, 4);
        chunk.Data = at + ChunkHeaderSize;
        const std::uint32_t size = U32(bytes, at + 4);
        if (size > quint64(end - chunk.Data))
            Fail(QStringLiteral("chunk \"%1\" at offset %2 runs past the end of its data")
                     .arg(QString::fromLatin1(chunk.Id))
                     .arg(at));
        chunk.Size = qsizetype(size);
        chunks.append(chunk);
        // An odd length is followed by a pad byte, which the end of the enclosing chunk may omit.
        at = chunk.Data + chunk.Size + (chunk.Size & 1);
    }
    return chunks;
}

QString Text(const QByteArray& bytes, const TChunk& chunk) {
    QByteArray text = bytes.mid(chunk.Data, chunk.Size);
    const qsizetype zero = text.indexOf('\0');
    if (zero >= 0)
        text.truncate(zero);
    return TWin1252Codec::Decode(text);
}

QList<std::uint32_t> Numbers(const QByteArray& bytes, const TChunk& chunk, std::uint32_t steps) {
    if (quint64(chunk.Size) != quint64(steps) * 4)
        Fail(QStringLiteral("chunk \"%1\" holds %2 bytes for %3 steps")
                 .arg(QString::fromLatin1(chunk.Id))
                 .arg(chunk.Size)
                 .arg(steps));
    QList<std::uint32_t> numbers;
    numbers.reserve(steps);
    for (std::uint32_t i = 0; i < steps; ++i)
        numbers.append(U32(bytes, chunk.Data + qsizetype(i) * 4));
    return numbers;
}

} // namespace

void TAnimatedCursorImage::LoadFromBytes(const QByteArray& bytes) {
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "ACON")
        Fail(QStringLiteral("not a RIFF \"ACON\" file"));
    const std::uint32_t riffSize = U32(bytes, 4);
    if (riffSize < 4 || riffSize > quint64(bytes.size() - ChunkHeaderSize))
        Fail(QStringLiteral("the RIFF length %1 does not match the file of %2 bytes")
                 .arg(riffSize)
                 .arg(bytes.size()));

    std::optional<TAniHeader> header;
    std::optional<QList<std::uint32_t>> rates, sequence;
    QList<TIconFrame> frames;
    bool framesSeen = false;
    QString title, author;
    for (const TChunk& chunk : Chunks(bytes, 12, ChunkHeaderSize + riffSize)) {
        if (chunk.Id == "anih") {
            if (header)
                Fail(QStringLiteral("the file holds two \"anih\" chunks"));
            if (chunk.Size != AniHeaderSize)
                Fail(QStringLiteral("the \"anih\" chunk holds %1 bytes, not 36").arg(chunk.Size));
            std::uint32_t v[9];
            for (int i = 0; i < 9; ++i)
                v[i] = U32(bytes, chunk.Data + i * 4);
            header = TAniHeader{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]};
            if (header->Frames == 0 || header->Frames > quint64(bytes.size() / SmallestFrame))
                Fail(QStringLiteral("%1 frames cannot fit in a file of %2 bytes")
                         .arg(header->Frames)
                         .arg(bytes.size()));
            if (header->Steps == 0)
                Fail(QStringLiteral("the header counts no steps"));
            if (!(header->Flags & AniFlagIcon))
                Fail(QStringLiteral("frames that are not icons are not supported"));
        } else if (chunk.Id == "rate" || chunk.Id == "seq ") {
            if (!header)
                Fail(QStringLiteral("chunk \"%1\" comes before the \"anih\" header")
                         .arg(QString::fromLatin1(chunk.Id)));
            auto& target = chunk.Id == "rate" ? rates : sequence;
            if (target)
                Fail(QStringLiteral("the file holds two \"%1\" chunks").arg(QString::fromLatin1(chunk.Id)));
            target = Numbers(bytes, chunk, header->Steps);
        } else if (chunk.Id == "LIST") {
            if (chunk.Size < 4)
                Fail(QStringLiteral("a \"LIST\" chunk at offset %1 has no type")
                         .arg(chunk.Data - ChunkHeaderSize));
            const QByteArray type = bytes.mid(chunk.Data, 4);
            const QList<TChunk> items = Chunks(bytes, chunk.Data + 4, chunk.Data + chunk.Size);
            if (type == "fram") {
                if (!header)
                    Fail(QStringLiteral("the frames come before the \"anih\" header"));
                if (framesSeen)
                    Fail(QStringLiteral("the file holds two frame lists"));
                framesSeen = true;
                for (const TChunk& item : items) {
                    if (item.Id != "icon")
                        continue;
                    if (quint64(frames.size()) >= header->Frames)
                        Fail(QStringLiteral("the file holds more frames than the %1 its header counts")
                                 .arg(header->Frames));
                    TIconFrame frame{bytes.mid(item.Data, item.Size)};
                    IconFile::Check(frame.Icon,
                                    QStringLiteral("Animated cursor frame %1").arg(frames.size() + 1));
                    frames.append(frame);
                }
            } else if (type == "INFO") {
                for (const TChunk& item : items) {
                    if (item.Id == "INAM")
                        title = Text(bytes, item);
                    else if (item.Id == "IART")
                        author = Text(bytes, item);
                }
            }
        }
    }
    if (!header)
        Fail(QStringLiteral("the \"anih\" header is missing"));
    if (quint64(frames.size()) != header->Frames)
        Fail(QStringLiteral("the file holds %1 frames, its header counts %2")
                 .arg(frames.size())
                 .arg(header->Frames));
    if (!sequence) {
        if (header->Steps > header->Frames)
            Fail(QStringLiteral("%1 steps without a \"seq \" chunk for %2 frames")
                     .arg(header->Steps)
                     .arg(header->Frames));
        sequence.emplace();
        for (std::uint32_t i = 0; i < header->Steps; ++i)
            sequence->append(i);
    }
    for (qsizetype i = 0; i < sequence->size(); ++i)
        if (sequence->at(i) >= header->Frames)
            Fail(QStringLiteral("step %1 shows frame %2 of %3")
                     .arg(i + 1)
                     .arg(sequence->at(i))
                     .arg(header->Frames));
    if (!rates)
        rates = QList<std::uint32_t>(header->Steps, header->JifRate);

    AniHeader = *header;
    FrameList = std::move(frames);
    Steps = std::move(*sequence);
    StepRates = std::move(*rates);
    TitleText = title;
    AuthorText = author;
}

void TAnimatedCursorImage::LoadFromFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EQuilvaneError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    LoadFromBytes(file.readAll());
}

void TAnimatedCursorImage::SaveToBytes() const {
    throw EQuilvaneError(QStringLiteral("Function not yet implemented"));
}

void TAnimatedCursorImage::AssignTo(TIconList& icons) const {
    QList<QByteArray> list;
    for (const TIconFrame& frame : FrameList)
        list.append(frame.Icon);
    icons.SetIcons(list);
}
