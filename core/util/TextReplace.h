#pragma once

#include <QString>
#include <QStringList>

// Replacing words in report texts and imported descriptions. Matching ignores case. After a
// replacement the search goes on after the inserted text, so a replacement that contains the
// word it replaces is never replaced again.

// Replaces, pattern by pattern in order, every occurrence in Text by Replacement and leaves the
// outcome in Result. A pattern starting with "!" (not itself part of the pattern) replaces only
// its first occurrence. With wholeWord an occurrence counts only where IsWholeWordAt holds;
// occurrences inside longer words are passed over. An empty pattern matches only an empty
// text, which then becomes Replacement.
void ReplaceTextList(const QStringList& patterns, const QString& replacement, QString& result, bool wholeWord,
                     const QString& text);

// True when Word, found at the 0-based position Pos of Text, stands alone: the characters
// before and after it are word delimiters (blank ! " , . : ; [ ] { }) or the ends of the text.
bool IsWholeWordAt(const QString& text, const QString& word, qsizetype pos);

// Applies "Name=Value" lines to a text: every occurrence of each Name becomes its Value
// ("<Blank>" removes it); the result is trimmed. This is the description filter of bank
// statement imports.
void ApplyTextFilter(const QStringList& list, QString& text);
