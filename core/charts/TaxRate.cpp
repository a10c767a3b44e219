#include "core/charts/TaxRate.h"

#include "core/accounts/AccountCodeStream.h"
#include "core/accounts/AccountFormat.h"
#include "core/dates/DateNumbers.h"
#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// The labels of the activity statement a tax code may report under.
constexpr std::array<int, 10> TaxCodeBASLabels{2, 3, 4, 6, 7, 13, 14, 15, 17, 18};

} // namespace

TTaxRate::TTaxRate(const TAccountFormat* format) : Format(format) {}

bool TTaxRate::SetKey(const QString& key) {
    if (key.trimmed().isEmpty())
        return false;
    Tax_Code = key;
    return true;
}

QString TTaxRate::GetTaxAccountText() const {
    return Format ? Format->FormatCode(TaxAccount) : QString();
}

void TTaxRate::SetTaxAccountText(const QString& text) {
    if (!Format)
        return;
    TAccountCode code;
    if (Format->TextToCode(text, code, false, false))
        TaxAccount = code;
}

QString TTaxRate::GetTaxRateText() const {
    return QString::number(Tax_Rate, 'f', 2);
}

QString TTaxRate::GetStartDateText() const {
    return DateNumToStr(false, StartDate);
}

QString TTaxRate::GetEndDateText() const {
    return DateNumToStr(false, EndDate);
}

void TTaxRate::SetStartDateText(const QString& text) {
    const double date = StrToDateNum(text, false);
    if (date > 0)
        StartDate = date;
}

void TTaxRate::SetEndDateText(const QString& text) {
    const double date = StrToDateNum(text, false);
    if (date > 0)
        EndDate = date;
}

double TTaxRate::CalcIncludedTax(double date, double amount) const {
    if (date < StartDate || date > EndDate)
        return 0.0;
    const double gross = 100.0 + Tax_Rate;
    if (gross == 0.0)
        return 0.0;
    double cents = Tax_Rate / gross * amount * 100.0;
    if (!std::isfinite(cents))
        return 0.0;
    // Amounts are decimal cents held in binary: a tax that is exactly half a cent on paper
    // (0.15 at 100 % is 7.5 cents) arrives a hair either side of the half. Pull such values
    // onto the half so that it goes to the even cent as on paper.
    const double half = std::floor(cents) + 0.5;
    if (std::fabs(cents - half) <= 1e-9 * std::max(1.0, std::fabs(cents)))
        cents = half;
    return std::nearbyint(cents) / 100.0;
}

void TTaxRate::SetBASSections(const QString& text) {
    QList<int> labels;
    const QStringList items = text.split(QLatin1Char(','));
    for (const QString& item : items) {
        const QString label = item.trimmed();
        if (label.size() < 2 || label.at(0).toUpper() != QLatin1Char('G'))
            continue;
        bool ok = false;
        const int number = label.mid(1).toInt(&ok);
        // Only the label texts themselves: "G02" or "G+2" name no label.
        if (!ok || label.mid(1) != QString::number(number) || number < 0 || number > LastBASLabel)
            continue;
        if (std::find(TaxCodeBASLabels.begin(), TaxCodeBASLabels.end(), number) != TaxCodeBASLabels.end())
            labels.append(number);
    }
    std::sort(labels.begin(), labels.end());
    QStringList texts;
    for (int number : labels)
        texts.append(QStringLiteral("G%1").arg(number));
    BASLabels = labels;
    BAS = texts.join(QLatin1Char(','));
}

void TTaxRate::WriteToStream(TValueWriter& writer) const {
    writer.WriteString(Tax_Code);
    writer.WriteInteger(TaxType);
    writer.WriteString(Tax_Description);
    writer.WriteString(BAS);
    WriteAccountCode(writer, TaxAccount);
    writer.WriteFloat(Tax_Rate);
    writer.WriteFloat(StartDate);
    writer.WriteFloat(EndDate);
}

void TTaxRate::ReadFromStream(TValueReader& reader, bool withBAS) {
    Tax_Code = reader.ReadString();
    TaxType = reader.ReadInteger();
    Tax_Description = reader.ReadString();
    SetBASSections(withBAS ? reader.ReadString() : QString());
    TaxAccount = ReadAccountCode(reader);
    Tax_Rate = reader.ReadFiniteFloat();
    StartDate = reader.ReadFiniteFloat();
    EndDate = reader.ReadFiniteFloat();
}
