#include "core/vocab/ProgressMessages.h"

#include "core/util/Numbers.h"

#include <array>
#include <cmath>
#include <limits>

namespace {

// Where the separator and the detail go in a message.
constexpr QLatin1String DetailMark("%s%s");

constexpr std::array<const char*, TProgressMessages::Count> Formats = {
    "%s%s",                                       // 0
    "Compiling%s%s Report ...",                   // 1
    "Loading%s%s ...",                            // 2
    "Saving%s%s ...",                             // 3
    "Transferring%s%s ...",                       // 4
    "Importing%s%s ...",                          // 5
    "Exporting%s%s ...",                          // 6
    "Upgrading%s%s ...",                          // 7
    "Printing%s%s ...",                           // 8
    "Compiling Bank Reconciliation ...",          // 9
    "Resetting Bank Reconciliation ...",          // 10
    "Compiling Possible Matches Report ...",      // 11
    "Compiling Reconciliation Matches Report...", // 12
    "Compiling Duplicate Matches Report ...",     // 13
    "Calculating Account Balances%s%s ...",       // 14
    "Processing Transactions%s%s ...",            // 15
    "Processing Ledger Accounts ...",             // 16
    "Bring Forward%s%s ...",                      // 17
    "Validating%s%s ...",                         // 18
    "Sorting Transactions%s%s ...",               // 19
    "Generating Contra Entries%s%s ...",          // 20
    "Compiling General Ledger%s%s ...",           // 21
    "Checking Account Usage%s%s ...",             // 22
    "Checking Tax Usage%s%s ...",                 // 23
    "Generating Cashbook Entries%s%s ...",        // 24
    "Performing Integrity Check ...",             // 25
    "Renaming File Code%s%s ...",                 // 26
    "Duplicating File Code%s%s ...",              // 27
    "Creating File Code%s%s...",                  // 28
    "Processing Account%s%s...",                  // 29
    "Searching for Files ...",                    // 30
    "Reading DOS Entity Information ...",         // 31
    "Writing DOS version ID ...",                 // 32
};

} // namespace

QString TProgressMessages::Format(int kind) {
    return QString::fromLatin1(Formats[IsKnown(kind) ? kind : 0]);
}

QString TProgressMessages::Text(int kind, const QString& detail) {
    if (!IsKnown(kind))
        kind = 0;
    const QString format = Format(kind);
    const qsizetype at = format.indexOf(DetailMark);
    if (at < 0)
        return format;
    // The detail is put in by position, never through a second pass of formatting, so a file
    // name holding "%1" or "%s" shows as it is.
    const QString separator = (kind != 0 && !detail.isEmpty()) ? QStringLiteral(" ") : QString();
    return format.left(at) + separator + detail + format.mid(at + DetailMark.size());
}

int TProgressMessages::RoundPercent(double percent) {
    if (std::isnan(percent))
        return 0;
    constexpr double lowest = std::numeric_limits<int>::min();
    constexpr double highest = std::numeric_limits<int>::max();
    if (percent <= lowest)
        return std::numeric_limits<int>::min();
    if (percent >= highest)
        return std::numeric_limits<int>::max();
    return static_cast<int>(RoundHalfEven(percent));
}
