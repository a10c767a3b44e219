#include "shell/properties/DefaultChartList.h"

#include "core/accounts/AccountFormat.h"
#include "core/reference/ReferenceData.h"

#include <utility>

TDefaultChartList::TDefaultChartList(QStringList formatCodes, QStringList formatBaseNames,
                                     QStringList typeCodes)
    : FormatCodes(std::move(formatCodes)), FormatBaseNames(std::move(formatBaseNames)),
      TypeCodes(std::move(typeCodes)) {
    while (FormatBaseNames.size() < FormatCodes.size())
        FormatBaseNames.append(FormatCodes[FormatBaseNames.size()]);
}

TDefaultChartList TDefaultChartList::FromReference(const TReferenceData& reference) {
    QStringList baseNames;
    for (int i = 0; i < reference.AccountFormats.Count(); ++i) {
        const TAccountFormat* format = reference.AccountFormats.Row(i);
        baseNames.append(format != nullptr ? format->BaseName : reference.AccountFormats.Code(i));
    }
    return TDefaultChartList(reference.AccountFormats.Codes(), baseNames, reference.EntityTypes.Codes());
}

QStringList TDefaultChartList::Entries() const {
    QStringList entries;
    for (const QString& format : FormatCodes)
        for (const QString& type : TypeCodes)
            entries.append(QStringLiteral("%1,%2").arg(format, type));
    return entries;
}

int TDefaultChartList::EntryIndex(int formatIndex, int typeIndex) const {
    if (formatIndex < 0 || formatIndex >= FormatCodes.size() || typeIndex < 0 ||
        typeIndex >= TypeCodes.size())
        return -1;
    return formatIndex * static_cast<int>(TypeCodes.size()) + typeIndex;
}

int TDefaultChartList::IndexOfText(const QString& text) const {
    const QStringList entries = Entries();
    for (int i = 0; i < entries.size(); ++i)
        if (entries[i].compare(text, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TDefaultChartList::IndexOfStoredName(const QString& storedName) const {
    for (int f = 0; f < FormatBaseNames.size(); ++f)
        for (int t = 0; t < TypeCodes.size(); ++t) {
            const QString forward = QStringLiteral("%1.%2").arg(FormatBaseNames[f], TypeCodes[t]);
            const QString reversed = QStringLiteral("%1.%2").arg(TypeCodes[t], FormatBaseNames[f]);
            if (storedName.compare(forward, Qt::CaseInsensitive) == 0 ||
                storedName.compare(reversed, Qt::CaseInsensitive) == 0)
                return EntryIndex(f, t);
        }
    return -1;
}

QString TDefaultChartList::StoredName(int entry) const {
    if (entry < 0 || entry >= Count())
        return QString();
    const int types = static_cast<int>(TypeCodes.size());
    return QStringLiteral("%1.%2").arg(FormatBaseNames[entry / types], TypeCodes[entry % types]);
}

QString TDefaultChartList::StoredNameOfText(const QString& text) const {
    const int entry = IndexOfText(text);
    return entry < 0 ? text : StoredName(entry);
}

bool TDefaultChartList::IsChartFile(const QString& text) {
    return text.contains(QStringLiteral(".ADF"), Qt::CaseInsensitive);
}

QString TDefaultChartList::FileFilter() const {
    QString filter = QStringLiteral("QUILVANE Accounts Charts|*.ADF|Other text files|*.txt|Master Charts|");
    for (const QString& type : TypeCodes)
        filter = QStringLiteral("%1*.%2;").arg(filter, type);
    return filter;
}

QString TDefaultChartList::QtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts))
            for (const QString& form : {pattern, pattern.toUpper(), pattern.toLower()})
                if (!patterns.contains(form))
                    patterns.append(form);
        filters.append(QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(QLatin1Char(' '))));
    }
    return filters.join(QStringLiteral(";;"));
}
