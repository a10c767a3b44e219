#include "core/util/TextLayout.h"

#include "core/vocab/SmallVocabulary.h"

QString PadRight(const QString& text, int width) {
    return text.size() >= width ? text : text + QString(width - text.size(), QLatin1Char(' '));
}

QString PadLeft(const QString& text, int width) {
    return text.size() >= width ? text : QString(width - text.size(), QLatin1Char(' ')) + text;
}

QString CenterText(const QString& text, int width) {
    if (text.size() >= width)
        return text;
    return QString((width - text.size()) / 2, QLatin1Char(' ')) + text;
}

QString StringOfChar(QChar ch, int n) {
    return n > 0 ? QString(n, ch) : QString();
}

int FindWrapPosition(const QString& text, int n) {
    if (n <= 0)
        return 0;
    if (n >= text.size() || IsWordWrapDelimiter(text[n]))
        return n;
    for (int i = n; i >= 1; --i)
        if (IsWordWrapDelimiter(text[i - 1]))
            return i;
    return n;
}

void TruncateTextToWidth(const TTextMeasure& measure, QString& text, int maxWidth) {
    const auto width = [&measure](const QString& t) {
        return measure ? measure(t) : static_cast<int>(t.size());
    };
    const qint64 limit = maxWidth < 0 ? -static_cast<qint64>(maxWidth) : maxWidth;
    if (width(text) <= limit)
        return;
    const QString ellipsis = QStringLiteral("...");
    if (maxWidth > 0) {
        while (!text.isEmpty() && width(text + ellipsis) > limit)
            text.chop(1);
        text += ellipsis;
    } else {
        while (!text.isEmpty() && width(text) > limit)
            text.chop(1);
    }
}
