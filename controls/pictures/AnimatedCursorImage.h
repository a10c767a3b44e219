#pragma once

#include "controls/pictures/IconFile.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

class TIconList;

// The "anih" chunk of an animated cursor, as the format defines it.
struct TAniHeader {
    std::uint32_t CbSize = 0;
    std::uint32_t Frames = 0;
    std::uint32_t Steps = 0;
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::uint32_t BitCount = 0;
    std::uint32_t Planes = 0;
    std::uint32_t JifRate = 0; // default display time of a step, in 1/60 s
    std::uint32_t Flags = 0;   // AniFlagIcon | AniFlagSequence
};
constexpr std::uint32_t AniFlagIcon = 1;
constexpr std::uint32_t AniFlagSequence = 2;

// One frame: an icon file as stored.
struct TIconFrame {
    QByteArray Icon;
};

// An animated cursor read from a RIFF "ACON" file: "anih" (the header), "rate" (a display time
// per step), "seq " (the frame shown at each step), a "LIST" "fram" holding one "icon" chunk per
// frame, and a "LIST" "INFO" with "INAM" (title) and "IART" (author); other chunks are skipped.
// Chunks are padded to an even length.
//
// Every length is checked against the chunk that holds it, the frame and step counts against the
// chunks present, and every step against the frames, before anything is kept: a damaged file
// raises EPictureError naming the fault and leaves the object as it was.
class TAnimatedCursorImage {
public:
    void LoadFromBytes(const QByteArray& bytes);
    // Reads the file without keeping it open; raises EQuilvaneError when it cannot be read.
    void LoadFromFile(const QString& fileName);
    // Writing animated cursors is not supported: raises EQuilvaneError.
    void SaveToBytes() const;

    const TAniHeader& Header() const { return AniHeader; }
    const QList<TIconFrame>& Frames() const { return FrameList; }
    // The frame shown at each step, and how long, in 1/60 s.
    const QList<std::uint32_t>& Sequence() const { return Steps; }
    const QList<std::uint32_t>& Rates() const { return StepRates; }
    const QString& Title() const { return TitleText; }
    const QString& Author() const { return AuthorText; }

    // The frames, in frame order, as icons of a list.
    void AssignTo(TIconList& icons) const;

private:
    TAniHeader AniHeader;
    QList<TIconFrame> FrameList;
    QList<std::uint32_t> Steps;
    QList<std::uint32_t> StepRates;
    QString TitleText;
    QString AuthorText;
};
