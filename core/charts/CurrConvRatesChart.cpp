#include "core//charts/CurrConvRatesChart.h"
#include "core/common/OptionSet.h"

#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"
#include "core/io/Win1252Codec.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/FileVocabulary.h"

namespace {

// The symbol of a listed currency: its number as a one-byte character code.
QChar ListedSymbol(int number) {
    if (number < 32 || number > 255)
        return QLatin1Char(' ');
    return TWin1252Codec::DecodeChar(static_cast<unsigned char>(number));
}

} // namespace

TCurrConvRatesChart::TCurrConvRatesChart(const TChartEntity& entity, const TOptionSet& options, int year)
    : TMasterChart(entity, year) {
    SetFileHeader(CurrencyRatesHeader.Kind.toString(), CurrencyRatesHeader.Version.toString(), ckCurrencies,
                  QString());
    if (options.Has(Option::Load) && !options.Has(Option::DosVersion) && !options.Has(Option::TransferDrive))
        LoadFromFile(options);
}

TCurrencyConvRate* TCurrConvRatesChart::GetConvRate(int index) const {
    return static_cast<TCurrencyConvRate*>(GetItem(index));
}

void TCurrConvRatesChart::AddListedCurrencies() {
    if (!HasProgramParams())
        return;
    const auto& currencies = ProgramParams().Currencies;
    for (int i = 0; i < currencies.Count(); ++i) {
        const QString code = currencies.Code(i);
        const TCurrency* currency = currencies.Row(i);
        if (!currency || IndexOf(code) >= 0)
            continue;
        AddItem(std::make_unique<TCurrencyConvRate>(code, currency->Description,
                                                    ListedSymbol(currency->Number), currency->Rate));
    }
}

int TCurrConvRatesChart::LoadFromFile(const TOptionSet& options, IProgress* progress) {
    if (!options.Has(Option::MergeLoad) && !options.Has(Option::MergeReplace))
        Clear();
    AddListedCurrencies();
    // The caller's options travel on (the folder, year and silence they ask for); 28 makes the
    // stored rates replace the listed ones.
    return TMasterChart::LoadFromFile(options.With(Option::MergeReplace), progress);
}

void TCurrConvRatesChart::WriteItems(QIODevice& /*Stream*/, TValueWriter& writer, IProgress* progress) {
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        GetConvRate(i)->WriteToStream(writer);
        ReportWriteProgress(progress, i + 1, count);
    }
}

void TCurrConvRatesChart::ReadItems(QIODevice& stream, TValueReader& reader, IProgress* progress,
                                    const TOptionSet& options) {
    while (!reader.EndOfList()) {
        auto rate = std::make_unique<TCurrencyConvRate>();
        rate->ReadFromStream(reader);
        AddReadItem(std::move(rate), options);
        ReportReadProgress(progress, stream);
    }
}

void TCurrConvRatesChart::MergeItem(TMasterChartItem& heldItem, const TMasterChartItem& readItem) {
    // The code keeps the spelling it is filed under.
    auto& held = static_cast<TCurrencyConvRate&>(heldItem);
    const QString code = held.Currency_Code;
    held = static_cast<const TCurrencyConvRate&>(readItem);
    held.Currency_Code = code;
}
