#include "core/util/Words.h"

int WordPosition(int n, QStringView text, QStringView delimiters) {
    if (n < 1)
        return 0;
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool wordStart = !delimiters.contains(text[i]) && (i == 0 || delimiters.contains(text[i - 1]));
        if (wordStart && ++count == n)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

QString ExtractWord(int n, QStringView text, QStringView delimiters) {
    const int start = WordPosition(n, text, delimiters);
    if (start == 0)
        return QString();
    qsizetype end = start - 1;
    while (end < text.size() && !delimiters.contains(text[end]))
        ++end;
    return text.mid(start - 1, end - (start - 1)).toString();
}

QString ExtractSubstr(QStringView text, int& position, QStringView delimiters) {
    if (position < 1 || position > text.size()) {
        position = static_cast<int>(text.size()) + 1;
        return QString();
    }
    qsizetype end = position - 1;
    while (end < text.size() && !delimiters.contains(text[end]))
        ++end;
    const QString result = text.mid(position - 1, end - (position - 1)).toString();
    // Step over the delimiter that ended the part, if the text did not end first.
    position = static_cast<int>(end < text.size() ? end + 2 : end + 1);
    return result;
}
