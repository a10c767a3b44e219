#pragma once

#include <QString>

// The answers to the backup offer, with the dialog results they are returned as.
enum class TBackupAnswer : int { Cancel = 2, Yes = 6, No = 7, NoToAll = 9, YesToAll = 10 };

// "Do you want to perform a backup for: " with two line breaks, the file's description and " ?".
QString BackupQuestionText(const QString& description);

// Offers a backup of one file; the program shows the confirmation window after the question beep.
class IBackupQuestion {
public:
    virtual ~IBackupQuestion() = default;
    virtual TBackupAnswer Ask(const QString& yearCaption) = 0;
};

// The backup offer over a run of files being closed: "to all" answers carry to the later files.
class TCarriedBackupAnswer {
public:
    enum class TStep { Skip, Backup, Stop };

    // Whether the offer is made for a file at all: its prompt is set and no earlier answer was
    // No to All.
    bool Offers(bool promptSet) const { return promptSet && Carried != TBackupAnswer::NoToAll; }

    // What to do with the next file: asks (unless an earlier answer was Yes to All) when the offer
    // is made. Cancel stops the run.
    template <typename TAsk> TStep Decide(bool promptSet, TAsk&& ask) {
        if (!Offers(promptSet))
            return TStep::Skip;
        return Take(Carried == TBackupAnswer::YesToAll ? TBackupAnswer::YesToAll : ask());
    }

private:
    TStep Take(TBackupAnswer answer);

    TBackupAnswer Carried = TBackupAnswer::No;
};
