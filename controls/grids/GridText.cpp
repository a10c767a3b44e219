#include "controls/grids/GridText.h"

#include <QRegularExpression>
#include <QStringList>

#include <cmath>

QString CapitaliseHeader(const QString& name) {
    QString text = name;
    text.replace(QLatin1Char('_'), QLatin1Char(' '));
    static const QString wordStarts = QStringLiteral(" ,.:;_");
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool startsWord = i == 0 || wordStarts.contains(text[i - 1]);
        text[i] = startsWord ? text[i].toUpper() : text[i].toLower();
    }
    return text;
}

namespace {

struct TPicture {
    QString Prefix, Suffix;
    int MinWhole = 0;
    int MinDecimals = 0;
    int MaxDecimals = 0;
    bool Grouped = false;
};

TPicture ReadPicture(const QString& section) {
    TPicture picture;
    const qsizetype first = section.indexOf(QRegularExpression(QStringLiteral("[0#.]")));
    if (first < 0) {
        picture.Prefix = section;
        return picture;
    }
    qsizetype last = first;
    for (qsizetype i = first; i < section.size(); ++i)
        if (QStringLiteral("0#.,").contains(section[i]))
            last = i;
        else
            break;
    picture.Prefix = section.left(first);
    picture.Suffix = section.mid(last + 1);
    bool decimals = false;
    for (qsizetype i = first; i <= last; ++i) {
        const QChar c = section[i];
        if (c == QLatin1Char('.'))
            decimals = true;
        else if (c == QLatin1Char(','))
            picture.Grouped = picture.Grouped || !decimals;
        else if (decimals) {
            ++picture.MaxDecimals;
            if (c == QLatin1Char('0'))
                picture.MinDecimals = picture.MaxDecimals;
        } else if (c == QLatin1Char('0'))
            ++picture.MinWhole;
    }
    return picture;
}

QString Write(double magnitude, const TPicture& picture) {
    const double scaled = std::round(magnitude * std::pow(10.0, picture.MaxDecimals));
    QString digits = QString::number(scaled, 'f', 0);
    if (digits.size() <= picture.MaxDecimals)
        digits = QString(picture.MaxDecimals + 1 - digits.size(), QLatin1Char('0')) + digits;
    QString whole = digits.left(digits.size() - picture.MaxDecimals);
    QString fraction = digits.right(picture.MaxDecimals);
    while (fraction.size() > picture.MinDecimals && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    while (whole.size() > picture.MinWhole && whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    while (whole.size() < picture.MinWhole)
        whole.prepend(QLatin1Char('0'));
    if (picture.Grouped)
        for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
            whole.insert(at, QLatin1Char(','));
    QString text = picture.Prefix + whole;
    if (!fraction.isEmpty())
        text += QLatin1Char('.') + fraction;
    return text + picture.Suffix;
}

} // namespace

QString FormatNumber(double value, const QString& format) {
    const QStringList sections = format.split(QLatin1Char(';'));
    const auto section = [&](int index) {
        return index < sections.size() && !sections[index].isEmpty() ? sections[index] : sections[0];
    };
    const TPicture positive = ReadPicture(sections[0]);
    const bool ownNegative = sections.size() > 1 && !sections[1].isEmpty();
    const TPicture shown = value < 0 && ownNegative ? ReadPicture(sections[1]) : positive;
    const double magnitude = std::abs(value);
    if (value == 0 || std::round(magnitude * std::pow(10.0, shown.MaxDecimals)) == 0)
        return Write(0, ReadPicture(section(2)));
    if (value < 0 && !ownNegative)
        return QLatin1Char('-') + Write(magnitude, positive);
    return Write(magnitude, shown);
}
