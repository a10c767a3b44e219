#pragma once

#include <QString>
#include <QStringView>

// Words of a text: runs of characters none of which is in the delimiter set (each character of
// Delimiters is one delimiter). Positions count from 1, as the callers' texts are laid out.

// Position of the first character of the n-th word; 0 when there is no n-th word.
int WordPosition(int n, QStringView text, QStringView delimiters);

// The n-th word; empty when there is none.
QString ExtractWord(int n, QStringView text, QStringView delimiters);

// The characters from Position up to the next delimiter; Position then stands just past that
// delimiter, so successive calls walk "a;b;;c" as "a", "b", "", "c". A position before the
// first character or past the last gives an empty text and leaves Position past the end.
QString ExtractSubstr(QStringView text, int& position, QStringView delimiters);
