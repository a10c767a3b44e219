#pragma once

#include "core/charts/MasterChartItem.h"

#include <QChar>
#include <QString>

class TValueReader;
class TValueWriter;

// The conversion rate of one foreign currency for a file year: how many units of the currency
// one unit of the file's own currency buys.
class TCurrencyConvRate : public TMasterChartItem {
public:
    TCurrencyConvRate() = default;
    TCurrencyConvRate(QString code, QString description, QChar symbol, double rate);

    // The currency code is the key; any text that is not blank is a code.
    QString GetKey() const override { return Currency_Code; }
    bool SetKey(const QString& key) override;

    // The rate with four decimals ("0.6500").
    QString GetRateText() const;

    // Stream form: code, description, the symbol's character code, rate.
    void WriteToStream(TValueWriter& writer) const;
    void ReadFromStream(TValueReader& reader);

    QString Currency_Code;
    QString Currency_Description;
    QChar Currency_Symbol = QLatin1Char(' ');
    double Currency_Rate = 0.0;
};
