#include "core/charts/CurrencyConvRate.h"

#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"
#include "core/io/Win1252Codec.h"

#include <cmath>
#include <utility>

TCurrencyConvRate::TCurrencyConvRate(QString code, QString description, QChar symbol, double rate)
    : Currency_Code(std::move(code)), Currency_Description(std::move(description)), Currency_Symbol(symbol),
      Currency_Rate(rate) {}

bool TCurrencyConvRate::SetKey(const QString& key) {
    if (key.trimmed().isEmpty())
        return false;
    Currency_Code = key;
    return true;
}

QString TCurrencyConvRate::GetRateText() const {
    return QString::number(Currency_Rate, 'f', 4);
}

void TCurrencyConvRate::WriteToStream(TValueWriter& writer) const {
    writer.WriteString(Currency_Code);
    writer.WriteString(Currency_Description);
    writer.WriteInteger(static_cast<unsigned char>(TWin1252Codec::EncodeChar(Currency_Symbol)));
    writer.WriteFloat(Currency_Rate);
}

void TCurrencyConvRate::ReadFromStream(TValueReader& reader) {
    Currency_Code = reader.ReadString();
    Currency_Description = reader.ReadString();
    // The symbol is one stored (Windows-1252) character.
    const std::int32_t symbol = reader.ReadInteger();
    if (symbol < 0 || symbol > 255)
        throw EStreamError::InvalidValue();
    Currency_Symbol = TWin1252Codec::DecodeChar(static_cast<unsigned char>(symbol));
    Currency_Rate = reader.ReadFiniteFloat();
}
