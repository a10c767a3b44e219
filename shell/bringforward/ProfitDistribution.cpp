#include "shell/bringforward/ProfitDistribution.h"

#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/common/Money.h"
#include "core/entity/EntityDetail.h"
#include "core/util/Numbers.h"

#include <cmath>
#include <memory>

namespace {

// The chart's index of an account text; -1 when the chart lacks it or the text is no code.
int IndexOfAccount(const TAccountsChart* chart, const QString& account) {
    if (!chart || account.trimmed().isEmpty())
        return -1;
    const int index = chart->IndexOfCodeText(account.trimmed());
    return index >= 0 ? index : -1;
}

} // namespace

std::pair<QString, QString> TProfitDistribution::Split(const QString& stored) {
    const qsizetype comma = stored.indexOf(u',');
    if (comma < 0)
        return {stored, QString()};
    return {stored.left(comma), stored.mid(comma + 1)};
}

QString TProfitDistribution::Join(const TDistributionEntry& entry) {
    return entry.Account + u',' + entry.Percentage;
}

double TProfitDistribution::ParsePercentage(const QString& text) {
    // QString::toDouble reads the C locale's form only, never the user's.
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

void TProfitDistribution::Load(TEntityDetail& detail, int year, TAccountsChart& source) {
    detail.LoadProfitDistribution(year);
    Items.clear();
    for (const QString& stored : detail.ProfitDistribution) {
        const auto [account, percentage] = Split(stored);
        Items.append({account, percentage});
    }
    if (Items.isEmpty()) {
        AddDefault(detail, source);
        return;
    }
    const int suspense = source.DefaultSuspenseAccount();
    if (suspense < 0)
        return; // nowhere to move them: the opening entries fall to the new chart's suspense account
    const QString suspenseCode = source.GetCode(suspense);
    for (qsizetype i = Items.size() - 1; i >= 0; --i)
        if (IndexOfAccount(&source, Items[i].Account) < 0)
            Items[i].Account = suspenseCode;
}

void TProfitDistribution::Store(TEntityDetail& detail, int year) const {
    detail.ProfitDistribution.clear();
    for (const TDistributionEntry& entry : Items)
        detail.ProfitDistribution.append(Join(entry));
    detail.SaveProfitDistribution(year);
}

void TProfitDistribution::AddDefault(const TEntityDetail& detail, TAccountsChart& chart) {
    const TAccountFormat* format = detail.AccountFormat ? detail.AccountFormat : chart.Format();
    QString account = format ? format->GetRetainedProfitAccount(detail.EntityType).trimmed() : QString();
    if (account.isEmpty()) {
        const int suspense = chart.DefaultSuspenseAccount();
        if (suspense >= 0)
            account = chart.GetCode(suspense);
    } else if (IndexOfAccount(&chart, account) < 0 && chart.Format()) {
        TAccountCode code;
        if (chart.Format()->TextToCode(account, code, false, false)) {
            auto created = std::make_unique<TAccountDetail>(chart.Format());
            created->SetCode(code);
            created->DeriveAccountType(AccountTypeCode::Ordinary);
            created->Description = DefaultDescription;
            chart.AddAccount(std::move(created));
        }
    }
    const double rest = 100.0 - Total();
    Items.append({account, QString::asprintf("%.2f", rest < 0.0 ? 0.0 : rest)});
}

void TProfitDistribution::SetAccount(int row, const QString& account) {
    if (row >= 0 && row < Items.size())
        Items[row].Account = account;
}

void TProfitDistribution::SetPercentage(int row, const QString& text) {
    if (row >= 0 && row < Items.size())
        Items[row].Percentage = text;
}

int TProfitDistribution::Delete(int row) {
    if (!CanDelete() || row < 0 || row >= Items.size())
        return row < 0 ? 0 : qMin(row, Count() - 1);
    Items.removeAt(row);
    return qMin(row, Count() - 1);
}

void TProfitDistribution::Reset(const TEntityDetail& detail, TAccountsChart& chart) {
    Items.clear();
    AddDefault(detail, chart);
}

double TProfitDistribution::Total() const {
    TMoneyTotal total;
    for (const TDistributionEntry& entry : Items)
        total.Add(ParsePercentage(entry.Percentage));
    return total.Value();
}

bool TProfitDistribution::CheckTotal() const {
    // The slack keeps a total such as 100.009 inside: the double sum lands a hair beyond it.
    return std::fabs(Total() - 100.0) <= TotalTolerance + 1e-9;
}

QString TProfitDistribution::TotalCaption() const {
    return QString::asprintf("%.2f", Total()) + u'%';
}

QList<TProfitDistribution::TShare> TProfitDistribution::SplitProfit(double profit,
                                                                    const QList<TDistributionEntry>& entries,
                                                                    double& adjustment) {
    QList<TShare> shares;
    TMoneyTotal sum;
    for (const TDistributionEntry& entry : entries) {
        // profit x percentage is the share in cents.
        const double amount = RoundHalfEven(profit * ParsePercentage(entry.Percentage)) / 100.0;
        shares.append({entry.Account, entry.Percentage, amount});
        sum.Add(amount);
    }
    const double difference = profit - sum.Value();
    adjustment = SameMoney(difference, 0.0) ? 0.0 : RoundToCent(difference);
    return shares;
}

QString TProfitDistribution::AccountText(const TAccountsChart* chart, const QString& account) {
    const int index = IndexOfAccount(chart, account);
    return index >= 0 ? chart->GetCode(index) : account;
}

QString TProfitDistribution::AccountDescription(const TAccountsChart* chart, const QString& account) {
    const int index = IndexOfAccount(chart, account);
    if (index < 0)
        return QString();
    QString description = chart->GetAccount(index)->GetAccount_Description_();
    if (description.startsWith(TAccountDetail::SubAccountIndent))
        description.remove(0, TAccountDetail::SubAccountIndent.size());
    return description;
}
