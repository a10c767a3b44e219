#pragma once

#include <QString>

#include <functional>

// Laying out report lines in fixed columns.

// Blanks added on the right / left up to Width; a longer text is returned unchanged.
QString PadRight(const QString& text, int width);
QString PadLeft(const QString& text, int width);
// (Width - length) div 2 blanks in front; none when the text is wider.
QString CenterText(const QString& text, int width);
// N copies of a character (empty for N below 1).
QString StringOfChar(QChar ch, int n);

// How many characters of Text go on a line of at most N: N when the text is no longer than N
// or the character after the first N is a wrap delimiter (blank ! , : ; [ ] { }); otherwise up
// to and including the last wrap delimiter among the first N characters; N when there is none.
int FindWrapPosition(const QString& text, int n);

// Measures the width of a text (in device units); an empty function counts characters.
using TTextMeasure = std::function<int(const QString&)>;

// Shortens the text until its width is at most |maxWidth|. With a positive maxWidth room is
// kept for "...", which is appended when the text was cut.
void TruncateTextToWidth(const TTextMeasure& measure, QString& text, int maxWidth);
