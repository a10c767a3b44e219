#pragma once

class TEntityInfo;
class TReportSetup;

// A window the process launchers open: shown modally for the run-parameter block of one process
// of a file, and missing while its part of the program is not there. The backup and restore
// window (transfers to and from the client or the accountant, backups and restores), the
// bring-forward window and the run-parameters window of a report or process are all of this kind.
class IProcessWindow {
public:
    virtual ~IProcessWindow() = default;
    // True on OK.
    virtual bool Run(TEntityInfo& file, TReportSetup& setup) = 0;
};

// The banking services: statement and transaction imports, the data export and the bank
// reconciliation window.
class IBankingServices {
public:
    virtual ~IBankingServices() = default;
    // Whether the service that a process of these needs (1 export, 2 bank-statement import,
    // 4 bank reconciliation, 22 transaction import) is there. False once the user has been told
    // that it is not: the command then ends before any page is closed or any question is asked.
    virtual bool CheckAvailable(int /*processKind*/) { return true; }
    // Imports a bank statement for the block's bank account and dates (which it leaves set to the
    // range imported). The number of entries imported, or a negative number when it failed.
    virtual int ImportBankStatement(TEntityInfo& file, TReportSetup& setup) = 0;
    virtual void ImportTransactions(TEntityInfo& file, TReportSetup& setup) = 0;
    virtual void ExportData(TEntityInfo& file, TReportSetup& setup) = 0;
    virtual void PerformBankReconciliation(TEntityInfo& file, TReportSetup& setup) = 0;
};
