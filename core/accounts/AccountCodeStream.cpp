#include "core/accounts/AccountCodeStream.h"

#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"

qint16 ReadAccountCodePart(TValueReader& reader) {
    const std::int32_t value = reader.ReadInteger();
    if (value < -32768 || value > 65535)
        throw EStreamError::InvalidValue();
    return static_cast<qint16>(static_cast<quint16>(value));
}

TAccountCode ReadAccountCode(TValueReader& reader) {
    TAccountCode code;
    code.Branch = ReadAccountCodePart(reader);
    code.Division = ReadAccountCodePart(reader);
    code.Account = ReadAccountCodePart(reader);
    code.SubAccount = ReadAccountCodePart(reader);
    return code;
}

void WriteAccountCode(TValueWriter& writer, const TAccountCode& code) {
    writer.WriteInteger(code.Branch);
    writer.WriteInteger(code.Division);
    writer.WriteInteger(code.Account);
    writer.WriteInteger(code.SubAccount);
}

int AccountCodeStreamSize(const TAccountCode& code) {
    return WriterIntegerSize(code.Branch) + WriterIntegerSize(code.Division) +
           WriterIntegerSize(code.Account) + WriterIntegerSize(code.SubAccount);
}
