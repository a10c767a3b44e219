#pragma once

#include <QByteArray>
#include <QChar>
#include <QSet>
#include <QString>
#include <QStringList>

// Small text conventions of the program.

// The text without one final "S" or "s" ("Payments" -> "Payment").
QString RemoveTrailingS(const QString& text);

// The older transaction record forms store their texts with every byte doubled (modulo 256);
// these turn stored bytes into plain ones and back. Halving loses the top bit, as it always did.
QByteArray DoubleCharCodes(const QByteArray& bytes);
QByteArray HalveCharCodes(const QByteArray& bytes);

// The texts joined by ",".
QString JoinTexts(const QStringList& texts);

// Lower case, then every letter that follows a non-letter in upper case ("mr o'BRIEN" ->
// "Mr O'Brien").
QString ProperCase(const QString& text);

// Returns the text up to the first Delimiter and removes it and the delimiter from Text; the
// whole text (leaving Text empty) when there is no delimiter.
QString ExtractToken(QString& text, const QString& delimiter);

// True for an empty text and for "<Not Applicable>" (any case).
bool IsNotApplicable(const QString& text);
// The code at the front of a "code description" text: up to the first blank; empty for the
// texts IsNotApplicable accepts.
QString ExtractCodeOrBlank(const QString& text);

// An 11-digit Australian Business Number spaced 2 3 3 3 ("51824753556" -> "51 824 753 556");
// any other text is returned as it is.
QString FormatABN(const QString& text);

// True for the stored flag text "Y" (any case).
bool IsTrueText(const QString& text);

// Index of a text in a table (any case), -1 when absent.
template <typename Table> int IndexOfText(const QString& text, const Table& table) {
    int index = 0;
    for (const auto& entry : table) {
        if (text.compare(entry, Qt::CaseInsensitive) == 0)
            return index;
        ++index;
    }
    return -1;
}

// Puts "&" before the first letter or digit of the caption that no other caption of the menu
// uses yet, and records it as used (without regard to case).
void InsertAccelerator(QString& caption, QSet<QChar>& used);
// A menu caption as plain text: without its accelerator marks and the dots of an item that opens
// a window ("&Export Data..." gives "Export Data").
QString PlainCaption(QString caption);

// "IF" / "OD" (short) or "In Funds" / "Overdrawn" for a balance of 0 or more / below 0.
QString FundsStatusText(bool isShort, double balance);

// The date (a date number) as "YYYYMMDD" and as "MMYY" for the export formats.
void FormatDateForExport(double date, QString& yyyymmdd, QString& mmyy);

// -1 when B is greater than A, else 0: a "less" test for the transaction sort orders, not a
// three-way comparison.
int CompareByteDescending(quint8 a, quint8 b);

// Raises the error "Unable to calculate report balances.".
[[noreturn]] void RaiseReportBalanceError();
