#include "controls/pictures/IconFile.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

namespace {

constexpr qsizetype HeaderSize = 6;
constexpr qsizetype EntrySize = 16;

quint16 U16(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}
quint32 U32(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

[[noreturn]] void Fail(const QString& what, const QString& fault) {
    throw EPictureError(QStringLiteral("%1: %2").arg(what, fault));
}

} // namespace

namespace IconFile {

void Check(const QByteArray& bytes, const QString& what) {
    if (bytes.size() < HeaderSize)
        Fail(what, QStringLiteral("the icon header is cut short"));
    if (U16(bytes, 0) != 0 || (U16(bytes, 2) != 1 && U16(bytes, 2) != 2))
        Fail(what, QStringLiteral("not an icon or cursor file"));
    const qsizetype count = U16(bytes, 4);
    if (count == 0)
        Fail(what, QStringLiteral("the icon holds no image"));
    const qsizetype directoryEnd = HeaderSize + count * EntrySize;
    if (directoryEnd > bytes.size())
        Fail(what,
             QStringLiteral("the icon directory of %1 images runs past the end of the data").arg(count));
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype entry = HeaderSize + i * EntrySize;
        const quint64 size = U32(bytes, entry + 8), offset = U32(bytes, entry + 12);
        if (size == 0 || offset < quint64(directoryEnd) || offset + size > quint64(bytes.size()))
            Fail(what, QStringLiteral("image %1 of the icon lies outside its data").arg(i + 1));
    }
}

QImage Decode(const QByteArray& bytes, const QString& what) {
    Check(bytes, what);
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    QImage best;
    do {
        QImage image = reader.read();
        if (image.isNull())
            break;
        if (best.isNull() || image.width() * image.height() > best.width() * best.height())
            best = std::move(image);
    } while (reader.jumpToNextImage());
    if (best.isNull())
        Fail(what, QStringLiteral("the icon cannot be read (%1)").arg(reader.errorString()));
    return best;
}

} // namespace IconFile
