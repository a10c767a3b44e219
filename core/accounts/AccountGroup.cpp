#include "core/accounts/AccountGroup.h"

#include "core/accounts/AccountCodeStream.h"
#include "core/accounts/AccountFormat.h"
#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueTag.h"
#include "core/io/ValueWriter.h"
#include "core/io/Win1252Codec.h"

#include <array>

namespace {

// Stream order of the parts: branch, division, account, sub-account.
constexpr std::array<int, 4> kStreamParts = {BranchPart, DivisionPart, AccountPart, SubAccountPart};

bool PartInsideMin(const TAccountCode& code, const TAccountCode& limit) {
    for (int part : kStreamParts) {
        const int bound = GetAccountCodePart(limit, part);
        if (bound > -1 && GetAccountCodePart(code, part) < bound)
            return false;
    }
    return true;
}

bool PartInsideMax(const TAccountCode& code, const TAccountCode& limit) {
    for (int part : kStreamParts) {
        const int bound = GetAccountCodePart(limit, part);
        if (bound > -1 && GetAccountCodePart(code, part) > bound)
            return false;
    }
    return true;
}

} // namespace

TAccountGroup::TAccountGroup(const QString& description, const TAccountCode& code,
                             const TAccountFormat* format)
    : Format(format), Description(description), FromCodeValue(code), ToCodeValue(code) {
    UpdateKeys();
}

void TAccountGroup::Assign(const TAccountGroup& source) {
    if (&source == this)
        return;
    Description = source.Description;
    FromCodeValue = source.FromCodeValue;
    ToCodeValue = source.ToCodeValue;
    SubRangeMin = source.SubRangeMin;
    SubRangeMax = source.SubRangeMax;
    Mode = source.Mode;
    UpdateKeys();
}

void TAccountGroup::UpdateKeys() {
    FromKeyValue = Format ? Format->MakeCodeKey(FromCodeValue) : QString();
    ToKeyValue = Format ? Format->MakeCodeKey(ToCodeValue) : QString();
}

void TAccountGroup::SetFromCode(const TAccountCode& code) {
    FromCodeValue = code;
    UpdateKeys();
}

void TAccountGroup::SetToCode(const TAccountCode& code) {
    ToCodeValue = code;
    UpdateKeys();
}

void TAccountGroup::SetFromPart(int part, int value) {
    SetAccountCodePart(FromCodeValue, part, value);
    UpdateKeys();
}

void TAccountGroup::SetToPart(int part, int value) {
    SetAccountCodePart(ToCodeValue, part, value);
    UpdateKeys();
}

int TAccountGroup::GetFromPart(int part) const {
    return GetAccountCodePart(FromCodeValue, part);
}

int TAccountGroup::GetToPart(int part) const {
    return GetAccountCodePart(ToCodeValue, part);
}

void TAccountGroup::SetSubRangeMinPart(int part, int value) {
    SetAccountCodePart(SubRangeMin, part, value);
}

void TAccountGroup::SetSubRangeMaxPart(int part, int value) {
    SetAccountCodePart(SubRangeMax, part, value);
}

int TAccountGroup::FirstDifferingPart() const {
    for (int part : kStreamParts)
        if (GetAccountCodePart(FromCodeValue, part) != GetAccountCodePart(ToCodeValue, part))
            return part;
    return 0;
}

bool TAccountGroup::Contains(const TAccountCode& code) const {
    const QString key = Format ? Format->MakeCodeKey(code) : QString();
    // Keys compare as plain texts, character by character, never by locale.
    const bool inRange = QString::compare(FromKeyValue, key, Qt::CaseSensitive) <= 0 &&
                         QString::compare(key, ToKeyValue, Qt::CaseSensitive) <= 0;
    if (!inRange || (SubRangeMin.IsEmpty() && SubRangeMax.IsEmpty()))
        return inRange;
    const bool minOk = PartInsideMin(code, SubRangeMin);
    const bool maxOk = PartInsideMax(code, SubRangeMax);
    if (Mode == 1)
        return minOk && maxOk;
    // Outside the limits: below the minimum or above the maximum, not both.
    return minOk != maxOk;
}

void TAccountGroup::WriteToStream(TValueWriter& writer) const {
    writer.WriteString(Description);
    WriteAccountCode(writer, FromCodeValue);
    WriteAccountCode(writer, ToCodeValue);
    WriteAccountCode(writer, SubRangeMin);
    WriteAccountCode(writer, SubRangeMax);
    writer.WriteInteger(Mode);
}

void TAccountGroup::ReadFromStream(TValueReader& reader) {
    // Read everything first so that a damaged stream leaves the group as it was.
    const QString description = reader.ReadString();
    const TAccountCode from = ReadAccountCode(reader);
    const TAccountCode to = ReadAccountCode(reader);
    const TAccountCode subMin = ReadAccountCode(reader);
    const TAccountCode subMax = ReadAccountCode(reader);
    const std::int32_t mode = reader.ReadInteger();
    Description = description;
    FromCodeValue = from;
    ToCodeValue = to;
    SubRangeMin = subMin;
    SubRangeMax = subMax;
    Mode = mode;
    UpdateKeys();
}

qint64 TAccountGroup::StreamSize() const {
    return WriterStringSize(static_cast<int>(TWin1252Codec::Encode(Description).size())) +
           AccountCodeStreamSize(FromCodeValue) + AccountCodeStreamSize(ToCodeValue) +
           AccountCodeStreamSize(SubRangeMin) + AccountCodeStreamSize(SubRangeMax) + WriterIntegerSize(Mode);
}
