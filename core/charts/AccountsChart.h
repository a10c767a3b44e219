#pragma once

#include "core/accounts/AccountCode.h"
#include "core/charts/AccountDetail.h"
#include "core/charts/MasterChart.h"

#include <QString>
#include <memory>
#include <optional>

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
// record (AccDefault); the year's own file is written at the next save. When that default chart
// does not exist either, the file is new and nothing is lost: the year starts with its suspense
// account alone and nothing is reported. A chart of another account format is loaded only when
// the user agrees; declined, the chart is save-blocked so the other format's file stays as it is.
class TAccountsChart : public TMasterChart {
public:
    // An edit box as type-ahead sees it: its text and its selection (the caret is SelStart).
    struct TEditState {
        QString Text;
        int SelStart = 0;
        int SelLength = 0;
    };

    // The new accounts of one build (the accounts a loaded page lacks, the accounts of a year
    // brought forward, a chart made account by account). Each is stamped with the time it is
    // added, as a single new account is, but the clock is read once for the whole build, when
    // its first account is made: every reading of the local time looks at the time zone again.
    class TNewAccounts {
    public:
        explicit TNewAccounts(const TAccountFormat* format) : Format(format) {}
        // A new account of the format (see TAccountDetail) stamped with the build's time: the
        // clock's reading at the first call.
        std::unique_ptr<TAccountDetail> Make();

    private:
        const TAccountFormat* Format = nullptr;
        std::optional<double> Stamp;
    };

    // The compatibility question's help topic.
    static constexpr int ForeignFormatHelpContext = 16500;
    // Bank accounts beyond this many are not counted (the bank reconciliation's slots).
    static constexpr int MaxBankAccounts = 35;
    // Result of IndexOfCodeText for text that is no code of the format.
    static constexpr int InvalidCodeText = -103;

    // The chart of the client's year. `format` is the client's account format (nullptr: the
    // program's format of Entity.AccFormatID). `fileName`, when given, is read and written in
    // place of the year's file. `stdDescs` is the year's standard descriptions (not owned; may be
    // nullptr). Loads at once when the options hold 7; then every branch and division gets its
    // standard description.
    TAccountsChart(const TChartEntity& entity, const TAccountFormat* format, const TOptionSet& options,
                   int year, const QString& fileName = QString(), TStdDescChart* stdDescs = nullptr,
                   IProgress* progress = nullptr);
    ~TAccountsChart() override;

    // An empty chart of no year whose files carry another account format's key (converting
    // charts between formats).
    static std::unique_ptr<TAccountsChart>
    CreateForFormat(const TChartEntity& entity, const QString& formatID, const TAccountFormat* format);

    const TAccountFormat* Format() const { return AccountFormat; }
    TStdDescChart* StdDescriptions() const { return StdDescs; }

    // ---- Items -------------------------------------------------------------------------------

    // Links the account to the chart and its standard descriptions and files it under its
    // formatted code. -1 (and the account freed) when the code is already in the chart.
    int AddItem(std::unique_ptr<TMasterChartItem> item) override;
    int AddAccount(std::unique_ptr<TAccountDetail> account);
    std::unique_ptr<TMasterChartItem> DeleteItem(int index, bool freeIt = true) override;

    // Gives an account a new code (typed text, or a code) and files it under it; the new index.
    // -1, nothing changed, for invalid text or a code another account already has.
    int ChangeCode(int index, const QString& newCode) override;
    int ChangeCode(int index, const TAccountCode& newCode);

    TAccountDetail* GetAccount(int index) const { return static_cast<TAccountDetail*>(GetItem(index)); }
    int IndexOfAccount(const TAccountDetail* account) const;
    // The empty code for -1.
    TAccountCode GetCodeParts(int index) const;
    int IndexOfCode(const TAccountCode& code) const;
    // -103 for text that is no code of the format.
    int IndexOfCodeText(const QString& text) const;
    // The account that a code typed by the user names: the code as typed, else the code the
    // format places it at ("1180" finds 00-1180-00, TAccountFormat::PlacedCode). -103 for text
    // that is no code of the format.
    int IndexOfTypedCode(const QString& text) const;
    // The formatted code and " (<currency>)" when the bank details name a currency; empty for -1.
    void GetCodeWithCurrency(int index, QString& text) const;
    // The first index whose account number is at least `no` (Count when none), in chart order.
    int LowerBoundAccountNo(int no) const;
    // From `start`: the first account whose formatted code starts with the text (exact: equals it),
    // matchKind 1; else the first whose description contains it (exact: equals it), case
    // aside, matchKind 2; else -1 and matchKind 0.
    int FindAccountByText(const QString& text, bool exact, int& matchKind, int start = 0) const;
    // Type-ahead over an edit box: the text before the caret is looked up; when the code or
    // description found starts with it, the box takes that text with the completed part
    // selected. Returns whether the box changed.
    bool AutoCompleteEdit(TEditState& edit) const;

    // The length of the longest formatted code added.
    int MaxCodeLength() const { return LongestCode; }

    // ---- Control, default and suspense accounts ---------------------------------------------

    // The "CTL" account with the code's account number and nothing else; -1 when none.
    int FindControlAccount(const TAccountCode& code) const;
    int FindControlAccountOf(int index) const;
    int DefaultBankAccount() const;
    int DefaultSuspenseAccount() const;
    // For a "SUS" or "BNK" account: the default flag leaves every account of that type and is
    // set (`value`) on this one.
    void SetDefaultAccount(int index, bool value);
    // Makes sure the chart has a default suspense account: the first suspense account of the
    // suspense range, or a new one with the range's first code and name.
    void EnsureSuspenseAccount();
    // Makes the account a suspense account when its code lies in the suspense range.
    void ApplySuspenseRange(TAccountDetail& account) const;
    bool IsNonPostingAccount(int index) const;

    // ---- Account groups and bank accounts ---------------------------------------------------

    // The number of accounts with bank details, counting no further than 35.
    int CountBankAccounts() const;
    // The first / last index of an account inside group i of the groups; -1 when none.
    int FirstAccountInGroup(const TAccountGroups& groups, int i) const;
    int LastAccountInGroup(const TAccountGroups& groups, int i) const;
    // The codes of the bank accounts inside the balance-sheet range joined by "," (only the
    // first unless `all`), parsed into the groups; the parse result (false, and no groups,
    // for a chart without an account format).
    bool GetBankAccountGroups(QString& text, bool all, std::unique_ptr<TAccountGroups>& groups) const;
    // Clears the second bank-details flag of one account, or of all for -1.
    void ClearBankDetailsFlag(int index);

    // ---- Working amounts ----------------------------------------------------------------------

    void ClearAccountBalances();
    void ClearAllAccountAmounts();
    void ClearUsedFlags();
    double GetAccountBalance(int index) const;
    void AddToAccountBalance(int index, double amount);
    void AddToAccountTotal(int index, double amount);
    void AddToAccountQuantity(int index, qint32 qty);

    // ---- Codes -------------------------------------------------------------------------------

    // The index of the account a code rolls up to at a consolidation level (see
    // ConsolidatedCode); the index of the unchanged code when the rolled-up one is not in the
    // chart or, at level 9, is not a control account.
    int FindConsolidatedAccount(const TAccountCode& code, int level) const;
    // The code rolled up to a level: branch, division and sub-account move to the lowest values
    // of the format's "ALL" range (levels 1-6), or are removed (level 9). Levels 0, 7 and 8,
    // any other level, and a format without "ALL" leave the code as it is.
    static TAccountCode ConsolidatedCode(const TAccountFormat* format, const TAccountCode& code, int level);

    // A code typed in an older program's layout, in this chart's format.
    QString ConvertOldCodeText(const QString& text) const;
    // The conversion by format identifier: for "QUILVANE", "PAXUS", "SOLUTION 6 MAS4",
    // "SOLUTION 6 MAS3" and "HANDILEDGER" the first "/" and the first "-" become the format's
    // separator after the account number (or go when there is none); for "CEE DATA" the first
    // "/", "." and "-" become the separators after branch, division and account number; any
    // other format keeps the text.
    static QString ConvertOldCodeText(const QString& formatID, const TAccountFormat* format,
                                      const QString& text);

    // The standard descriptions "BRANCH <b>" / "Division <d>" of an account's branch and
    // division when the standard descriptions lack them (that chart is then modified).
    void AddBranchDescription(const TAccountDetail& account);
    void AddDivisionDescription(const TAccountDetail& account);
    void AddBranchDivisionDescriptions();

    // ---- File --------------------------------------------------------------------------------

    // Loads the year's file, or the client's default chart when the year has none (the year's
    // own file is then written at the next save). A default chart that does not exist is no
    // failure: the chart is emptied (unless merging) and 0 returned, without a box. Otherwise the
    // file must be there: a year without its own file and without a default named, an empty
    // default chart or one on a drive that is not ready gives "File not found" with Retry and
    // Ignore (-1), and a damaged one its own load failure. A chart of another account format is
    // loaded only after the compatibility question (warning beep; OK, Cancel, Help): OK loads it and
    // leaves the chart modified so the next save writes it with this format's key (0); Cancel
    // loads nothing, blocks saving and returns -116. In every case a default suspense account
    // is then ensured.
    int LoadFromFile(const TOptionSet& options, IProgress* progress = nullptr) override;

    // The exchange form: text lines "<code>,<description>" ending in CR LF, in chart order. Codes
    // are written in the program's own account format "QUILVANE" when the program has it, else
    // in this chart's; a code whose text was already written is left out. Descriptions are
    // written with their abbreviations expanded, cut to 30 characters.
    int ExportItems(const QString& fileName, IProgress* progress = nullptr) override;
    // Reads the lines of the form: the code up to the first ",", older separators converted,
    // read with this chart's format (a line whose code is none is passed over); the description
    // up to the next ",". A new code is added (in the suspense range as a suspense account); an
    // account already held takes the description only with option 28. A missing file reads as
    // empty.
    int ImportItems(const QString& fileName, const TOptionSet& options,
                    IProgress* progress = nullptr) override;

    // The client's default chart, stored form (TStandardChart::DefaultChartPath of AccDefault):
    // empty without AccDefault. Raises EQuilvaneError ("The default chart <name> lies outside
    // the data folder.") for a name that leads out of the data folder, and StoredFileSizeInside's
    // text for one inside it that would be read through a link (TStandardChart::
    // RefuseLinkedDefaultChart): neither is ever read.
    QString DefaultChartName() const;

protected:
    void WriteItems(QIODevice& stream, TValueWriter& writer, IProgress* progress) override;
    void ReadItems(QIODevice& stream, TValueReader& reader, IProgress* progress,
                   const TOptionSet& options) override;
    void MergeItem(TMasterChartItem& held, const TMasterChartItem& read) override;
    // The year's file when it exists, else the default chart.
    QString FileToLoad(const TOptionSet& options) override;
    // Asks the compatibility question for a chart of another account format.
    bool AcceptHeader(int headerResult) override;

private:
    // The year has no file of its own and the default chart named in the record does not exist.
    bool DefaultChartMissing(const TOptionSet& options) const;
    void AddDescriptionOf(const TAccountDetail& account, bool branch);
    const TAccountGroup* RangeGroup(const QString& rangeType) const;

    const TAccountFormat* AccountFormat = nullptr;
    TStdDescChart* StdDescs = nullptr;
    int LongestCode = 0;
    // Set by the load: the default chart is being read, or the user declined another format.
    bool LoadingDefault = false;
    bool DeclinedFormat = false;
};
