#pragma once

#include <QString>

#include <cstdint>

// The kinds of number a number edit takes.
enum class TNumberType { ntInteger, ntNumber, ntMoney, ntPercentage };

// What the key filter does with one typed character.
struct TKeyVerdict {
    enum TKind { Accept, Reject, Replace };
    TKind Kind = Accept;
    // For Replace: the edit's new text and caret; the character itself is not inserted.
    QString Text;
    int Caret = 0;
};

// The rules of a number edit, with no widget: which typed characters it takes, how it reads its
// text, and the canonical text it leaves behind when the focus moves on. Decimals are always
// written with "." and no thousands separators, whatever the user's locale.
class TNumberEditRules {
public:
    TNumberType NumberType = TNumberType::ntNumber;
    std::uint16_t NumberOfDecimals = 0;
    bool NegativesAllowed = true;
    bool DefaultToZero = true;

    // The decimals a value is written with: money always has 2 and whole numbers none.
    int ShownDecimals() const;

    // What becomes of the character typed into the text with the caret after caret characters
    // and selectionLength characters selected.
    TKeyVerdict FilterKey(const QString& text, int caret, int selectionLength, QChar typed) const;

    // The canonical text on leaving the edit; an unreadable text becomes a zero text or empty.
    // Money fixes the decimals at 2 from then on.
    QString ExitText(const QString& text);

    // The text as a number (whole numbers rounded, halves to even); 0 when it is no number.
    double Value(const QString& text) const;
    static bool IsValidNumber(const QString& text);

    // The value a default is stored as, and the text showing it.
    double DefaultFor(double value) const;
    QString DefaultText(double value) const;

private:
    static bool ReadDouble(const QString& text, double& value);
};
