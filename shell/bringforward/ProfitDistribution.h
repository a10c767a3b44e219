#pragma once

#include <QList>
#include <QString>

#include <utility>

class TAccountsChart;
class TEntityDetail;

// One line of a retained-profit distribution: the account as typed and its percentage as text
// ("33.33").
struct TDistributionEntry {
    QString Account;
    QString Percentage;
    friend bool operator==(const TDistributionEntry&, const TDistributionEntry&) = default;
};

// How the retained profit of a year is shared among equity accounts: an ordered list of accounts
// with percentages that must add up to 100. The list is kept per financial year in the file's
// detail record, one "account,percentage" text per entry; bringing a file forward reads the new
// year's list, lets the user edit it and posts each bank account's profit by it.
class TProfitDistribution {
public:
    static inline const QString TotalText =
        QStringLiteral("Retained profit distributions must add up to 100% to balance forward.");
    static inline const QString DeleteQuestion =
        QStringLiteral("Are you sure you want to delete the selected distribution ?");
    static inline const QString ResetQuestion =
        QStringLiteral("Are you sure you want to reset the profit distributions ?");
    // The description of a retained-profits account created for the default entry.
    static inline const QString DefaultDescription = QStringLiteral("Retained Profits");
    // The distribution total passes when it lies this close to 100.
    static constexpr double TotalTolerance = 0.009;

    // A stored entry split at its first comma; an entry without a comma is an account alone.
    static std::pair<QString, QString> Split(const QString& stored);
    // The stored form "account,percentage".
    static QString Join(const TDistributionEntry& entry);
    // A percentage text as a number, whatever the user's locale ("." decimals, blanks around
    // allowed); 0 for text that is no number.
    static double ParsePercentage(const QString& text);

    // Reads the year's list from the record (TEntityDetail::LoadProfitDistribution fills
    // detail.ProfitDistribution). An entry whose account the source chart lacks is moved to the
    // chart's default suspense account with its percentage kept; an empty list gets the default
    // entry (AddDefault), which may add the retained-profits account to the source chart.
    void Load(TEntityDetail& detail, int year, TAccountsChart& source);
    // Writes the list into detail.ProfitDistribution and the record's section of the year, in
    // memory; the disk write comes with the record's Save.
    void Store(TEntityDetail& detail, int year) const;
    // Appends the retained-profits account of the file's entity type (its account format says
    // which) at 100 less the current total, never below 0, written "%.2f". The account is
    // created in `chart` ("ACC", "Retained Profits") when the chart lacks it. A format that names
    // no retained-profits account for the type gives the chart's default suspense account.
    void AddDefault(const TEntityDetail& detail, TAccountsChart& chart);

    const QList<TDistributionEntry>& Entries() const { return Items; }
    void SetEntries(QList<TDistributionEntry> entries) { Items = std::move(entries); }
    int Count() const { return static_cast<int>(Items.size()); }
    // Rows outside the list are ignored.
    void SetAccount(int row, const QString& account);
    void SetPercentage(int row, const QString& text);

    // More than one entry: the last entry is never deleted.
    bool CanDelete() const { return Items.size() > 1; }
    // Removes the entry of the row (when CanDelete) and returns the row to select afterwards:
    // the same row, or the new last row when the last was removed.
    int Delete(int row);
    // Empties the list and adds the default entry.
    void Reset(const TEntityDetail& detail, TAccountsChart& chart);

    // The sum of the percentages.
    double Total() const;
    // The total is 100 within TotalTolerance.
    bool CheckTotal() const;
    // The total as the page shows it: two decimals and "%".
    QString TotalCaption() const;

    // The amounts of a profit split by the entries, to the cent (round half to even of profit x
    // percentage, then / 100), in entry order. When their sum differs from the profit by more
    // than a cent's tolerance, `adjustment` is the difference to the cent (it belongs to the
    // first entry's account); otherwise 0.
    struct TShare {
        QString Account;
        QString Percentage;
        double Amount = 0;
    };
    static QList<TShare> SplitProfit(double profit, const QList<TDistributionEntry>& entries,
                                     double& adjustment);

    // The account code the chart shows for the entry's text (the text itself when the chart
    // lacks it), and that account's description (empty when none).
    static QString AccountText(const TAccountsChart* chart, const QString& account);
    static QString AccountDescription(const TAccountsChart* chart, const QString& account);

private:
    QList<TDistributionEntry> Items;
};
