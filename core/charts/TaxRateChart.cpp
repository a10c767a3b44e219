#include "core//charts/TaxRateChart.h"
#include "core/common/OptionSet.h"
#include "core/common/ResultCodes.h"

#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountsChart.h"
#include "core/common/Exceptions.h"
#include "core/dates/Periods.h"
#include "core/files/Paths.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/FileVocabulary.h"

#include <QStringList>

namespace {

// Options under which the constructor leaves the file alone even when asked to load.

constexpr quint32 TypeBit(int type) {
    return quint32{1} << type;
}

} // namespace

TTaxRateChart::TTaxRateChart(const TChartEntity& entity, TAccountsChart* accounts,
                             const TAccountFormat* format, const TOptionSet& options, int year)
    : TMasterChart(entity, year), Accounts(accounts), AccountFormat(format) {
    if (!AccountFormat && HasProgramParams())
        AccountFormat = ProgramParams().FindAccountFormat(entity.AccFormatID);
    SetFileHeader(TaxRatesHeader.Kind.toString(), TaxRatesHeader.Version.toString(), ckTaxes, QString());
    Items.SetNumericCompare(true);
    if (options.Has(Option::Load) && !options.Has(Option::DosVersion) && !options.Has(Option::TransferDrive))
        LoadFromFile(options);
}

TTaxRate* TTaxRateChart::GetTaxRate(int index) const {
    return static_cast<TTaxRate*>(GetItem(index));
}

int TTaxRateChart::AddItem(std::unique_ptr<TMasterChartItem> item) {
    auto* rate = dynamic_cast<TTaxRate*>(item.get());
    if (!rate || Count() >= MaxTaxCodes || IndexOf(rate->GetKey()) >= 0)
        return -1;
    if (!rate->Format)
        rate->Format = AccountFormat;
    // Two codes sharing a bit would make every transaction of one count as the other: a code
    // arriving with a number already in use (or none) takes the lowest free one.
    if (rate->TaxType < 0 || rate->TaxType >= MaxTaxCodes || (TypeMask & TypeBit(rate->TaxType)) != 0) {
        int type = 0;
        while ((TypeMask & TypeBit(type)) != 0)
            ++type;
        rate->TaxType = type; // below 32: the chart holds fewer than 32 codes
    }
    const quint32 bit = TypeBit(rate->TaxType);
    const int index = TMasterChart::AddItem(std::move(item));
    if (index >= 0)
        TypeMask |= bit;
    return index;
}

std::unique_ptr<TMasterChartItem> TTaxRateChart::DeleteItem(int index, bool freeIt) {
    if (const TTaxRate* rate = GetTaxRate(index))
        TypeMask &= ~TypeBit(rate->TaxType);
    return TMasterChart::DeleteItem(index, freeIt);
}

void TTaxRateChart::Clear() {
    TMasterChart::Clear();
    TypeMask = 0;
}

void TTaxRateChart::ClearUsedMarks() {
    for (int i = 0; i < Count(); ++i)
        GetTaxRate(i)->Flags &= static_cast<quint8>(~TTaxRate::UsedFlag);
}

void TTaxRateChart::GetCodesOfTypes(quint32 types, QString& text) const {
    types &= TypeMask;
    QStringList codes;
    for (int i = 0; i < Count(); ++i) {
        const TTaxRate* rate = GetTaxRate(i);
        if ((types & TypeBit(rate->TaxType)) != 0)
            codes.append(rate->Tax_Code);
    }
    text = codes.join(QLatin1Char(','));
}

QString TTaxRateChart::GetCodesOfTypes(quint32 types) const {
    QString text;
    GetCodesOfTypes(types, text);
    return text;
}

quint32 TTaxRateChart::GetTypesOfCodes(const QString& codeList) const {
    quint32 types = 0;
    const QStringList codes = codeList.split(QLatin1Char(','));
    for (const QString& code : codes) {
        if (const TTaxRate* rate = GetTaxRate(IndexOf(code.trimmed())))
            types |= TypeBit(rate->TaxType);
    }
    return types;
}

double TTaxRateChart::GetGSTDivisor() const {
    for (int i = 0; i < Count(); ++i) {
        const TTaxRate* rate = GetTaxRate(i);
        if (!rate->HasBASLabel(17))
            continue;
        // The tax in an inclusive amount A at rate r is A x r / (100 + r): A divided by this.
        if (rate->Tax_Rate == 0.0)
            return 1.0;
        return (100.0 + rate->Tax_Rate) / rate->Tax_Rate;
    }
    return 1.0;
}

QString TTaxRateChart::TemplateFileName() const {
    QString name = AccountFormat ? AccountFormat->BaseName : QString();
    if (name.isEmpty())
        name = Entity.AccFormatID;
    return BuildPath({Entity.DataDir, ChartKindEntry(ckTaxes).Folder.toString(),
                      name + ChartKindEntry(ckTaxes).Extension.toString()});
}

int TTaxRateChart::LoadFromFile(const TOptionSet& options, IProgress* progress) {
    const int result = TMasterChart::LoadFromFile(options, progress);
    if (result != 0)
        return result;
    if (Version < CurrentVersion || Count() == 0)
        LoadTemplate();
    RepairTaxAccounts();
    FitDatesToYear();
    return result;
}

void TTaxRateChart::WriteHeader(TValueWriter& writer) {
    // Items are always written in the current layout, whatever version was read.
    Version = CurrentVersion;
    TMasterChart::WriteHeader(writer);
}

bool TTaxRateChart::LoadTemplate() {
    TTaxRateChart defaults(Entity, nullptr, AccountFormat, TOptionSet{}, Year);
    defaults.SetFileName(TemplateFileName());
    // The format's default codes lie in the M_DETAIL folder of the data folder: they are never read
    // through a link (the folder leading out of the data folder, or the file itself), and such
    // codes are treated as missing ones.
    const bool refused = [&] {
        try {
            StoredFileSizeInside(NativePath(Entity.DataDir), NativePath(TemplateFileName()));
            return false;
        } catch (const EQuilvaneError&) {
            return true;
        }
    }();
    const int result =
        refused ? ResultCode::Reported : defaults.TMasterChart::LoadFromFile(TOptionSet{Option::Silent});
    if (result != 0 || defaults.Count() == 0) {
        // No defaults to be had: the codes of an older file are kept, and written in the
        // current layout at the next save.
        if (Version < CurrentVersion && Count() > 0) {
            Version = CurrentVersion;
            Saved = false;
        }
        return false;
    }
    Clear();
    while (defaults.Count() > 0)
        AddItem(defaults.DeleteItem(0, false));
    Version = CurrentVersion;
    Saved = false;
    CurrentIndex = Count() > 0 ? 0 : -1;
    return true;
}

void TTaxRateChart::RepairTaxAccounts() {
    if (!Accounts)
        return;
    const int suspense = Accounts->DefaultSuspenseAccount();
    for (int i = 0; i < Count(); ++i) {
        TTaxRate* rate = GetTaxRate(i);
        if (Accounts->IndexOfCode(rate->TaxAccount) >= 0)
            continue;
        bool found = false;
        TAccountCode replacement;
        if (AccountFormat && !AccountTranslation.isEmpty()) {
            const auto it = AccountTranslation.constFind(AccountFormat->FormatCode(rate->TaxAccount));
            TAccountCode code;
            if (it != AccountTranslation.constEnd() &&
                AccountFormat->TextToCode(it.value(), code, false, false) &&
                Accounts->IndexOfCode(code) >= 0) {
                replacement = code;
                found = true;
            }
        }
        if (!found && suspense >= 0) {
            replacement = Accounts->GetCodeParts(suspense);
            found = true;
        }
        if (found && !(replacement == rate->TaxAccount)) {
            rate->TaxAccount = replacement;
            Saved = false;
        }
    }
}

void TTaxRateChart::FitDatesToYear() {
    if (Year == -1)
        return;
    double first = 0.0;
    double last = 0.0;
    try {
        first = PeriodStartDate(1, Year, 1, Entity.EndMonth);
        last = PeriodEndDate(1, Year, 1, Entity.EndMonth);
    } catch (const EQuilvaneError&) {
        return; // a year or year-end month that names no financial year: nothing to fit to
    }
    for (int i = 0; i < Count(); ++i) {
        TTaxRate* rate = GetTaxRate(i);
        if (rate->StartDate < first || rate->StartDate > last) {
            rate->StartDate = first;
            Saved = false;
        }
        if (rate->EndDate < first || rate->EndDate > last) {
            rate->EndDate = last;
            Saved = false;
        }
        if (rate->EndDate < rate->StartDate) {
            rate->EndDate = rate->StartDate;
            Saved = false;
        }
    }
}

void TTaxRateChart::WriteItems(QIODevice& /*Stream*/, TValueWriter& writer, IProgress* progress) {
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        GetTaxRate(i)->WriteToStream(writer);
        ReportWriteProgress(progress, i + 1, count);
    }
}

void TTaxRateChart::ReadItems(QIODevice& stream, TValueReader& reader, IProgress* progress,
                              const TOptionSet& options) {
    bool withBAS = true;
    if (Version == Version501)
        withBAS = false;
    else if (Version != CurrentVersion)
        throw EQuilvaneError(QStringLiteral("Unknown tax rates version \"%1\"").arg(Version));
    while (!reader.EndOfList()) {
        auto rate = std::make_unique<TTaxRate>(AccountFormat);
        rate->ReadFromStream(reader, withBAS);
        // Beyond 32 codes the chart refuses the rest: the first 32 are kept.
        AddReadItem(std::move(rate), options);
        ReportReadProgress(progress, stream);
    }
}

void TTaxRateChart::MergeItem(TMasterChartItem& heldItem, const TMasterChartItem& readItem) {
    auto& held = static_cast<TTaxRate&>(heldItem);
    const qint32 type = held.TaxType;
    const TAccountFormat* format = held.Format;
    const QString code = held.Tax_Code;
    held = static_cast<const TTaxRate&>(readItem);
    held.TaxType = type;
    held.Format = format;
    held.Tax_Code = code;
}
