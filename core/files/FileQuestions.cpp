#include "core//files/FileQuestions.h"
#include "core/common/OptionSet.h"

#include "core/services/Services.h"

#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

namespace {

// The word for the disk a process writes: exports, transfers (kinds 6 to 9) and backups
// (10 and 11).
QString MediaWord(int processKind) {
    if (processKind == 1)
        return QStringLiteral("EXPORT");
    if (processKind >= 6 && processKind <= 9)
        return QStringLiteral("TRANSFER");
    if (processKind == 10 || processKind == 11)
        return QStringLiteral("BACKUP");
    return QString();
}

// Whether the block device holding a folder reports removable media.
bool IsOnRemovableMedia(const QString& folder) {
    const QStorageInfo storage(folder);
    if (!storage.isValid())
        return false;
    const QString device = QFileInfo(QString::fromLocal8Bit(storage.device())).fileName();
    if (device.isEmpty())
        return false;
    // A partition's flag lives on its disk: /sys/class/block/sdb1/../removable.
    for (const QString& flag : {QStringLiteral("/sys/class/block/%1/removable").arg(device),
                                QStringLiteral("/sys/class/block/%1/../removable").arg(device)}) {
        QFile file(flag);
        if (file.open(QIODevice::ReadOnly))
            return file.readAll().trimmed() == "1";
    }
    return false;
}

bool DiskAnswers(QChar drive) {
    const QString root = TServices::FileSystem().DriveRoot(drive);
    if (root.isEmpty())
        return false;
    const QStorageInfo storage(root);
    return storage.isValid() && storage.isReady() && storage.bytesTotal() >= 0;
}

} // namespace

bool IsRemovableDrive(QChar drive) {
    const QString root = TServices::FileSystem().DriveRoot(drive);
    if (root.isEmpty())
        return true;
    return IsOnRemovableMedia(root);
}

bool ConfirmReplaceFile(const QString& name, TOptionSet& options) {
    return AskToReplace(QStringLiteral("A file for ") + name + QStringLiteral(" aleady exists.") +
                            QLatin1Char('\r') + QStringLiteral("Replace this file ?"),
                        options);
}

bool AskToReplace(const QString& question, TOptionSet& options) {
    const TMessageButton answer = MessageBeepAndShow(TServices::Prompt(), TMessageKind::Question, question,
                                                     TMessageButton::Yes | TMessageButton::No |
                                                         TMessageButton::Cancel | TMessageButton::All);
    switch (answer) {
    case TMessageButton::Yes:
        return true;
    case TMessageButton::All:
        options.Exclude(Option::AskBeforeReplace);
        return true;
    case TMessageButton::Cancel:
        options.Include(Option::StopOperation);
        return false;
    default:
        return false;
    }
}

int ConfirmDiskReady(QChar drive, int processKind, bool skipFirstCheck) {
    const QChar letter = drive.toUpper();
    if (!IsRemovableDrive(letter))
        return DiskReady;
    bool check = !skipFirstCheck;
    for (;;) {
        if (check && DiskAnswers(letter))
            return DiskReady;
        check = true;
        const TMessageButton answer =
            MessageBeepAndShow(TServices::Prompt(), TMessageKind::Question,
                               QStringLiteral("Is a %1 floppy disk ready in drive %2:?")
                                   .arg(MediaWord(processKind), QString(letter)),
                               TMessageButton::Yes | TMessageButton::Cancel);
        if (answer != TMessageButton::Yes)
            return DiskCancelled;
    }
}
