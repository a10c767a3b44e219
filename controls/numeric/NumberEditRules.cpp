#include "controls/numeric/NumberEditRules.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace {

// "." as the point and no thousands separators.
const QLocale& PlainNumbers() {
    static const QLocale locale = [] {
        QLocale c = QLocale::c();
        c.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
        return c;
    }();
    return locale;
}

QString Fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

} // namespace

int TNumberEditRules::ShownDecimals() const {
    switch (NumberType) {
    case TNumberType::ntInteger:
        return 0;
    case TNumberType::ntMoney:
        return 2;
    default:
        return NumberOfDecimals;
    }
}

TKeyVerdict TNumberEditRules::FilterKey(const QString& text, int caret, int selectionLength,
                                        QChar typed) const {
    const TKeyVerdict accept{TKeyVerdict::Accept, {}, 0};
    const TKeyVerdict reject{TKeyVerdict::Reject, {}, 0};
    // Delete arrives as 0x7F on some systems: it edits like the other control keys.
    if (typed.unicode() < 32 || typed.unicode() == 0x7F || selectionLength > 0)
        return accept;
    if (typed == u'-') {
        // A second sign in front of the first would make the text unreadable.
        const bool hasSign = text.startsWith(u'-');
        return NegativesAllowed && caret == 0 && !hasSign ? accept : reject;
    }
    const bool digit = typed >= u'0' && typed <= u'9';
    if (NumberType == TNumberType::ntInteger)
        return digit ? accept : reject;
    if (!digit && typed != u'.')
        return reject;

    // Positions counted from 1, as the caret counts the characters before it.
    int point = int(text.indexOf(u'.')) + 1;
    const int length = int(text.size());
    if (typed == u'.') {
        if (point == 0 || point > caret + 1)
            point = caret + 1;
        if (point < caret)
            return reject;
        QString cut = text.left(point - 1) + u'.';
        const int end = int(cut.size());
        return {TKeyVerdict::Replace, cut, end};
    }
    const int decimals = NumberType == TNumberType::ntMoney ? 2 : NumberOfDecimals;
    const bool full = decimals > 0 && point > 0 && point < caret && point == length - decimals;
    return full ? reject : accept;
}

QString TNumberEditRules::ExitText(const QString& text) {
    QString plain = text;
    plain.remove(u',');
    if (NumberType == TNumberType::ntInteger) {
        bool ok = false;
        const int whole = plain.toInt(&ok);
        if (ok)
            return QString::number(whole);
        return DefaultToZero ? QStringLiteral("0") : QString();
    }
    if (NumberType == TNumberType::ntMoney)
        NumberOfDecimals = 2;
    double value = 0;
    if (!ReadDouble(plain, value))
        return DefaultToZero ? QStringLiteral("0.0") : QString();
    if (NumberType == TNumberType::ntPercentage)
        value = std::clamp(value, 0.0, 100.0);
    return Fixed(value, NumberOfDecimals);
}

double TNumberEditRules::Value(const QString& text) const {
    double value = 0;
    if (!ReadDouble(text, value))
        return 0;
    return NumberType == TNumberType::ntInteger ? std::nearbyint(value) : value;
}

bool TNumberEditRules::IsValidNumber(const QString& text) {
    double value = 0;
    return ReadDouble(text, value);
}

double TNumberEditRules::DefaultFor(double value) const {
    return NumberType == TNumberType::ntInteger ? std::nearbyint(value) : value;
}

QString TNumberEditRules::DefaultText(double value) const {
    return Fixed(DefaultFor(value), ShownDecimals());
}

bool TNumberEditRules::ReadDouble(const QString& text, double& value) {
    bool ok = false;
    const double read = PlainNumbers().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(read))
        return false;
    value = read;
    return true;
}
