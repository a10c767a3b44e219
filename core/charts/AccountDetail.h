#pragma once

#include "core/accounts/AccountCode.h"
#include "core/accounts/BankDetails.h"
#include "core/accounts/ColumnBals.h"
#include "core/charts/MasterChartItem.h"

#include <QChar>
#include <QString>

#include <array>
#include <memory>

class TAccountFormat;
class TAccountGroup;
class TAccountsChart;
class TStdDescChart;
class TValueReader;
class TValueWriter;

// One account of a client file's chart of accounts for a year: its code in the file's account
// format, description, type, normal sign, bank details (bank accounts only), budgets, and the
// working balances that processing runs and reports accumulate.
//
// The code is the account's key in its chart. While the account is held by a chart its code
// changes only through the chart (TAccountsChart::ChangeCode), which keeps the chart's order and
// refuses a code another account already has.
class TAccountDetail : public TMasterChartItem {
public:
    static constexpr int BudgetSlots = 13;
    static constexpr int PeriodSlots = 53;
    // The prefix that indents a sub-account's description in lists: two blanks, a middle dot
    // and a blank.
    static inline const QString SubAccountIndent = QStringLiteral("  \u00B7 ");

    // A new "ACC" account with sign 'B', the empty code, no bank details, added now.
    explicit TAccountDetail(const TAccountFormat* format);
    // As above with a given date added: an account about to be read from a file, or one of
    // many made together, which share one reading of the clock (TAccountsChart::TNewAccounts).
    TAccountDetail(const TAccountFormat* format, double dateAdded);
    // A copy of the source (CopyFrom) for a chart of `format`. It keeps the source's date added,
    // so making it reads no clock.
    static std::unique_ptr<TAccountDetail> CopyOf(const TAccountFormat* format, const TAccountDetail& source,
                                                  bool withBalances);
    ~TAccountDetail() override;
    TAccountDetail(const TAccountDetail&) = delete;
    TAccountDetail& operator=(const TAccountDetail&) = delete;

    // ---- Code ------------------------------------------------------------------------------

    // The chart key: the code formatted by the account format.
    QString GetKey() const override;
    // Reads the key text as a code of the account format (no messages); false for invalid text.
    // Only the chart calls this, while it files the account under the new key.
    bool SetKey(const QString& key) override;

    const TAccountCode& Code() const { return CodeValue; }
    // Sets the code of an account not held by a chart (both codes of a new account start
    // equal when Code2 is still empty). False, and nothing changed, for an account in a chart.
    bool SetCode(const TAccountCode& code);
    TAccountsChart* Chart() const { return Owner; }

    // Branch, division and sub-account all absent: the account may be a control account.
    bool CanBeControlAccount() const;

    // ---- Stored form -------------------------------------------------------------------------

    // Four integers of Code, four of Code2, the description, a list holding the bank details
    // (empty without), the type, the sign's character code, the date added, the default and
    // second flags and the thirteen budget slots.
    void WriteToStream(TValueWriter& writer) const;
    // Reads the same sequence. Bank details in the list are read into a fresh record; the type
    // read then goes through the type rules, which keep the details only for a bank account
    // inside the balance-sheet range. Raises EStreamError on bad data.
    void ReadFromStream(TValueReader& reader);

    // Copies codes, description, type, sign, a copy of the bank details, date added, the
    // working balances, the flags and the budgets; the period and column lists only with
    // WithBalances. The code goes through SetCode rules: an account held by a chart keeps its
    // own code.
    void CopyFrom(const TAccountDetail& source, bool withBalances);

    // ---- Type rules --------------------------------------------------------------------------

    // Gives the account the requested type as the file's account format allows it:
    // inside the suspense range only "SUS" or a type the account-type list marks as
    // non-posting; "CTL" only without branch, division and sub-account (else "ACC"); "SUS"
    // requested outside the suspense range changes nothing; outside the balance-sheet range a
    // "BNK" request becomes "ACC"; bank details exist exactly while the type is "BNK".
    void DeriveAccountType(const QString& type);
    // The descriptions of the types this account may take, joined by ", ".
    QString GetAllowedTypesText() const;
    bool InSuspenseRange() const;
    bool InBalanceSheetRange() const;

    // The default flag of a "SUS" account (IsDefaultSuspense) or of a "BNK" account (its bank
    // details); any other type is never a default, and setting clears both flags.
    bool IsDefault() const;
    void SetDefault(bool value);

    // ---- Sign and bank ---------------------------------------------------------------------

    // "BAL", "CR" or "DR" (the sign character itself for any other).
    QString GetSignText() const;
    // Takes the first character of a non-empty text ("CR" gives 'C').
    void SetSignText(const QString& text);

    QString GetBankCurrency() const;
    void SetBankCurrency(const QString& code);
    // The symbol of the bank currency from the program's currency list; a blank when none.
    QChar GetCurrencySymbol() const;

    // ---- Branch and division descriptions ----------------------------------------------------

    // "BRANCH" / "DIVISION" and the part formatted by the account format: the abbreviations
    // under which the standard descriptions keep branch and division names.
    QString GetBranchKey() const;
    QString GetDivisionKey() const;
    // "Branch: <name>" / "Division: <name>" from the standard descriptions; empty when the part
    // is absent or has no description. Both joined by "; " when both exist.
    QString GetBranchText() const;
    QString GetDivisionText() const;
    QString GetBranchDivisionText() const;

    // ---- Budgets -----------------------------------------------------------------------------

    // Slot 0 is the year's total, slots 1-12 the months from July. Slots outside 0-12 read 0
    // and are not set.
    qint32 GetBudget(int slot) const;
    // Sets a slot and moves the total by the same difference.
    void SetBudget(int slot, qint32 value);
    void SetBudgets(const std::array<qint32, BudgetSlots>& values);
    void ClearBudgets();
    // The budget slot of a period of a year ending in EndMonth (slot 1 always stands for July).
    static int BudgetSlotOfPeriod(int period, int endMonth);

    // ---- Working values ----------------------------------------------------------------------

    double GetPeriodAmount(int slot) const { return PeriodAmounts.GetBalance(slot); }
    void SetPeriodAmount(int slot, double amount) { PeriodAmounts.SetBalance(slot, amount); }
    void AddToPeriodAmount(int slot, double amount) { PeriodAmounts.AddToBalance(slot, amount); }
    qint32 GetPeriodQuantity(int slot) const { return PeriodAmounts.GetQuantity(slot); }
    void SetPeriodQuantity(int slot, qint32 n) { PeriodAmounts.SetQuantity(slot, n); }
    void AddToPeriodQuantity(int slot, qint32 n) { PeriodAmounts.AddToQuantity(slot, n); }
    double GetColumnAmount(int slot) const { return ColumnValues.GetBalance(slot); }
    void SetColumnAmount(int slot, double amount) { ColumnValues.SetBalance(slot, amount); }
    void AddToColumnAmount(int slot, double amount) { ColumnValues.AddToBalance(slot, amount); }
    qint32 GetColumnQuantity(int slot) const { return ColumnValues.GetQuantity(slot); }
    void SetColumnQuantity(int slot, qint32 n) { ColumnValues.SetQuantity(slot, n); }
    void AddToColumnQuantity(int slot, qint32 n) { ColumnValues.AddToQuantity(slot, n); }

    // ---- List columns ------------------------------------------------------------------------

    // Index 0 the code, index 1 the second code, formatted.
    QString GetAccount_Code(int index) const;
    // Parses the text without messages; invalid text is ignored. Index 0 on an account held by
    // a chart goes through the chart's ChangeCode and is refused for a code already in use.
    bool SetAccount_Code(int index, const QString& text);
    // The description with its abbreviations expanded; a sub-account's indented.
    QString GetAccount_Description_() const;
    void SetAccount_Description_(const QString& text) { Description = text; }
    // Empty for "ACC"; else the type's description (the code when not listed), and " (Def)"
    // for the default of its kind.
    QString GetAccount_Type_() const;
    QString GetDate_Added() const;

    // ---- Fields ------------------------------------------------------------------------------

    const TAccountFormat* Format = nullptr;
    TAccountCode Code2;
    // The year's standard descriptions, set when the account is added to a chart; not owned.
    TStdDescChart* StdDescriptions = nullptr;
    QString Description;
    QString AccountType = QStringLiteral("ACC");
    QChar Sign = QLatin1Char('B');
    std::unique_ptr<TBankDetails> BankDetails;
    double DateAdded = 0.0;
    double Balance = 0.0;
    double Total = 0.0;
    double Amount3 = 0.0;
    qint32 Quantity = 0;
    bool Used = false;
    bool IsDefaultSuspense = false;
    bool Flag2 = false;
    std::array<qint32, BudgetSlots> Budgets{};
    TColumnBals PeriodAmounts{PeriodSlots};
    TColumnBals ColumnValues;

private:
    friend class TAccountsChart;

    const TAccountGroup* RangeGroup(const QString& rangeType) const;
    QString ExpandedDescription(const QString& key) const;

    TAccountCode CodeValue;
    TAccountsChart* Owner = nullptr;
};

// Account-type codes.
namespace AccountTypeCode {
inline const QString Ordinary = QStringLiteral("ACC");
inline const QString Bank = QStringLiteral("BNK");
inline const QString Suspense = QStringLiteral("SUS");
inline const QString Control = QStringLiteral("CTL");
inline const QString BalanceSheet = QStringLiteral("BSH");
inline const QString ProfitAndLoss = QStringLiteral("PRL");
inline const QString NonPosting = QStringLiteral("ANP");
inline const QString BalanceTotal = QStringLiteral("BAL");
} // namespace AccountTypeCode
