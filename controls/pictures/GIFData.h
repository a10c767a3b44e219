#pragma once

#include "controls/pictures/GIFFrame.h"

#include <QList>
#include <QRgb>
#include <QSharedData>
#include <QStringList>

// The GIF versions; the empty text marks a version that is not recognised.
enum class TGIFVersion : int { Unknown = 0, GIF87a = 1, GIF89a = 2 };
inline QString GIFVersionText(TGIFVersion version) {
    switch (version) {
    case TGIFVersion::GIF87a:
        return QStringLiteral("87a");
    case TGIFVersion::GIF89a:
        return QStringLiteral("89a");
    default:
        return QString();
    }
}

// What a GIF file holds: its version, the logical screen and its colour table, the frames, the
// comment and the loop. Pictures that are copies of one another share one until either changes.
struct TGIFData : public QSharedData {
    TGIFVersion Version = TGIFVersion::GIF87a;
    int ScreenWidth = 0;
    int ScreenHeight = 0;
    int ColorResolution = 8; // bits per primary colour of the original picture, 1 to 8
    int BackgroundIndex = 0;
    int AspectRatio = 0;    // 0: no aspect ratio given
    QList<QRgb> ColorTable; // the global colour table; empty when the file has none
    QList<TGIFFrame> Frames;
    QStringList Comment;
    bool Looping = false;
    int RepeatCount = 0; // 0: for ever
};
