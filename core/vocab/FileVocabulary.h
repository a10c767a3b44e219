#pragma once

#include "core/vocab/VocabularyIndex.h"

#include <QStringView>

#include <array>

// Names on disk: the extensions and folders of the program's files, and the kind and version
// words that each file writes into its header so that a reader can tell what it holds.

// ---- Extensions and folders -----------------------------------------------------------------

// A client file's detail record: the file code with this extension, in the data folder.
inline constexpr QStringView DetailRecordExtension = u".CFG";
// The program's reference-data file.
inline constexpr QStringView ProgramDataExtension = u".DAT";
// The two reconciliation files kept per bank account and year.
inline constexpr std::array<QStringView, 2> ReconciliationExtensions{u".RM", u".RU"};
// An archive carrying a year of a client file between practice and client.
inline constexpr QStringView TransferArchiveExtension = u".QTF";
// A client file's activity-statement data.
inline constexpr QStringView ActivityStatementExtension = u".BAS";

// Scratch folder of report output.
inline constexpr QStringView TempReportsFolderName = u"TMPREPTS";
// Folders below the data folder; the leading separator is part of the name as stored.
inline constexpr QStringView BackupFolderName = u"\\BACKUPS";
inline constexpr QStringView TransferFolderName = u"\\TRANSFER";
// Folder on the transfer drive.
inline constexpr QStringView TransferDriveFolderName = u"\\RORI";
// The working folders that a restore and a transfer in make beside the data: the file code,
// this infix and six letters or digits ("ABC123.restore-x1Y2z3").
inline constexpr QStringView RestoreWorkInfix = u".restore-";
inline constexpr QStringView TransferWorkInfix = u".transfer-";

// ---- Header words ---------------------------------------------------------------------------

// The kind and version words a file writes at its head.
struct THeaderPair {
    QStringView Kind;
    QStringView Version;
};

inline constexpr THeaderPair AccountsChartHeader{u"Chart of Accounts", u"V5.0"};
inline constexpr THeaderPair StdDescriptionsHeader{u"Std Descriptions", u"V5.0"};
inline constexpr THeaderPair TaxRatesHeader{u"Tax Rates", u"V5.3"};
inline constexpr THeaderPair CurrencyRatesHeader{u"Currency Rates", u"V5.0"};
inline constexpr THeaderPair TransactionsHeader{u"GL Transactions", u"V5.5"};
inline constexpr THeaderPair BankRecOpeningHeader{u"Bank Rec Opening Bals", u"V5.5"};
inline constexpr THeaderPair ReportFormatsHeader{u"Report Formats", u"V5.60"};
inline constexpr THeaderPair ReportLayoutsHeader{u"Report Layouts", u"V5.60"};
inline constexpr THeaderPair ReportJobstreamSetsHeader{u"Report Jobstream Sets", u"V5.60"};

// ---- Entity types ---------------------------------------------------------------------------

// A client file is either an ordinary entity or a superannuation fund; the fund's type changes
// the report menu and the bring-forward of its accounts.
inline constexpr QStringView OrdinaryEntityType = u"NSP";
inline constexpr QStringView SuperannuationEntityType = u"SUP";
inline constexpr std::array<QStringView, 2> EntityTypeCodes{OrdinaryEntityType, SuperannuationEntityType};
// Whether an entity type names a superannuation fund (stored types come in any case).
inline bool IsSuperannuationType(QStringView entityType) {
    return entityType.compare(SuperannuationEntityType, Qt::CaseInsensitive) == 0;
}

// ---- Chart and definition kinds ---------------------------------------------------------------

// The kinds of master file kept per client and year. The kind number is stored and passed
// between modules; it picks the nouns used in messages and clipboard format names, and the
// extension and folder of the file.
enum TChartKind : int {
    ckBankRecOpening = 0,
    ckAccounts = 1,
    ckStdDescriptions = 2,
    ckTaxes = 3,
    ckCurrencies = 4,
    ckReportLayouts = 5,
    ckReportFormats = 6,
    ckJobstreamSets = 7,
    ckDebtors = 8,
};

struct TChartKindEntry {
    QStringView PluralNoun;
    QStringView SingularNoun;
    QStringView Extension;
    QStringView Folder;
};

inline constexpr std::array<TChartKindEntry, 9> ChartKindTable{{
    {u"Bank Rec. Opening Balances", u"Bank Rec. Opening Balance", u".BOB", u"BANK_REC"},
    {u"Accounts", u"Account", u".ADF", u"M_DETAIL"},
    {u"Standard Descriptions", u"Standard Description", u".STD", u"M_DETAIL"},
    {u"Taxes", u"Tax", u".TXR", u"M_DETAIL"},
    {u"Currencies", u"Currency", u".CCR", u"M_DETAIL"},
    {u"Report Layouts", u"Report Layout", u".RLO", u"M_DETAIL"},
    {u"Report Formats", u"Report Format", u".RFT", u"M_DETAIL"},
    {u"Report Jobstream Sets", u"Report Jobstream Set", u".RJS", u"M_DETAIL"},
    {u"Debtors", u"Debtors", u".DTR", u"M_DETAIL"},
}};

inline constexpr int ChartKindCount = static_cast<int>(ChartKindTable.size());

constexpr bool IsChartKind(int kind) {
    return IsVocabularyIndex(ChartKindTable, kind);
}
// The row of a chart kind; an unknown kind raises a clear error.
inline const TChartKindEntry& ChartKindEntry(int kind) {
    return VocabularyRow(ChartKindTable, kind, u"chart kind");
}

// ---- Archive password -----------------------------------------------------------------------

// Backup and transfer archives are zip archives under this one fixed password. It only keeps
// casual eyes out of an archive; it protects nothing, and it cannot change without orphaning
// every archive already written.
inline constexpr QStringView ArchivePassword = u"PZ_HOL";
