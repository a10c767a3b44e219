#include "core/util/TextHelpers.h"
#include "core/common/Money.h"

#include "core/common/Exceptions.h"
#include "core/dates/DateNumbers.h"
#include "core/util/Numbers.h"
#include "core/vocab/SmallVocabulary.h"

QString RemoveTrailingS(const QString& text) {
    if (text.endsWith(QLatin1Char('S')) || text.endsWith(QLatin1Char('s')))
        return text.left(text.size() - 1);
    return text;
}

QByteArray DoubleCharCodes(const QByteArray& bytes) {
    QByteArray result(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        result[i] = static_cast<char>((static_cast<quint8>(bytes[i]) * 2) & 0xFF);
    return result;
}

QByteArray HalveCharCodes(const QByteArray& bytes) {
    QByteArray result(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        result[i] = static_cast<char>(static_cast<quint8>(bytes[i]) / 2);
    return result;
}

QString JoinTexts(const QStringList& texts) {
    return texts.join(ListSeparator);
}

QString ProperCase(const QString& text) {
    QString result = text.toLower();
    bool afterLetter = false;
    for (QChar& c : result) {
        if (c.isLetter()) {
            if (!afterLetter)
                c = c.toUpper();
            afterLetter = true;
        } else {
            afterLetter = false;
        }
    }
    return result;
}

QString ExtractToken(QString& text, const QString& delimiter) {
    const qsizetype at = delimiter.isEmpty() ? -1 : text.indexOf(delimiter);
    QString token;
    if (at < 0) {
        token = text;
        text.clear();
    } else {
        token = text.left(at);
        text.remove(0, at + delimiter.size());
    }
    return token;
}

bool IsNotApplicable(const QString& text) {
    return text.isEmpty() || text.compare(NotApplicableText, Qt::CaseInsensitive) == 0;
}

QString ExtractCodeOrBlank(const QString& text) {
    if (IsNotApplicable(text))
        return QString();
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    return blank < 0 ? text : text.left(blank);
}

QString FormatABN(const QString& text) {
    if (text.size() != 11)
        return text;
    return text.left(2) + QLatin1Char(' ') + text.mid(2, 3) + QLatin1Char(' ') + text.mid(5, 3) +
           QLatin1Char(' ') + text.mid(8, 3);
}

bool IsTrueText(const QString& text) {
    return text.compare(FlagText(true), Qt::CaseInsensitive) == 0;
}

QString PlainCaption(QString caption) {
    return caption.remove(u'&').remove(QStringLiteral("..."));
}

void InsertAccelerator(QString& caption, QSet<QChar>& used) {
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption[i];
        if (!c.isLetterOrNumber())
            continue;
        const QChar key = c.toUpper();
        if (used.contains(key))
            continue;
        used.insert(key);
        caption.insert(i, QLatin1Char('&'));
        return;
    }
}

QString FundsStatusText(bool isShort, double balance) {
    // A balance that rounds to nil cents is not overdrawn.
    const bool inFunds = balance >= -MoneyTolerance;
    if (isShort)
        return inFunds ? QStringLiteral("IF") : QStringLiteral("OD");
    return inFunds ? QStringLiteral("In Funds") : QStringLiteral("Overdrawn");
}

void FormatDateForExport(double date, QString& yyyymmdd, QString& mmyy) {
    int year = 0;
    int month = 0;
    int day = 0;
    DecodeDateNum(date, year, month, day);
    yyyymmdd = QString::asprintf("%.4d%.2d%.2d", year, month, day);
    mmyy = QString::asprintf("%.2d%.2d", month, year % 100);
}

int CompareByteDescending(quint8 a, quint8 b) {
    return b > a ? -1 : 0;
}

void RaiseReportBalanceError() {
    throw EQuilvaneError(QStringLiteral("Unable to calculate report balances."));
}
