#include "core/entity/EntityDetail.h"

#include "core/accounts/AccountFormat.h"
#include "core/charts/StandardChart.h"
#include "core/common/Exceptions.h"
#include "core/common/OptionSet.h"
#include "core/common/ResultCodes.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "core/entity/BASKeyTable.h"
#include "core/files/Paths.h"
#include "core/files/RecordGuard.h"
#include "core/files/StoredFileWriter.h"
#include "core/services/CursorScope.h"
#include "core/services/RetryLoop.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "core/transactions/TransactionFileNames.h"
#include "core/vocab/FileVocabulary.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/SectionNames.h"
#include "core/vocab/SmallVocabulary.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <exception>
#include <optional>

namespace {

// The box of a record that holds no file code (an empty one among them), followed by its name.
QString DamagedRecordText() {
    return QStringLiteral("Unable to load file details. Filename : ");
}

const QString BackupSection = QStringLiteral("BACKUP_HISTORY");
const QString HistorySection = HistorySectionName.toString();
const QString DataEntryPageKey = QStringLiteral("DataEntryPage");
const QString LockedKey = QStringLiteral("Locked");
const QString LockedByKey = QStringLiteral("LockedBy");

QString ConfigSection() {
    return SectionName(snConfiguration).toString();
}

QString ImportFormatSection() {
    return SectionName(snImportFormatHistory).toString();
}

// The bank-import formats, in the order of their ordinals.
const QStringList ImportFormatNames = {
    QStringLiteral("ifQIF_ANZ"),     QStringLiteral("ifBAI_ANZ"), QStringLiteral("ifQIF_Citibank"),
    QStringLiteral("ifQIF_COL"),     QStringLiteral("ifQIF_CBA"), QStringLiteral("ifQIF_MAC"),
    QStringLiteral("ifQIF_NAB"),     QStringLiteral("ifNAI_NAB"), QStringLiteral("ifQIF_STG"),
    QStringLiteral("ifQIF_SUNCORP"), QStringLiteral("ifQIF_WBC"), QStringLiteral("ifCSV_WBC"),
};

// The last year stored in the section named plain "BAS".
constexpr int LastPlainBASYear = 2001;
// Workpapers folders stopped changing name with this year.
constexpr int LastTessalyFolderYear = 2007;

// The entity type of a record is not one the practice's reference data allows.
class EEntityTypeNotPermitted : public EQuilvaneError {
public:
    using EQuilvaneError::EQuilvaneError;
};

bool SameTextNoCase(const QString& a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The native path of a stored one; raises when its drive is not ready.
QString NativeOrRaise(const QString& storedPath) {
    const QString native = NativePath(storedPath);
    if (native.isEmpty())
        throw EQuilvaneError(QStringLiteral("The drive of %1 is not ready.").arg(storedPath));
    return native;
}

EQuilvaneError InvalidCode(const QString& code) {
    return EQuilvaneError(QStringLiteral("The file code %1 is not valid.").arg(code));
}

} // namespace

// --- lifetime --------------------------------------------------------------------------------

TEntityDetail::TEntityDetail(const QString& fileCode, const TOptionSet& options)
    : FileCode(fileCode), Options(options), FileLock(*this, ProgramParams().UserName) {
    SetDefaults();
    FileName = GetFileName(Options);
}

bool TEntityDetail::IsPlainFileCode(const QString& code) {
    static const QString notInCode = QStringLiteral("\\/:*?\"<>|");
    return !code.isEmpty() && code != QLatin1String(".") && code != QLatin1String("..") &&
           std::none_of(code.cbegin(), code.cend(), [](QChar c) {
               return c.unicode() < 0x20 || c.unicode() == 0x7f || notInCode.contains(c);
           });
}

std::unique_ptr<TEntityDetail> TEntityDetail::Create(const QString& fileCode, const TOptionSet& options) {
    if (!IsPlainFileCode(fileCode))
        throw InvalidCode(fileCode);
    std::unique_ptr<TEntityDetail> detail(new TEntityDetail(fileCode, options));
    try {
        if (options.Has(Option::Load)) {
            // A missing record ends the open silently; an empty one is a damaged record, and
            // says so as one does (Retry looks again).
            bool missing = false;
            const auto look = [&] {
                const QString native = NativePath(detail->FileName);
                missing = native.isEmpty() || !QFileInfo::exists(native);
                if (!missing && QFileInfo(native).size() < 1)
                    throw EQuilvaneError(DamagedRecordText() + detail->FileName);
            };
            if (!RunWithRetryBox(
                    look, [](const QString& text) { return text; },
                    TMessageButton::Cancel | TMessageButton::Retry) ||
                missing)
                throw EAbort();
        }
        if (!options.Has(Option::NoLock)) {
            detail->Locked = detail->LockFile(true, options.Has(Option::InteractiveLock));
            if (!detail->Locked)
                throw EAbort();
        }
        if (options.Has(Option::Load) && detail->Load(options) == ResultCode::Reported &&
            !options.Has(Option::SummaryLoad))
            throw EAbort();
        detail->RequireAccountFormat();
    } catch (...) {
        // A lock taken above is given back; the caller hears of the first failure only.
        try {
            detail->ReleaseLock();
        } catch (const std::exception&) {
        }
        throw;
    }
    return detail;
}

void TEntityDetail::ReleaseLock() {
    if (Locked && !Options.Has(Option::NoLock))
        LockFile(false, false);
}

TEntityDetail::~TEntityDetail() {
    try {
        ReleaseLock();
    } catch (...) {
        // The lock stays on disk; this workstation takes it over at the next open.
    }
}

// --- defaults and paths ------------------------------------------------------------------------

void TEntityDetail::RequireAccountFormat() {
    AccountFormat = ProgramParams().FindAccountFormat(AccFormatID);
    if (AccountFormat != nullptr)
        return;
    TCursorScope normal(TCursorKind::Normal);
    MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information,
                       QStringLiteral("Unregistered account format for this file - Access denied."),
                       TMessageButton::OK);
    throw EAbort();
}

QString TEntityDetail::ProgramDataDir() const {
    return ProgramParams().LicFilePath;
}

TTransactionListSources TEntityDetail::ListSources(TAccountsChart* accounts, TTaxRateChart* taxRates,
                                                   TStdDescChart* stdDescs,
                                                   TCurrConvRatesChart* currencyRates) const {
    TTransactionListSources sources;
    sources.Entity = ChartEntity();
    sources.Format = AccountFormat;
    sources.Quantity = Quantity;
    sources.Tax = Tax;
    sources.CurrencyConv = CurrencyConv;
    sources.Contras = Contras;
    sources.Accounts = accounts;
    sources.TaxRates = taxRates;
    sources.StdDescs = stdDescs;
    sources.CurrencyRates = currencyRates;
    return sources;
}

TChartEntity TEntityDetail::ChartEntity() const {
    TChartEntity entity;
    entity.FileCode = FileCode;
    entity.EntityType = EntityType;
    entity.DataDir = DataDir;
    entity.XferDir = XferDir.isEmpty() ? DefaultDriveFolder(TransferFolderName.mid(1).toString()) : XferDir;
    entity.ProgramDataDir = ProgramDataDir();
    entity.AccFormatID = AccFormatID;
    entity.AccDefault = AccDefault;
    entity.Currency = Currency;
    entity.Periods = Periods;
    entity.EndMonth = EndMonth;
    return entity;
}

// A folder under "\QUILVANE" on the drive of the program data folder.
QString TEntityDetail::DefaultDriveFolder(const QString& folder) const {
    const QString dataDir = ProgramDataDir();
    QChar drive = QLatin1Char('C');
    if (dataDir.size() >= 2 && dataDir[1] == QLatin1Char(':') && dataDir[0].isLetter()) {
        drive = dataDir[0].toUpper();
    } else if (!dataDir.isEmpty()) {
        // A native folder lies on the drive whose folder holds it (the innermost one).
        const QString native = QDir::cleanPath(NativePath(dataDir));
        qsizetype longest = -1;
        for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
            const QString root = QDir::cleanPath(TServices::FileSystem().DriveRoot(QChar(letter)));
            if (root.isEmpty() || root == QLatin1String("."))
                continue;
            const bool inside =
                native == root ||
                native.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
            if (inside && root.size() > longest) {
                longest = root.size();
                drive = QChar(letter);
            }
        }
    }
    return QString(drive) + QStringLiteral(":\\QUILVANE\\") + folder;
}

QString TEntityDetail::LoadTessalyFolder() const {
    return QStringLiteral("C:\\TessalySUP") + QString::number(std::min<int>(Year, LastTessalyFolderYear));
}

void TEntityDetail::SetDefaults() {
    const TProgramParams& params = ProgramParams();
    EntityType = OrdinaryEntityType.toString();
    Name = QStringLiteral("File Name");
    ACN = QStringLiteral("000-000-000");
    RepHdg1 = QStringLiteral("Heading 1");
    RepHdg2 = QStringLiteral("Heading 2");
    Created = NowNum();
    Accessed = Created;
    AccessPw.clear();
    Currency = QStringLiteral("AUD");

    // The destination system's format when the practice has it, else the standard one, else
    // the first listed.
    const TAccountFormat* format = nullptr;
    if (!params.DestSystem.isEmpty() && (format = params.FindAccountFormat(params.DestSystem)) != nullptr)
        AccFormatID = params.AccountFormats.Code(params.AccountFormats.IndexOf(params.DestSystem));
    else if ((format = params.FindAccountFormat(QStringLiteral("QUILVANE"))) != nullptr)
        AccFormatID = QStringLiteral("QUILVANE");
    else if ((format = params.AccountFormats.Row(0)) != nullptr)
        AccFormatID = params.AccountFormats.Code(0);
    else
        AccFormatID.clear();
    // The practice's standard chart for the format and the entity type ("QUILVANE.NSP").
    AccDefault =
        TStandardChart::DefaultChartName(format != nullptr ? format->BaseName : QString(), EntityType);
    AccountFormat = nullptr;

    // The financial year of today for twelve periods ending in June.
    int year = 0;
    PeriodOfDate(12, 6, year, NowNum());
    Year = static_cast<quint16>(year);
    Periods = 12;
    EndMonth = 6;
    Period = 1;
    const bool super = IsSuperannuationType(EntityType);
    Quantity = super;
    Tax = !super;
    CurrencyConv = false;
    DupRef = false;
    Contras = 2;
    DataDir = ProgramDataDir();
    XferDir = DefaultDriveFolder(TransferFolderName.mid(1).toString());
    ExportDir = QStringLiteral("C:\\QUILVANE\\EXPORT");
    ImportDir = QStringLiteral("C:\\QUILVANE\\IMPORT");
    BackupDir = DefaultDriveFolder(BackupFolderName.mid(1).toString());
    ECIFolder.clear();
    ECILastUsedFile.clear();
    TessalyFolder = LoadTessalyFolder();
    TessalyLastUsedFile.clear();
    TransferExportEmailAddress.clear();
    ClientsEmailAddress.clear();
    PromptBkup = true;
    DataEntryPages.clear();
    Locked = false;
    LockedBy.clear();
    BackupHistory.clear();
    ImportFormatHistory.clear();
    ProfitDistribution.clear();
    ResetBAS();
}

void TEntityDetail::ResetBAS() {
    ClearBASFields(*this);
    GSTInstalmentStartQtr = 3;
    PAYG_Option = 1;
    BASExportFileCode = FileCode;
    BASExportFilePath = ExportDir;
    BASImportECIPath = ECIFolder;
}

QString TEntityDetail::GetFileName(const TOptionSet& options) const {
    // A record loaded without a transfer folder still has the transfer drive of a new file.
    const QString xfer = XferDir.isEmpty() ? DefaultDriveFolder(TransferFolderName.mid(1).toString()) : XferDir;
    const QString folder = GetEntityDataDir(FileCode, DataDir, xfer, ProgramDataDir(), options);
    return BuildPath({folder, FileCode}) + DetailRecordExtension.toString();
}

QString TEntityDetail::NativeFileName(const TOptionSet& options) const {
    return NativeOrRaise(GetFileName(options));
}

QString TEntityDetail::GetBASSectionName() const {
    if (Year <= LastPlainBASYear)
        return QStringLiteral("BAS");
    return QStringLiteral("%1 %2").arg(QStringLiteral("BAS")).arg(Year);
}

// --- load ------------------------------------------------------------------------------------

int TEntityDetail::Load(const TOptionSet& options) {
    const auto unableToOpen = [this](const QString& message) {
        MessageBeepAndShow(
            TServices::Prompt(), TMessageKind::Error,
            QStringLiteral("QUILVANE is unable to open file \"%1\". Error: %2").arg(FileCode, message),
            TMessageButton::OK);
        return ResultCode::Reported;
    };

    // A record without a code is not loaded; Retry reads the file again.
    std::optional<QString> readFailure;
    const bool hasCode = RunWithRetryBox(
        [&] {
            try {
                Rename(NativeOrRaise(FileName), true);
            } catch (const std::exception& error) {
                readFailure = ErrorText(error);
                return;
            }
            if (ReadString(ConfigSection(), QStringLiteral("Code"), QString()).isEmpty())
                throw EQuilvaneError(DamagedRecordText() + FileName);
        },
        [](const QString& text) { return text; }, TMessageButton::Cancel | TMessageButton::Retry);
    if (readFailure)
        return unableToOpen(*readFailure);
    if (!hasCode)
        return ResultCode::Reported;

    try {
        ReadFields(options);
    } catch (const EEntityTypeNotPermitted& error) {
        if (options.Has(Option::QuietEntityType))
            return ResultCode::Reported;
        return unableToOpen(error.message());
    } catch (const std::exception& error) {
        return unableToOpen(ErrorText(error));
    }
    return ResultCode::Success;
}

void TEntityDetail::ReadFields(const TOptionSet& options) {
    const auto text = [this](const char* key, const QString& defaultValue = QString()) {
        return ReadString(ConfigSection(), QString::fromLatin1(key), defaultValue);
    };
    const auto flag = [this](const char* key, bool defaultValue) {
        return ReadBool(ConfigSection(), QString::fromLatin1(key), defaultValue);
    };
    const auto integer = [this](const char* key, int defaultValue) {
        return ReadInteger(ConfigSection(), QString::fromLatin1(key), defaultValue);
    };
    const auto stamp = [&](const char* key) {
        const QString value = text(key);
        double number = 0;
        if (!TextToFloat(value, number))
            throw EQuilvaneError(QStringLiteral("'%1' is not a valid floating point value").arg(value));
        return number;
    };

    // The code names the record's own files: a stored one may not lead anywhere else, and a
    // record that fails here keeps the code it was opened with.
    const QString code = text("Code");
    if (!IsPlainFileCode(code))
        throw InvalidCode(code);
    FileCode = code;
    EntityType = text("Type");
    if (!ProgramParams().EntityTypes.Contains(EntityType))
        throw EEntityTypeNotPermitted(QStringLiteral("Entity type %1 is not permitted.").arg(EntityType));
    Name = text("Name");

    const bool summary = options.Has(Option::SummaryLoad);
    std::optional<QString> refusedChart; // a stored default chart that leads out of the data folder
    if (!summary) {
        ACN = text("ACN");
        RepHdg1 = text("RepHdg1");
        RepHdg2 = text("RepHdg2");
        Created = stamp("Created");
        Accessed = stamp("Accessed");
        AccessPw = text("AccessPw");
        Currency = text("Currency");
        AccDefault = text("AccDefault");
        AccFormatID = text("AccFormatID", QStringLiteral("QUILVANE"));
        if (DefaultChartLeavesDataFolder(AccDefault)) {
            // Never read; the record still opens, so that its properties can be mended.
            refusedChart = AccDefault;
            const TAccountFormat* format = ProgramParams().FindAccountFormat(AccFormatID);
            AccDefault = TStandardChart::DefaultChartName(format != nullptr ? format->BaseName : QString(),
                                                          EntityType);
        }
        if (!options.Has(Option::KeepYear)) {
            const int year = integer("Year", 0);
            if (year < 1 || year > 9999)
                throw EQuilvaneError(QStringLiteral("The financial year %1 is not valid.").arg(text("Year")));
            Year = static_cast<quint16>(year);
        }
        if (!options.Has(Option::KeepPeriods))
            Periods = integer("Periods", 0);
        EndMonth = integer("EndMonth", 0);
        Period = integer("Period", 0);
        Quantity = flag("Quantity", false);
        Tax = flag("Tax", false);
        CurrencyConv = flag("CurrencyConv", false);
        DupRef = flag("DupRef", false);
        Contras = static_cast<quint8>(std::clamp(integer("Contras", 0), 0, 255));
        CheckYearSetUp();

        if (!options.Has(Option::KeepFolders)) {
            XferDir = text("XferDir");
            ExportDir = text("ExportDir", BuildPath({ProgramDataDir(), QStringLiteral("EXPORT")}));
            ImportDir = text("ImportDir", BuildPath({ProgramDataDir(), QStringLiteral("IMPORT")}));
            ECIFolder = text("ECIFolder", QStringLiteral("C:\\ECIPracticeClient\\Temp"));
            TessalyFolder = text("Tessalyfolder", LoadTessalyFolder());
            TessalyLastUsedFile = text("TessalyLastUsedFile");
            ECILastUsedFile = text("ECILastUsedFile");
            TransferExportEmailAddress = text("TransferExportEmailAddress");
            ClientsEmailAddress = text("ClientsEmailAddress");
            PromptBkup = flag("PromptBkup", true);
        }

        // Every year the section holds, not only the ones older readers know.
        if (!options.Has(Option::KeepBackupHistory)) {
            BackupHistory.clear();
            for (const QString& key : ReadSection(BackupSection)) {
                bool ok = false;
                const int year = key.toInt(&ok, 10);
                if (ok && year >= 1 && year <= 9999 && key == QString::number(year))
                    BackupHistory.insert(year, ReadInteger(BackupSection, key, 1));
            }
        }

        if (!options.Has(Option::KeepPages)) {
            DataEntryPages.clear();
            for (const QString& key : ReadSection(HistorySection)) {
                if (DataEntryPages.size() >= MaxDataEntryPages)
                    break;
                DataEntryPages.append(ReadString(HistorySection, key, QString()));
            }
        }
    }

    ImportFormatHistory.clear();
    for (const QString& line : ReadSectionValues(ImportFormatSection())) {
        const QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1);
        const QString name = value.section(QLatin1Char(','), 0, 0).trimmed();
        int format = 0;
        for (qsizetype i = 0; i < ImportFormatNames.size(); ++i)
            if (SameTextNoCase(ImportFormatNames[i], name))
                format = static_cast<int>(i);
        ImportFormatHistory.append({line, format});
    }

    if (!summary && !options.Has(Option::SkipBAS))
        ReadBAS(options);

    if (!options.Has(Option::KeepLockKeys)) {
        Locked = flag("Locked", false);
        LockedBy = text("LockedBy");
    }
    // Said once the record has loaded: a record refused for another reason says only that.
    if (refusedChart)
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Warning,
                           DefaultChartFallbackText.arg(*refusedChart, AccDefault), TMessageButton::OK);
}

// Year, periods, year-end month and current period must describe a real financial year: later
// period and date arithmetic divides by the periods and builds dates from the months.
void TEntityDetail::CheckYearSetUp() const {
    const bool periodsOk = Periods >= 1 && Periods <= 12 && 12 % Periods == 0;
    if (Year < 1 || Year > 9999 || !periodsOk || EndMonth < 1 || EndMonth > 12 || Period < 1 ||
        Period > Periods)
        throw EQuilvaneError(
            QStringLiteral("The financial year set-up is not valid (Year %1, Periods %2, EndMonth %3, "
                           "Period %4).")
                .arg(Year)
                .arg(Periods)
                .arg(EndMonth)
                .arg(Period));
}

void TEntityDetail::ReadBAS(const TOptionSet& options) {
    const QString section = GetBASSectionName();
    const bool keepFolders = options.Has(Option::KeepFolders);
    const QString keptExportPath = BASExportFilePath;
    const QString keptECIPath = BASImportECIPath;
    // Nothing of another year's set-up carries into this one.
    ResetBAS();
    if (keepFolders) {
        BASExportFilePath = keptExportPath;
        BASImportECIPath = keptECIPath;
    }

    if (!SectionHasKeys(section)) {
        // A year set up for the first time takes the account ranges of the format's master file.
        if (const TAccountFormat* format = ProgramParams().FindAccountFormat(AccFormatID)) {
            QString baseName = format->BaseName;
            if (IsSuperannuationType(EntityType))
                baseName += QLatin1Char('_') + SuperannuationEntityType.toString();
            const QString master = NativePath(
                BuildPath({ProgramDataDir(), QStringLiteral("M_DETAIL"), baseName + ActivityStatementExtension.toString()}));
            // The master file lies in the M_DETAIL folder of the data folder: one read through a
            // link (the folder leading out of the data folder, or the file itself) is treated as
            // a missing one.
            const auto present = [&] {
                try {
                    return StoredFileSizeInside(NativePath(ProgramDataDir()), master) >= 0;
                } catch (const EQuilvaneError&) {
                    return false;
                }
            };
            if (!master.isEmpty() && present())
                ReadBASFields(TIniFile(master), SectionName(snBas).toString(), *this,
                              TBASKeySelection::FromMaster);
        }
        VariationReason = NotApplicableText.toString();
        FBTVariationReason = NotApplicableText.toString();
        BASExportFileCode = FileCode;
        BASExportFilePath = ExportDir;
        return;
    }

    ReadBASFields(*this, section, *this,
                  keepFolders ? TBASKeySelection::ExceptFolders : TBASKeySelection::All);
    ABN = ABN.trimmed();
    if (BASExportFilePath.isEmpty())
        BASExportFilePath = ExportDir;
}

bool TEntityDetail::DefaultChartLeavesDataFolder(const QString& name) const {
    return TStandardChart::DefaultChartLeavesDataFolder(DataDir, name);
}

// --- leftovers of killed saves ------------------------------------------------------------------

void TEntityDetail::RemoveYearLeftovers(int year) const {
    try {
        const QString xfer = XferDir.isEmpty() ? DefaultDriveFolder(TransferFolderName.mid(1).toString()) : XferDir;
        const TOptionSet standard{Option::Standard};
        const QString dataDir = GetEntityDataDir(FileCode, DataDir, xfer, ProgramDataDir(), standard);
        // Stored folder -> the year's file names in it.
        QMap<QString, QStringList> names;
        const QString yearDigits = QString::asprintf("%.2d", ToggleYearDigits(year));
        for (const int kind : {ckBankRecOpening, ckAccounts, ckStdDescriptions, ckTaxes, ckCurrencies}) {
            const TChartKindEntry& entry = ChartKindEntry(kind);
            names[BuildPath({dataDir, entry.Folder.toString()})].append(FileCode + yearDigits +
                                                                        entry.Extension.toString());
        }
        const QString pagesFolder = BuildPath({dataDir, FileCode});
        for (int kind = pkOpeningBalances; kind <= pkDeletedTransactions; ++kind)
            for (int month = 0; month <= 12; ++month) {
                const QString name = TransactionFileName(dataDir, FileCode, year, kind, month, standard);
                if (!name.isEmpty())
                    names[pagesFolder].append(name.section(u'\\', -1));
            }
        for (auto it = names.cbegin(); it != names.cend(); ++it) {
            const QString folder = NativePath(it.key());
            if (!folder.isEmpty())
                RemoveStaleTempFiles(folder, it.value());
        }
    } catch (const std::exception&) {
        // A year whose names cannot be made has no leftovers of this program's making.
    }
}

// --- save ------------------------------------------------------------------------------------

int TEntityDetail::Save(const TOptionSet& options) {
    std::exception_ptr writeFailure;
    const bool saved = RunWithRetryBox(
        [&] {
            std::exception_ptr keyFailure;
            bool pointed = false;
            {
                std::unique_ptr<TRecordGuard> guard;
                try {
                    const QString path = NativeFileName(options);
                    // A link is left to the write, which refuses it; a new record has no keys to guard.
                    if (QFileInfo(path).isFile() && !QFileInfo(path).isSymLink())
                        guard = std::make_unique<TRecordGuard>(path, FileLock.GuardWaitMs);
                    Rename(path, false);
                    pointed = true;
                    WriteFields(options, path);
                } catch (const std::exception&) {
                    keyFailure = std::current_exception();
                }
                // The record is written whether or not setting the keys failed; a failure of the
                // write itself goes to the caller.
                if (pointed) {
                    try {
                        WriteRecord();
                    } catch (const std::exception&) {
                        writeFailure = std::current_exception();
                        return;
                    }
                }
            }
            if (keyFailure)
                std::rethrow_exception(keyFailure);
        },
        [](const QString& text) { return QStringLiteral("Unable to save file details to disk.\r") + text; },
        TMessageButton::Retry | TMessageButton::Ignore);
    if (writeFailure)
        std::rethrow_exception(writeFailure);
    return saved ? ResultCode::Success : ResultCode::Reported;
}

void TEntityDetail::WriteFields(const TOptionSet& options, const QString& nativePath) {
    const QString config = ConfigSection();
    const auto text = [&](const char* key, const QString& value) {
        WriteString(config, QString::fromLatin1(key), value);
    };
    const auto flag = [&](const char* key, bool value) {
        WriteBool(config, QString::fromLatin1(key), value);
    };
    const auto integer = [&](const char* key, int value) {
        WriteInteger(config, QString::fromLatin1(key), value);
    };

    text("Code", FileCode);
    text("Type", EntityType);
    text("Name", Name);
    text("ACN", ACN);
    text("RepHdg1", RepHdg1);
    text("RepHdg2", RepHdg2);
    WriteFloat(config, QStringLiteral("Created"), Created);
    WriteFloat(config, QStringLiteral("Accessed"), Accessed);
    text("AccessPw", AccessPw);
    text("Currency", Currency);
    text("AccDefault", AccDefault);
    text("AccFormatID", AccFormatID);
    integer("Year", Year);
    integer("Periods", Periods);
    integer("EndMonth", EndMonth);
    integer("Period", Period);
    flag("Quantity", Quantity);
    flag("Tax", Tax);
    flag("DupRef", DupRef);
    flag("CurrencyConv", CurrencyConv);
    integer("Contras", Contras);
    text("DataDir", DataDir);
    text("XferDir", XferDir);
    text("ExportDir", ExportDir);
    text("ImportDir", ImportDir);
    text("BackupDir", BackupDir);
    text("ECIFolder", ECIFolder);
    text("Tessalyfolder", TessalyFolder);
    text("TessalyLastUsedFile", TessalyLastUsedFile);
    text("ECILastUsedFile", ECILastUsedFile);
    text("TransferExportEmailAddress", TransferExportEmailAddress);
    text("ClientsEmailAddress", ClientsEmailAddress);
    flag("PromptBkup", PromptBkup);
    WriteLockKeys(options, nativePath);

    for (int year = FirstBackupYear; year <= LastBackupYear; ++year)
        WriteInteger(BackupSection, QString::number(year), BackupCount(year));
    for (auto it = BackupHistory.cbegin(); it != BackupHistory.cend(); ++it)
        if (it.key() < FirstBackupYear || it.key() > LastBackupYear)
            WriteInteger(BackupSection, QString::number(it.key()), it.value());

    const QString importSection = ImportFormatSection();
    EraseSection(importSection);
    for (const TImportFormatEntry& entry : ImportFormatHistory) {
        const qsizetype eq = entry.Line.indexOf(QLatin1Char('='));
        const QString key = eq < 0 ? QString() : entry.Line.left(eq).trimmed();
        if (!key.isEmpty())
            WriteString(importSection, key, entry.Line.mid(eq + 1));
    }

    if (!options.Has(Option::KeepBASSection)) {
        const QString section = GetBASSectionName();
        EraseSection(section);
        WriteBASFields(*this, section, *this);
    }

    EraseSection(HistorySection);
    for (qsizetype i = 0; i < DataEntryPages.size(); ++i)
        WriteString(HistorySection, DataEntryPageKey + QString::number(i), DataEntryPages[i]);
}

// The lock keys belong to whoever holds the file. A record that did not take the lock leaves
// the keys on disk as they are, so saving never frees or steals another workstation's lock; a
// key is touched only when its value differs, so an unchanged record saves to the same bytes.
void TEntityDetail::WriteLockKeys(const TOptionSet& options, const QString& nativePath) {
    const QString config = ConfigSection();
    const auto keep = [&](const QString& key, const QString& value) {
        if (!ValueExists(config, key) || ReadString(config, key, QString()) != value)
            WriteString(config, key, value);
    };
    const bool writeName = options.Has(Option::WriteLockedBy);
    if (writeName || FileLock.HoldsKeys() || !QFileInfo(nativePath).isFile()) {
        keep(LockedKey, Locked ? QStringLiteral("1") : QStringLiteral("0"));
        if (writeName)
            keep(LockedByKey, FileLock.WorkstationName);
        return;
    }
    const TIniFile disk(nativePath);
    if (disk.ValueExists(config, LockedKey))
        keep(LockedKey, disk.ReadString(config, LockedKey, QString()));
    else
        keep(LockedKey, Locked ? QStringLiteral("1") : QStringLiteral("0"));
    if (disk.ValueExists(config, LockedByKey))
        keep(LockedByKey, disk.ReadString(config, LockedByKey, QString()));
    else
        DeleteKey(config, LockedByKey);
}

void TEntityDetail::WriteRecord() {
    // The new file is protected before it replaces the record, and the old one is never made
    // writable: whenever the write stops, the record on disk is protected. A link is refused.
    UpdateProtectedFile();
}

// --- small accessors -------------------------------------------------------------------------

int TEntityDetail::BackupCount(int year) const {
    return BackupHistory.value(year, 1);
}

void TEntityDetail::SetBackupCount(int year, int count) {
    BackupHistory.insert(year, count);
}

void TEntityDetail::LoadProfitDistribution(int year) {
    ProfitDistribution.clear();
    const QString section = QStringLiteral("RETAINED PROFIT DISTRIBUTION %1").arg(year);
    for (const QString& key : ReadSection(section)) {
        const QString value = ReadString(section, key, QString());
        if (!value.isEmpty())
            ProfitDistribution.append(value);
    }
}

void TEntityDetail::SaveProfitDistribution(int year) {
    const QString section = QStringLiteral("RETAINED PROFIT DISTRIBUTION %1").arg(year);
    EraseSection(section);
    for (qsizetype i = 0; i < ProfitDistribution.size(); ++i)
        WriteString(section, QString::number(i), ProfitDistribution[i]);
}

QString TEntityDetail::GetEMailAddress(bool useTransferAddress) const {
    return useTransferAddress ? TransferExportEmailAddress : ClientsEmailAddress;
}

void TEntityDetail::SetEMailAddress(bool useTransferAddress, const QString& value) {
    (useTransferAddress ? TransferExportEmailAddress : ClientsEmailAddress) = value;
}

bool TEntityDetail::QuarterlyPAYGInstalments(int gstRegistration, int paygInstalmentType) const {
    if (PAYGI_UsePayQuarterlyGDP) {
        const bool smallEntity = SameTextNoCase(EntityType, u"SOL") || SameTextNoCase(EntityType, u"STP") ||
                                 SameTextNoCase(EntityType, OrdinaryEntityType);
        return smallEntity && gstRegistration == 2 && paygInstalmentType == 0;
    }
    return paygInstalmentType == 0;
}
