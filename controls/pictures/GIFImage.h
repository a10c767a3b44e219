#pragma once

#include "controls/pictures/GIFData.h"

#include <QImage>
#include <QSharedDataPointer>

#include <functional>

class QIODevice;
class QMimeData;
class QPainter;

// A GIF picture (GIF87a or GIF89a): the frames of the file with its logical screen, colour
// table, comment and loop, one frame of which is the current one that drawing shows. Copies share
// their data until one of them changes.
//
// Loading leaves the picture as it was when it raises: EInvalidGraphic with the class's texts
// ("Unknown GIF version", "GIF encoded data is corrupt", ...) or EPictureError for data cut
// short or out of order. Changing the size raises "Cannot change the Size of a GIF image", saving
// a picture without frames "No GIF Data to write".
class TGIFImage {
public:
    TGIFImage();

    bool Empty() const { return Data->Frames.isEmpty(); }
    // The logical screen's size.
    int Width() const { return Data->ScreenWidth; }
    int Height() const { return Data->ScreenHeight; }
    [[noreturn]] void SetWidth(int width);
    [[noreturn]] void SetHeight(int height);

    TGIFVersion Version() const { return Data->Version; }
    const TGIFData& Contents() const { return *Data; }

    const QList<QRgb>& ColorTable() const { return Data->ColorTable; }
    // Raises "Wrong number of colors; must be a power of 2" unless 2, 4, ... 256 colours or none.
    void SetColorTable(const QList<QRgb>& colors);

    const QStringList& Comment() const { return Data->Comment; }
    void SetComment(const QStringList& comment);
    bool Looping() const { return Data->Looping; }
    int RepeatCount() const { return Data->RepeatCount; }
    void SetLoop(bool looping, int repeatCount = 0);

    // The frame list; the current frame is -1 only while there are none.
    int Count() const { return int(Data->Frames.size()); }
    const TGIFFrame& Frame(int index) const { return Data->Frames.at(index); }
    int FrameIndex() const { return CurrentFrame; }
    void SetFrameIndex(int index); // out of range: unchanged
    // The frame's pixels in its colours; a null image for a frame without pixels.
    QImage FrameImage(int index) const;
    // Adds the picture as a frame with its own colour table (see Assign for its colours).
    void AddFrame(const QImage& picture, const QPoint& origin = QPoint());
    void DeleteFrame(int index);
    void Clear();

    void LoadFromBytes(const QByteArray& bytes);
    void LoadFromStream(QIODevice& stream); // reads to the end of the stream
    void LoadFromFile(const QString& fileName);
    QByteArray SaveToBytes() const;
    void SaveToStream(QIODevice& stream) const;
    // Written to a temporary file renamed over the old one.
    void SaveToFile(const QString& fileName) const;

    // Whether the clipboard data holds a GIF picture: the "GIF Image" format, or "image/gif".
    static bool CanLoadFromClipboard(const QMimeData& data);
    // Raises EPictureError when the data holds none.
    void LoadFromClipboard(const QMimeData& data);
    // The "GIF Image" format, "image/gif" with the same bytes, and the current frame as an image
    // for other programs.
    void SaveToClipboard(QMimeData& data) const;

    // The logical screen with the current frame at its place, transparent elsewhere (a screen
    // smaller than the frame grows to hold it, one larger than the program reads shrinks to the
    // frame); a null image when there are no frames.
    QImage ToImage() const;
    // Draws ToImage() scaled into the rectangle.
    void Draw(QPainter& painter, const QRect& target) const;

    // One frame of the picture's size with a global colour table: its colours exactly when it has
    // at most 256 (fully transparent pixels counting as one, the transparent index), else the
    // 256 (255 and the transparent one) the colour histogram of the picture chooses. A picture
    // with transparent pixels makes a GIF89a picture. A null picture clears.
    void Assign(const QImage& picture);
    // Shares the other's data and takes its current frame; the change notification stays this one's.
    void Assign(const TGIFImage& other);

    // Called after a load, an assignment or a change of the frames or the current frame.
    std::function<void()> OnChange;

private:
    void Changed();

    QSharedDataPointer<TGIFData> Data;
    int CurrentFrame = -1;
};
