#pragma once

#include "core/charts/ChartEntity.h"
#include "core/charts/StandardChart.h"
#include "core/common/OptionSet.h"
#include "core/entity/EntityLock.h"
#include "core/io/IniFile.h"
#include "core/transactions/TransactionListSources.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>

class TAccountFormat;

// One line of a file's bank-import history: the stored "key=value" line and the bank-import
// format its value names (0 when the name is not one of the known formats).
struct TImportFormatEntry {
    QString Line;
    int Format = 0;
    friend bool operator==(const TImportFormatEntry&, const TImportFormatEntry&) = default;
};

// The detail record of a client file: "<file code>.CFG" in the file's data folder, an ini file
// with the file's identity, financial-year set-up, options, folders and e-mail addresses, the
// BAS/IAS set-up of each year, a backup counter per year, the data-entry pages open at the last
// close, the bank-import history, the retained-profit distribution of each year and the
// multi-user lock keys.
//
// The object is the memory copy of the whole file: Load fills the fields from it, Save writes
// the fields into it and writes it out whole, so keys and sections the fields do not name are
// kept byte for byte. Saving an unchanged record twice gives the same bytes. Every write goes to
// a temporary file renamed over the record; between writes the record is protected on disk. A
// record that is a symbolic link is never written, nor is its protection changed.
//
// A file is open on one workstation at a time: FileLock (TEntityLock) keeps the keys "Locked"
// and "LockedBy" of "CONFIGURATION".
class TEntityDetail : public TMemIniFile {
public:
    // The most data-entry pages a load brings back.
    static constexpr int MaxDataEntryPages = 25;
    // Backup counters always written, whether held or not (older readers know only these).
    static constexpr int FirstBackupYear = 1996;
    static constexpr int LastBackupYear = 2023;

    // Makes the record of a file code for the options (Option members): defaults, path, then
    // (member 7) the existence check, (without member 1) the lock, (member 7) the load and the
    // account-format check. Raises EAbort when the file is missing, the lock is refused, the
    // load fails without member 4, or the account format is not registered (after its message);
    // a code that is no plain file code and a failure of the lock's write raise their
    // EQuilvaneError. A lock taken before a failure is released before the exception leaves.
    static std::unique_ptr<TEntityDetail> Create(const QString& fileCode, const TOptionSet& options);

    // A code that names the record's files inside the data folder: not empty, no path
    // separators, drive colons, wildcards or control characters, not "." or "..".
    static bool IsPlainFileCode(const QString& code);

    // Whether a default chart (AccDefault) leads out of the file's data folder
    // (TStandardChart::DefaultChartLeavesDataFolder): a name with a ".." part, between
    // backslashes or slashes alike, or a name inside the data folder (a bare name in its M_DETAIL
    // folder) that a link leads out of it. A full path is a chart file the user chose and leads
    // nowhere else. Load does not take such a name: the record opens with the default chart of
    // its account format and type, after a warning (DefaultChartFallbackText), so that its
    // properties can be mended; the file's properties can check a typed name with it.
    bool DefaultChartLeavesDataFolder(const QString& name) const;
    static inline const QString& DefaultChartOutsideText = TStandardChart::DefaultChartOutsideText;
    // The warning of a load that replaced a refused default chart: the refused name, then the
    // default chart used instead.
    static inline const QString DefaultChartFallbackText = QStringLiteral(
        "The default chart %1 lies outside the data folder. The default chart %2 is used instead.");

    // Removes from the file's data folder (its M_DETAIL and BANK_REC folders and the folder of its
    // transaction files) the temporary files that saves of the year's charts and transaction
    // files left when they were killed before their rename (RemoveStaleTempFiles: only the
    // writer's names for those files, older than a minute, held by no live writer). Opening a
    // year calls it. Never throws; what cannot be removed stays.
    void RemoveYearLeftovers(int year) const;

    // Finds the record's account format among the registered ones; raises EAbort after saying
    // "Unregistered account format for this file - Access denied." when it is not there.
    void RequireAccountFormat();

    // The closing step: gives back the lock when this record holds it (Locked, without member
    // 1). A failure to write the record raises; the lock then stays on disk.
    void ReleaseLock();

    // A silent fallback for a record closed without ReleaseLock: releases the lock, never
    // saves, never shows a box, never throws.
    ~TEntityDetail();
    TEntityDetail(const TEntityDetail&) = delete;
    TEntityDetail& operator=(const TEntityDetail&) = delete;

    // Fills every field with the values of a new file.
    void SetDefaults();

    // The stored path of the record for the options: the file's data folder (transfer folder
    // with member 2, transfer drive with member 13) and the file code with ".CFG".
    QString GetFileName(const TOptionSet& options) const;
    // The same as a path on this workstation; raises when its drive is not ready.
    QString NativeFileName(const TOptionSet& options) const;

    // Reads FileName from disk into the fields. 0, or -1 after the failure was shown.
    int Load(const TOptionSet& options);

    // Writes the fields into the record and the record to GetFileName(options). A failure while
    // setting the keys offers Retry and Ignore (the record is written either way); 0, or -1 after
    // Ignore. A failure of the write itself raises its EQuilvaneError, as does a record that is
    // a symbolic link; the record on disk is then as it was, and protected.
    int Save(const TOptionSet& options);

    // "BAS" up to 2001, "BAS <year>" from 2002.
    QString GetBASSectionName() const;

    // Retained-profit distribution of a year, in memory only (Save writes it to disk).
    void LoadProfitDistribution(int year);
    void SaveProfitDistribution(int year);

    // The transfer and export address (flag set) or the client's address.
    QString GetEMailAddress(bool useTransferAddress) const;
    void SetEMailAddress(bool useTransferAddress, const QString& value);

    // What the year's charts need of this record: code, type, folders, format, currency, periods.
    TChartEntity ChartEntity() const;
    // What the transaction lists of the year need of this record, with the year's charts.
    TTransactionListSources ListSources(TAccountsChart* accounts, TTaxRateChart* taxRates,
                                        TStdDescChart* stdDescs, TCurrConvRatesChart* currencyRates) const;

    // Whether PAYG instalments are paid quarterly: with the "pay quarterly GDP" choice only for
    // sole traders and other non-super entities registered quarterly (2) on quarterly
    // instalments (type 0); otherwise whenever the instalment type is quarterly.
    bool QuarterlyPAYGInstalments(int gstRegistration, int paygInstalmentType) const;

    // Takes (lock) or releases the file: see TEntityLock::LockFile.
    bool LockFile(bool lock, bool interactive) { return FileLock.LockFile(lock, interactive); }

    // Writes the memory copy to its file: a temporary file, given the record's protection, is
    // renamed over the record, which is never made writable. Raises when the file is a symbolic
    // link, or cannot be written or protected; the old record then stays as it was.
    void WriteRecord();

    // The backup counter of a financial year (1 when none is held).
    int BackupCount(int year) const;
    void SetBackupCount(int year, int count);

    // --- CONFIGURATION ---------------------------------------------------------------------
    QString FileCode;
    QString EntityType;
    QString Name;
    QString ACN;
    QString RepHdg1;
    QString RepHdg2;
    double Created = 0;
    double Accessed = 0;
    QString AccessPw;
    QString Currency;
    QString AccFormatID;
    QString AccDefault;
    TAccountFormat* AccountFormat = nullptr; // owned by the program settings
    quint16 Year = 0;
    int Periods = 0;
    int EndMonth = 0;
    int Period = 0;
    bool Quantity = false;
    bool Tax = false;
    bool CurrencyConv = false;
    bool DupRef = false;
    quint8 Contras = 0;
    QString DataDir; // written, never read
    QString XferDir;
    QString ExportDir;
    QString ImportDir;
    QString BackupDir; // written, never read
    QString ECIFolder;
    QString ECILastUsedFile;
    QString TessalyFolder;
    QString TessalyLastUsedFile;
    QString TransferExportEmailAddress;
    QString ClientsEmailAddress;
    bool PromptBkup = true;
    QStringList DataEntryPages;
    QString FileName; // stored path of the record, from Create
    bool Locked = false;
    QString LockedBy;
    TOptionSet Options;
    // Backup counter per financial year ("BACKUP_HISTORY").
    QMap<int, qint32> BackupHistory;
    QList<TImportFormatEntry> ImportFormatHistory;
    QStringList ProfitDistribution;

    // --- the year's BAS/IAS section ------------------------------------------------------
    quint8 GSTGroupOption = 0;
    std::array<QString, 21> GSTGroupFile; // indexed 1 to 20
    QString GSTRepresentativeFile;
    QString ABN;
    quint8 GSTRegistration = 0;
    bool GSTIgnoreRegistrationPeriodValidation = false;
    quint8 GSTReportBasis = 0;
    quint8 GST_Option = 0;
    double GST_G21 = 0;
    double GST_G22 = 0;
    double GST_G23 = 0;
    bool GST_G23VaryToZero = false;
    QString GST_VariationReason;
    std::array<double, 5> GSTInstalmentQtr{}; // indexed 1 to 4
    int GSTInstalmentStartQtr = 3;
    quint8 PAYGWithholdingType = 0;
    QString SalaryWagesAccounts;
    QString SalaryWagesWithheldAccounts;
    QString ABNWithholdingTaxAccounts;
    QString TFNWithholdingTaxAccounts;
    QString TaxFileNumber;
    quint8 PAYGInstalmentType = 0; // 0 quarterly
    QString CashIncomeAccounts;
    QString AccrualsIncomeAccounts;
    double ATOInstalmentRate = 0;
    double VariedInstalmentRate = 0;
    double TaxInstalmentsCreditAdj = 0;
    QString VariationReason;
    quint8 PAYG_Option = 1;
    bool PAYGI_UsePayQuarterlyGDP = false;
    bool PAYGI_UseCommissionerGDP = false;
    double PAYGI_CommissionerGDP = 0;
    bool PAYGI_UseVariedGDPAmount = false;
    double PAYGI_EstimatedBenchmark = 0;
    double PAYGI_VariedGDPAmount = 0;
    bool WETLCTLiability = false;
    QString WineEqualisationAccountsPayable;
    QString WineEqualisationAccountsRefundable;
    QString LuxuryCarAccountsPayable;
    QString LuxuryCarAccountsRefundable;
    quint8 FBTInstalmentPeriod = 0;
    double FBTInstalment = 0;
    double FBTVariation = 0;
    bool FBTVariedToZero = false;
    double FBTEstimatedPayable = 0;
    QString FBTVariationReason;
    double FBTVariationCredit = 0;
    bool FBTPayFinalQtrInstalment = false;
    std::array<double, 5> DeferredInstalmentQ{}; // indexed 1 to 4
    QString BASExportFileCode;
    QString BASExportFilePath;
    quint8 BASExportFormat = 0;
    QString BASImportECIPath;

    // The lock keys of this record and the workstation they are taken under.
    TEntityLock FileLock;

private:
    TEntityDetail(const QString& fileCode, const TOptionSet& options);

    void ResetBAS();
    void ReadFields(const TOptionSet& options);
    void ReadBAS(const TOptionSet& options);
    void CheckYearSetUp() const;
    void WriteFields(const TOptionSet& options, const QString& nativePath);
    void WriteLockKeys(const TOptionSet& options, const QString& nativePath);
    QString ProgramDataDir() const;
    QString DefaultDriveFolder(const QString& folder) const;
    QString LoadTessalyFolder() const;
};
