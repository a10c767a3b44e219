#include "controls/pictures/GIFFrame.h"

#include "controls/pictures/InvalidGraphic.h"

bool TGIFFrame::IsTableSize(qsizetype count) {
    return count >= 2 && count <= 256 && (count & (count - 1)) == 0;
}

void TGIFFrame::SetColorTable(const QList<QRgb>& colors) {
    if (!colors.isEmpty() && !IsTableSize(colors.size()))
        throw EInvalidGraphic(GIFMessages::WrongColorCount());
    LocalColorTable = colors;
}

bool TGIFFrame::HasGraphicControl() const {
    return Delay != 0 || TransparentIndex >= 0 || Disposal != 0 || UserInput;
}

QImage TGIFFrame::Image(const QList<QRgb>& fileColorTable) const {
    if (!EncodedImage || Width() == 0 || Height() == 0)
        return QImage();
    QList<QRgb> colors = !LocalColorTable.isEmpty() ? LocalColorTable : fileColorTable;
    if (colors.isEmpty())
        for (int i = 0, count = 1 << EncodedImage->CodeSize(); i < count && i < 256; ++i)
            colors.append(qRgb(i * 255 / (count - 1), i * 255 / (count - 1), i * 255 / (count - 1)));
    for (QRgb& color : colors)
        color |= 0xFF000000;
    const QByteArray& indexes = EncodedImage->Indexes();
    int highest = TransparentIndex;
    for (const char index : indexes)
        highest = qMax(highest, int(quint8(index)));
    while (colors.size() <= highest)
        colors.append(qRgb(0, 0, 0));
    if (TransparentIndex >= 0)
        colors[TransparentIndex] = qRgba(0, 0, 0, 0);

    QImage image(Width(), Height(), QImage::Format_Indexed8);
    image.setColorTable(colors);
    for (int y = 0; y < Height(); ++y)
        std::copy_n(indexes.constData() + qsizetype(y) * Width(), Width(), image.scanLine(y));
    return image;
}
