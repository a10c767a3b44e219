#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class TDesktop;

// File > Delete: removes a client file that is open on the desktop, with everything that belongs
// to it, after the user has typed its code and confirmed.
//
// Only the file's own names are deleted: its record "<code>.CFG" in the data folder, everything
// inside its own folder, and in the master-data folders and the backup folder the names made of
// the code, an optional two-digit year and one extension ("ABC123.RLO", "ABC12306.ADF",
// "ABC12306.007"), the code compared without regard to case. Master files and the files of a
// code that merely begins with this one ("ABC1234.RLO") stay. Backups on removable media are
// left alone.
class TFileDelete {
public:
    static constexpr int ConfirmHelpContext = 6100;
    static inline const QString ConfirmText = QStringLiteral(
        "You have chosen to delete %1 - %2. ALL information INCLUDING BACKUPS will be deleted. Continue ?");
    static inline const QString DeletedText = QStringLiteral("%1 \"%2\" has been deleted.");
    static inline const QString NotDeletedText =
        QStringLiteral("%1 \"%2\" could not be deleted completely. These remain:");
    static inline const QString DeletedComment = QStringLiteral("Deleted");
    // Removes one file or one empty folder (native path); false when it is still there.
    using TRemover = std::function<bool(const QString& path)>;

    // The remover of this workstation's disk clears a file's protection before removing it.
    explicit TFileDelete(TRemover removeFile = LocalRemoveFile(), TRemover removeFolder = LocalRemoveFolder());

    // The native paths to delete for a code, files only, as they are on disk now: the record,
    // the files in the code's folder (at any depth), and the code's own names in the master-data
    // folders and, unless backupsRemovable, in the backup folder. Folders are native paths.
    static QStringList DeletePlan(const QString& code, const QString& dataFolder, const QString& backupFolder,
                                  bool backupsRemovable);
    // Whether the typed text is the code (case aside, no trimming).
    static bool CodeMatches(const QString& typed, const QString& code);
    // The input box texts.
    static QString InputCaption(const QString& code) { return QStringLiteral("Deleting file ") + code; }
    static QString InputPrompt(const QString& code) {
        return QStringLiteral("Enter ") + code + QStringLiteral(" to continue");
    }

    // The whole command for the open file at an index (see the class comment). closePages closes
    // the file's data-entry pages without recording them and gives TDesktop::PagesCancelled
    // when the user cancelled, which stops the delete. The code leaves the history of the program
    // settings; the caller rebuilds its recently-used list. True when the file was closed and
    // its deletion attempted (LastFailures then lists what could not be removed).
    bool Execute(TDesktop& desktop, int fileIndex, std::function<int(int)> closePages);

    // The native paths the last Execute could not remove.
    const QStringList& LastFailures() const { return Failures; }

    static TRemover LocalRemoveFile();
    static TRemover LocalRemoveFolder();

private:
    // Removes the plan's files and the code's folders; the paths that remain.
    QStringList Remove(const QStringList& plan, const QString& ownFolder);

    TRemover RemoveFile;
    TRemover RemoveFolder;
    QStringList Failures;
};
