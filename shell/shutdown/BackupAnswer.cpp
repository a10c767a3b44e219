#include "shell/shutdown/BackupAnswer.h"

QString BackupQuestionText(const QString& description) {
    return QStringLiteral("Do you want to perform a backup for: %1%2 ?")
        .arg(QStringLiteral("\n\n"), description);
}

TCarriedBackupAnswer::TStep TCarriedBackupAnswer::Take(TBackupAnswer answer) {
    switch (answer) {
    case TBackupAnswer::Yes:
        return TStep::Backup;
    case TBackupAnswer::YesToAll:
        Carried = answer;
        return TStep::Backup;
    case TBackupAnswer::NoToAll:
        Carried = answer;
        return TStep::Skip;
    case TBackupAnswer::No:
        return TStep::Skip;
    case TBackupAnswer::Cancel:
        break;
    }
    return TStep::Stop;
}
