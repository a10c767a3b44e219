#pragma once

#include <cstdint>
#include <initializer_list>

// A set of numbered options 0 to 39, held in five bytes. One set travels from object to object
// through the create, load, save and file-name operations of records, charts and lists; each
// operation reads the members it knows, and says which where it reads them.
class TOptionSet {
public:
    static constexpr int MemberCount = 40;
    static constexpr int ByteCount = 5;

    constexpr TOptionSet() = default;
    constexpr TOptionSet(std::initializer_list<int> members) {
        for (int m : members)
            Include(m);
    }

    constexpr bool Has(int member) const {
        return InRange(member) && (Bits & (std::uint64_t{1} << member)) != 0;
    }
    constexpr TOptionSet With(int member) const {
        TOptionSet copy = *this;
        copy.Include(member);
        return copy;
    }
    constexpr TOptionSet Without(int member) const {
        TOptionSet copy = *this;
        copy.Exclude(member);
        return copy;
    }
    constexpr void Include(int member) {
        if (InRange(member))
            Bits |= std::uint64_t{1} << member;
    }
    constexpr void Exclude(int member) {
        if (InRange(member))
            Bits &= ~(std::uint64_t{1} << member);
    }
    constexpr bool IsEmpty() const { return Bits == 0; }

    // The five stored bytes: member n is bit n % 8 of byte n / 8.
    constexpr std::uint8_t Byte(int index) const {
        return (index < 0 || index >= ByteCount) ? 0 : static_cast<std::uint8_t>(Bits >> (8 * index));
    }
    static constexpr TOptionSet FromBytes(const std::uint8_t (&bytes)[ByteCount]) {
        TOptionSet set;
        for (int i = 0; i < ByteCount; ++i)
            set.Bits |= std::uint64_t{bytes[i]} << (8 * i);
        return set;
    }

    friend constexpr bool operator==(const TOptionSet&, const TOptionSet&) = default;

private:
    static constexpr bool InRange(int member) { return member >= 0 && member < MemberCount; }
    std::uint64_t Bits = 0;
};

// The members of the option set, each declared once by number. One number may mean a little
// more to one reader than to another; the comment says what each reader does with it.
namespace Option {
// The standard open options, set by every caller except the open-file dialog.
inline constexpr int Standard = 0;
// Client record: Create takes no lock and the destructor releases none.
inline constexpr int NoLock = 1;
// Records and charts: the file lives in the transfer folder of the program data folder.
inline constexpr int TransferFolder = 2;
// Transaction lists: loaded on creation, without a blank line and without reporting load failures.
inline constexpr int QuietLoad = 3;
// Client record: Load reads only "Code", "Type", "Name" and the lock keys; a failed load does
// not stop Create.
inline constexpr int SummaryLoad = 4;
// Client record: Load shows no message when the file's entity type is not in the program's table.
inline constexpr int QuietEntityType = 5;
// Charts: load failures are not shown.
inline constexpr int Silent = 6;
// Load on creation. Client record: Create stops when the record is missing or empty, and loads
// it. Charts: constructors load their file.
inline constexpr int Load = 7;
// Client record: Create's lock offers the retry and override boxes when another workstation
// holds the file.
inline constexpr int InteractiveLock = 8;
// Data of the DOS version: the tax-rate and currency-rate charts, which that version did not
// have, are not loaded.
inline constexpr int DosVersion = 9;
// Charts: a missing or empty file is a failure ("File not found").
inline constexpr int MustExist = 10;
// Transaction lists: changes made by the processing after a load leave the list modified.
inline constexpr int KeepModifiedAfterLoad = 12;
// Records and charts: the file lives on the transfer drive ("X:\RORI\<code>").
inline constexpr int TransferDrive = 13;
// Charts: the previous year's file.
inline constexpr int PreviousYear = 14;
// Charts: the next year's file.
inline constexpr int NextYear = 15;
// Saves: ask before replacing an existing file.
inline constexpr int AskBeforeReplace = 17;
// Transaction lists: no processing after a load (accounts, tax lines, contras, numbering).
inline constexpr int NoLoadProcessing = 18;
// Transaction lists: contra lines are not regenerated before the save of a freed list, and that
// save shows no progress.
inline constexpr int NoContraRegeneration = 19;
// Transaction lists: no progress while contra lines are regenerated before saving.
inline constexpr int NoContraProgress = 20;
// Client record: Load keeps the folders, e-mail addresses, backup prompt and the two BAS paths
// held in memory.
inline constexpr int KeepFolders = 21;
// Client record: Load keeps the backup counters held in memory.
inline constexpr int KeepBackupHistory = 22;
// Client record: Load keeps the financial year held in memory.
inline constexpr int KeepYear = 23;
// Client record: Load keeps the data-entry page history held in memory.
inline constexpr int KeepPages = 24;
// Client record: Load keeps the lock fields held in memory.
inline constexpr int KeepLockKeys = 25;
// Transaction lists: an append load (entries added with new IDs, dissection numbers and the
// highlight mark); the DOS version's files are appended to.
inline constexpr int AppendLoad = 26;
// Charts: a load adds to the items held and leaves the chart modified. Transaction lists: the
// list is not emptied before a load, and IDs and dissection numbers are checked after it.
inline constexpr int MergeLoad = 27;
// Charts: as MergeLoad; an item already held takes the fields read.
inline constexpr int MergeReplace = 28;
// Set when the user answers Cancel to the replace question: the operation stops.
inline constexpr int StopOperation = 29;
// Transaction lists: as QuietLoad, and the tax lines are not regenerated after the load.
inline constexpr int QuietLoadKeepTaxLines = 30;
// Transaction lists: no blank line is added after creation.
inline constexpr int NoBlankLine = 31;
// Client record: Save leaves the year's BAS section as it is.
inline constexpr int KeepBASSection = 32;
// Client record: Save writes "LockedBy" with this workstation's user name.
inline constexpr int WriteLockedBy = 34;
// Client record: Load skips the year's BAS section.
inline constexpr int SkipBAS = 35;
// Client record: Load keeps the number of periods held in memory.
inline constexpr int KeepPeriods = 36;
} // namespace Option
