#pragma once

#include <QChar>
#include <QString>

// What a file code may be, as typed into the new-file wizard and the rename and copy dialogs:
// six characters, upper case, none of the characters the code edits drop, and (for a code that
// is to name a new file) no detail record of that code in the program data folder yet.
class TFileCodeRules {
public:
    static constexpr int CodeLength = 6;
    static inline const QString LengthText = QStringLiteral("File codes must be six characters in length.");
    static inline const QString ExistsText =
        QStringLiteral("This file code already exists - reenter a new file code.");

    // Whether a typed character is dropped: a blank, "%", "(", ")", "*", ".", "?", "[" and "]",
    // and everything that could reach outside the file's own names (the path separators, the
    // drive colon, the other characters a file name may not hold, and control characters).
    static bool IsDropped(QChar c);
    // The text as the edit keeps it: dropped characters removed, upper case, at most six.
    static QString Filter(const QString& typed);
    // The code an edit holds: the mask's blank character "_" read as a blank, trimmed.
    static QString CodeOfText(const QString& text);
    // Whether the detail record "<code>.CFG" exists in the program data folder, in any case.
    static bool RecordExists(const QString& code);
    // The message for a code that cannot be used; empty when it can. mustBeNew also refuses a
    // code whose detail record exists.
    static QString Check(const QString& code, bool mustBeNew);
};
