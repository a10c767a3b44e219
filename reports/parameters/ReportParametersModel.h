#pragma once

#include "core/vocab/ProcessKinds.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class TReportSetup;

// The rules of the run-parameter window for the processes that ask for their parameters before
// they run: which fields each shows, where they start, what an OK accepts and what it writes into
// the run-parameter block. No widget is involved; TfmReportParameters shows one of these.
//
// The processes and what they read of the block:
//  - 1 Export: the period range (monthly periods of the file's year), the output file and the
//    export format (its index in the export-format table, kept in the block's file-format byte);
//  - 2 Import Bank Statements: the date range, the one bank account imported into (the block's
//    bank-account groups then hold that account alone) and the statement file;
//  - 7 and 8, transfers in: the transfer selection word, the period range and the page kinds;
//  - 13 Transfer Bank Statement Entries to Cashbook: the date range and the bank account, or all
//    of them (the block's groups as the block built them);
//  - 22 Import Transactions: the date range and the file to import.
// The bank-import and transaction-import formats belong to the imports themselves and are not
// chosen here.
class TReportParametersModel {
public:
    enum TField : unsigned {
        fdNone = 0,
        fdTransfer = 1u << 0,    // the eight groups of the transfer selection word
        fdPeriodRange = 1u << 1, // from and to period
        fdPageKinds = 1u << 2,   // the page-kind set
        fdDateRange = 1u << 3,   // from and to date
        fdBankAccount = 1u << 4,
        fdFileName = 1u << 5,
        fdExportFormat = 1u << 6,
    };

    // A choice that an OK refuses: the message and the field it concerns.
    struct TProblem {
        QString Text;
        TField Field = fdNone;
        explicit operator bool() const { return !Text.isEmpty(); }
    };

    struct TBankAccount {
        QString Code;
        QString Description;
    };

    static inline const QString NothingToTransferText =
        QStringLiteral("Select at least one item to transfer.");
    static inline const QString NoPageKindText =
        QStringLiteral("Select at least one data entry page whose transactions are to be transferred.");
    static inline const QString PeriodOrderText =
        QStringLiteral("The first period must not come after the last period.");
    static inline const QString DateOrderText =
        QStringLiteral("The start date must not come after the end date.");
    // The financial year.
    static inline const QString DateOutsideYearText =
        QStringLiteral("The dates must lie within the %1 financial year (%2 to %3).");
    static inline const QString NoBankAccountText = QStringLiteral("Select the bank account.");
    static inline const QString NoFileNameText = QStringLiteral("File Name cannot be blank");
    // The file name as typed.
    static inline const QString FileMissingText = QStringLiteral("The file %1 does not exist.");
    static inline const QString AllBankAccountsText = QStringLiteral("<All>");

    // The page kinds that keep transaction files (0 to 13; deleted transactions have none).
    static constexpr quint16 FiledPageKinds = 0x3FFF;

    // Whether the window serves the process, and the fields it shows for it (fdNone for any other).
    static bool Serves(int processKind);
    static unsigned FieldsOf(int processKind);
    // The starting transfer selection of a transfer in. From the accountant (8) everything
    // arrives and replaces what the client holds. From a client (7) the accountant keeps his own
    // opening balances and report definitions; the client's accounts, descriptions, tax and
    // currency rates are merged into his, and the client's pages replace his.
    static quint32 DefaultSelection(int processKind);

    // Takes the block's starting values; a transfer in whose block holds no selection word yet
    // starts from DefaultSelection. The export format starts as the workstation's default
    // (exportFormatName, an entry of the export-format table; the table's default when it names
    // none). Raises EQuilvaneError for a process that the window does not serve.
    void Load(const TReportSetup& setup, const QString& exportFormatName = QString());

    int ProcessKind() const { return Process; }
    int Year() const { return FinancialYear; }
    unsigned Fields() const { return FieldSet; }
    bool Shows(TField field) const { return (FieldSet & field) != 0; }

    // ---- Transfer ---------------------------------------------------------------------------
    quint32 Selection() const { return SelectionWord; }
    bool Included(int group) const;
    int Mode(int group) const;
    void SetIncluded(int group, bool include);
    // Raises EQuilvaneError for a mode the group does not offer.
    void SetMode(int group, int mode);
    // The mode box of a group is live only while the group is included.
    bool ModeEnabled(int group) const { return Included(group); }
    // Periods and page kinds matter to a transfer only while it takes the transactions.
    bool TransactionChoicesEnabled() const;

    // ---- Page kinds -------------------------------------------------------------------------
    // Offered: the block's starting kinds that keep files (a transfer from a client offers the
    // kinds its block dropped, unticked).
    quint16 OfferedPageKinds() const { return Offered; }
    quint16 PageKinds() const { return Chosen; }
    bool PageKindChosen(int kind) const;
    // Raises EQuilvaneError for a kind that is not offered.
    void SetPageKind(int kind, bool chosen);

    // ---- Periods (monthly periods of the file's year, 1 to 12) --------------------------------
    // "Jul 2005" ... "Jun 2006".
    QStringList PeriodNames() const;
    int FromPeriod() const { return PeriodFrom; }
    int ToPeriod() const { return PeriodTo; }
    // Raise EQuilvaneError for a period outside 1-12.
    void SetFromPeriod(int period);
    void SetToPeriod(int period);

    // ---- Dates (date numbers) ---------------------------------------------------------------
    double FromDate() const { return DateFrom; }
    double ToDate() const { return DateTo; }
    double YearStart() const { return FirstDay; }
    double YearEnd() const { return LastDay; }
    void SetFromDate(double date) { DateFrom = date; }
    void SetToDate(double date) { DateTo = date; }

    // ---- Bank account -----------------------------------------------------------------------
    // The bank accounts of the block's chart, in chart order.
    const QList<TBankAccount>& BankAccounts() const { return Banks; }
    // Whether "all bank accounts" may be chosen (the transfer of bank entries), shown as the
    // first entry of the list.
    bool AllBankAccountsAllowed() const { return Process == prTransferBankStatementEntries; }
    // The chosen account's index in BankAccounts; -1: all (or none chosen yet).
    int BankIndex() const { return Bank; }
    // Raises EQuilvaneError for an index outside -1 and the list.
    void SetBankIndex(int index);
    // "2000 - Cheque Account" (the code alone when the account has no description).
    static QString BankAccountText(const TBankAccount& account);

    // ---- File -------------------------------------------------------------------------------
    QString FileName() const { return File; }
    void SetFileName(const QString& name) { File = name; }
    QStringList ExportFormatNames() const;
    int ExportFormat() const { return Format; }
    // Raises EQuilvaneError for an index outside the export-format table.
    void SetExportFormat(int index);

    // The first choice an OK refuses, in the order of the fields on the window; an empty problem
    // when every choice is acceptable.
    TProblem Validate() const;
    // Writes the choices into the block: the period range (as the first day of the from period
    // and the last day of the to period) or the date range with their periods, the page kinds,
    // the bank-account groups, the output file, the export format and the transfer selection
    // word. Raises EQuilvaneError when Validate reports a problem, or when the block is of
    // another process.
    void Fill(TReportSetup& setup) const;

private:
    double PeriodStart(int period) const;
    double PeriodEnd(int period) const;
    static void CheckPeriod(int period);

    int Process = 0;
    unsigned FieldSet = fdNone;
    int FinancialYear = 0;
    int EndMonth = 12;
    quint32 SelectionWord = 0;
    quint16 Offered = 0;
    quint16 Chosen = 0;
    int PeriodFrom = 1;
    int PeriodTo = 12;
    double DateFrom = 0;
    double DateTo = 0;
    double FirstDay = 0;
    double LastDay = 0;
    QList<TBankAccount> Banks;
    int Bank = -1;
    QString File;
    int Format = 0;
};
