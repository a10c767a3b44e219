#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringView>

// The comment of a backup or transfer archive: the user's memo in rich text with an information
// header in front of it,
//     File Information:                     (bold, blue)
//     Created: 05 Mar 2006 at 3:04 pm       ("Created: " bold)
//     Saved to your system: @saveddate      ("Saved to your system: " bold)
//
//     Memo:                                 (bold, blue)
// followed by the memo. The placeholder stays in the archive; whoever reads a transfer archive
// sees it replaced by the time the archive reached the disk, a backup shows no such line.

// The zip format keeps an archive comment's length in 16 bits.
inline constexpr qsizetype MaxArchiveCommentBytes = 65535;
inline constexpr QStringView SavedDatePlaceholder = u"@saveddate";
inline constexpr QStringView FileInformationHeading = u"File Information:";

// "No memo was recorded for this transfer." / "... backup."
QString NoMemoText(bool transfer);

// The stored comment (RTF, 7-bit) for a memo (RTF or plain text; empty or blank gives the
// no-memo sentence). An invalid creation time means now. The result never exceeds
// MaxArchiveCommentBytes: a memo too long for it is cut where the comment reaches the limit.
QByteArray BuildArchiveComment(const QString& memoRtf, const QDateTime& created, bool transfer);

// The comment of an archive as RTF for the memo box: no comment gives the no-memo sentence; a
// comment that does not start with the information header (another program's, or plain text)
// gets one, created at the archive's time; then "@saveddate" is replaced by the archive's time
// (transfer) or its line is removed (backup).
QString ReadArchiveComment(const QByteArray& stored, bool transfer, const QDateTime& archiveTime);

// What the memo box shows when there is no archive to read: the heading and, bold red,
// "Unable to locate a transfer file in folder A:\TRANSFER" (no trailing backslash).
QString ArchiveNotFoundComment(bool transfer, const QString& folder);
