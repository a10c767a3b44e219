#include "core/util/SelectionLists.h"

#include "core/vocab/PageKinds.h"
#include "core/vocab/SmallVocabulary.h"

void ParseSelectionList(QString& text, QStringList& list) {
    list.clear();
    for (const QString& raw : text.split(QLatin1Char(','))) {
        const QString item = raw.trimmed();
        if (item.isEmpty())
            continue;
        if (item.compare(AllSelectionText, Qt::CaseInsensitive) == 0) {
            list = QStringList{AllSelectionText.toString()};
            break;
        }
        list.append(item);
    }
    text = list.join(ListSeparator);
}

QString JoinListItems(const QStringList& list, int index) {
    if (index == -1) {
        QStringList items;
        for (const QString& item : list)
            items.append(item.trimmed());
        return items.join(ListSeparator);
    }
    if (index < 0 || index >= list.size())
        return QString();
    return list[index].trimmed();
}

bool TextMatchesFilter(const QString& text, const QStringList& list, int mode) {
    switch (mode) {
    case 0:
        return true;
    case 1:
        for (const QString& item : list)
            if (text.compare(item, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    case 2:
        for (const QString& item : list)
            if (text.contains(item, Qt::CaseInsensitive))
                return true;
        return false;
    case 3:
        return text.isEmpty();
    default:
        return false;
    }
}

QString PageKindSetToText(quint32 set) {
    if (set == 0x7FFF || set == 0xFF)
        return QStringLiteral("All");
    QStringList names;
    for (int kind = 0; kind < PageKindCount; ++kind)
        if ((set & (quint32{1} << kind)) != 0)
            names.append(PageKindTable[kind].ShortName.toString());
    return names.join(ListSeparator);
}
