#pragma once

#include "controls/pictures/GIFExtension.h"
#include "controls/pictures/GIFItem.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QRgb>

#include <memory>

// What happens to a frame's area before the next frame is drawn (the graphic control extension's
// disposal method); values 4 to 7 are kept as read.
enum class TDisposalMethod : int { Undefined = 0, Leave = 1, RestoreBackground = 2, RestorePrevious = 3 };

// One image of a GIF file: where it lies on the logical screen, its own colour table (empty when
// it uses the file's), what its graphic control extension says (display time, transparent index,
// disposal, user input), the other extensions that came with it, and its encoded data, which
// copies of the frame share.
class TGIFFrame {
public:
    TGIFFrame() = default;
    explicit TGIFFrame(std::shared_ptr<const TGIFItem> item) : EncodedImage(std::move(item)) {}

    const std::shared_ptr<const TGIFItem>& Item() const { return EncodedImage; }
    int Width() const { return EncodedImage ? EncodedImage->Width() : 0; }
    int Height() const { return EncodedImage ? EncodedImage->Height() : 0; }
    bool Interlaced() const { return EncodedImage && EncodedImage->Interlaced(); }
    QRect Bounds() const { return QRect(Origin, QSize(Width(), Height())); }

    QPoint Origin;

    const QList<QRgb>& ColorTable() const { return LocalColorTable; }
    // Raises EInvalidGraphic "Wrong number of colors; must be a power of 2" unless the table holds
    // 2, 4, ... 256 colours or none.
    void SetColorTable(const QList<QRgb>& colors);

    // The graphic control extension's values; a frame written with any of them set carries one.
    int Delay = 0;             // in hundredths of a second
    int TransparentIndex = -1; // none
    int Disposal = int(TDisposalMethod::Undefined);
    bool UserInput = false;
    bool HasGraphicControl() const;

    // The extensions read with the frame other than its graphic control extension, in file order;
    // they are written back before it.
    QList<TExtension> Extensions;

    // The frame's pixels in the colours of its table, or when it has none, of the file's table
    // (or, with neither, of a grey scale), the transparent index fully transparent. Indexes past
    // the table are black.
    QImage Image(const QList<QRgb>& fileColorTable) const;

    // Whether a colour table of that many entries can be written.
    static bool IsTableSize(qsizetype count);

private:
    std::shared_ptr<const TGIFItem> EncodedImage;
    QList<QRgb> LocalColorTable;
};
