#pragma once

#include "core/accounts/AccountCode.h"
#include "core/accounts/AccountGroup.h"
#include "core/accounts/AccountGroups.h"

#include <QChar>
#include <QList>
#include <QPair>
#include <QString>

#include <array>
#include <memory>

// An account format: which parts a practice's account codes have, how many digits each part has,
// in which order they are shown and typed and which characters separate them. Built from a row of
// the reference data; the "ALL" range type says which values of each part are allowed.
//
// Arrays indexed by part hold the part numbers of AccountCode.h (1 account, 2 sub-account,
// 3 branch, 4 division); index 0 is unused.
class TAccountFormat {
public:
    // Separator values that are not characters.
    static constexpr char16_t NoSeparator = 0; // the next mask character is another part
    static constexpr char16_t EndOfMask = 255; // the part runs to the end of the mask

    TAccountFormat(const QString& baseName, const QString& mask, const QString& keyOrderText,
                   const QString& description);
    ~TAccountFormat();
    TAccountFormat(const TAccountFormat&) = delete;
    TAccountFormat& operator=(const TAccountFormat&) = delete;

    // Copies the layout (base name, mask, key order, separators, parts) and the workpapers
    // identifier; not the description, ranges, retained-profit accounts or member groups.
    void Assign(const TAccountFormat& source);

    void ParseMask();
    void SetKeyOrder();

    // The character after the part in the mask, NoSeparator or EndOfMask.
    QChar GetSeparator(int part) const;
    // The separator characters of the mask (NoSeparator and EndOfMask left out).
    QString GetSeparatorSet() const;

    // The value with leading zeros to the part's width; empty for an absent value.
    QString FormatPart(int value, int part) const;
    // The code as shown: its parts in mask order with their separators; absent parts drop out.
    QString FormatCode(const TAccountCode& code) const;
    // A text that sorts in code order: for each part of the key order its letter and its digits,
    // or one "." per digit when the part is absent.
    QString MakeCodeKey(const TAccountCode& code) const;

    // Reads a typed code. Parts outside the "ALL" range make it invalid (Clamp pulls them to the
    // range's edge); Report shows the range box and keeps the typed parts in Code, else an
    // invalid text gives the empty code.
    bool TextToCode(const QString& text, TAccountCode& code, bool clamp, bool report) const;

    // The code a typed code stands for in full: each part that the code leaves out, and that the
    // "ALL" range's lowest code has, takes that lowest value ("1180" stands for 00-1180-00 where
    // the range starts at 00-0000-00). A code without an account number, or a format without
    // "ALL", gives the code itself.
    TAccountCode PlacedCode(const TAccountCode& code) const;
    // Whether the code has every part that the "ALL" range's lowest code has: the parts that an
    // account of the format carries.
    bool HasEveryPart(const TAccountCode& code) const { return PlacedCode(code) == code; }

    // Checks every part against the "ALL" range; ShowMessage shows one error box naming each
    // part out of range; ClearInvalid makes those parts absent. A format without "ALL" accepts
    // every code.
    bool ValidateCode(TAccountCode& code, bool showMessage, bool clearInvalid) const;

    int IndexOfRangeType(const QString& code) const;
    TAccountGroup* GetRangeGroup(int index) const;
    // The "ALL" range group, or nullptr.
    TAccountGroup* AllRange() const;

    void SetRetainedProfitAccount(const QString& entityType, const QString& text);
    QString GetRetainedProfitAccount(const QString& entityType) const;

    QString Description;
    QString BaseName;
    QString Mask;
    QString KeyOrderText;
    std::array<QChar, 5> Separators{};
    int PartCount = 0;
    std::array<int, 5> Starts{};
    std::array<int, 5> Widths{};
    std::array<quint8, 5> DisplayOrder{};
    std::array<quint8, 5> KeyOrder{};
    TAccountGroups Ranges;
    QString TessalyID;
    // Entity type and its retained-profit account text, in the order set.
    QList<QPair<QString, QString>> RetainedProfitAccounts;
    std::unique_ptr<TAccountGroup> MemberRange;
    std::unique_ptr<TAccountGroup> MemberSubRange;
    QString TessalyMap;

private:
    bool CheckCode(TAccountCode& code, unsigned forcedInvalidParts, bool showMessage,
                   bool clearInvalid) const;
};
