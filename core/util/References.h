#pragma once

#include "core/util/ReferenceRangeList.h"

#include <QString>

// Transaction references: ordinary ones run 1 to 1000000 and are shown with six digits, -1 means
// no reference, and 1000001 "Bank", 1000002 "Opbal", 1000003 "TessalyJnl" and 1000009 "Contra"
// mark generated and imported lines (1000004 to 1000008 have no name).

// The text of a reference: empty for -1, six digits up to 1000000 (1000000 itself has seven),
// the special name (empty for the unnamed ones), and above 1000009 the six digits of the
// reference modulo 1000000.
QString ReferenceToText(qint32 ref);

// Reads a typed reference. A special name (in any case) gives its reference; otherwise a text
// holding one of the capital letters B, O, D or C (tried in that order) gives Bank, Opbal,
// TessalyJnl or Contra; otherwise the text must be a whole number, whose size is taken.
// False when the text is none of these (Ref is then left alone).
bool TextToReference(const QString& text, qint32& ref);

// The reference after Ref in steps of Step: Bank stays Bank; Contra, and any result outside
// 1 to 999999, start again at 1.
qint32 NextReference(qint32 ref, qint32 step);

// The reference as exports to other ledgers write it: Bank as 999999, Opbal as 1, Contra as 0;
// six digits when sixDigits is set.
void ReferenceToExportText(qint32 ref, bool sixDigits, QString& text);

// Reads a typed selection of references: items separated by ",", each a reference or two joined
// by " to " (numbers 0 to 1000000, special names or their letters). "<All>" anywhere selects
// everything. Ranges are held with the smaller reference first, and the text is rewritten from
// them. False, with the list and text left as they were, when an item is no reference.
bool ParseReferenceRanges(QString& text, TReferenceRangeList& list);

// True when the selection holds the reference.
bool ReferenceInRanges(const TReferenceRangeList& list, qint32 ref);
