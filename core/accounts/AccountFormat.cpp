#include "core/accounts/AccountFormat.h"

#include "core/services/Services.h"

#include <algorithm>

namespace {

const char kPartLetters[] = {'A', 'S', 'B', 'D'}; // parts 1 to 4

int PartOfLetter(QChar c) {
    switch (c.unicode()) {
    case u'A':
        return AccountPart;
    case u'S':
        return SubAccountPart;
    case u'B':
        return BranchPart;
    case u'D':
        return DivisionPart;
    default:
        return 0;
    }
}

bool IsPartLetter(QChar c) {
    return PartOfLetter(c) != 0;
}

unsigned PartBit(int part) {
    return 1u << part;
}

// The value of a typed part: only a plain run of digits is a number. Anything else (a sign, a
// letter, nothing at all) is an absent part. A number too large for a part is reported as such
// rather than wrapped into some other account.
struct TTypedPart {
    int Value = -1;
    bool TooLarge = false;
};

TTypedPart ReadTypedPart(const QString& text) {
    TTypedPart result;
    const QString digits = text.trimmed();
    if (digits.isEmpty())
        return result;
    qint64 value = 0;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return result;
        value = value * 10 + (c.unicode() - u'0');
        if (value > MaxAccountPartValue) {
            result.TooLarge = true;
            return result;
        }
    }
    result.Value = static_cast<int>(value);
    return result;
}

} // namespace

TAccountFormat::TAccountFormat(const QString& baseName, const QString& mask, const QString& keyOrderText,
                               const QString& description)
    : Description(description), BaseName(baseName), Mask(mask), KeyOrderText(keyOrderText),
      Ranges(this, true) {
    // The reference data writes blanks in a mask as "_".
    Mask.replace(u'_', u' ');
    ParseMask();
    SetKeyOrder();
}

TAccountFormat::~TAccountFormat() = default;

void TAccountFormat::Assign(const TAccountFormat& source) {
    if (&source == this)
        return;
    BaseName = source.BaseName;
    Mask = source.Mask;
    KeyOrderText = source.KeyOrderText;
    Separators = source.Separators;
    PartCount = source.PartCount;
    Starts = source.Starts;
    Widths = source.Widths;
    DisplayOrder = source.DisplayOrder;
    KeyOrder = source.KeyOrder;
    TessalyID = source.TessalyID;
}

void TAccountFormat::ParseMask() {
    PartCount = 0;
    Separators.fill(QChar(NoSeparator));
    Starts.fill(0);
    Widths.fill(0);
    DisplayOrder.fill(0);
    const qsizetype length = Mask.size();
    for (int part = 1; part <= 4; ++part) {
        const QChar letter = QLatin1Char(kPartLetters[part - 1]);
        const qsizetype first = Mask.indexOf(letter);
        if (first < 0)
            continue;
        Starts[part] = static_cast<int>(first) + 1;
        qsizetype i = first + 1;
        while (i < length && Mask[i] == letter)
            ++i;
        if (i < length) {
            Widths[part] = static_cast<int>(i - first);
            if (!IsPartLetter(Mask[i]))
                Separators[part] = Mask[i];
        } else {
            Widths[part] = static_cast<int>(length - first);
            Separators[part] = QChar(EndOfMask);
        }
        DisplayOrder[PartCount] = static_cast<quint8>(part);
        ++PartCount;
    }
    std::sort(DisplayOrder.begin(), DisplayOrder.begin() + PartCount,
              [this](quint8 a, quint8 b) { return Starts[a] < Starts[b]; });
}

void TAccountFormat::SetKeyOrder() {
    KeyOrder = DisplayOrder;
    if (KeyOrderText.size() != PartCount)
        return;
    KeyOrder.fill(0);
    for (qsizetype i = 0; i < KeyOrderText.size() && i < qsizetype(KeyOrder.size()); ++i)
        KeyOrder[i] = static_cast<quint8>(PartOfLetter(KeyOrderText[i]));
}

QChar TAccountFormat::GetSeparator(int part) const {
    if (part < 0 || part > 4)
        return QChar(NoSeparator);
    return Separators[part];
}

QString TAccountFormat::GetSeparatorSet() const {
    QString result;
    for (QChar c : Separators)
        if (c != QChar(NoSeparator) && c != QChar(EndOfMask) && !result.contains(c))
            result.append(c);
    return result;
}

QString TAccountFormat::FormatPart(int value, int part) const {
    if (value < 0 || part < 1 || part > 4 || Widths[part] <= 0)
        return QString();
    return QStringLiteral("%1").arg(value, Widths[part], 10, QLatin1Char('0'));
}

QString TAccountFormat::FormatCode(const TAccountCode& code) const {
    QString text;
    for (int slot = static_cast<int>(DisplayOrder.size()) - 1; slot >= 0; --slot) {
        const int part = DisplayOrder[slot];
        if (part == 0)
            continue;
        const QString partText = FormatPart(GetAccountCodePart(code, part), part);
        const QChar separator = Separators[part];
        if (!partText.isEmpty() && !text.isEmpty() && separator != QChar(NoSeparator) &&
            separator != QChar(EndOfMask))
            text.prepend(separator);
        text.prepend(partText);
    }
    return text;
}

QString TAccountFormat::MakeCodeKey(const TAccountCode& code) const {
    QString key;
    for (quint8 part : KeyOrder) {
        if (part == 0)
            continue;
        key.append(QLatin1Char(AccountPartLetter(part)));
        const int value = GetAccountCodePart(code, part);
        // An absent part sorts before every present value: "." comes before the digits.
        if (value >= 0)
            key.append(QStringLiteral("%1").arg(value, Widths[part], 10, QLatin1Char('0')));
        else
            key.append(QString(Widths[part], u'.'));
    }
    return key;
}

TAccountGroup* TAccountFormat::AllRange() const {
    return GetRangeGroup(IndexOfRangeType(QStringLiteral("ALL")));
}

bool TAccountFormat::TextToCode(const QString& text, TAccountCode& code, bool clamp, bool report) const {
    bool valid = true;
    code = TAccountCode::Empty();
    TAccountCode raw = TAccountCode::Empty();
    unsigned tooLargeParts = 0;
    QString remaining = text.trimmed();
    const TAccountGroup* all = AllRange();
    const QString separators = GetSeparatorSet();

    auto setPart = [&](int part, const QString& partText) {
        const TTypedPart typed = ReadTypedPart(partText);
        if (typed.TooLarge)
            tooLargeParts |= PartBit(part);
        int value = typed.Value;
        SetAccountCodePart(raw, part, value);
        if (all && value != -1) {
            const int lowest = GetAccountCodePart(all->FromCode(), part);
            const int highest = GetAccountCodePart(all->ToCode(), part);
            if (value < lowest) {
                valid = false;
                if (clamp)
                    value = lowest;
            } else if (value > highest) {
                valid = false;
                if (clamp)
                    value = highest;
            }
        }
        SetAccountCodePart(code, part, value);
    };

    auto containsSeparator = [&](const QString& s) {
        for (QChar c : separators)
            if (s.contains(c))
                return true;
        return false;
    };

    if (remaining.size() <= Widths[AccountPart] && !containsSeparator(remaining)) {
        setPart(AccountPart, remaining);
    } else {
        for (quint8 part : DisplayOrder) {
            if (part == 0)
                break;
            const QChar separator = Separators[part];
            const bool realSeparator = separator != QChar(NoSeparator) && separator != QChar(EndOfMask);
            const qsizetype at = realSeparator ? remaining.indexOf(separator) : -1;
            if ((part == BranchPart || part == DivisionPart) && realSeparator && at < 0)
                continue;
            QString partText;
            if (at >= 0) {
                partText = remaining.left(at);
                remaining.remove(0, at + 1);
            } else if (separator == QChar(NoSeparator) && remaining.size() >= Widths[part]) {
                partText = remaining.left(Widths[part]);
                remaining.remove(0, Widths[part]);
            } else if (separator == QChar(EndOfMask)) {
                partText = remaining;
                remaining.clear();
            } else if (part == AccountPart && containsSeparator(remaining)) {
                // A separator still to come belongs to a later part: no account was typed.
            } else {
                // The rest of the text is this part's; it is used up so that no later part
                // reads the same digits again.
                partText = remaining;
                remaining.clear();
            }
            setPart(part, partText);
        }
    }

    if (all)
        valid = CheckCode(raw, tooLargeParts, report, clamp);
    else
        valid = !code.IsEmpty() && tooLargeParts == 0;

    if (!valid)
        code = report ? raw : TAccountCode::Empty();
    return valid;
}

TAccountCode TAccountFormat::PlacedCode(const TAccountCode& code) const {
    const TAccountGroup* all = AllRange();
    if (!all || GetAccountCodePart(code, AccountPart) == -1)
        return code;
    TAccountCode placed = code;
    for (const int part : {BranchPart, DivisionPart, SubAccountPart}) {
        const int lowest = GetAccountCodePart(all->FromCode(), part);
        if (GetAccountCodePart(placed, part) == -1 && lowest >= 0)
            SetAccountCodePart(placed, part, lowest);
    }
    return placed;
}

bool TAccountFormat::ValidateCode(TAccountCode& code, bool showMessage, bool clearInvalid) const {
    return CheckCode(code, 0, showMessage, clearInvalid);
}

bool TAccountFormat::CheckCode(TAccountCode& code, unsigned forcedInvalidParts, bool showMessage,
                               bool clearInvalid) const {
    const TAccountGroup* all = AllRange();
    // Without an "ALL" range there are no limits to check against.
    if (!all)
        return forcedInvalidParts == 0;
    const TAccountCode& from = all->FromCode();
    const TAccountCode& to = all->ToCode();
    QString message;

    auto addLine = [&](const QString& line) {
        if (!message.isEmpty())
            message.append(u'\n');
        message.append(line);
    };

    // Branch, division and sub-account may be left out; the account may not (unless the range
    // itself lets it be absent).
    auto checkOptional = [&](int part, const QString& noun) {
        const int value = GetAccountCodePart(code, part);
        const int lowest = GetAccountCodePart(from, part);
        const int highest = GetAccountCodePart(to, part);
        const bool ok =
            (forcedInvalidParts & PartBit(part)) == 0 && value <= highest && (value >= lowest || value == -1);
        if (ok)
            return;
        addLine(QStringLiteral("%1 must be in the range %2 to %3")
                    .arg(noun)
                    .arg(std::max(lowest, 0))
                    .arg(highest));
        if (clearInvalid)
            SetAccountCodePart(code, part, -1);
    };

    checkOptional(BranchPart, QStringLiteral("Branches"));
    checkOptional(DivisionPart, QStringLiteral("Divisions"));
    {
        const int value = GetAccountCodePart(code, AccountPart);
        const int lowest = GetAccountCodePart(from, AccountPart);
        const int highest = GetAccountCodePart(to, AccountPart);
        const bool ok =
            (forcedInvalidParts & PartBit(AccountPart)) == 0 && lowest <= value && value <= highest;
        if (!ok) {
            addLine(QStringLiteral("Accounts must be in the range %1 to %2").arg(lowest).arg(highest));
            if (clearInvalid)
                SetAccountCodePart(code, AccountPart, -1);
        }
    }
    checkOptional(SubAccountPart, QStringLiteral("Sub-accounts"));

    if (message.isEmpty())
        return true;
    if (showMessage)
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Error, message, TMessageButton::OK);
    return false;
}

int TAccountFormat::IndexOfRangeType(const QString& code) const {
    return Ranges.IndexOf(code);
}

TAccountGroup* TAccountFormat::GetRangeGroup(int index) const {
    return Ranges.GetGroup(index);
}

void TAccountFormat::SetRetainedProfitAccount(const QString& entityType, const QString& text) {
    for (auto& entry : RetainedProfitAccounts) {
        if (entry.first.compare(entityType, Qt::CaseInsensitive) == 0) {
            entry.second = text;
            return;
        }
    }
    RetainedProfitAccounts.append({entityType, text});
}

QString TAccountFormat::GetRetainedProfitAccount(const QString& entityType) const {
    for (const auto& entry : RetainedProfitAccounts)
        if (entry.first.compare(entityType, Qt::CaseInsensitive) == 0)
            return entry.second;
    return QString();
}
