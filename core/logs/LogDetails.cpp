#include "core/logs/LogDetails.h"

#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"

void TLogDetails::Read(TValueReader& reader) {
    FileCode = reader.ReadString();
    EntityName = reader.ReadString();
    FormatName = reader.ReadString();
    FileSpec = reader.ReadString();
    ProcessKind = reader.ReadInteger();
    UserName = reader.ReadString();
    AccountSelection = reader.ReadString();
    Option1 = reader.ReadBoolean();
    PageKinds = reader.ReadIntegerSet();
    DateFrom = reader.ReadFiniteFloat();
    DateTo = reader.ReadFiniteFloat();
    RunDate = reader.ReadFiniteFloat();
    FirstFlag = reader.ReadBoolean();
    SecondFlag = reader.ReadBoolean();
    Value1 = reader.ReadInteger();
    Value2 = reader.ReadInteger();
}

void TLogDetails::Write(TValueWriter& writer) const {
    writer.WriteString(FileCode);
    writer.WriteString(EntityName);
    writer.WriteString(FormatName);
    writer.WriteString(FileSpec);
    writer.WriteInteger(ProcessKind);
    writer.WriteString(UserName);
    writer.WriteString(AccountSelection);
    writer.WriteBoolean(Option1);
    writer.WriteIntegerSet(PageKinds);
    writer.WriteFloat(DateFrom);
    writer.WriteFloat(DateTo);
    writer.WriteFloat(RunDate);
    writer.WriteBoolean(FirstFlag);
    writer.WriteBoolean(SecondFlag);
    writer.WriteInteger(Value1);
    writer.WriteInteger(Value2);
}
