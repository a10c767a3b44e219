#include "core/util/TextReplace.h"

#include "core/vocab/SmallVocabulary.h"

namespace {

// Replaces the occurrences of one pattern in the text.
void ReplacePattern(QString& text, const QString& pattern, const QString& replacement, bool firstOnly,
                    bool wholeWord) {
    if (pattern.isEmpty()) {
        if (text.isEmpty())
            text = replacement;
        return;
    }
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = text.indexOf(pattern, from, Qt::CaseInsensitive);
        if (at < 0)
            return;
        if (wholeWord && !IsWholeWordAt(text, pattern, at)) {
            from = at + 1;
            continue;
        }
        text.replace(at, pattern.size(), replacement);
        if (firstOnly)
            return;
        from = at + replacement.size();
    }
}

} // namespace

void ReplaceTextList(const QStringList& patterns, const QString& replacement, QString& result, bool wholeWord,
                     const QString& text) {
    QString work = text;
    for (const QString& entry : patterns) {
        const bool firstOnly = entry.startsWith(QLatin1Char('!'));
        ReplacePattern(work, firstOnly ? entry.mid(1) : entry, replacement, firstOnly, wholeWord);
    }
    result = work;
}

bool IsWholeWordAt(const QString& text, const QString& word, qsizetype pos) {
    if (pos < 0 || word.isEmpty() || pos + word.size() > text.size())
        return false;
    const qsizetype after = pos + word.size();
    const bool startOk = pos == 0 || IsWholeWordDelimiter(text[pos - 1]);
    const bool endOk = after == text.size() || IsWholeWordDelimiter(text[after]);
    return startOk && endOk;
}

void ApplyTextFilter(const QStringList& list, QString& text) {
    for (const QString& line : list) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        const QString name = line.left(equals);
        QString value = line.mid(equals + 1);
        if (value.compare(BlankSelectionText, Qt::CaseInsensitive) == 0)
            value.clear();
        ReplacePattern(text, name, value, false, false);
    }
    text = text.trimmed();
}
