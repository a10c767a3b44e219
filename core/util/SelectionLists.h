#pragma once

#include <QString>
#include <QStringList>

// Lists typed by the user to select things for reports and processes ("a, b, c" or "<All>").

// Splits a "," list into trimmed items (empty items dropped); "<All>" anywhere leaves only
// "<All>". The text is rewritten from the list.
void ParseSelectionList(QString& text, QStringList& list);

// The trimmed items joined by "," (index -1), or the one item at the index (empty when there
// is no such item).
QString JoinListItems(const QStringList& list, int index);

// Whether a text passes a filter list: mode 0 always, 1 when it equals an item, 2 when it
// contains an item (both without regard to case), 3 when the text is empty. Other modes pass
// nothing.
bool TextMatchesFilter(const QString& text, const QStringList& list, int mode);

// The short page names of the page kinds in a set (bit n for page kind n) joined by ","; "All"
// for the sets 0x7FFF and 0xFF that mean every page.
QString PageKindSetToText(quint32 set);
