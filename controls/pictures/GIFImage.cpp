#include "controls/pictures/GIFImage.h"

#include "controls/pictures/GIFFile.h"
#include "controls/pictures/InvalidGraphic.h"
#include "controls/pictures/PaletteBitmap.h"
#include "controls/pictures/PictureFormats.h"

#include <QFile>
#include <QHash>
#include <QMimeData>
#include <QPainter>
#include <QSaveFile>

namespace {

const QString GIFMimeType = QStringLiteral("image/gif");

struct TFramePixels {
    QList<QRgb> Colors;
    QByteArray Indexes;
    int TransparentIndex = -1;
};

int CodeSizeFor(qsizetype colors) {
    int codeSize = 2;
    while ((qsizetype(1) << codeSize) < colors)
        ++codeSize;
    return codeSize;
}

// The colour table padded with black to a size a GIF file can hold.
QList<QRgb> PaddedTable(QList<QRgb> colors) {
    while (!TGIFFrame::IsTableSize(colors.size()))
        colors.append(qRgb(0, 0, 0));
    return colors;
}

// The picture's pixels as colour indexes: its colours themselves when there are at most 256 of
// them (every fully transparent pixel the one transparent index), else those the histogram
// reduction chooses.
TFramePixels FramePixels(const QImage& picture) {
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    TFramePixels result;
    result.Indexes.resize(qsizetype(argb.width()) * argb.height());
    QHash<QRgb, int> indexOf;
    bool transparent = false, exact = true;
    for (int y = 0; y < argb.height() && exact; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            const bool clear = qAlpha(line[x]) == 0;
            transparent = transparent || clear;
            const QRgb key = clear ? 0 : (line[x] | 0xFF000000);
            auto found = indexOf.constFind(key);
            if (found == indexOf.constEnd()) {
                if (indexOf.size() == 256) {
                    exact = false;
                    break;
                }
                found = indexOf.insert(key, int(result.Colors.size()));
                result.Colors.append(key);
            }
            result.Indexes[qsizetype(y) * argb.width() + x] = char(*found);
        }
    }
    if (exact) {
        if (transparent) {
            result.TransparentIndex = indexOf.value(0);
            result.Colors[result.TransparentIndex] = qRgb(0, 0, 0);
        }
        return result;
    }

    // Too many colours: 256 by the histogram, or 255 beside the transparent index.
    const QImage reduced = PaletteBitmap::Reduce(argb, transparent ? 255 : 256);
    result.Colors = reduced.colorTable();
    if (transparent) {
        result.TransparentIndex = int(result.Colors.size());
        result.Colors.append(qRgb(0, 0, 0));
    }
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        const uchar* indexes = reduced.constScanLine(y);
        for (int x = 0; x < argb.width(); ++x)
            result.Indexes[qsizetype(y) * argb.width() + x] =
                char(qAlpha(line[x]) == 0 ? result.TransparentIndex : indexes[x]);
    }
    return result;
}

TGIFFrame MakeFrame(const QImage& picture, QList<QRgb>& colors) {
    const TFramePixels pixels = FramePixels(picture);
    colors = PaddedTable(pixels.Colors);
    TGIFFrame frame(TGIFItem::FromIndexes(picture.width(), picture.height(), false,
                                          CodeSizeFor(colors.size()), pixels.Indexes));
    frame.TransparentIndex = pixels.TransparentIndex;
    return frame;
}

} // namespace

TGIFImage::TGIFImage() : Data(new TGIFData) {}

void TGIFImage::SetWidth(int) {
    throw EInvalidGraphic(GIFMessages::CannotChangeSize());
}

void TGIFImage::SetHeight(int) {
    throw EInvalidGraphic(GIFMessages::CannotChangeSize());
}

void TGIFImage::SetColorTable(const QList<QRgb>& colors) {
    if (!colors.isEmpty() && !TGIFFrame::IsTableSize(colors.size()))
        throw EInvalidGraphic(GIFMessages::WrongColorCount());
    Data->ColorTable = colors;
    Changed();
}

void TGIFImage::SetComment(const QStringList& comment) {
    Data->Comment = comment;
    Changed();
}

void TGIFImage::SetLoop(bool looping, int repeatCount) {
    Data->Looping = looping;
    Data->RepeatCount = looping ? qBound(0, repeatCount, 0xFFFF) : 0;
    Changed();
}

void TGIFImage::SetFrameIndex(int index) {
    if (index < 0 || index >= Count() || index == CurrentFrame)
        return;
    CurrentFrame = index;
    Changed();
}

QImage TGIFImage::FrameImage(int index) const {
    return Data->Frames.at(index).Image(Data->ColorTable);
}

void TGIFImage::AddFrame(const QImage& picture, const QPoint& origin) {
    if (picture.isNull())
        return;
    QList<QRgb> colors;
    TGIFFrame frame = MakeFrame(picture, colors);
    frame.SetColorTable(colors);
    frame.Origin = origin;
    Data->Frames.append(frame);
    if (CurrentFrame < 0)
        CurrentFrame = 0;
    Changed();
}

void TGIFImage::DeleteFrame(int index) {
    if (index < 0 || index >= Count())
        return;
    Data->Frames.removeAt(index);
    if (CurrentFrame >= Count())
        CurrentFrame = Count() - 1;
    Changed();
}

void TGIFImage::Clear() {
    Data = new TGIFData;
    CurrentFrame = -1;
    Changed();
}

void TGIFImage::LoadFromBytes(const QByteArray& bytes) {
    Data = new TGIFData(GIFFile::Read(bytes));
    CurrentFrame = Data->Frames.isEmpty() ? -1 : 0;
    Changed();
}

void TGIFImage::LoadFromStream(QIODevice& stream) {
    LoadFromBytes(stream.readAll());
}

void TGIFImage::LoadFromFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EQuilvaneError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    LoadFromBytes(file.readAll());
}

QByteArray TGIFImage::SaveToBytes() const {
    return GIFFile::Write(*Data);
}

void TGIFImage::SaveToStream(QIODevice& stream) const {
    const QByteArray bytes = SaveToBytes();
    if (stream.write(bytes) != bytes.size())
        throw EStreamError::WriteError();
}

void TGIFImage::SaveToFile(const QString& fileName) const {
    const QByteArray bytes = SaveToBytes();
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw EQuilvaneError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
}

bool TGIFImage::CanLoadFromClipboard(const QMimeData& data) {
    return data.hasFormat(PictureFormats::ClipboardMimeType(PictureFormats::GIFClipboardFormat())) ||
           data.hasFormat(GIFMimeType);
}

void TGIFImage::LoadFromClipboard(const QMimeData& data) {
    const QString own = PictureFormats::ClipboardMimeType(PictureFormats::GIFClipboardFormat());
    if (data.hasFormat(own))
        LoadFromBytes(data.data(own));
    else if (data.hasFormat(GIFMimeType))
        LoadFromBytes(data.data(GIFMimeType));
    else
        throw EPictureError(QStringLiteral("The clipboard holds no GIF image."));
}

void TGIFImage::SaveToClipboard(QMimeData& data) const {
    const QByteArray bytes = SaveToBytes();
    data.setData(PictureFormats::ClipboardMimeType(PictureFormats::GIFClipboardFormat()), bytes);
    data.setData(GIFMimeType, bytes);
    data.setImageData(ToImage());
}

QImage TGIFImage::ToImage() const {
    if (CurrentFrame < 0)
        return QImage();
    const TGIFFrame& frame = Data->Frames.at(CurrentFrame);
    QRect screen = QRect(0, 0, Data->ScreenWidth, Data->ScreenHeight) | frame.Bounds();
    QPoint origin = frame.Origin;
    // A screen far larger than any picture the program reads (a few bytes can claim 65535 x
    // 65535) shrinks to the frame itself.
    if (qint64(screen.right() + 1) * (screen.bottom() + 1) > TGIFItem::MaxPixels()) {
        screen = QRect(QPoint(0, 0), frame.Bounds().size());
        origin = QPoint(0, 0);
    }
    if (screen.isEmpty())
        return QImage();
    QImage image(screen.right() + 1, screen.bottom() + 1, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const QImage pixels = frame.Image(Data->ColorTable);
    if (!pixels.isNull()) {
        QPainter painter(&image);
        painter.drawImage(origin, pixels);
    }
    return image;
}

void TGIFImage::Draw(QPainter& painter, const QRect& target) const {
    const QImage image = ToImage();
    if (image.isNull() || target.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(target, image);
    painter.restore();
}

void TGIFImage::Assign(const QImage& picture) {
    if (picture.isNull()) {
        Clear();
        return;
    }
    QSharedDataPointer<TGIFData> data(new TGIFData);
    TGIFFrame frame = MakeFrame(picture, data->ColorTable);
    data->Version = frame.HasGraphicControl() ? TGIFVersion::GIF89a : TGIFVersion::GIF87a;
    data->ScreenWidth = picture.width();
    data->ScreenHeight = picture.height();
    data->Frames.append(frame);
    Data = data;
    CurrentFrame = 0;
    Changed();
}

void TGIFImage::Assign(const TGIFImage& other) {
    Data = other.Data;
    CurrentFrame = other.CurrentFrame;
    Changed();
}

void TGIFImage::Changed() {
    if (OnChange)
        OnChange();
}
