#pragma once

#include "core/accounts/AccountCode.h"

#include <QString>

class TAccountFormat;
class TValueWriter;
class TValueReader;

// One range of account codes, from FromCode to ToCode in the order of the format's sort keys,
// optionally narrowed (or widened) by per-part limits. The keys of both bounds are kept with the
// group, so testing a code costs one key and two text comparisons.
class TAccountGroup {
public:
    // A group of the single code Code; no per-part limits.
    TAccountGroup(const QString& description, const TAccountCode& code, const TAccountFormat* format);

    void Assign(const TAccountGroup& source);

    const TAccountCode& FromCode() const { return FromCodeValue; }
    const TAccountCode& ToCode() const { return ToCodeValue; }
    const QString& FromKey() const { return FromKeyValue; }
    const QString& ToKey() const { return ToKeyValue; }

    void SetFromCode(const TAccountCode& code);
    void SetToCode(const TAccountCode& code);
    void SetFromPart(int part, int value);
    void SetToPart(int part, int value);
    int GetFromPart(int part) const;
    int GetToPart(int part) const;
    void SetSubRangeMinPart(int part, int value);
    void SetSubRangeMaxPart(int part, int value);

    // The first part, in the order branch, division, account, sub-account, in which the bounds
    // differ; 0 when they are equal.
    int FirstDifferingPart() const;

    bool Contains(const TAccountCode& code) const;

    // Stream form: the description, the four parts (branch, division, account, sub-account) of
    // FromCode, ToCode, SubRangeMin and SubRangeMax, then the mode.
    void WriteToStream(TValueWriter& writer) const;
    void ReadFromStream(TValueReader& reader);
    qint64 StreamSize() const;

    const TAccountFormat* Format = nullptr;
    QString Description;
    TAccountCode SubRangeMin;
    TAccountCode SubRangeMax;
    // 1: codes within the per-part limits; anything else: codes beyond them on one side.
    qint32 Mode = 0;

private:
    void UpdateKeys();

    TAccountCode FromCodeValue;
    TAccountCode ToCodeValue;
    QString FromKeyValue;
    QString ToKeyValue;
};
