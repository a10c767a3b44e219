#pragma once

#include "core/accounts/AccountCode.h"
#include "core/charts/AccountDetail.h"
#include "core/charts/MasterChart.h"

#include <QString>
#include <memory>

class TAccountFormat;
class TAccountGroups;
class TStdDescChart;

// The chart of accounts of a client file for one financial year (kind 1,
// "<data>\M_DETAIL\<code><yy>.ADF", header "Chart of Accounts", "V5.0" and the file's
// account-format identifier as key). The accounts are filed under their codes as the account
// format shows them, so the chart is in formatted-code order. In a format whose branch leads
// (BB-AAAA-SS) that is not account-number order: everything that looks for account numbers
// walks the chart instead of halving it.
//
// A year without its own file starts from the practice's default chart named in the client's
// record (AccDefault); the year's own file is written at the next save. A chart of another
// account format is loaded only when the user agrees; declined, the chart is save-blocked so
// the other format's file stays as it is.
class TAccountsChart : public TMasterChart {
public:
    // An edit box as type-ahead sees it: its text and its selection (the caret is SelStart).
    struct TEditState {
        QString Text;
        int SelStart = 0;
        int SelLength = 0;
    };

    // The compatibility question's help topic.
    static constexpr int ForeignFormatHelpContext = 16500;
    // Bank accounts beyond this many are not counted (the bank reconciliation's slots).
    static constexpr int MaxBankAccounts = 35;
    // Result of IndexOfCodeText for text that is no code of the format.
    static constexpr int InvalidCodeText = -103;

    // The chart of the client's year. Format is the client's account format (nullptr: the
    // program's format of Entity.AccFormatID). FileName, when given, is read and written in
    // place of the year's file. StdDescs is the year's standard descriptions (not owned; may be
    // nullptr). Loads at once when the options hold 7; then every branch and division gets its
    // standard description.
    TAccountsChart(const TChartEntity& Entity, const TAccountFormat* Format, const TOptionSet& Options,
                   int Year, const QString& FileName = QString(), TStdDescChart* StdDescs = nullptr,
                   IProgress* Progress = nullptr);
    ~TAccountsChart() override;

    // An empty chart of no year whose files carry another account format's key (converting
    // charts between formats).
    static std::unique_ptr<TAccountsChart>
    CreateForFormat(const TChartEntity& Entity, const QString& FormatID, const TAccountFormat* Format);

    const TAccountFormat* Format() const { return AccountFormat; }
    TStdDescChart* StdDescriptions() const { return StdDescs; }

    // ---- Items -------------------------------------------------------------------------------

    // Links the account to the chart and its standard descriptions and files it under its
    // formatted code. -1 (and the account freed) when the code is already in the chart.
    int AddItem(std::unique_ptr<TMasterChartItem> Item) override;
    int AddAccount(std::unique_ptr<TAccountDetail> Account);
    std::unique_ptr<TMasterChartItem> DeleteItem(int Index, bool FreeIt = true) override;

    // Gives an account a new code (typed text, or a code) and files it under it; the new index.
    // -1, nothing changed, for invalid text or a code another account already has.
    int ChangeCode(int Index, const QString& NewCode) override;
    int ChangeCode(int Index, const TAccountCode& NewCode);

    TAccountDetail* GetAccount(int Index) const;
    int IndexOfAccount(const TAccountDetail* Account) const;
    // The empty code for -1.
    TAccountCode GetCodeParts(int Index) const;
    int IndexOfCode(const TAccountCode& Code) const;
    // -103 for text that is no code of the format.
    int IndexOfCodeText(const QString& Text) const;
    // The formatted code and " (<currency>)" when the bank details name a currency; empty for -1.
    void GetCodeWithCurrency(int Index, QString& Text) const;
    // The first index whose account number is at least No (Count when none), in chart order.
    int LowerBoundAccountNo(int No) const;
    // From Start: the first account whose formatted code starts with Text (Exact: equals it),
    // MatchKind 1; else the first whose description contains Text (Exact: equals it), case
    // aside, MatchKind 2; else -1 and MatchKind 0.
    int FindAccountByText(const QString& Text, bool Exact, int& MatchKind, int Start = 0) const;
    // Type-ahead over an edit box: the text before the caret is looked up; when the code or
    // description found starts with it, the box takes that text with the completed part
    // selected. Returns whether the box changed.
    bool AutoCompleteEdit(TEditState& Edit) const;

    // The length of the longest formatted code added.
    int MaxCodeLength() const { return LongestCode; }

    // ---- Control, default and suspense accounts ---------------------------------------------

    // The "CTL" account with the code's account number and nothing else; -1 when none.
    int FindControlAccount(const TAccountCode& Code) const;
    int FindControlAccountOf(int Index) const;
    int DefaultBankAccount() const;
    int DefaultSuspenseAccount() const;
    // For a "SUS" or "BNK" account: the default flag leaves every account of that type and is
    // set (Value) on this one.
    void SetDefaultAccount(int Index, bool Value);
    // Makes sure the chart has a default suspense account: the first suspense account of the
    // suspense range, or a new one with the range's first code and name.
    void EnsureSuspenseAccount();
    // Makes the account a suspense account when its code lies in the suspense range.
    void ApplySuspenseRange(TAccountDetail& Account) const;
    bool IsNonPostingAccount(int Index) const;

    // ---- Account groups and bank accounts ---------------------------------------------------

    // The number of accounts with bank details, counting no further than 35.
    int CountBankAccounts() const;
    // The first / last index of an account inside group I of Groups; -1 when none.
    int FirstAccountInGroup(const TAccountGroups& Groups, int I) const;
    int LastAccountInGroup(const TAccountGroups& Groups, int I) const;
    // The codes of the bank accounts inside the balance-sheet range joined by "," (only the
    // first unless All), parsed into Groups; the parse result.
    bool GetBankAccountGroups(QString& Text, bool All, std::unique_ptr<TAccountGroups>& Groups) const;
    // Clears the second bank-details flag of one account, or of all for -1.
    void ClearBankDetailsFlag(int Index);

    // ---- Working amounts ----------------------------------------------------------------------

    void ClearAccountBalances();
    void ClearAllAccountAmounts();
    void ClearUsedFlags();
    double GetAccountBalance(int Index) const;
    void AddToAccountBalance(int Index, double Amount);
    void AddToAccountTotal(int Index, double Amount);
    void AddToAccountQuantity(int Index, qint32 Qty);

    // ---- Codes -------------------------------------------------------------------------------

    // The index of the account a code rolls up to at a consolidation level (see
    // ConsolidatedCode); the index of the unchanged code when the rolled-up one is not in the
    // chart or, at level 9, is not a control account.
    int FindConsolidatedAccount(const TAccountCode& Code, int Level) const;
    // The code rolled up to a level: branch, division and sub-account move to the lowest values
    // of the format's "ALL" range (levels 1-6), or are removed (level 9). Levels 0, 7 and 8,
    // any other level, and a format without "ALL" leave the code as it is.
    static TAccountCode ConsolidatedCode(const TAccountFormat* Format, const TAccountCode& Code, int Level);

    // A code typed in an older program's layout, in this chart's format.
    QString ConvertOldCodeText(const QString& Text) const;
    // The conversion by format identifier: for "QUILVANE", "PAXUS", "SOLUTION 6 MAS4",
    // "SOLUTION 6 MAS3" and "HANDILEDGER" the first "/" and the first "-" become the format's
    // separator after the account number (or go when there is none); for "CEE DATA" the first
    // "/", "." and "-" become the separators after branch, division and account number; any
    // other format keeps the text.
    static QString ConvertOldCodeText(const QString& FormatID, const TAccountFormat* Format,
                                      const QString& Text);

    // The standard descriptions "BRANCH <b>" / "Division <d>" of an account's branch and
    // division when the standard descriptions lack them (that chart is then modified).
    void AddBranchDescription(const TAccountDetail& Account);
    void AddDivisionDescription(const TAccountDetail& Account);
    void AddBranchDivisionDescriptions();

    // ---- File --------------------------------------------------------------------------------

    // Loads the year's file, or the client's default chart when the year has none. A chart of
    // another account format is loaded only after the compatibility question (warning beep;
    // OK, Cancel, Help): OK loads it and leaves the chart modified so the next save writes it
    // with this format's key (0); Cancel loads nothing, blocks saving and returns -116. In every
    // case a default suspense account is then ensured.
    int LoadFromFile(const TOptionSet& Options, IProgress* Progress = nullptr) override;

    // The file the load would read: the override, else the year's file, else (when that does
    // not exist) the client's default chart: AccDefault as given when it holds a folder, else
    // in the M_DETAIL folder of the client's data folder.
    QString LoadFileName(const TOptionSet& Options) const;

protected:
    void WriteItems(QIODevice& Stream, TValueWriter& Writer, IProgress* Progress) override;
    void ReadItems(QIODevice& Stream, TValueReader& Reader, IProgress* Progress,
                   const TOptionSet& Options) override;
    void MergeItem(TMasterChartItem& Held, const TMasterChartItem& Read) override;

private:
    void AddDescriptionOf(const TAccountDetail& Account, bool Branch);
    const TAccountGroup* RangeGroup(const QString& RangeType) const;

    const TAccountFormat* AccountFormat = nullptr;
    TStdDescChart* StdDescs = nullptr;
    int LongestCode = 0;
};
