#pragma once

class TEntityInfo;
class TReportSetup;

// The windows the process launchers open. Each is shown modally for the run-parameter block of one
// process of a file and may be missing while its part of the program is not there.

// The backup and restore window: transfers to and from the client or the accountant, backups and
// restores. True on OK.
class IBackupRestoreWindow {
public:
    virtual ~IBackupRestoreWindow() = default;
    virtual bool Run(TEntityInfo& file, TReportSetup& setup) = 0;
};

// The bring-forward window for the file and the block's year. True on OK.
class IBringForwardWindow {
public:
    virtual ~IBringForwardWindow() = default;
    virtual bool Run(TEntityInfo& file, TReportSetup& setup) = 0;
};

// The run-parameters window of a report or process. True on OK.
class IReportParameters {
public:
    virtual ~IReportParameters() = default;
    virtual bool Run(TEntityInfo& file, TReportSetup& setup) = 0;
};

// The banking services: statement and transaction imports, the data export and the bank
// reconciliation window.
class IBankingServices {
public:
    virtual ~IBankingServices() = default;
    // Imports a bank statement for the block's bank account and dates (which it leaves set to the
    // range imported). The number of entries imported, or a negative number when it failed.
    virtual int ImportBankStatement(TEntityInfo& file, TReportSetup& setup) = 0;
    virtual void ImportTransactions(TEntityInfo& file, TReportSetup& setup) = 0;
    virtual void ExportData(TEntityInfo& file, TReportSetup& setup) = 0;
    virtual void PerformBankReconciliation(TEntityInfo& file, TReportSetup& setup) = 0;
};
