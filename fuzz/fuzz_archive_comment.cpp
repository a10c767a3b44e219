// Reads arbitrary bytes as the comment of a backup or transfer archive, as the memo box shows it:
// the reader never fails and always gives 7-bit rich text, which settles after one more reading
// and writing.
#include "fuzz/FuzzSupport.h"
#include "shell/backup/ArchiveComment.h"
#include "shell/backup/RtfText.h"

#include <QDateTime>

namespace {

// What was read writes out as rich text that, read and written once more, stays as it is. (The
// first writing may differ from what was read: the writer leaves out the control characters that
// a plain-text comment or an escape such as "\u8" brings in.)
void CheckSettles(const QString& rtf) {
    const QString once = TRtfText::Write(TRtfText::Read(rtf));
    fuzz::Check(TRtfText::Write(TRtfText::Read(once)) == once);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::StartApplication(argc, argv);
    fuzz::InstallPrompt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz::Check;
    const QByteArray stored = fuzz::InputBytes(data, size);
    const QDateTime archiveTime(QDate(2006, 3, 5), QTime(15, 4, 6));
    for (const bool transfer : {false, true}) {
        const QString rtf = ReadArchiveComment(stored, transfer, archiveTime);
        Check(TRtfText::IsRtf(rtf));
        for (const QChar c : rtf)
            Check(c.unicode() < 128);
        CheckSettles(rtf);
    }
    // The reader on its own, as the memo box's document is filled from it.
    CheckSettles(QString::fromLatin1(stored));
    return 0;
}
