#include "shell/backup/RtfText.h"

#include "core/io/Win1252Codec.h"

#include <QFont>
#include <QRegularExpression>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <array>

// Paragraphs are written as RichEdit writes them, each one ended by "\par"; the reader
// therefore keeps a last paragraph that has no "\par" of its own only when it holds text.

namespace {

// The colours every comment uses, at indexes 1 to 3 of the colour table.
const std::array<QColor, 3> StandardColours{QColor(0, 0, 0), QColor(0, 0, 255), QColor(255, 0, 0)};

// The longest control word and parameter the reader takes in (the format allows 32 letters and
// a signed 16-bit number; longer ones are read on to their end and cut).
constexpr int MaxWordLength = 32;
constexpr int MaxParameterDigits = 10;
// The most fallback characters a "\uc" can ask to be skipped after each "\u".
constexpr int MaxFallbackSkip = 10;

void AppendEscaped(QString& out, const QString& text) {
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code == u'\\' || code == u'{' || code == u'}') {
            out += QLatin1Char('\\');
            out += c;
        } else if (code == u'\t') {
            out += QLatin1String("\\tab ");
        } else if (code == u'\n' || c == QChar::LineSeparator) {
            out += QLatin1String("\\line ");
        } else if (code < 0x20) {
            continue; // other control characters have no place in a memo
        } else if (code < 0x7f) {
            out += c;
        } else {
            const char byte = TWin1252Codec::EncodeChar(c);
            if (TWin1252Codec::DecodeChar(static_cast<unsigned char>(byte)) == c)
                out += QString::asprintf("\\'%02x", static_cast<unsigned char>(byte));
            else // no byte in the code page: the character by number, '?' for older readers
                out += QStringLiteral("\\u%1?").arg(static_cast<short>(code));
        }
    }
}

int HexValue(QChar c) {
    const char16_t code = c.unicode();
    if (code >= u'0' && code <= u'9')
        return code - u'0';
    if (code >= u'a' && code <= u'f')
        return code - u'a' + 10;
    if (code >= u'A' && code <= u'F')
        return code - u'A' + 10;
    return -1;
}

bool SameStyle(const TRtfRun& run, bool bold, const QColor& colour) {
    return run.Bold == bold && run.Colour == colour;
}

void AppendRun(TRtfParagraph& paragraph, const QString& text, bool bold, const QColor& colour) {
    if (text.isEmpty())
        return;
    if (!paragraph.isEmpty() && SameStyle(paragraph.last(), bold, colour))
        paragraph.last().Text += text;
    else
        paragraph.append({text, bold, colour});
}

// Reads RTF into paragraphs; one object per text.
class TRtfReader {
public:
    explicit TRtfReader(const QString& text) : Text(text) {}

    QList<TRtfParagraph> Read();

private:
    enum class TDestination { Text, Skip, ColourTable };
    struct TState {
        bool Bold = false;
        int Colour = 0;
        int FallbackSkip = 1;
        TDestination Destination = TDestination::Text;
    };

    void ReadControl();
    void ControlWord(const QString& word, bool hasParameter, qint64 parameter);
    void AddChar(QChar c);
    void EndParagraph();
    QColor ColourOf(int index) const;

    const QString& Text;
    qsizetype Pos = 0;
    int Depth = 0;
    TState State;
    QList<TState> Saved;
    int PendingSkip = 0;
    QList<QColor> Colours; // the colour table; an entry without components is the default colour
    int Red = -1, Green = -1, Blue = -1;
    QList<TRtfParagraph> Paragraphs;
    TRtfParagraph Current;
};

QList<TRtfParagraph> TRtfReader::Read() {
    while (Pos < Text.size()) {
        const QChar c = Text[Pos++];
        if (Depth == 0 && c != u'{')
            continue; // blanks before the document
        if (c == u'{') {
            Saved.append(State);
            ++Depth;
            PendingSkip = 0;
        } else if (c == u'}') {
            PendingSkip = 0;
            if (Saved.isEmpty())
                break;
            State = Saved.takeLast();
            if (--Depth == 0)
                break; // the end of the document; anything after it is not part of it
        } else if (c == u'\\') {
            ReadControl();
        } else if (c == u'\r' || c == u'\n' || c == QChar::Null) {
            continue;
        } else if (State.Destination == TDestination::ColourTable) {
            if (c == u';') {
                Colours.append(Red < 0 && Green < 0 && Blue < 0
                                   ? QColor()
                                   : QColor(std::clamp(Red, 0, 255), std::clamp(Green, 0, 255),
                                            std::clamp(Blue, 0, 255)));
                Red = Green = Blue = -1;
            }
        } else if (c.unicode() >= 0x20 || c == u'\t') {
            AddChar(c);
        }
    }
    if (!Current.isEmpty())
        Paragraphs.append(Current);
    return Paragraphs;
}

void TRtfReader::ReadControl() {
    if (Pos >= Text.size())
        return;
    const QChar c = Text[Pos];
    if (!c.isLetter() || c.unicode() > 0x7f) {
        ++Pos;
        switch (c.unicode()) {
        case u'\\':
        case u'{':
        case u'}':
            AddChar(c);
            break;
        case u'\'': {
            // Two hex digits; a cut escape is dropped, and what follows its digits read as it stands.
            int byte = 0;
            int digits = 0;
            for (; digits < 2 && Pos < Text.size() && HexValue(Text[Pos]) >= 0; ++digits)
                byte = byte * 16 + HexValue(Text[Pos++]);
            if (digits == 2)
                AddChar(TWin1252Codec::DecodeChar(static_cast<unsigned char>(byte)));
            break;
        }
        case u'~':
            AddChar(QChar(0x00a0));
            break;
        case u'_':
            AddChar(QChar(0x2011));
            break;
        case u'*':
            State.Destination = TDestination::Skip;
            break;
        case u'\r':
        case u'\n':
            ControlWord(QStringLiteral("par"), false, 0);
            break;
        default:
            break; // "\-" optional hyphen, "\|", "\:" and unknown symbols show nothing
        }
        return;
    }
    QString word;
    while (Pos < Text.size() && Text[Pos].unicode() < 0x80 && Text[Pos].isLetter()) {
        if (word.size() < MaxWordLength)
            word += Text[Pos];
        ++Pos;
    }
    bool negative = false;
    if (Pos + 1 < Text.size() && Text[Pos] == u'-' && Text[Pos + 1].isDigit()) {
        negative = true;
        ++Pos;
    }
    bool hasParameter = false;
    qint64 parameter = 0;
    int digits = 0;
    while (Pos < Text.size() && Text[Pos] >= u'0' && Text[Pos] <= u'9') {
        if (digits++ < MaxParameterDigits)
            parameter = parameter * 10 + (Text[Pos].unicode() - u'0');
        hasParameter = true;
        ++Pos;
    }
    if (negative)
        parameter = -parameter;
    if (Pos < Text.size() && Text[Pos] == u' ')
        ++Pos;
    ControlWord(word, hasParameter, parameter);
}

void TRtfReader::ControlWord(const QString& word, bool hasParameter, qint64 parameter) {
    // Groups whose content is not text of the memo.
    static const QSet<QString> skipped{
        QStringLiteral("fonttbl"),      QStringLiteral("stylesheet"), QStringLiteral("info"),
        QStringLiteral("pict"),         QStringLiteral("object"),     QStringLiteral("header"),
        QStringLiteral("headerl"),      QStringLiteral("headerr"),    QStringLiteral("headerf"),
        QStringLiteral("footer"),       QStringLiteral("footerl"),    QStringLiteral("footerr"),
        QStringLiteral("footerf"),      QStringLiteral("footnote"),   QStringLiteral("fldinst"),
        QStringLiteral("filetbl"),      QStringLiteral("listtable"),  QStringLiteral("listoverridetable"),
        QStringLiteral("revtbl"),       QStringLiteral("rsidtbl"),    QStringLiteral("generator"),
        QStringLiteral("xmlnstbl"),     QStringLiteral("themedata"),  QStringLiteral("colorschememapping"),
        QStringLiteral("latentstyles"), QStringLiteral("datastore"),  QStringLiteral("annotation"),
        QStringLiteral("atnid"),        QStringLiteral("atnauthor"),  QStringLiteral("xe"),
        QStringLiteral("tc"),           QStringLiteral("private"),    QStringLiteral("userprops")};
    const bool inText = State.Destination == TDestination::Text;
    if (word == u"par" || word == u"sect" || word == u"page" || word == u"row") {
        if (inText)
            EndParagraph();
    } else if (word == u"line") {
        AddChar(QChar::LineSeparator);
    } else if (word == u"tab" || word == u"cell") {
        AddChar(QLatin1Char('\t'));
    } else if (word == u"b") {
        State.Bold = !hasParameter || parameter != 0;
    } else if (word == u"plain") {
        State.Bold = false;
        State.Colour = 0;
    } else if (word == u"cf") {
        State.Colour = static_cast<int>(std::clamp<qint64>(parameter, 0, 0x7fff));
    } else if (word == u"u") {
        qint64 code = parameter;
        if (code < 0)
            code += 65536;
        PendingSkip = 0;
        if (code > 0 && code <= 0xffff)
            AddChar(QChar(static_cast<char16_t>(code)));
        PendingSkip = State.FallbackSkip;
    } else if (word == u"uc") {
        State.FallbackSkip = static_cast<int>(std::clamp<qint64>(parameter, 0, MaxFallbackSkip));
    } else if (word == u"emdash") {
        AddChar(QChar(0x2014));
    } else if (word == u"endash") {
        AddChar(QChar(0x2013));
    } else if (word == u"bullet") {
        AddChar(QChar(0x2022));
    } else if (word == u"lquote") {
        AddChar(QChar(0x2018));
    } else if (word == u"rquote") {
        AddChar(QChar(0x2019));
    } else if (word == u"ldblquote") {
        AddChar(QChar(0x201c));
    } else if (word == u"rdblquote") {
        AddChar(QChar(0x201d));
    } else if (word == u"colortbl") {
        State.Destination = TDestination::ColourTable;
        Red = Green = Blue = -1;
    } else if (word == u"red" || word == u"green" || word == u"blue") {
        if (State.Destination == TDestination::ColourTable) {
            const int value = static_cast<int>(std::clamp<qint64>(parameter, 0, 255));
            (word == u"red" ? Red : word == u"green" ? Green : Blue) = value;
        }
    } else if (word == u"bin") {
        // Binary data of the given length follows; it is never text.
        Pos = std::min(Pos + static_cast<qsizetype>(std::clamp<qint64>(parameter, 0, Text.size())),
                       Text.size());
    } else if (skipped.contains(word)) {
        State.Destination = TDestination::Skip;
    }
}

void TRtfReader::AddChar(QChar c) {
    if (State.Destination != TDestination::Text)
        return;
    if (PendingSkip > 0) { // the fallback of a "\u" character
        --PendingSkip;
        return;
    }
    AppendRun(Current, QString(c), State.Bold, ColourOf(State.Colour));
}

void TRtfReader::EndParagraph() {
    PendingSkip = 0;
    Paragraphs.append(Current);
    Current.clear();
}

QColor TRtfReader::ColourOf(int index) const {
    return index >= 0 && index < Colours.size() ? Colours[index] : QColor();
}

QList<TRtfParagraph> ReadPlain(const QString& text) {
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineBreak);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the break after the last line ends it; it starts no new one
    QList<TRtfParagraph> paragraphs;
    for (const QString& line : lines) {
        TRtfParagraph paragraph;
        AppendRun(paragraph, line, false, QColor());
        paragraphs.append(paragraph);
    }
    return paragraphs;
}

} // namespace

QString TRtfText::Write(const QList<TRtfParagraph>& paragraphs) {
    QList<QColor> colours(StandardColours.begin(), StandardColours.end());
    for (const TRtfParagraph& paragraph : paragraphs)
        for (const TRtfRun& run : paragraph)
            if (run.Colour.isValid() && !colours.contains(run.Colour.toRgb()))
                colours.append(run.Colour.toRgb());

    QString out =
        QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\r\n"
                       "{\\colortbl ;");
    for (const QColor& colour : colours)
        out += QStringLiteral("\\red%1\\green%2\\blue%3;")
                   .arg(colour.red())
                   .arg(colour.green())
                   .arg(colour.blue());
    out += QStringLiteral("}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 ");

    bool bold = false;
    int colourIndex = 0;
    for (const TRtfParagraph& paragraph : paragraphs) {
        for (const TRtfRun& run : paragraph) {
            if (run.Text.isEmpty())
                continue;
            const int index =
                run.Colour.isValid() ? static_cast<int>(colours.indexOf(run.Colour.toRgb())) + 1 : 0;
            QString controls;
            if (run.Bold != bold)
                controls += run.Bold ? QStringLiteral("\\b") : QStringLiteral("\\b0");
            if (index != colourIndex)
                controls += QStringLiteral("\\cf%1").arg(index);
            if (!controls.isEmpty())
                out += controls + QLatin1Char(' ');
            bold = run.Bold;
            colourIndex = index;
            AppendEscaped(out, run.Text);
        }
        out += QStringLiteral("\\par\r\n");
    }
    out += QLatin1Char('}');
    return out;
}

QList<TRtfParagraph> TRtfText::Read(const QString& text) {
    if (!IsRtf(text))
        return ReadPlain(text);
    return TRtfReader(text).Read();
}

bool TRtfText::IsRtf(const QString& text) {
    qsizetype start = 0;
    while (start < text.size() && text[start].isSpace())
        ++start;
    return QStringView(text).mid(start).startsWith(QLatin1String("{\\rtf"));
}

QString TRtfText::PlainText(const QList<TRtfParagraph>& paragraphs) {
    QStringList lines;
    for (const TRtfParagraph& paragraph : paragraphs) {
        QString line;
        for (const TRtfRun& run : paragraph)
            line += run.Text;
        lines.append(line.replace(QChar::LineSeparator, QLatin1Char('\n')));
    }
    return lines.join(QLatin1Char('\n'));
}

QList<TRtfParagraph> TRtfText::ParagraphsOf(const QTextDocument& document) {
    QList<TRtfParagraph> paragraphs;
    if (document.isEmpty())
        return paragraphs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        TRtfParagraph paragraph;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat format = fragment.charFormat();
            const QColor colour =
                format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color() : QColor();
            QString text = fragment.text();
            text.remove(QChar::ObjectReplacementCharacter); // pictures do not travel
            AppendRun(paragraph, text, format.fontWeight() >= QFont::Bold, colour);
        }
        paragraphs.append(paragraph);
    }
    return paragraphs;
}

void TRtfText::SetParagraphs(const QList<TRtfParagraph>& paragraphs, QTextDocument& document) {
    document.clear();
    QTextCursor cursor(&document);
    bool first = true;
    for (const TRtfParagraph& paragraph : paragraphs) {
        if (!first)
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        first = false;
        for (const TRtfRun& run : paragraph) {
            QTextCharFormat format;
            if (run.Bold)
                format.setFontWeight(QFont::Bold);
            if (run.Colour.isValid())
                format.setForeground(run.Colour);
            cursor.insertText(run.Text, format);
        }
    }
}

QString TRtfText::FromDocument(const QTextDocument& document) {
    return Write(ParagraphsOf(document));
}

void TRtfText::ToDocument(const QString& rtf, QTextDocument& document) {
    SetParagraphs(Read(rtf), document);
}
