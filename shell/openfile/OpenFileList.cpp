#include "shell/openfile/OpenFileList.h"

#include "core/common/Exceptions.h"
#include "core/entity/DesktopFiles.h"
#include "core/entity/EntityDetail.h"
#include "core/files/Paths.h"
#include "core/services/CursorScope.h"
#include "core/services/Progress.h"
#include "core/services/Services.h"
#include "core/services/UserPrompt.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/SectionNames.h"

#include <QFileInfo>
#include <algorithm>

namespace {

// The progress message "Searching for Files ...".
constexpr int SearchingForFilesMessage = 30;
const QString RecordExtension = QStringLiteral(".CFG");

bool ContainsNoCase(const QStringList& codes, const QString& code) {
    return std::any_of(codes.cbegin(), codes.cend(),
                       [&](const QString& c) { return c.compare(code, Qt::CaseInsensitive) == 0; });
}

} // namespace

const QString TOpenFileList::NoFilesMessage =
    QStringLiteral("No files have been created on your system.\r\nSelect NEW to create a new file.");
const QString TOpenFileList::OpenOnDesktopText = QStringLiteral("Open on your desktop");
const QString TOpenFileList::AvailableText = QStringLiteral("Available");
const QString TOpenFileList::InUseText = QStringLiteral("In use by ");
const QString TOpenFileList::NotPermittedText = QStringLiteral("Not Permitted");
const QString TOpenFileList::UnknownUserText = QStringLiteral("<Unknown User>");

QString TOpenFileSelection::CodesText() const {
    QString text;
    for (const QString& code : Codes)
        text += code + QLatin1Char(',');
    return text;
}

QString TOpenFileSelection::FlagsText() const {
    QString text;
    for (const TFileAvailability availability : Availability) {
        switch (availability) {
        case TFileAvailability::Available:
            text += AvailableFlag;
            break;
        case TFileAvailability::NotPermitted:
            text += NotPermittedFlag;
            break;
        case TFileAvailability::OpenOnDesktop:
        case TFileAvailability::InUse:
            text += HeldFlag;
            break;
        }
        text += QLatin1Char(',');
    }
    return text;
}

QString TOpenFileList::Caption() const {
    return ListMode == SelectionMode ? QStringLiteral("File Selection") : QStringLiteral("Open File");
}

QStringList TOpenFileList::ColumnTitles() const {
    QStringList titles{QStringLiteral("Code"), QStringLiteral("Name"), QStringLiteral("Type")};
    if (ListMode == OpenMode)
        titles << QStringLiteral("Status");
    return titles;
}

int TOpenFileList::Setup(const TDesktopFiles& desktopFiles, int mode) {
    QStringList codes;
    for (int i = 0; i < desktopFiles.Count(); ++i)
        codes << desktopFiles.Code(i);
    return Setup(codes, mode);
}

int TOpenFileList::Setup(const QStringList& desktopCodes, int mode) {
    ListMode = mode == SelectionMode ? SelectionMode : OpenMode;
    FileRows.clear();
    LastSearch.clear();
    StartRow = 0;

    std::optional<TCursorScope> busy(std::in_place, TCursorKind::Busy);
    std::unique_ptr<IProgress> progress = TServices::CreateProgress();
    progress->Setup(Caption(), SearchingForFilesMessage, QString(), false, false);
    const QString dataDir = ProgramParams().LicFilePath;
    QStringList names;
    ListEntityFiles(names, dataDir);
    if (names.isEmpty()) {
        progress.reset();
        busy.reset();
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information, NoFilesMessage,
                           TMessageButton::OK);
        return -1;
    }
    for (const QString& name : names) {
        // Two names that differ only in case are one file to the program.
        if (std::optional<TOpenFileRow> row = ReadRow(dataDir, name, desktopCodes, ListMode);
            row && std::none_of(FileRows.cbegin(), FileRows.cend(),
                                [&](const TOpenFileRow& listed) { return listed.Code == row->Code; }))
            FileRows.append(*row);
    }
    return static_cast<int>(names.size());
}

std::optional<TOpenFileRow> TOpenFileList::ReadRow(const QString& dataDir, const QString& fileName,
                                                   const QStringList& desktopCodes, int mode) {
    // The whole name before the extension is the code: cutting a longer name to six characters
    // would read another client's record in its place.
    if (!fileName.endsWith(RecordExtension))
        return std::nullopt;
    const QString code = fileName.chopped(RecordExtension.size());
    if (!TEntityDetail::IsPlainFileCode(code))
        return std::nullopt;
    // The data folder is shared: a link could lead anywhere, so it is never read through.
    const QString native = NativePath(BuildPath({dataDir, fileName}));
    const QFileInfo info(native);
    if (native.isEmpty() || info.isSymLink() || !info.isFile())
        return std::nullopt;

    std::unique_ptr<TEntityDetail> record;
    try {
        record = TEntityDetail::Create(
            code, TOptionSet{Option::NoLock, Option::SummaryLoad, Option::QuietEntityType, Option::Load});
    } catch (const std::exception&) {
        // Missing, emptied or refused meanwhile: the boxes, if any, were shown by the load.
        return std::nullopt;
    }
    // The values as stored, whether or not the load accepted the record's entity type.
    const QString section = SectionName(snConfiguration).toString();
    TStoredFileSummary stored;
    stored.Code = record->ReadString(section, QStringLiteral("Code"), QString());
    stored.Type = record->ReadString(section, QStringLiteral("Type"), QString());
    stored.Name = record->ReadString(section, QStringLiteral("Name"), QString());
    stored.Locked = record->ReadBool(section, QStringLiteral("Locked"), false);
    stored.LockedBy = record->ReadString(section, QStringLiteral("LockedBy"), QString());
    const TProgramParams& params = ProgramParams();
    return BuildRow(code, stored, desktopCodes, params.UserName, params, mode);
}

std::optional<TOpenFileRow> TOpenFileList::BuildRow(const QString& fileCode, const TStoredFileSummary& stored,
                                                    const QStringList& desktopCodes, const QString& userName,
                                                    const TReferenceData& reference, int mode) {
    if (stored.Code.isEmpty())
        return std::nullopt;
    TOpenFileRow row;
    row.Code = fileCode;
    row.Name = stored.Name;
    row.TypeName = reference.GetEntityTypeName(stored.Type);
    if (stored.Locked) {
        // The same test the lock itself makes: only a non-empty name equal to this one's is ours.
        const bool mine = !userName.isEmpty() && stored.LockedBy == userName;
        if (ContainsNoCase(desktopCodes, fileCode))
            row.Availability = TFileAvailability::OpenOnDesktop;
        else if (!mine)
            row.Availability = TFileAvailability::InUse;
    } else if (!reference.EntityTypes.Contains(stored.Type)) {
        row.Availability = TFileAvailability::NotPermitted;
    }
    if (mode == OpenMode) {
        switch (row.Availability) {
        case TFileAvailability::Available:
            row.Status = AvailableText;
            break;
        case TFileAvailability::OpenOnDesktop:
            row.Status = OpenOnDesktopText;
            break;
        case TFileAvailability::InUse:
            row.Status = InUseText + (stored.LockedBy.isEmpty() ? UnknownUserText : stored.LockedBy);
            break;
        case TFileAvailability::NotPermitted:
            row.Status = NotPermittedText;
            break;
        }
    }
    return row;
}

TOpenFileSelection TOpenFileList::Selection(const QList<int>& selectedRows, bool ctrlHeld) const {
    QList<int> rows = selectedRows;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    TOpenFileSelection selection;
    for (const int row : rows) {
        if (row < 0 || row >= FileRows.size())
            continue;
        selection.Codes << FileRows[row].Code;
        selection.Availability << (ctrlHeld ? TFileAvailability::Available : FileRows[row].Availability);
    }
    return selection;
}

int TOpenFileList::Find(const QString& text) {
    const QString wanted = text.toUpper();
    if (wanted.isEmpty())
        return -1;
    if (wanted != LastSearch) {
        LastSearch = wanted;
        StartRow = 0;
    } else {
        ++StartRow;
    }
    const int count = static_cast<int>(FileRows.size());
    if (StartRow < 0 || StartRow >= count)
        StartRow = 0;
    int found = -1;
    for (int row = StartRow; row < count && found < 0; ++row)
        if (FileRows[row].Name.toUpper().contains(wanted))
            found = row;
    for (int row = StartRow; row < count && found < 0; ++row)
        if (FileRows[row].Code.toUpper().startsWith(wanted))
            found = row;
    if (found >= 0)
        StartRow = found;
    return found;
}
