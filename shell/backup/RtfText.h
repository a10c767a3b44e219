#pragma once

#include <QColor>
#include <QList>
#include <QString>

class QTextDocument;

// A stretch of text in one style: bold or regular, in a colour or the default one (an invalid
// colour).
struct TRtfRun {
    QString Text;
    bool Bold = false;
    QColor Colour;
    friend bool operator==(const TRtfRun&, const TRtfRun&) = default;
};
using TRtfParagraph = QList<TRtfRun>;

// The rich text of archive comments and memos: the little of the Rich Text Format that the memo
// boxes produce (paragraphs, line breaks, tabs, bold, a colour table) written and read back.
//
// Write gives 7-bit text: characters outside ASCII become "\'xx" escapes of their Windows-1252
// byte, or "\uN?" when that code page has none. The colour table always starts black, blue, red
// (indexes 1 to 3), further colours following as they occur.
//
// Read is tolerant, since comments come from other programs and other versions: it keeps the
// text, paragraphs, bold and colours and passes over everything else - font and style tables,
// pictures, "\*" groups and unknown destinations, unknown control words. Text that is not RTF
// reads as plain paragraphs, one a line. Malformed input (unbalanced braces, truncated escapes,
// huge numbers) never fails: what can be read is kept.
class TRtfText {
public:
    static QString Write(const QList<TRtfParagraph>& paragraphs);
    static QList<TRtfParagraph> Read(const QString& text);

    // Whether the text starts (after blanks) with the RTF signature "{\rtf".
    static bool IsRtf(const QString& text);

    // The text alone, paragraphs joined by '\n'.
    static QString PlainText(const QList<TRtfParagraph>& paragraphs);

    // The memo box's document as RTF, and RTF (or plain text) into a memo box's document.
    static QString FromDocument(const QTextDocument& document);
    static void ToDocument(const QString& rtf, QTextDocument& document);
    static QList<TRtfParagraph> ParagraphsOf(const QTextDocument& document);
    static void SetParagraphs(const QList<TRtfParagraph>& paragraphs, QTextDocument& document);
};
