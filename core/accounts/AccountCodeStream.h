#pragma once

#include "core/accounts/AccountCode.h"

class TValueReader;
class TValueWriter;

// An account code in a value stream: four integers in storage order (branch, division, account,
// sub-account). Each unsigned 16-bit part is written as the signed 16-bit number with the same
// bits, in the smallest integer form: an absent part (65535) as -1 (two bytes 02 FF), 40000 as
// -25536.
//
// Reading puts the low 16 bits of the integer into the part, so -1 and 65535 are both the absent
// part and -25536 and 40000 both part 40000. An integer that no 16-bit part can have written
// (below -32768 or above 65535) raises "Invalid property value".
qint16 ReadAccountCodePart(TValueReader& reader);
TAccountCode ReadAccountCode(TValueReader& reader);
void WriteAccountCode(TValueWriter& writer, const TAccountCode& code);
// Bytes WriteAccountCode takes for the code.
int AccountCodeStreamSize(const TAccountCode& code);
