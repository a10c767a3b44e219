#pragma once

#include "core/accounts/AccountCode.h"
#include "core/charts/BRecOpeningDetail.h"
#include "core/charts/MasterChart.h"

#include <QChar>
#include <QList>
#include <QMap>
#include <QString>
#include <memory>

class TAccountDetail;
class TAccountFormat;
class TAccountsChart;

// A bank account of the chart of accounts as the reconciliation sees it.
struct TBankAccountSeed {
    TAccountCode Code;
    QString Currency;
};

// The opening positions of the bank reconciliations of a client file's year (kind 0,
// "<code><yy>.BOB" in the BANK_REC folder, header "Bank Rec Opening Bals", "V5.5"), one per bank
// account of the year's chart of accounts, at most 35. Each account has its own slot 0-34,
// which names its two reconciliation files of the year ("<code><yy>.RU<slot>" for unmatched
// entries, ".RM<slot>" for matched ones).
//
// Loading starts from the bank accounts of the chart of accounts; the file then fills in what
// it knows of them. What it holds of an account that is no longer a bank account is dropped.
// Accounts without a slot get the lowest free one; two stored accounts claiming the same slot
// (a damaged file) would share their files, so the later one gets a free slot of its own.
class TBankRecOpeningDetailChart : public TMasterChart {
public:
    static constexpr int MaxDetails = TBRecOpeningDetail::SlotCount;

    // `accounts` is the year's chart of accounts (not owned; nullptr: no bank accounts). `format`
    // is the client's account format (nullptr: the accounts chart's, else the program's format
    // of Entity.AccFormatID). Loads at once when the options hold 7.
    TBankRecOpeningDetailChart(const TChartEntity& entity, TAccountsChart* accounts,
                               const TAccountFormat* format, const TOptionSet& options, int year);

    const TAccountFormat* Format() const { return AccountFormat; }
    TAccountsChart* AccountsChart() const { return Accounts; }

    // Files a detail under its bank account (the format is set when it has none); -1 when the
    // account already has one.
    int AddItem(std::unique_ptr<TMasterChartItem> item) override;

    int IndexOfAccount(const TAccountCode& code) const;
    TBRecOpeningDetail* GetDetail(int index) const;
    // The account of a detail in the chart of accounts; nullptr when there is none.
    TAccountDetail* GetBankAccount(int index) const;
    // The symbol of the account's bank currency; a blank when there is none.
    QChar GetCurrencySymbol(int index) const;
    // The account's code with " (<currency>)" when its bank details name one; empty when the
    // account is not in the chart of accounts.
    void GetCodeWithCurrency(int index, QString& text) const;

    // A fresh start: opened on the first day of the financial year, first period ending on the
    // last day of its first month, not completed.
    void InitDetailDates(TBRecOpeningDetail& detail) const;
    // Whether the account's reconciliation is completed; when it is not, says so (warning
    // beep): "Reconciliation not completed for account <code>".
    bool CheckCompleted(int index) const;
    // Starts the account's reconciliation over: not completed, second flag cleared, no slot and
    // no files, and the second flag of the account's bank details cleared.
    void ResetDetail(int index);

    // The bank accounts of the chart of accounts, from the first account of the balance-sheet
    // range on, in chart order.
    QList<TBankAccountSeed> BankAccounts() const;
    // A new detail for each bank account (its currency, fresh dates), replacing a detail of the
    // same account; no more than 35 are made.
    void SeedDetails(const QList<TBankAccountSeed>& bankAccounts);
    // Gives every detail without a slot the lowest free one and builds every detail's file
    // names.
    void AssignFreeSlots();

    // Empties the chart unless the options hold 27 or 28, seeds it from the bank accounts,
    // merges the year's file over it (the caller's options with 28), assigns free slots. The
    // chart then counts as saved: it holds what the accounts and the file say.
    int LoadFromFile(const TOptionSet& options, IProgress* progress = nullptr) override;

    // The exchange form: one record of 362 bytes, the year (16 bits) and ten entries of 36
    // bytes: the opening-balance date "dd/mm/yy" (short string of 8), the number of its month
    // period in the client's financial year (16 bits), the bank account's code (short string of
    // 6) and the statement and cashbook opening balances and the sixth value as 6-byte reals.
    // The first ten details whose code fits are written; leftOut says how many were not.
    int ExportItems(const QString& fileName, IProgress* progress, int& leftOut);
    int ExportItems(const QString& fileName, IProgress* progress = nullptr) override;
    // Reads the entries up to the first with an empty code. Each names an account of the chart
    // of accounts that becomes a bank account in the client's currency; its detail (made when
    // missing) takes the date, the three amounts and the end of the entry's period in the
    // chart's year. Entries whose code is no account, whose account lies outside the
    // balance-sheet range, whose period is outside 1-12 or whose date cannot be read are passed
    // over, as are new details beyond MaxDetails. Then every detail gets its slot and files.
    int ImportItems(const QString& fileName, const TOptionSet& options,
                    IProgress* progress = nullptr) override;

    static constexpr int ExchangeEntries = 10;
    static constexpr int ExchangeEntrySize = 36;
    static constexpr int ExchangeFileSize = 2 + ExchangeEntries * ExchangeEntrySize;

    // Bank accounts of details read from another chart: old formatted code to new code text.
    QMap<QString, QString> CodeTranslation;

protected:
    void WriteItems(QIODevice& stream, TValueWriter& writer, IProgress* progress) override;
    // Each stored detail updates the seeded detail of its account; one without is dropped.
    void ReadItems(QIODevice& stream, TValueReader& reader, IProgress* progress,
                   const TOptionSet& options) override;
    // The held detail takes the stored fields; its account, currency and format stay.
    void MergeItem(TMasterChartItem& held, const TMasterChartItem& read) override;

private:
    bool SlotTakenByOther(int slot, const TBRecOpeningDetail* detail) const;

    TAccountsChart* Accounts = nullptr;
    const TAccountFormat* AccountFormat = nullptr;
};
