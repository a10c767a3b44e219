#include "entry/masterdetails/MasterSelection.h"

#include "core/accounts/AccountFormat.h"
#include "core/accounts/AccountGroup.h"
#include "core/accounts/AccountGroups.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/charts/CurrConvRatesChart.h"
#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRateChart.h"
#include "core/common/Exceptions.h"
#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"
#include "core/vocab/FileVocabulary.h"
#include "entry/masterdetails/MasterChartModel.h"

#include <QBuffer>
#include <QMimeData>

#include <algorithm>
#include <vector>

namespace {

QString PluralNoun(int chartKind) {
    return ChartKindEntry(chartKind).PluralNoun.toString();
}

QString SingularNoun(int chartKind) {
    return ChartKindEntry(chartKind).SingularNoun.toString();
}

// "1 Account" / "3 Accounts".
QString Counted(int chartKind, int count) {
    return QString::number(count) + u' ' + (count == 1 ? SingularNoun(chartKind) : PluralNoun(chartKind));
}

// Charts whose items carry account codes: their data means something only in the same format.
bool CarriesAccountCodes(int chartKind) {
    return chartKind == ckAccounts || chartKind == ckTaxes || chartKind == ckBankRecOpening;
}

// ---- Selection text of the accounts chart ----------------------------------------------------

QString AccountSelectionText(const TAccountsChart& chart, const QList<int>& indexes) {
    const TAccountFormat* format = chart.Format();
    QStringList items;
    if (!format) {
        for (const int index : indexes)
            items << chart.GetCode(index);
        return items.join(u',');
    }
    const auto keyOf = [&](int index) { return format->MakeCodeKey(chart.GetCodeParts(index)); };
    // The sort keys of the accounts left out: a run may not take in any of them.
    std::vector<bool> selected(static_cast<size_t>(chart.Count()), false);
    for (const int index : indexes)
        selected[static_cast<size_t>(index)] = true;
    std::vector<QString> outside;
    for (int index = 0; index < chart.Count(); ++index)
        if (!selected[static_cast<size_t>(index)])
            outside.push_back(keyOf(index));
    std::sort(outside.begin(), outside.end());
    const auto holdsOutside = [&](const QString& from, const QString& to) {
        const auto it = std::lower_bound(outside.begin(), outside.end(), from);
        return it != outside.end() && QString::compare(*it, to, Qt::CaseSensitive) <= 0;
    };

    for (qsizetype at = 0; at < indexes.size();) {
        const int first = indexes[at];
        const QString fromKey = keyOf(first);
        int last = first;
        QString lowest = fromKey;
        QString highest = fromKey;
        qsizetype next = at + 1;
        for (; next < indexes.size() && indexes[next] == last + 1; ++next) {
            const QString key = keyOf(indexes[next]);
            const QString newLowest = std::min(lowest, key);
            const QString newHighest = std::max(highest, key);
            // The range from the first code to this one must hold the run and nothing else.
            if (newLowest != fromKey || newHighest != key || holdsOutside(fromKey, key))
                break;
            lowest = newLowest;
            highest = newHighest;
            last = indexes[next];
        }
        if (first == last) {
            items << chart.GetCode(first);
        } else {
            TAccountGroup run(QString(), chart.GetCodeParts(first), format);
            run.SetToCode(chart.GetCodeParts(last));
            items << FormatGroup(format, run, false);
        }
        at = next;
    }
    return items.join(u',');
}

// The accounts one item of a selection text names.
void MarkAccountsOfItem(const TAccountsChart& chart, const QString& item, std::vector<bool>& marked) {
    const TAccountFormat* format = chart.Format();
    const auto markAll = [&](const TAccountGroup* group) {
        for (int index = 0; index < chart.Count(); ++index)
            if (!group || group->Contains(chart.GetCodeParts(index)))
                marked[static_cast<size_t>(index)] = true;
    };
    if (item.compare(QStringLiteral("ALL"), Qt::CaseInsensitive) == 0) {
        markAll(format ? format->AllRange() : nullptr);
        return;
    }
    const qsizetype to = item.indexOf(QStringLiteral("to"));
    if (to < 0) {
        const int index = chart.IndexOfCodeText(item);
        if (index >= 0)
            marked[static_cast<size_t>(index)] = true;
        return;
    }
    TAccountCode fromCode;
    TAccountCode toCode;
    if (!format || !format->TextToCode(item.left(to).trimmed(), fromCode, false, false) ||
        !format->TextToCode(item.mid(to + 2).trimmed(), toCode, false, false))
        return;
    TAccountGroup range(QString(), fromCode, format);
    range.SetToCode(toCode);
    markAll(&range);
}

// ---- Items on the clipboard ------------------------------------------------------------------

void WriteItem(const TMasterChart& chart, int index, TValueWriter& writer) {
    const TMasterChartItem* item = chart.GetItem(index);
    if (const auto* account = dynamic_cast<const TAccountDetail*>(item)) {
        account->WriteToStream(writer);
    } else if (const auto* description = dynamic_cast<const TStandardDescription*>(item)) {
        // The description chart's own item layout: the abbreviation and the text.
        writer.WriteString(description->Abbreviation);
        writer.WriteString(description->Description);
    } else if (const auto* rate = dynamic_cast<const TTaxRate*>(item)) {
        rate->WriteToStream(writer);
    } else if (const auto* currency = dynamic_cast<const TCurrencyConvRate*>(item)) {
        currency->WriteToStream(writer);
    } else if (const auto* detail = dynamic_cast<const TBRecOpeningDetail*>(item)) {
        detail->WriteToStream(writer);
    }
}

// An item of the chart's kind read from the stream, made for the chart's account format.
std::unique_ptr<TMasterChartItem> ReadItem(TMasterChart& chart, TValueReader& reader) {
    if (auto* accounts = dynamic_cast<TAccountsChart*>(&chart)) {
        auto account = std::make_unique<TAccountDetail>(accounts->Format(), 0.0);
        account->ReadFromStream(reader);
        return account;
    }
    if (dynamic_cast<TStdDescChart*>(&chart)) {
        auto description = std::make_unique<TStandardDescription>();
        description->Abbreviation = reader.ReadString();
        description->Description = reader.ReadString();
        return description;
    }
    if (auto* taxes = dynamic_cast<TTaxRateChart*>(&chart)) {
        auto rate = std::make_unique<TTaxRate>(taxes->Format());
        rate->ReadFromStream(reader, true);
        return rate;
    }
    if (dynamic_cast<TCurrConvRatesChart*>(&chart)) {
        auto currency = std::make_unique<TCurrencyConvRate>();
        currency->ReadFromStream(reader);
        return currency;
    }
    if (auto* bankRec = dynamic_cast<TBankRecOpeningDetailChart*>(&chart)) {
        auto detail = std::make_unique<TBRecOpeningDetail>(bankRec->Format());
        detail->ReadFromStream(reader);
        return detail;
    }
    throw EQuilvaneError(QStringLiteral("Items cannot be pasted into this chart."));
}

// Makes an item from another chart fit this one before it is added. False when the chart
// cannot take it.
bool PrepareItem(TMasterChart& chart, TMasterChartItem& item) {
    if (auto* accounts = dynamic_cast<TAccountsChart*>(&chart)) {
        auto& account = static_cast<TAccountDetail&>(item);
        // One default of each kind: the chart's own stays the default.
        if (account.IsDefault() &&
            ((account.AccountType == AccountTypeCode::Suspense && accounts->DefaultSuspenseAccount() >= 0) ||
             (account.AccountType == AccountTypeCode::Bank && accounts->DefaultBankAccount() >= 0)))
            account.SetDefault(false);
        return true;
    }
    if (auto* taxes = dynamic_cast<TTaxRateChart*>(&chart)) {
        auto& rate = static_cast<TTaxRate&>(item);
        const TAccountsChart* accounts = taxes->AccountsChart();
        if (accounts && accounts->IndexOfCode(rate.TaxAccount) < 0) {
            const int suspense = accounts->DefaultSuspenseAccount();
            if (suspense >= 0)
                rate.TaxAccount = accounts->GetCodeParts(suspense);
        }
        return true;
    }
    if (auto* bankRec = dynamic_cast<TBankRecOpeningDetailChart*>(&chart)) {
        auto& detail = static_cast<TBRecOpeningDetail&>(item);
        const TAccountsChart* accounts = bankRec->AccountsChart();
        const TAccountDetail* account =
            accounts ? accounts->GetAccount(accounts->IndexOfCode(detail.BankAccount)) : nullptr;
        if (!account || !account->BankDetails || bankRec->Count() >= TBankRecOpeningDetailChart::MaxDetails)
            return false;
        detail.Currency = account->GetBankCurrency();
        return true;
    }
    return true;
}

// What an added item needs once it is in the chart.
void AfterAdding(TMasterChart& chart, int index) {
    if (auto* accounts = dynamic_cast<TAccountsChart*>(&chart)) {
        if (const TAccountDetail* account = accounts->GetAccount(index)) {
            accounts->AddBranchDescription(*account);
            accounts->AddDivisionDescription(*account);
        }
    } else if (auto* bankRec = dynamic_cast<TBankRecOpeningDetailChart*>(&chart)) {
        // The reconciliation files of the other file's account are not this file's: the
        // account's reconciliation starts over.
        bankRec->ResetDetail(index);
        if (TBRecOpeningDetail* detail = bankRec->GetDetail(index))
            detail->SetCompleted(false);
    }
}

} // namespace

// ---- Selection text ----------------------------------------------------------------------------

QList<int> TMasterSelection::CleanIndexes(const TMasterChart& chart, const QList<int>& indexes) {
    QList<int> clean;
    for (const int index : indexes)
        if (index >= 0 && index < chart.Count())
            clean << index;
    std::sort(clean.begin(), clean.end());
    clean.erase(std::unique(clean.begin(), clean.end()), clean.end());
    return clean;
}

QString TMasterSelection::SelectionText(const TMasterChart& chart, const QList<int>& indexes) {
    const QList<int> clean = CleanIndexes(chart, indexes);
    if (const auto* accounts = dynamic_cast<const TAccountsChart*>(&chart))
        return AccountSelectionText(*accounts, clean);
    QStringList keys;
    for (const int index : clean)
        keys << chart.GetCode(index);
    return keys.join(u',');
}

QList<int> TMasterSelection::IndexesOfText(const TMasterChart& chart, const QString& text) {
    std::vector<bool> marked(static_cast<size_t>(chart.Count()), false);
    const auto* accounts = dynamic_cast<const TAccountsChart*>(&chart);
    for (const QString& part : text.split(u',')) {
        const QString item = part.trimmed();
        if (item.isEmpty())
            continue;
        if (accounts) {
            MarkAccountsOfItem(*accounts, item, marked);
        } else if (const int index = chart.IndexOf(item); index >= 0) {
            marked[static_cast<size_t>(index)] = true;
        }
    }
    QList<int> indexes;
    for (int index = 0; index < chart.Count(); ++index)
        if (marked[static_cast<size_t>(index)])
            indexes << index;
    return indexes;
}

// ---- Clipboard -----------------------------------------------------------------------------------

QString TMasterSelection::FormatName(int chartKind) {
    return QStringLiteral("QUILVANE ") + PluralNoun(chartKind);
}

QString TMasterSelection::MimeType(int chartKind) {
    QString name;
    for (const QChar c : PluralNoun(chartKind).toLower()) {
        if (c.isLetterOrNumber())
            name += c;
        else if (!name.isEmpty() && !name.endsWith(u'-'))
            name += u'-';
    }
    if (name.endsWith(u'-'))
        name.chop(1);
    return QStringLiteral("application/x-quilvane-") + name;
}

std::unique_ptr<QMimeData> TMasterSelection::BuildClipboardData(const TMasterChart& chart,
                                                                const QList<int>& indexes) {
    const QList<int> clean = CleanIndexes(chart, indexes);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TValueWriter writer(buffer);
    writer.WriteString(chart.TypeName);
    writer.WriteString(chart.Entity.AccFormatID);
    writer.WriteListBegin();
    QStringList lines;
    for (const int index : clean) {
        WriteItem(chart, index, writer);
        lines << TMasterChartModel::PlainTexts(chart, index).join(u'\t');
    }
    writer.WriteListEnd();
    writer.Finish();

    auto data = std::make_unique<QMimeData>();
    data->setData(MimeType(chart.Kind), bytes);
    data->setText(lines.isEmpty() ? QString() : lines.join(u'\n') + u'\n');
    return data;
}

bool TMasterSelection::HoldsChartData(const QMimeData& data, int chartKind) {
    return IsChartKind(chartKind) && data.hasFormat(MimeType(chartKind));
}

TMasterSelection::TPasteResult TMasterSelection::Paste(TMasterChart& chart, const QMimeData& data) {
    TPasteResult result;
    const int kind = chart.Kind;
    if (!HoldsChartData(data, kind)) {
        result.Error = NoDataText(kind);
        return result;
    }
    // Everything is read before anything is added: damaged data changes nothing.
    std::vector<std::unique_ptr<TMasterChartItem>> items;
    try {
        QByteArray bytes = data.data(MimeType(kind));
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        TValueReader reader(buffer);
        const QString typeName = reader.ReadString();
        const QString formatID = reader.ReadString();
        if (typeName != chart.TypeName)
            throw EStreamError::InvalidValue();
        if (CarriesAccountCodes(kind) &&
            formatID.compare(chart.Entity.AccFormatID, Qt::CaseInsensitive) != 0) {
            result.Error =
                QStringLiteral("The %1 on the clipboard were copied from a file of the account "
                               "format %2 and cannot be pasted into a file of the account format %3.")
                    .arg(PluralNoun(kind), formatID, chart.Entity.AccFormatID);
            return result;
        }
        reader.ReadListBegin();
        while (!reader.EndOfList())
            items.push_back(ReadItem(chart, reader));
        reader.ReadListEnd();
    } catch (const EQuilvaneError& error) {
        result.Error = QStringLiteral("The %1 on the clipboard cannot be read (%2).")
                           .arg(PluralNoun(kind), error.message());
        return result;
    }

    for (std::unique_ptr<TMasterChartItem>& item : items) {
        const QString key = item->GetKey();
        if (key.trimmed().isEmpty()) {
            ++result.Refused;
            continue;
        }
        if (chart.IndexOf(key) >= 0) {
            ++result.Skipped;
            continue;
        }
        if (!PrepareItem(chart, *item)) {
            ++result.Refused;
            continue;
        }
        const int index = chart.AddItem(std::move(item));
        if (index < 0) {
            ++result.Refused;
            continue;
        }
        AfterAdding(chart, index);
        ++result.Added;
        result.AddedKeys << key;
    }
    if (result.Added > 0) {
        if (auto* bankRec = dynamic_cast<TBankRecOpeningDetailChart*>(&chart))
            bankRec->AssignFreeSlots();
        chart.Saved = false;
    }
    return result;
}

// ---- Deleting --------------------------------------------------------------------------------------

int TMasterSelection::DeleteItems(TMasterChart& chart, const QList<int>& indexes) {
    const QList<int> clean = CleanIndexes(chart, indexes);
    for (auto it = clean.crbegin(); it != clean.crend(); ++it)
        chart.DeleteItem(*it, true);
    if (!clean.isEmpty()) {
        chart.Saved = false;
        if (auto* accounts = dynamic_cast<TAccountsChart*>(&chart))
            accounts->EnsureSuspenseAccount();
    }
    return static_cast<int>(clean.size());
}

// ---- Texts ---------------------------------------------------------------------------------------------

QString TMasterSelection::NoDataText(int chartKind) {
    return QStringLiteral("The clipboard holds no %1.").arg(PluralNoun(chartKind));
}

QString TMasterSelection::DeleteQuestion(int chartKind, int count) {
    if (count == 1)
        return QStringLiteral("Delete the selected %1 ?").arg(SingularNoun(chartKind));
    return QStringLiteral("Delete the %1 selected %2 ?").arg(count).arg(PluralNoun(chartKind));
}

QString TMasterSelection::PasteReport(int chartKind, const TPasteResult& result) {
    QStringList lines;
    if (result.Skipped > 0)
        lines << QStringLiteral("%1 already held %2 not pasted.")
                     .arg(Counted(chartKind, result.Skipped),
                          result.Skipped == 1 ? QStringLiteral("was") : QStringLiteral("were"));
    if (result.Refused > 0)
        lines << QStringLiteral("%1 could not be added.").arg(Counted(chartKind, result.Refused));
    return lines.join(u'\r');
}
