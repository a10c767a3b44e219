#pragma once

#include <QString>

// The fixed table of messages a progress window shows: one per kind, each naming the operation
// and leaving room for a detail (a file code, a report name, a folder). The detail follows the
// operation's word after one blank; with no detail the word runs straight into its dots.
class TProgressMessages {
public:
    static constexpr int Count = 33;

    // The message of a kind with its detail. Kind 0 is the detail alone; so is any kind outside
    // the table. Kinds whose message has no room for a detail ignore it.
    static QString Text(int kind, const QString& detail);

    // The raw format of a kind ("%s%s" marks the separator and the detail); kind 0's for a kind
    // outside the table.
    static QString Format(int kind);

    // True for a kind the table knows.
    static bool IsKnown(int kind) { return kind >= 0 && kind < Count; }

    // A percentage to the whole number the bar shows: to the nearest, halves to the even
    // neighbour (49.5 and 50.5 both give 50). Out-of-range and undefined values are held to the
    // range of a 32-bit position (undefined gives 0).
    static int RoundPercent(double percent);
};
