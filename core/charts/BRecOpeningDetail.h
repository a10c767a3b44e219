#pragma once

#include "core/accounts/AccountCode.h"
#include "core/charts/MasterChartItem.h"

#include <QChar>
#include <QString>

class TAccountFormat;
class TValueReader;
class TValueWriter;

// Where the reconciliation of one bank account starts in a file year: the opening balances of
// the cash book and of the bank statement, how far the account has been reconciled, and the
// slot (0-34) that names the account's two reconciliation files of the year, the unmatched
// entries (".RU") and the matched ones (".RM").
class TBRecOpeningDetail : public TMasterChartItem {
public:
    // Slots 0-34 name the reconciliation files; -1 is no slot yet.
    static constexpr int NoSlot = -1;
    static constexpr int SlotCount = 35;
    // Reconciled_To of an account not yet reconciled.
    static constexpr double NotReconciled = -1.0;

    explicit TBRecOpeningDetail(const TAccountFormat* format = nullptr);

    // The key is the bank account as the account format shows it; setting it reads the text
    // with the format (no format, or text that is no code: refused).
    QString GetKey() const override { return GetBankAccountText(); }
    bool SetKey(const QString& key) override;

    // The character of a slot in the reconciliation file names: "0"-"9" for slots 0-9, then
    // "A" for 10 up to "Y" for 34; a null character for any other number.
    static QChar SlotCharacter(int slot);
    // The name of a reconciliation file: the file code, the two-digit year (none for year -1),
    // ".RU" (unmatched) or ".RM" (matched) and the slot character, in the BANK_REC folder of the
    // data folder. Empty for a number that is no slot.
    static QString ReconciliationFileName(const QString& dataDir, const QString& fileCode, int year, int slot,
                                          bool matched);
    // Sets both file names from the slot (clears them when there is none).
    void BuildFileNames(const QString& dataDir, const QString& fileCode, int year);

    // True copies the period end into Reconciled_To; false makes the account not reconciled.
    void SetCompleted(bool value);

    // Texts of the account lists: the formatted bank account, the balances "#0.00", and
    // "Not Reconciled" or the date reconciled to.
    QString GetBankAccountText() const;
    QString GetOpenBalDateText() const;
    QString GetCashbookOpenBalText() const;
    QString GetStatementOpenBalText() const;
    QString GetReconciledToText() const;

    // Stream form: the four parts of the bank account (branch, division, account, sub-account),
    // the seven amounts and dates in field order, Completed, Flag2, the slot, then the
    // unmatched and the matched file names without their folder.
    void WriteToStream(TValueWriter& writer) const;
    // A slot outside 0-34 in the file is read as no slot, so the chart gives the account a free
    // one instead of files that cannot be named.
    void ReadFromStream(TValueReader& reader);

    const TAccountFormat* Format = nullptr;
    TAccountCode BankAccount;
    QString Currency;
    double Open_Bal_Date = 0.0;
    double Cashbook_Open_Bal = 0.0;
    // The third and sixth values belong to the bank reconciliation; they are kept and copied.
    double ThirdAmount = 0.0;
    double Statement_Open_Bal = 0.0;
    double PeriodEnd = 0.0;
    double SixthValue = 0.0;
    double Reconciled_To = NotReconciled;
    bool Completed = false;
    bool Flag2 = false;
    qint32 Slot = NoSlot;
    QString UnmatchedFile;
    QString MatchedFile;
};
