#pragma once

#include "core/accounts/AccountCode.h"

class TValueReader;
class TValueWriter;

// An account code in a value stream: four integers in storage order (branch, division, account,
// sub-account), each in the smallest integer form, an absent part as -1 (two bytes 02 FF).
//
// Reading takes -1, or 65535 from a writer that kept the part unsigned, as absent; any other value
// outside 0..32767 belongs to no code and raises "Invalid property value".
qint16 ReadAccountCodePart(TValueReader& reader);
TAccountCode ReadAccountCode(TValueReader& reader);
void WriteAccountCode(TValueWriter& writer, const TAccountCode& code);
// Bytes WriteAccountCode takes for the code.
int AccountCodeStreamSize(const TAccountCode& code);
