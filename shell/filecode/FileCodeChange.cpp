#include "shell/filecode/FileCodeChange.h"

#include "core/common/Exceptions.h"
#include "core/common/OptionSet.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/files/Paths.h"
#include "core/logs/LogList.h"
#include "core/logs/LogSession.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/FileVocabulary.h"
#include "core/vocab/SectionNames.h"
#include "shell/filecode/FileCodeRules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <optional>

namespace {

const QString RecordExtension = DetailRecordExtension.toString();

QString Shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The name as it is spelled in the list, found without regard to case.
std::optional<QString> FindName(const QStringList& names, const QString& wanted) {
    for (const QString& name : names)
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return name;
    return std::nullopt;
}

bool IsTaken(const TFolderListing& folder, const QString& name) {
    return FindName(folder.Files, name) || FindName(folder.Folders, name);
}

TFolderListing ListFolder(const QString& path) {
    const QDir dir(path);
    TFolderListing listing;
    listing.Path = path;
    listing.Files = dir.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    listing.Folders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    return listing;
}

QString StepFailureText(const TFileCodeStep& step) {
    switch (step.Kind) {
    case TFileCodeStep::MoveFile:
    case TFileCodeStep::MoveFolder:
        return QStringLiteral("Unable to move %1 to %2.").arg(Shown(step.Source), Shown(step.Target));
    case TFileCodeStep::CopyFile:
        return QStringLiteral("Unable to copy %1 to %2.").arg(Shown(step.Source), Shown(step.Target));
    case TFileCodeStep::MakeFolder:
        return QStringLiteral("Unable to create the folder %1.").arg(Shown(step.Target));
    }
    return {};
}

// The record fields a rename changes, to put back when it fails.
struct TRecordNames {
    QString FileCode;
    QString ExportDir;
    QString ImportDir;
    QString FileName;
    QString IniPath;

    static TRecordNames Of(const TEntityDetail& record) {
        return {record.FileCode, record.ExportDir, record.ImportDir, record.FileName,
                record.TIniFile::FileName()};
    }
    void PutBack(TEntityDetail& record) const {
        record.FileCode = FileCode;
        record.ExportDir = ExportDir;
        record.ImportDir = ImportDir;
        record.FileName = FileName;
        record.Rename(IniPath, false);
    }
};

} // namespace

// --- file operations -------------------------------------------------------------------------

TFileCodeOperations TFileCodeOperations::Local() {
    TFileCodeOperations operations;
    operations.Move = [](const QString& from, const QString& to) {
        const QFileInfo target(to);
        // QDir::rename never replaces an existing name either; the test makes the refusal plain.
        return !target.exists() && !target.isSymLink() && QDir().rename(from, to);
    };
    operations.Copy = [](const QString& from, const QString& to) {
        return !QFileInfo(from).isSymLink() && QFile::copy(from, to);
    };
    operations.MakeFolder = [](const QString& folder) { return QDir().mkdir(folder); };
    operations.RemoveFile = [](const QString& file) { return QFile::remove(file); };
    operations.RemoveFolder = [](const QString& folder) { return QDir().rmdir(folder); };
    operations.IsWritable = [](const QString& folder) {
        const QFileInfo info(folder);
        return info.isDir() && info.isWritable();
    };
    return operations;
}

// --- names -----------------------------------------------------------------------------------

QStringList TFileCodeChange::MasterFolderNames() {
    QStringList folders;
    for (const TChartKindEntry& kind : ChartKindTable) {
        const QString folder = kind.Folder.toString();
        if (!FindName(folders, folder))
            folders.append(folder);
    }
    return folders;
}

bool TFileCodeChange::IsOwnMasterName(const QString& name, const QString& code) {
    if (code.isEmpty() || !name.startsWith(code, Qt::CaseInsensitive))
        return false;
    QStringView rest = QStringView(name).mid(code.size());
    if (rest.size() >= 2 && rest[0].isDigit() && rest[1].isDigit() && rest[0].unicode() < 128 &&
        rest[1].unicode() < 128)
        rest = rest.mid(2);
    // One extension: a full stop and at least one character, none of them another full stop.
    return rest.size() >= 2 && rest[0] == u'.' && !rest.mid(1).contains(u'.');
}

QString TFileCodeChange::ReplaceFirst(const QString& text, const QString& oldCode, const QString& newCode) {
    if (oldCode.isEmpty())
        return text;
    const qsizetype at = text.indexOf(oldCode, 0, Qt::CaseInsensitive);
    if (at < 0)
        return text;
    QString result = text;
    return result.replace(at, oldCode.size(), newCode);
}

QString TFileCodeChange::ModeWord(int mode) {
    return mode == Copy ? QStringLiteral("Copy") : QStringLiteral("Rename");
}

QString TFileCodeChange::QuestionText(int mode, const QString& oldCode, const QString& newCode) {
    return QStringLiteral("Are you sure that you want to %1 %2 to %3 ?")
        .arg(ModeWord(mode), oldCode, newCode);
}

QString TFileCodeChange::LogComment(int mode, const QString& oldCode, const QString& newCode) {
    return QStringLiteral("%1 of %2 to %3").arg(ModeWord(mode), oldCode, newCode);
}

QString TFileCodeChange::SuccessText(int mode, const QString& oldCode, const QString& newCode) {
    return LogComment(mode, oldCode, newCode) + QStringLiteral(" was successful");
}

QString TFileCodeChange::FailureText(int mode, const QString& oldCode, const QString& newCode) {
    return QStringLiteral("Unable to %1 %2 to %3").arg(ModeWord(mode), oldCode, newCode);
}

// --- planning --------------------------------------------------------------------------------

TFileCodeListing TFileCodeChange::ReadListing(const QString& dataFolder, const QString& oldCode) {
    TFileCodeListing listing;
    listing.Data = ListFolder(dataFolder);
    for (const QString& master : MasterFolderNames())
        if (const auto found = FindName(listing.Data.Folders, master))
            listing.MasterFolders.append(ListFolder(QDir(dataFolder).filePath(*found)));
    if (const auto own = FindName(listing.Data.Folders, oldCode))
        listing.Own = ListFolder(QDir(dataFolder).filePath(*own));
    return listing;
}

TFileCodePlan TFileCodeChange::MakePlan(const TFileCodeListing& listing, const QString& oldCode,
                                        const QString& newCode, int mode) {
    TFileCodePlan plan;
    const auto refuse = [&plan](const QString& problem) {
        plan.Steps.clear();
        plan.WrittenFolders.clear();
        plan.Problem = problem;
        return plan;
    };
    const auto inUse = [](const QString& path) {
        return QStringLiteral("%1 already exists.").arg(Shown(path));
    };

    if (mode != Rename && mode != Copy)
        return refuse(QStringLiteral("Unknown change of file code %1.").arg(mode));
    for (const QString& code : {oldCode, newCode})
        if (!TEntityDetail::IsPlainFileCode(code) || code.trimmed() != code)
            return refuse(QStringLiteral("The file code %1 is not valid.").arg(code));
    if (oldCode.compare(newCode, Qt::CaseInsensitive) == 0)
        return refuse(TFileCodeRules::ExistsText);

    const TFolderListing& data = listing.Data;
    const auto record = FindName(data.Files, oldCode + RecordExtension);
    if (!record)
        return refuse(QStringLiteral("%1 does not exist.")
                          .arg(Shown(QDir(data.Path).filePath(oldCode + RecordExtension))));
    const QString newRecord = newCode + RecordExtension;
    if (IsTaken(data, newRecord))
        return refuse(TFileCodeRules::ExistsText);
    if (IsTaken(data, newCode))
        return refuse(inUse(QDir(data.Path).filePath(newCode)));

    const TFileCodeStep::TKind fileKind = mode == Copy ? TFileCodeStep::CopyFile : TFileCodeStep::MoveFile;
    // Two sources may not meet in one target, not even in names that differ only in case.
    QSet<QString> targets;
    const auto add = [&](TFileCodeStep::TKind kind, const QString& source, const QString& target) {
        if (!target.isEmpty() && targets.contains(target.toCaseFolded()))
            return false;
        targets.insert(target.toCaseFolded());
        plan.Steps.append({kind, source, target});
        return true;
    };

    plan.WrittenFolders.append(data.Path);
    for (const TFolderListing& folder : listing.MasterFolders) {
        bool touched = false;
        for (const QString& name : folder.Files) {
            if (!IsOwnMasterName(name, oldCode))
                continue;
            const QString target = QDir(folder.Path).filePath(ReplaceFirst(name, oldCode, newCode));
            if (IsTaken(folder, QFileInfo(target).fileName()) ||
                !add(fileKind, QDir(folder.Path).filePath(name), target))
                return refuse(inUse(target));
            touched = true;
        }
        if (touched)
            plan.WrittenFolders.append(folder.Path);
    }

    const QString newFolder = QDir(data.Path).filePath(newCode);
    if (mode == Copy) {
        add(TFileCodeStep::MakeFolder, QString(), newFolder);
        if (listing.Own) {
            for (const QString& name : listing.Own->Files) {
                const QString newName = name.startsWith(oldCode, Qt::CaseInsensitive)
                                            ? ReplaceFirst(name, oldCode, newCode)
                                            : name;
                const QString target = QDir(newFolder).filePath(newName);
                if (!add(TFileCodeStep::CopyFile, QDir(listing.Own->Path).filePath(name), target))
                    return refuse(inUse(target));
            }
        }
    } else if (listing.Own) {
        const TFolderListing& own = *listing.Own;
        bool touched = false;
        for (const QString& name : own.Files) {
            if (!name.startsWith(oldCode, Qt::CaseInsensitive))
                continue;
            const QString newName = ReplaceFirst(name, oldCode, newCode);
            const QString target = QDir(own.Path).filePath(newName);
            if (IsTaken(own, newName) || !add(TFileCodeStep::MoveFile, QDir(own.Path).filePath(name), target))
                return refuse(inUse(target));
            touched = true;
        }
        if (touched)
            plan.WrittenFolders.append(own.Path);
        add(TFileCodeStep::MoveFolder, own.Path, newFolder);
    }

    add(fileKind, QDir(data.Path).filePath(*record), QDir(data.Path).filePath(newRecord));
    return plan;
}

TFileCodePlan TFileCodeChange::Plan(const QString& oldCode, const QString& newCode, int mode) {
    const QString stored = ProgramParams().LicFilePath;
    const QString dataFolder = NativePath(stored);
    if (dataFolder.isEmpty() || !QFileInfo(dataFolder).isDir()) {
        TFileCodePlan plan;
        plan.Problem = QStringLiteral("The data folder %1 is not available.").arg(stored);
        return plan;
    }
    return MakePlan(ReadListing(dataFolder, oldCode), oldCode, newCode, mode);
}

// --- carrying out ----------------------------------------------------------------------------

TFileCodeChange::TFileCodeChange(TFileCodeOperations operations) : Operations(std::move(operations)) {}

bool TFileCodeChange::Execute(TEntityInfo& file, const QString& newCode, int mode) {
    return Execute(file.EntityDetail(), newCode, mode);
}

bool TFileCodeChange::Execute(TEntityDetail& record, const QString& typedCode, int mode) {
    FailureReason.clear();
    const QString newCode = typedCode.trimmed().toUpper();
    IUserPrompt& prompt = TServices::Prompt();
    const QString oldCode = record.FileCode;
    if (MessageBeepAndShow(prompt, TMessageKind::Question, QuestionText(mode, oldCode, newCode),
                           TMessageButton::OK | TMessageButton::Cancel) != TMessageButton::OK)
        return false;

    const QString codeError = TFileCodeRules::Check(newCode, true);
    if (!codeError.isEmpty()) {
        FailureReason = codeError;
        MessageBeepAndShow(prompt, TMessageKind::Error, codeError, TMessageButton::OK);
        return false;
    }

    const double started = NowNum();
    bool done = false;
    {
        std::unique_ptr<IProgress> progress = TServices::CreateProgress();
        try {
            progress->Setup(oldCode, mode == Copy ? CopyProgressKind : RenameProgressKind,
                            QStringLiteral("to ") + newCode, true, false);
            // A file that another workstation holds keeps its code: its files would come back
            // under the old one when that workstation writes them.
            const std::optional<QString> holder =
                mode == Rename ? record.FileLock.OtherHolder() : std::nullopt;
            const TFileCodePlan plan = holder ? TFileCodePlan() : Plan(oldCode, newCode, mode);
            if (holder)
                FailureReason = TEntityLock::InUseText(oldCode, *holder);
            else if (!plan.IsPossible())
                FailureReason = plan.Problem;
            for (const QString& folder : plan.WrittenFolders) {
                if (!Operations.IsWritable(folder)) {
                    FailureReason = QStringLiteral("Unable to write to the folder %1.").arg(Shown(folder));
                    break;
                }
            }
            if (FailureReason.isEmpty())
                done = Carry(record, plan, newCode, mode, *progress);
        } catch (const EAbort&) {
            // Already reported; nothing was touched.
        } catch (const std::exception& error) {
            FailureReason = ErrorText(error);
        }
    }

    if (done) {
        // A change that was undone did not happen, so only a made one is logged.
        TLogList::LogSession(
            {record.FileCode, record.Name, LogComment(mode, oldCode, newCode), QString(), started, NowNum(),
             record.EndMonth});
        MessageBeepAndShow(prompt, TMessageKind::Information, SuccessText(mode, oldCode, newCode),
                           TMessageButton::OK);
        return true;
    }
    QString text = FailureText(mode, oldCode, newCode);
    if (!FailureReason.isEmpty())
        text += QLatin1Char('\r') + FailureReason;
    else
        FailureReason = text;
    MessageBeepAndShow(prompt, TMessageKind::Warning, text, TMessageButton::OK);
    return false;
}

bool TFileCodeChange::Carry(TEntityDetail& record, const TFileCodePlan& plan, const QString& newCode,
                            int mode, IProgress& progress) {
    const QString oldCode = record.FileCode;
    QList<TFileCodeStep> done;
    const auto fail = [&](const QString& reason) {
        const QStringList notUndone = Undo(done);
        FailureReason = reason;
        for (const QString& text : notUndone)
            FailureReason += QLatin1Char('\r') + text;
        return false;
    };

    try {
        const double total = static_cast<double>(plan.Steps.size()) + 1;
        for (const TFileCodeStep& step : plan.Steps) {
            if (!Apply(step))
                return fail(StepFailureText(step));
            done.append(step);
            progress.SetPosition(100.0 * static_cast<double>(done.size()) / total);
        }
    } catch (const std::exception& error) {
        return fail(ErrorText(error));
    }

    if (mode == Copy) {
        try {
            WriteCopyRecord(oldCode, newCode);
        } catch (const EAbort&) {
            return fail(QString());
        } catch (const std::exception& error) {
            return fail(ErrorText(error));
        }
        return true;
    }

    const TRecordNames before = TRecordNames::Of(record);
    try {
        record.FileCode = newCode;
        record.ExportDir = ReplaceFirst(record.ExportDir, oldCode, newCode);
        record.ImportDir = ReplaceFirst(record.ImportDir, oldCode, newCode);
        record.FileName = record.GetFileName(record.Options);
        record.Save(TOptionSet{Option::Standard});
        record.FileLock.FollowRecord();
    } catch (const EAbort&) {
        before.PutBack(record);
        return fail(QString());
    } catch (const std::exception& error) {
        before.PutBack(record);
        return fail(ErrorText(error));
    }
    return true;
}

bool TFileCodeChange::Apply(const TFileCodeStep& step) {
    switch (step.Kind) {
    case TFileCodeStep::MoveFile:
    case TFileCodeStep::MoveFolder:
        return Operations.Move(step.Source, step.Target);
    case TFileCodeStep::CopyFile:
        return Operations.Copy(step.Source, step.Target);
    case TFileCodeStep::MakeFolder:
        return Operations.MakeFolder(step.Target);
    }
    return false;
}

QStringList TFileCodeChange::Undo(const QList<TFileCodeStep>& done) {
    QStringList failures;
    for (auto step = done.crbegin(); step != done.crend(); ++step) {
        bool undone = false;
        switch (step->Kind) {
        case TFileCodeStep::MoveFile:
        case TFileCodeStep::MoveFolder:
            undone = Operations.Move(step->Target, step->Source);
            break;
        case TFileCodeStep::CopyFile:
            undone = Operations.RemoveFile(step->Target);
            break;
        case TFileCodeStep::MakeFolder:
            undone = Operations.RemoveFolder(step->Target);
            break;
        }
        if (!undone)
            failures.append(step->Kind == TFileCodeStep::MoveFile || step->Kind == TFileCodeStep::MoveFolder
                                ? QStringLiteral("%1 could not be moved back to %2.")
                                      .arg(Shown(step->Target), Shown(step->Source))
                                : QStringLiteral("%1 could not be removed.").arg(Shown(step->Target)));
    }
    return failures;
}

// The copy's record as it was copied, with the new code, the folders adjusted and no lock: only
// these keys are rewritten, every other line stays as the original's.
void TFileCodeChange::WriteCopyRecord(const QString& oldCode, const QString& newCode) {
    const std::unique_ptr<TEntityDetail> copy =
        TEntityDetail::Create(newCode, TOptionSet{Option::Standard, Option::NoLock, Option::Load});
    const QString config = SectionName(snConfiguration).toString();
    copy->WriteString(config, QStringLiteral("Code"), newCode);
    copy->WriteString(config, QStringLiteral("ExportDir"), ReplaceFirst(copy->ExportDir, oldCode, newCode));
    copy->WriteString(config, QStringLiteral("ImportDir"), ReplaceFirst(copy->ImportDir, oldCode, newCode));
    copy->WriteString(config, QStringLiteral("Locked"), QStringLiteral("0"));
    copy->WriteString(config, QStringLiteral("LockedBy"), QString());
    copy->WriteRecord();
}
