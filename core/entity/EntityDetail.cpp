#include "core/entity/EntityDetail.h"

#include "core/accounts/AccountFormat.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "core/common/OptionSet.h"
#include "core/files/FileInfo.h"
#include "core/files/Paths.h"
#include "core/services/CursorScope.h"
#include "core/common/Exceptions.h"
#include "core/common/ResultCodes.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/SmallVocabulary.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>
#include <algorithm>
#include <vector>

namespace {

const QString ConfigSection = QStringLiteral("CONFIGURATION");
const QString BackupSection = QStringLiteral("BACKUP_HISTORY");
const QString ImportFormatSection = QStringLiteral("IMPORT_FORMAT_HISTORY");
const QString HistorySection = QStringLiteral("HISTORY");
const QString DataEntryPageKey = QStringLiteral("DataEntryPage");
const QString LockedKey = QStringLiteral("Locked");
const QString LockedByKey = QStringLiteral("LockedBy");

// The bank-import formats, in the order of their ordinals.
const QStringList ImportFormatNames = {
    QStringLiteral("ifQIF_ANZ"),     QStringLiteral("ifBAI_ANZ"), QStringLiteral("ifQIF_Citibank"),
    QStringLiteral("ifQIF_COL"),     QStringLiteral("ifQIF_CBA"), QStringLiteral("ifQIF_MAC"),
    QStringLiteral("ifQIF_NAB"),     QStringLiteral("ifNAI_NAB"), QStringLiteral("ifQIF_STG"),
    QStringLiteral("ifQIF_SUNCORP"), QStringLiteral("ifQIF_WBC"), QStringLiteral("ifCSV_WBC"),
};

// The ten account-range lists a new year's BAS section takes from the format's master file.
const QStringList MasterBASKeys = {
    QStringLiteral("SalaryWagesAccounts"),
    QStringLiteral("SalaryWagesWithheldAccounts"),
    QStringLiteral("ABNWithholdingTaxAccounts"),
    QStringLiteral("TFNWithholdingTaxAccounts"),
    QStringLiteral("CashIncomeAccounts"),
    QStringLiteral("AccrualsIncomeAccounts"),
    QStringLiteral("WineEqualisationAccountsPayable"),
    QStringLiteral("WineEqualisationAccountsRefundable"),
    QStringLiteral("LuxuryCarAccountsPayable"),
    QStringLiteral("LuxuryCarAccountsRefundable"),
};

// The last year stored in the section named plain "BAS".
constexpr int LastPlainBASYear = 2001;
// Workpapers folders stopped changing name with this year.
constexpr int LastTessalyFolderYear = 2007;
// A guard file older than this was left by a workstation that died while holding it.
constexpr int GuardStaleMs = 10000;
constexpr int GuardPollMs = 5;

// The entity type of a record is not one the practice's reference data allows.
class EEntityTypeNotPermitted : public EQuilvaneError {
public:
    using EQuilvaneError::EQuilvaneError;
};

enum class TFieldKind { Byte, Integer, Flag, Float, Text };

struct TBASField {
    QString Key;
    TFieldKind Kind;
    std::function<void*(TEntityDetail&)> Field;
};

// The keys of the year's BAS section in the order they are stored.
const std::vector<TBASField>& BASFields() {
    static const std::vector<TBASField> fields = [] {
        std::vector<TBASField> f;
        const auto add = [&f](const char* key, TFieldKind kind, std::function<void*(TEntityDetail&)> field) {
            f.push_back({QString::fromLatin1(key), kind, std::move(field)});
        };
#define QV_FIELD(name) [](TEntityDetail& d) -> void* { return &d.name; }
        add("GSTGroupOption", TFieldKind::Byte, QV_FIELD(GSTGroupOption));
        for (int i = 1; i <= 20; ++i)
            f.push_back(
                {QStringLiteral("GSTGroupFile%1").arg(i), TFieldKind::Text,
                 [i](TEntityDetail& d) -> void* { return &d.GSTGroupFile[static_cast<std::size_t>(i)]; }});
        add("GSTRepresentativeFile", TFieldKind::Text, QV_FIELD(GSTRepresentativeFile));
        add("ABN", TFieldKind::Text, QV_FIELD(ABN));
        add("GSTRegistration", TFieldKind::Byte, QV_FIELD(GSTRegistration));
        add("GSTIgnoreRegistrationPeriodValidation", TFieldKind::Flag,
            QV_FIELD(GSTIgnoreRegistrationPeriodValidation));
        add("GSTReportBasis", TFieldKind::Byte, QV_FIELD(GSTReportBasis));
        add("GST_Option", TFieldKind::Byte, QV_FIELD(GST_Option));
        add("GST_G21", TFieldKind::Float, QV_FIELD(GST_G21));
        add("GST_G22", TFieldKind::Float, QV_FIELD(GST_G22));
        add("GST_G23", TFieldKind::Float, QV_FIELD(GST_G23));
        add("GST_G23VaryToZero", TFieldKind::Flag, QV_FIELD(GST_G23VaryToZero));
        add("GST_VariationReason", TFieldKind::Text, QV_FIELD(GST_VariationReason));
        for (int i = 1; i <= 4; ++i)
            f.push_back({QStringLiteral("GSTInstalmentQtr%1").arg(i), TFieldKind::Float,
                         [i](TEntityDetail& d) -> void* {
                             return &d.GSTInstalmentQtr[static_cast<std::size_t>(i)];
                         }});
        add("GSTInstalmentStartQtr", TFieldKind::Integer, QV_FIELD(GSTInstalmentStartQtr));
        add("PAYGWithholdingType", TFieldKind::Byte, QV_FIELD(PAYGWithholdingType));
        add("SalaryWagesAccounts", TFieldKind::Text, QV_FIELD(SalaryWagesAccounts));
        add("SalaryWagesWithheldAccounts", TFieldKind::Text, QV_FIELD(SalaryWagesWithheldAccounts));
        add("ABNWithholdingTaxAccounts", TFieldKind::Text, QV_FIELD(ABNWithholdingTaxAccounts));
        add("TFNWithholdingTaxAccounts", TFieldKind::Text, QV_FIELD(TFNWithholdingTaxAccounts));
        add("TaxFileNumber", TFieldKind::Text, QV_FIELD(TaxFileNumber));
        add("PAYGInstalmentType", TFieldKind::Byte, QV_FIELD(PAYGInstalmentType));
        add("CashIncomeAccounts", TFieldKind::Text, QV_FIELD(CashIncomeAccounts));
        add("AccrualsIncomeAccounts", TFieldKind::Text, QV_FIELD(AccrualsIncomeAccounts));
        add("ATOInstalmentRate", TFieldKind::Float, QV_FIELD(ATOInstalmentRate));
        add("VariedInstalmentRate", TFieldKind::Float, QV_FIELD(VariedInstalmentRate));
        add("TaxInstalmentsCreditAdj", TFieldKind::Float, QV_FIELD(TaxInstalmentsCreditAdj));
        add("VariationReason", TFieldKind::Text, QV_FIELD(VariationReason));
        add("PAYG_Option", TFieldKind::Byte, QV_FIELD(PAYG_Option));
        add("PAYGI_UsePayQuarterlyGDP", TFieldKind::Flag, QV_FIELD(PAYGI_UsePayQuarterlyGDP));
        add("PAYGI_UseCommissionerGDP", TFieldKind::Flag, QV_FIELD(PAYGI_UseCommissionerGDP));
        add("PAYGI_CommissionerGDP", TFieldKind::Float, QV_FIELD(PAYGI_CommissionerGDP));
        add("PAYGI_UseVariedGDPAmount", TFieldKind::Flag, QV_FIELD(PAYGI_UseVariedGDPAmount));
        add("PAYGI_EstimatedBenchmark", TFieldKind::Float, QV_FIELD(PAYGI_EstimatedBenchmark));
        add("PAYGI_VariedGDPAmount", TFieldKind::Float, QV_FIELD(PAYGI_VariedGDPAmount));
        add("WETLCTLiability", TFieldKind::Flag, QV_FIELD(WETLCTLiability));
        add("WineEqualisationAccountsPayable", TFieldKind::Text, QV_FIELD(WineEqualisationAccountsPayable));
        add("WineEqualisationAccountsRefundable", TFieldKind::Text,
            QV_FIELD(WineEqualisationAccountsRefundable));
        add("LuxuryCarAccountsPayable", TFieldKind::Text, QV_FIELD(LuxuryCarAccountsPayable));
        add("LuxuryCarAccountsRefundable", TFieldKind::Text, QV_FIELD(LuxuryCarAccountsRefundable));
        add("FBTInstalmentPeriod", TFieldKind::Byte, QV_FIELD(FBTInstalmentPeriod));
        add("FBTInstalment", TFieldKind::Float, QV_FIELD(FBTInstalment));
        add("FBTVariation", TFieldKind::Float, QV_FIELD(FBTVariation));
        add("FBTVariedToZero", TFieldKind::Flag, QV_FIELD(FBTVariedToZero));
        add("FBTEstimatedPayable", TFieldKind::Float, QV_FIELD(FBTEstimatedPayable));
        add("FBTVariationReason", TFieldKind::Text, QV_FIELD(FBTVariationReason));
        add("FBTVariationCredit", TFieldKind::Float, QV_FIELD(FBTVariationCredit));
        add("FBTPayFinalQtrInstalment", TFieldKind::Flag, QV_FIELD(FBTPayFinalQtrInstalment));
        for (int i = 1; i <= 4; ++i)
            f.push_back({QStringLiteral("DeferredInstalmentQ%1").arg(i), TFieldKind::Float,
                         [i](TEntityDetail& d) -> void* {
                             return &d.DeferredInstalmentQ[static_cast<std::size_t>(i)];
                         }});
        add("BASExportFileCode", TFieldKind::Text, QV_FIELD(BASExportFileCode));
        add("BASExportFilePath", TFieldKind::Text, QV_FIELD(BASExportFilePath));
        add("BASExportFormat", TFieldKind::Byte, QV_FIELD(BASExportFormat));
        add("BASImportECIPath", TFieldKind::Text, QV_FIELD(BASImportECIPath));
#undef QV_FIELD
        return f;
    }();
    return fields;
}

bool IsFolderKeptKey(const QString& key) {
    return key == QLatin1String("BASExportFilePath") || key == QLatin1String("BASImportECIPath");
}

// A byte field holds 0 to 255; a larger stored number is held to the edge, never wrapped.
quint8 ToByte(int value) {
    return static_cast<quint8>(std::clamp(value, 0, 255));
}

QString NativeOrRaise(const QString& storedPath) {
    const QString native = NativePath(storedPath);
    if (native.isEmpty())
        throw EQuilvaneError(QStringLiteral("The drive of %1 is not ready.").arg(storedPath));
    return native;
}

bool SameTextNoCase(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The short exclusive operating-system lock beside a record, held while its lock keys are read,
// tested and written (or while it is saved), so that two workstations never interleave there.
// The lock file goes when the guard ends; one left by a workstation that died is taken over.
class TRecordGuard {
public:
    TRecordGuard(const QString& nativeRecord, int waitMs) : Lock(nativeRecord + QStringLiteral(".lck")) {
        Lock.setStaleLockTime(GuardStaleMs);
        const QDeadlineTimer deadline(std::max(waitMs, 0));
        while (!Lock.tryLock(0)) {
            if (Lock.error() != QLockFile::LockFailedError)
                throw EQuilvaneError(
                    QStringLiteral("Unable to write %1 - the folder cannot be written.").arg(nativeRecord));
            if (deadline.hasExpired())
                throw EQuilvaneError(QStringLiteral("Unable to write %1 - another workstation is writing it.")
                                         .arg(nativeRecord));
            QThread::msleep(GuardPollMs);
        }
    }
    ~TRecordGuard() { Lock.unlock(); }
    TRecordGuard(const TRecordGuard&) = delete;
    TRecordGuard& operator=(const TRecordGuard&) = delete;

private:
    QLockFile Lock;
};

} // namespace

// --- lifetime --------------------------------------------------------------------------------

TEntityDetail::TEntityDetail(const QString& fileCode, const TOptionSet& options)
    : FileCode(fileCode), Options(options), WorkstationName(ProgramParams().UserName) {
    SetDefaults();
    FileName = GetFileName(Options);
}

std::unique_ptr<TEntityDetail> TEntityDetail::Create(const QString& fileCode, const TOptionSet& options) {
    std::unique_ptr<TEntityDetail> detail(new TEntityDetail(fileCode, options));
    try {
        if (options.Has(Option::Load) && GetFileSize(detail->FileName) < 1)
            throw EAbort();
        if (!options.Has(Option::NoLock)) {
            detail->Locked = detail->LockFile(true, options.Has(Option::InteractiveLock));
            if (!detail->Locked)
                throw EAbort();
        }
        if (options.Has(Option::Load) && detail->Load(options) == ResultCode::Reported &&
            !options.Has(Option::SummaryLoad))
            throw EAbort();
        detail->AccountFormat = ProgramParams().FindAccountFormat(detail->AccFormatID);
        if (detail->AccountFormat == nullptr) {
            TCursorScope normal(TCursorKind::Normal);
            MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information,
                               QStringLiteral("Unregistered account format for this file - Access denied."),
                               TMessageButton::OK);
            throw EAbort();
        }
    } catch (...) {
        // The destructor gives back a lock taken above.
        detail.reset();
        throw;
    }
    return detail;
}

TEntityDetail::~TEntityDetail() {
    DataEntryPages.clear();
    if (Locked && !Options.Has(Option::NoLock)) {
        try {
            LockFile(false, false);
        } catch (...) {
            // The lock stays on disk; this workstation takes it over at the next open.
        }
    }
}

// --- defaults and paths ------------------------------------------------------------------------

QString TEntityDetail::ProgramDataDir() const {
    return ProgramParams().LicFilePath;
}

TChartEntity TEntityDetail::ChartEntity() const {
    TChartEntity entity;
    entity.FileCode = FileCode;
    entity.EntityType = EntityType;
    entity.DataDir = DataDir;
    entity.XferDir = XferDir.isEmpty() ? DefaultDriveFolder(QStringLiteral("TRANSFER")) : XferDir;
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
    EntityType = QStringLiteral("NSP");
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
    AccDefault = EntityType + QLatin1Char('.') + (format != nullptr ? format->BaseName : QString());
    AccountFormat = nullptr;

    // The financial year of today for twelve periods ending in June.
    int year = 0;
    PeriodOfDate(12, 6, year, NowNum());
    Year = static_cast<quint16>(year);
    Periods = 12;
    EndMonth = 6;
    Period = 1;
    const bool super = SameTextNoCase(EntityType, QStringLiteral("SUP"));
    Quantity = super;
    Tax = !super;
    CurrencyConv = false;
    DupRef = false;
    Contras = 2;
    DataDir = ProgramDataDir();
    XferDir = DefaultDriveFolder(QStringLiteral("TRANSFER"));
    ExportDir = QStringLiteral("C:\\QUILVANE\\EXPORT");
    ImportDir = QStringLiteral("C:\\QUILVANE\\IMPORT");
    BackupDir = DefaultDriveFolder(QStringLiteral("BACKUPS"));
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
    for (const TBASField& field : BASFields()) {
        void* target = field.Field(*this);
        switch (field.Kind) {
        case TFieldKind::Byte:
            *static_cast<quint8*>(target) = 0;
            break;
        case TFieldKind::Integer:
            *static_cast<int*>(target) = 0;
            break;
        case TFieldKind::Flag:
            *static_cast<bool*>(target) = false;
            break;
        case TFieldKind::Float:
            *static_cast<double*>(target) = 0;
            break;
        case TFieldKind::Text:
            static_cast<QString*>(target)->clear();
            break;
        }
    }
    GSTInstalmentStartQtr = 3;
    PAYG_Option = 1;
    BASExportFileCode = FileCode;
    BASExportFilePath = ExportDir;
    BASImportECIPath = ECIFolder;
}

QString TEntityDetail::GetFileName(const TOptionSet& options) const {
    // A record loaded without a transfer folder still has the transfer drive of a new file.
    const QString xfer = XferDir.isEmpty() ? DefaultDriveFolder(QStringLiteral("TRANSFER")) : XferDir;
    const QString folder = GetEntityDataDir(FileCode, DataDir, xfer, ProgramDataDir(), options);
    return BuildPath({folder, FileCode}) + QStringLiteral(".CFG");
}

QString TEntityDetail::GetBASSectionName() const {
    if (Year <= LastPlainBASYear)
        return QStringLiteral("BAS");
    return QStringLiteral("%1 %2").arg(QStringLiteral("BAS")).arg(Year);
}

// --- load ------------------------------------------------------------------------------------

int TEntityDetail::Load(const TOptionSet& options) {
    IUserPrompt& prompt = TServices::Prompt();
    const auto unableToOpen = [&](const QString& message) {
        MessageBeepAndShow(
            prompt, TMessageKind::Error,
            QStringLiteral("QUILVANE is unable to open file \"%1\". Error: %2").arg(FileCode, message),
            TMessageButton::OK);
        return ResultCode::Reported;
    };

    // A record without a code is not loaded; Retry reads the file again.
    for (;;) {
        try {
            Rename(NativeOrRaise(FileName), true);
        } catch (const EQuilvaneError& error) {
            return unableToOpen(error.message());
        }
        if (!ReadString(ConfigSection, QStringLiteral("Code"), QString()).isEmpty())
            break;
        const TMessageButton answer =
            MessageBeepAndShow(prompt, TMessageKind::Error,
                               QStringLiteral("Unable to load file details. Filename : ") + FileName,
                               TMessageButton::Cancel | TMessageButton::Retry);
        if (answer != TMessageButton::Retry)
            return ResultCode::Reported;
    }

    try {
        ReadFields(options);
    } catch (const EEntityTypeNotPermitted& error) {
        if (options.Has(Option::QuietEntityType))
            return ResultCode::Reported;
        return unableToOpen(error.message());
    } catch (const EQuilvaneError& error) {
        return unableToOpen(error.message());
    }
    return ResultCode::Success;
}

void TEntityDetail::ReadFields(const TOptionSet& options) {
    const auto text = [this](const char* key, const QString& defaultValue = QString()) {
        return ReadString(ConfigSection, QString::fromLatin1(key), defaultValue);
    };
    const auto flag = [this](const char* key, bool defaultValue) {
        return ReadBool(ConfigSection, QString::fromLatin1(key), defaultValue);
    };
    const auto integer = [this](const char* key, int defaultValue) {
        return ReadInteger(ConfigSection, QString::fromLatin1(key), defaultValue);
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
    static const QString notInCode = QStringLiteral("\\/:*?\"<>|");
    const bool plainCode = code != QLatin1String(".") && code != QLatin1String("..") &&
                           std::none_of(code.cbegin(), code.cend(),
                                        [](QChar c) { return c.unicode() < 0x20 || notInCode.contains(c); });
    if (!plainCode)
        throw EQuilvaneError(QStringLiteral("The file code %1 is not valid.").arg(code));
    FileCode = code;
    EntityType = text("Type");
    if (!ProgramParams().EntityTypes.Contains(EntityType))
        throw EEntityTypeNotPermitted(QStringLiteral("Entity type %1 is not permitted.").arg(EntityType));
    Name = text("Name");

    const bool summary = options.Has(Option::SummaryLoad);
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
        Contras = ToByte(integer("Contras", 0));
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
    for (const QString& line : ReadSectionValues(ImportFormatSection)) {
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
            if (SameTextNoCase(EntityType, QStringLiteral("SUP")))
                baseName += QStringLiteral("_SUP");
            const QString master = NativePath(
                BuildPath({ProgramDataDir(), QStringLiteral("M_DETAIL"), baseName + QStringLiteral(".BAS")}));
            if (!master.isEmpty() && QFileInfo::exists(master)) {
                const TIniFile masterFile(master);
                for (const TBASField& field : BASFields())
                    if (MasterBASKeys.contains(field.Key))
                        *static_cast<QString*>(field.Field(*this)) =
                            masterFile.ReadString(QStringLiteral("BAS"), field.Key, QString());
            }
        }
        VariationReason = NotApplicableText.toString();
        FBTVariationReason = NotApplicableText.toString();
        BASExportFileCode = FileCode;
        BASExportFilePath = ExportDir;
        return;
    }

    for (const TBASField& field : BASFields()) {
        if (keepFolders && IsFolderKeptKey(field.Key))
            continue;
        void* target = field.Field(*this);
        switch (field.Kind) {
        case TFieldKind::Byte: {
            quint8& value = *static_cast<quint8*>(target);
            value = ToByte(ReadInteger(section, field.Key, value));
            break;
        }
        case TFieldKind::Integer: {
            int& value = *static_cast<int*>(target);
            value = ReadInteger(section, field.Key, value);
            break;
        }
        case TFieldKind::Flag: {
            bool& value = *static_cast<bool*>(target);
            value = ReadBool(section, field.Key, value);
            break;
        }
        case TFieldKind::Float: {
            double& value = *static_cast<double*>(target);
            value = ReadFloat(section, field.Key, value);
            break;
        }
        case TFieldKind::Text: {
            QString& value = *static_cast<QString*>(target);
            value = ReadString(section, field.Key, value);
            break;
        }
        }
    }
    ABN = ABN.trimmed();
    if (BASExportFilePath.isEmpty())
        BASExportFilePath = ExportDir;
}

// --- save ------------------------------------------------------------------------------------

int TEntityDetail::Save(const TOptionSet& options) {
    for (;;) {
        try {
            const QString path = NativeOrRaise(GetFileName(options));
            TRecordGuard guard(path, GuardWaitMs);
            Rename(path, false);
            WriteFields(options, path);
            WriteRecord();
            return ResultCode::Success;
        } catch (const EQuilvaneError& error) {
            // Nothing reached the disk: the record there is whole, as it was.
            const TMessageButton answer =
                MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error,
                                   QStringLiteral("Unable to save file details to disk.\r") + error.message(),
                                   TMessageButton::Retry | TMessageButton::Ignore);
            if (answer != TMessageButton::Retry)
                return ResultCode::Reported;
        }
    }
}

void TEntityDetail::WriteFields(const TOptionSet& options, const QString& nativePath) {
    const auto text = [this](const char* key, const QString& value) {
        WriteString(ConfigSection, QString::fromLatin1(key), value);
    };
    const auto flag = [this](const char* key, bool value) {
        WriteBool(ConfigSection, QString::fromLatin1(key), value);
    };
    const auto integer = [this](const char* key, int value) {
        WriteInteger(ConfigSection, QString::fromLatin1(key), value);
    };

    text("Code", FileCode);
    text("Type", EntityType);
    text("Name", Name);
    text("ACN", ACN);
    text("RepHdg1", RepHdg1);
    text("RepHdg2", RepHdg2);
    WriteFloat(ConfigSection, QStringLiteral("Created"), Created);
    WriteFloat(ConfigSection, QStringLiteral("Accessed"), Accessed);
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

    // The lock keys belong to whoever holds the file. A record that did not take the lock
    // leaves the keys on disk as they are, so saving never frees or steals another
    // workstation's lock.
    if (options.Has(Option::WriteLockedBy) || HoldsLock || !QFileInfo::exists(nativePath)) {
        flag("Locked", Locked);
        if (options.Has(Option::WriteLockedBy))
            text("LockedBy", WorkstationName);
    } else {
        const TIniFile disk(nativePath);
        if (disk.ValueExists(ConfigSection, LockedKey))
            WriteString(ConfigSection, LockedKey, disk.ReadString(ConfigSection, LockedKey, QString()));
        else
            flag("Locked", Locked);
        if (disk.ValueExists(ConfigSection, LockedByKey))
            WriteString(ConfigSection, LockedByKey, disk.ReadString(ConfigSection, LockedByKey, QString()));
        else
            DeleteKey(ConfigSection, LockedByKey);
    }

    for (int year = FirstBackupYear; year <= LastBackupYear; ++year)
        WriteInteger(BackupSection, QString::number(year), BackupCount(year));
    for (auto it = BackupHistory.cbegin(); it != BackupHistory.cend(); ++it)
        if (it.key() < FirstBackupYear || it.key() > LastBackupYear)
            WriteInteger(BackupSection, QString::number(it.key()), it.value());

    EraseSection(ImportFormatSection);
    for (const TImportFormatEntry& entry : ImportFormatHistory) {
        const qsizetype eq = entry.Line.indexOf(QLatin1Char('='));
        const QString key = eq < 0 ? QString() : entry.Line.left(eq).trimmed();
        if (!key.isEmpty())
            WriteString(ImportFormatSection, key, entry.Line.mid(eq + 1));
    }

    if (!options.Has(Option::KeepBASSection)) {
        const QString section = GetBASSectionName();
        EraseSection(section);
        for (const TBASField& field : BASFields()) {
            void* source = field.Field(*this);
            switch (field.Kind) {
            case TFieldKind::Byte:
                WriteInteger(section, field.Key, *static_cast<quint8*>(source));
                break;
            case TFieldKind::Integer:
                WriteInteger(section, field.Key, *static_cast<int*>(source));
                break;
            case TFieldKind::Flag:
                WriteBool(section, field.Key, *static_cast<bool*>(source));
                break;
            case TFieldKind::Float:
                WriteFloat(section, field.Key, *static_cast<double*>(source));
                break;
            case TFieldKind::Text:
                WriteString(section, field.Key,
                            field.Key == QLatin1String("ABN") ? static_cast<QString*>(source)->trimmed()
                                                              : *static_cast<QString*>(source));
                break;
            }
        }
    }

    EraseSection(HistorySection);
    for (qsizetype i = 0; i < DataEntryPages.size(); ++i)
        WriteString(HistorySection, DataEntryPageKey + QString::number(i), DataEntryPages[i]);
}

void TEntityDetail::WriteRecord() {
    const QString path = TIniFile::FileName();
    if (QFileInfo::exists(path) && SetFileHidden(path, false) != 0)
        throw EQuilvaneError(
            QStringLiteral("Unable to write %1 - the file cannot be made writable.").arg(path));
    UpdateFile();
    SetFileHidden(path, true);
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
        const bool smallEntity = SameTextNoCase(EntityType, QStringLiteral("SOL")) ||
                                 SameTextNoCase(EntityType, QStringLiteral("STP")) ||
                                 SameTextNoCase(EntityType, QStringLiteral("NSP"));
        return smallEntity && gstRegistration == 2 && paygInstalmentType == 0;
    }
    return paygInstalmentType == 0;
}

// --- the lock ----------------------------------------------------------------------------------

bool TEntityDetail::LockFile(bool lock, bool interactive) {
    IUserPrompt& prompt = TServices::Prompt();
    const QString unableToLock =
        QStringLiteral("QUILVANE was unable to lock %1 for exclusive use.").arg(FileCode);
    int counter = 0;
    bool retryRequest = false;
    bool result = true;
    do {
        result = true;
        ++counter;
        if (counter <= LockRetryBoxes) {
            QString holder;
            result = LockAttempt(lock, holder);
            if (lock && !result && interactive) {
                TCursorScope normal(TCursorKind::Normal);
                prompt.Beep(TBeep::Warning);
                const QString text =
                    QStringLiteral("File code %1 is aleady opened by user \"%2\".").arg(FileCode, holder) +
                    QStringLiteral("\r\n") +
                    QStringLiteral(
                        "Please check that \"%1\" has finished working with the file before retrying.")
                        .arg(holder);
                retryRequest =
                    prompt.ShowMessage(TMessageKind::Information, text,
                                       TMessageButton::Cancel | TMessageButton::Retry | TMessageButton::Help,
                                       LockHelpContext) == TMessageButton::Retry;
            }
        } else {
            // Enough retries: let the user give up, start again, or open the file anyway.
            TCursorScope normal(TCursorKind::Normal);
            prompt.Beep(TBeep::Error);
            const QString text =
                unableToLock + QStringLiteral("\r\n") +
                QStringLiteral("You can continue, however data integrity is not guaranteed.") +
                QStringLiteral("\r\n") + QStringLiteral("Choose ignore to continue and open this file.");
            const TMessageButton answer =
                prompt.ShowMessage(TMessageKind::Information, text,
                                   TMessageButton::Cancel | TMessageButton::Retry | TMessageButton::Ignore |
                                       TMessageButton::Help,
                                   LockHelpContext);
            if (answer == TMessageButton::Retry) {
                retryRequest = true;
                counter = 0;
                result = false;
            } else if (answer == TMessageButton::Ignore) {
                retryRequest = false;
                result = true;
            } else {
                retryRequest = false;
                result = false;
            }
        }
    } while (retryRequest && !result && interactive);

    if (lock && !result && interactive) {
        TCursorScope normal(TCursorKind::Normal);
        prompt.Beep(TBeep::Error);
        prompt.ShowMessage(
            TMessageKind::Information,
            QStringLiteral(
                "QUILVANE was unable to lock %1 for exclusive use. Access to this file has been denied.")
                .arg(FileCode),
            TMessageButton::OK);
    }
    return result;
}

bool TEntityDetail::LockAttempt(bool lock, QString& holder) {
    std::unique_ptr<TRecordGuard> guard;
    bool taken = false;
    try {
        // Always the record in the file's own data folder, whatever the record was made with.
        const QString path = NativeOrRaise(GetFileName(TOptionSet{Option::Standard}));
        guard = std::make_unique<TRecordGuard>(path, GuardWaitMs);
        // A missing record is never recreated holding nothing but the lock keys.
        if (!QFileInfo(path).isFile() || QFileInfo(path).size() < 1)
            throw EQuilvaneError(QStringLiteral("The file %1 is missing.").arg(path));
        Rename(path, true);
        const bool diskLocked = ReadBool(ConfigSection, LockedKey, false);
        holder = ReadString(ConfigSection, LockedByKey, QString());
        const bool mine = !WorkstationName.isEmpty() && holder == WorkstationName;
        if (lock) {
            if (!diskLocked || mine) {
                WriteBool(ConfigSection, LockedKey, true);
                WriteString(ConfigSection, LockedByKey, WorkstationName);
                taken = true;
            }
        } else if (mine) {
            // Only this workstation's own lock is cleared; one it merely ignored stays.
            WriteBool(ConfigSection, LockedKey, false);
            WriteString(ConfigSection, LockedByKey, QString());
        }
    } catch (const std::exception&) {
        // A failure before the write refuses the lock and leaves the disk alone; a release that
        // fails keeps Locked as it was.
        return !lock;
    }
    if (lock && OnLockTested)
        OnLockTested();
    // Written only when this call changed the keys; a write failure goes to the caller.
    if (Modified())
        WriteRecord();
    if (lock) {
        HoldsLock = taken;
    } else {
        HoldsLock = false;
        Locked = false;
    }
    return lock ? taken : true;
}
