#include "core/util/References.h"

#include "core/vocab/PageKinds.h"
#include "core/vocab/SmallVocabulary.h"

#include <QStringList>

namespace {

const QString RangeJoiner = QStringLiteral(" to ");

QString SixDigits(qint64 value) {
    return QString::asprintf("%.6lld", value);
}

// Ordinary numbers and special references for one side of a typed range.
bool ReadRangeSide(const QString& text, qint32& ref) {
    const QString side = text.trimmed();
    bool isNumber = false;
    const qint64 number = side.toLongLong(&isNumber);
    if (isNumber && number >= 0 && number <= HighestOrdinaryReference) {
        ref = static_cast<qint32>(number);
        return true;
    }
    qint32 special = 0;
    if (!TextToReference(side, special) || FindSpecialReference(special) == nullptr)
        return false;
    ref = special;
    return true;
}

} // namespace

QString ReferenceToText(qint32 ref) {
    if (ref == -1)
        return QString();
    if (ref <= HighestOrdinaryReference)
        return SixDigits(ref);
    if (ref <= ContraReference) {
        const TSpecialReference* special = FindSpecialReference(ref);
        return special ? special->Name.toString() : QString();
    }
    return SixDigits(ref % 1000000);
}

bool TextToReference(const QString& text, qint32& ref) {
    const QString trimmed = text.trimmed();
    for (const TSpecialReference& special : SpecialReferenceTable) {
        if (trimmed.compare(special.Name, Qt::CaseInsensitive) == 0) {
            ref = special.Reference;
            return true;
        }
    }
    for (const TSpecialReference& special : SpecialReferenceTable) {
        if (trimmed.contains(QChar(special.Letter), Qt::CaseSensitive)) {
            ref = special.Reference;
            return true;
        }
    }
    bool isNumber = false;
    const qint64 number = trimmed.toLongLong(&isNumber);
    if (!isNumber || number > 0x7FFFFFFF || number < -0x7FFFFFFF)
        return false;
    ref = static_cast<qint32>(number < 0 ? -number : number);
    return true;
}

qint32 NextReference(qint32 ref, qint32 step) {
    if (ref == BankReference)
        return ref;
    if (ref == ContraReference)
        return 1;
    const qint64 next = static_cast<qint64>(ref) + step;
    if (next < 1 || next > 999999)
        return 1;
    return static_cast<qint32>(next);
}

void ReferenceToExportText(qint32 ref, bool sixDigits, QString& text) {
    qint32 value = ref;
    if (ref == BankReference)
        value = 999999;
    else if (ref == OpeningBalanceReference)
        value = 1;
    else if (ref == ContraReference)
        value = 0;
    text = sixDigits ? SixDigits(value) : QString::number(value);
}

bool ParseReferenceRanges(QString& text, TReferenceRangeList& list) {
    TReferenceRangeList parsed;
    const QStringList items = text.split(QLatin1Char(','));
    for (const QString& raw : items) {
        const QString item = raw.trimmed();
        if (item.isEmpty())
            continue;
        if (item.compare(AllSelectionText, Qt::CaseInsensitive) == 0) {
            parsed.All = true;
            parsed.Ranges.clear();
            break;
        }
        const qsizetype joiner = item.indexOf(RangeJoiner, 0, Qt::CaseInsensitive);
        qint32 from = 0;
        qint32 to = 0;
        if (joiner < 0) {
            if (!ReadRangeSide(item, from))
                return false;
            to = from;
        } else if (!ReadRangeSide(item.left(joiner), from) ||
                   !ReadRangeSide(item.mid(joiner + RangeJoiner.size()), to)) {
            return false;
        }
        parsed.Ranges.append(TReferenceRange(from, to));
    }
    QStringList texts;
    if (parsed.All) {
        texts.append(AllSelectionText.toString());
    } else {
        for (const TReferenceRange& range : parsed.Ranges) {
            if (range.FromRef == range.ToRef)
                texts.append(ReferenceToText(range.FromRef));
            else
                texts.append(ReferenceToText(range.FromRef) + RangeJoiner + ReferenceToText(range.ToRef));
        }
    }
    text = texts.join(ListSeparator);
    list = parsed;
    return true;
}

bool ReferenceInRanges(const TReferenceRangeList& list, qint32 ref) {
    if (list.All)
        return true;
    for (const TReferenceRange& range : list.Ranges)
        if (ref >= range.FromRef && ref <= range.ToRef)
            return true;
    return false;
}
