#include "shell/backup/ArchiveComment.h"

#include "core/io/Win1252Codec.h"
#include "core/services/Services.h"
#include "shell/backup/BackupArchives.h"
#include "shell/backup/RtfText.h"

#include <algorithm>

namespace {

const QColor Black(0, 0, 0);
const QColor Blue(0, 0, 255);
const QColor Red(255, 0, 0);

QString ArchiveWord(bool transfer) {
    return transfer ? QStringLiteral("transfer") : QStringLiteral("backup");
}

QList<TRtfParagraph> Header(const QDateTime& created) {
    const QDateTime time = created.isValid() ? created : TServices::Clock().Now();
    return {
        {{FileInformationHeading.toString(), true, Blue}},
        {{QStringLiteral("Created: "), true, Black}, {BackupArchives::ArchiveTimeText(time), false, Black}},
        {{QStringLiteral("Saved to your system: "), true, Black},
         {SavedDatePlaceholder.toString(), false, Black}},
        {},
        {{QStringLiteral("Memo:"), true, Blue}},
    };
}

QString TextOf(const TRtfParagraph& paragraph) {
    QString text;
    for (const TRtfRun& run : paragraph)
        text += run.Text;
    return text;
}

qsizetype CharCount(const QList<TRtfParagraph>& paragraphs) {
    qsizetype count = 0;
    for (const TRtfParagraph& paragraph : paragraphs)
        count += TextOf(paragraph).size() + 1; // the paragraph's break counts as one
    return count;
}

// The first `keep` characters of the paragraphs (breaks counting one each), never splitting a
// surrogate pair.
QList<TRtfParagraph> FirstChars(const QList<TRtfParagraph>& paragraphs, qsizetype keep) {
    QList<TRtfParagraph> kept;
    for (const TRtfParagraph& paragraph : paragraphs) {
        if (keep <= 0)
            break;
        TRtfParagraph cut;
        for (const TRtfRun& run : paragraph) {
            if (keep <= 0)
                break;
            TRtfRun part = run;
            if (part.Text.size() > keep) {
                part.Text.truncate(keep);
                if (part.Text.back().isHighSurrogate())
                    part.Text.chop(1);
            }
            keep -= run.Text.size();
            if (!part.Text.isEmpty())
                cut.append(part);
        }
        kept.append(cut);
        --keep;
    }
    return kept;
}

QByteArray Stored(const QList<TRtfParagraph>& paragraphs) {
    return TWin1252Codec::Encode(TRtfText::Write(paragraphs));
}

// Replaces every occurrence of the text in the paragraph, also one that other formatting splits
// over several runs; the replacement takes the style of the occurrence's first character.
void ReplaceInParagraph(TRtfParagraph& paragraph, QStringView what, const QString& with) {
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = TextOf(paragraph).indexOf(what, from);
        if (at < 0)
            return;
        qsizetype runStart = 0;
        qsizetype run = 0;
        while (runStart + paragraph[run].Text.size() <= at)
            runStart += paragraph[run++].Text.size();
        qsizetype offset = at - runStart;
        qsizetype left = what.size();
        paragraph[run].Text.insert(offset, with);
        offset += with.size();
        for (qsizetype r = run; left > 0 && r < paragraph.size(); ++r, offset = 0) {
            const qsizetype take = std::min(left, paragraph[r].Text.size() - offset);
            paragraph[r].Text.remove(offset, take);
            left -= take;
        }
        paragraph.removeIf([](const TRtfRun& r) { return r.Text.isEmpty(); });
        from = at + with.size();
    }
}

} // namespace

QString NoMemoText(bool transfer) {
    return QStringLiteral("No memo was recorded for this %1.").arg(ArchiveWord(transfer));
}

QByteArray BuildArchiveComment(const QString& memoRtf, const QDateTime& created, bool transfer) {
    QList<TRtfParagraph> memo = TRtfText::Read(memoRtf);
    if (TRtfText::PlainText(memo).trimmed().isEmpty())
        memo = {{{NoMemoText(transfer), false, QColor()}}};
    const QList<TRtfParagraph> header = Header(created);

    QByteArray stored = Stored(header + memo);
    if (stored.size() <= MaxArchiveCommentBytes)
        return stored;
    // The zip format cannot hold a longer comment, so the memo is cut where the comment reaches
    // the limit: the longest beginning of the memo that still fits, found by halving.
    qsizetype fits = 0;
    qsizetype tooLong = CharCount(memo);
    while (tooLong - fits > 1) {
        const qsizetype middle = fits + (tooLong - fits) / 2;
        (Stored(header + FirstChars(memo, middle)).size() <= MaxArchiveCommentBytes ? fits : tooLong) =
            middle;
    }
    return Stored(header + FirstChars(memo, fits));
}

QString ReadArchiveComment(const QByteArray& stored, bool transfer, const QDateTime& archiveTime) {
    QList<TRtfParagraph> paragraphs = TRtfText::Read(TWin1252Codec::Decode(stored));
    if (TRtfText::PlainText(paragraphs).trimmed().isEmpty())
        return TRtfText::Write({{{NoMemoText(transfer), false, QColor()}}});
    if (paragraphs.isEmpty() || TextOf(paragraphs.first()).trimmed() != FileInformationHeading)
        paragraphs = Header(archiveTime) + paragraphs;
    if (transfer) {
        const QString when = BackupArchives::ArchiveTimeText(archiveTime);
        for (TRtfParagraph& paragraph : paragraphs)
            ReplaceInParagraph(paragraph, SavedDatePlaceholder, when);
    } else {
        paragraphs.removeIf(
            [](const TRtfParagraph& paragraph) { return TextOf(paragraph).contains(SavedDatePlaceholder); });
    }
    return TRtfText::Write(paragraphs);
}

QString ArchiveNotFoundComment(bool transfer, const QString& folder) {
    QString shown = folder;
    while (shown.endsWith(u'\\') || shown.endsWith(u'/'))
        shown.chop(1);
    return TRtfText::Write({
        {{FileInformationHeading.toString(), true, Blue}},
        {{QStringLiteral("Unable to locate a %1 file in folder %2").arg(ArchiveWord(transfer), shown), true,
          Red}},
    });
}
