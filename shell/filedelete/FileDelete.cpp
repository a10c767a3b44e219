#include "shell/filedelete/FileDelete.h"

#include "core/common/OptionSet.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/files/FileQuestions.h"
#include "core/files/Paths.h"
#include "core/logs/LogList.h"
#include "core/logs/LogSession.h"
#include "core/services/Progress.h"
#include "core/services/Services.h"
#include "core/services/UserPrompt.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/FileVocabulary.h"
#include "shell/desktop/Desktop.h"
#include "shell/filecode/FileCodeChange.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

constexpr QDir::Filters AllFiles = QDir::Files | QDir::Hidden | QDir::System;

// The entry of a folder whose name is the given one without regard to case; empty when none.
QString FindEntry(const QString& folder, const QString& name, QDir::Filters filters) {
    if (folder.isEmpty() || name.isEmpty())
        return {};
    const QDir dir(folder);
    for (const QString& entry : dir.entryList(filters | QDir::NoDotAndDotDot))
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return {};
}

// The code's own names among the files of a folder.
void AddOwnNames(QStringList& plan, const QString& folder, const QString& code) {
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    const QDir dir(folder);
    QStringList names = dir.entryList(AllFiles);
    names.sort();
    for (const QString& name : names)
        if (TFileCodeChange::IsOwnMasterName(name, code))
            plan.append(dir.filePath(name));
}

// The code's own folder in the data folder; empty when there is none.
QString OwnFolder(const QString& code, const QString& dataFolder) {
    return FindEntry(dataFolder, code, QDir::Dirs);
}

// The folders below a folder, deepest first, then the folder itself.
QStringList FoldersDeepestFirst(const QString& folder) {
    QStringList folders;
    QDirIterator it(folder, QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        folders.append(it.next());
    std::sort(folders.begin(), folders.end(),
              [](const QString& a, const QString& b) { return a.count(u'/') > b.count(u'/'); });
    folders.append(folder);
    return folders;
}

} // namespace

TFileDelete::TFileDelete(TRemover removeFile, TRemover removeFolder)
    : RemoveFile(std::move(removeFile)), RemoveFolder(std::move(removeFolder)) {}

TFileDelete::TRemover TFileDelete::LocalRemoveFile() {
    return [](const QString& path) {
        QFile::setPermissions(path, QFile::permissions(path) | QFile::WriteOwner | QFile::ReadOwner);
        return QFile::remove(path) || !QFileInfo::exists(path);
    };
}

TFileDelete::TRemover TFileDelete::LocalRemoveFolder() {
    return [](const QString& path) { return QDir().rmdir(path) || !QFileInfo::exists(path); };
}

bool TFileDelete::CodeMatches(const QString& typed, const QString& code) {
    return !code.isEmpty() && typed.compare(code, Qt::CaseInsensitive) == 0;
}

QStringList TFileDelete::DeletePlan(const QString& code, const QString& dataFolder, const QString& backupFolder,
                                    bool backupsRemovable) {
    QStringList plan;
    // A code with a path in it would reach outside the data folder.
    if (code.isEmpty() || dataFolder.isEmpty() || code.contains(u'/') || code.contains(u'\\') ||
        code.contains(u'.'))
        return plan;
    const QString record = FindEntry(dataFolder, code + DetailRecordExtension.toString(), AllFiles);
    if (!record.isEmpty())
        plan.append(record);

    const QString own = OwnFolder(code, dataFolder);
    if (!own.isEmpty()) {
        QStringList files;
        QDirIterator it(own, AllFiles, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(it.next());
        files.sort();
        plan += files;
    }

    for (const QString& master : TFileCodeChange::MasterFolderNames())
        AddOwnNames(plan, FindEntry(dataFolder, master, QDir::Dirs), code);

    if (!backupsRemovable && !backupFolder.isEmpty())
        AddOwnNames(plan, backupFolder, code);
    return plan;
}

QStringList TFileDelete::Remove(const QStringList& plan, const QString& ownFolder) {
    QStringList remaining;
    for (const QString& path : plan)
        if (!RemoveFile(path))
            remaining.append(path);
    if (!ownFolder.isEmpty() && QFileInfo(ownFolder).isDir()) {
        const QStringList folders = FoldersDeepestFirst(ownFolder);
        for (const QString& folder : folders)
            if (!RemoveFolder(folder) && folder == ownFolder)
                remaining.append(folder);
    }
    return remaining;
}

bool TFileDelete::Execute(TDesktop& desktop, int fileIndex, std::function<int(int)> closePages) {
    Failures.clear();
    TEntityInfo* file = desktop.Files().File(fileIndex);
    if (!file)
        return false;
    IUserPrompt& prompt = TServices::Prompt();
    const TEntityDetail& detail = file->EntityDetail();
    const QString code = detail.FileCode;
    const QString name = detail.Name;

    prompt.Beep(TBeep::Warning);
    QString typed;
    if (!prompt.InputText(InputCaption(code), InputPrompt(code), typed) || !CodeMatches(typed, code))
        return false;
    if (prompt.ShowMessage(TMessageKind::Warning, ConfirmText.arg(code, name),
                           TMessageButton::OK | TMessageButton::Cancel | TMessageButton::Help,
                           ConfirmHelpContext) != TMessageButton::OK)
        return false;
    if (closePages && file->DataEntryPageCount() > 0 && closePages(fileIndex) == TDesktop::PagesCancelled)
        return false;

    // Where everything lies, read before the record goes away.
    const QString dataFolder = QFileInfo(detail.NativeFileName(TOptionSet{Option::Standard})).absolutePath();
    const QString storedBackup = detail.BackupDir;
    const bool removable = storedBackup.size() >= 2 && storedBackup[1] == u':' && storedBackup[0].isLetter() &&
                           IsRemovableDrive(storedBackup[0]);
    const QString backupFolder = removable || storedBackup.isEmpty() ? QString() : NativePath(storedBackup);

    std::unique_ptr<IProgress> progress = TServices::CreateProgress();
    progress->Setup(code, 0, QStringLiteral("Deleting file ..."), false, false);

    const double now = NowNum();
    const int endMonth = file->EntityDetail().EndMonth;
    TLogList::LogSession({code, name, file->Upgraded ? TEntityInfo::UpgradedComment : QString(), QString(),
                          file->OpenedAt, now, endMonth});
    TLogList::LogSession({code, name, DeletedComment, QString(), now, now, endMonth});
    file->NoTimeLog = true;
    if (!desktop.CloseFileOnDesktop(fileIndex)) {
        // The file stays open; its later close records its use again.
        if (TEntityInfo* stillOpen = desktop.Files().File(fileIndex); stillOpen == file)
            file->NoTimeLog = false;
        return false;
    }

    const QStringList plan = DeletePlan(code, dataFolder, backupFolder, removable);
    Failures = Remove(plan, OwnFolder(code, dataFolder));

    TProgramParams& params = ProgramParams();
    if (const int at = params.Entities.IndexOf(code); at >= 0) {
        params.Entities.RemoveAt(at);
        params.Save();
    }
    progress.reset();

    if (Failures.isEmpty()) {
        MessageBeepAndShow(prompt, TMessageKind::Information, DeletedText.arg(code, name), TMessageButton::OK);
    } else {
        QString text = NotDeletedText.arg(code, name);
        for (const QString& path : Failures)
            text += QLatin1Char('\r') + QDir::toNativeSeparators(path);
        MessageBeepAndShow(prompt, TMessageKind::Warning, text, TMessageButton::OK);
    }
    return true;
}
