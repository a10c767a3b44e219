#include "core/common/Exceptions.h"
#include "core/dates/DateNumbers.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionList.h"
#include "core/transactions/TransactionRecord.h"
#include "core/vocab/PageKinds.h"
#include "tests/core/AccountTestFormats.h"
#include "tests/core/CountingFileSystem.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace TF = TransactionFlag;

namespace {

QByteArray Golden(const char* block) {
    return HexBlock(TestData("transactions/month-files.hex"), block);
}

// Lists of file ABC123 (year to June unless told) in a temporary data folder; drive X: is the
// transfer drive.
class TListFilesTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        ASSERT_TRUE(QDir(Temp.path()).mkpath("data/ABC123") && QDir(Temp.path()).mkpath("x/RORI/ABC123"));
        TServices::FileSystem().MapDrive(u'X', TempPath("x"));
    }
    TTransactionListSources Sources(int endMonth = 6, const TAccountFormat* format = nullptr) const {
        TTransactionListSources sources;
        sources.Entity = {"ABC123", "NSP", TempPath("data"), "X:\\XFER", "", "QUILVANE", "",
                          "AUD",    12,    endMonth};
        sources.Format = format ? format : Format.get();
        sources.Contras = 3; // no contra lines: these lists hold what their files hold
        return sources;
    }
    // October 2005 payments (period 4 of the year to June 2006).
    std::unique_ptr<TTransactionList> October(TOptionSet options, int periodsPerYear = 12,
                                              int period = 4) const {
        return std::make_unique<TTransactionList>(Sources(), pkPayments, 2006, period, periodsPerYear,
                                                  options);
    }
    QString Standard(const char* name = "ABC12306.PA4") const { return TempPath("data/ABC123/") + name; }

    std::unique_ptr<TAccountFormat> Format = MakeFormat("AAAA-SS");
    std::unique_ptr<TAccountFormat> Short = MakeFormat("AAAA");
};

std::unique_ptr<TTransactionDetail> Payment(int day, int month = 10) {
    auto entry = std::make_unique<TTransactionDetail>(110400100 + day, static_cast<qint16>(pkPayments));
    entry->SetFlags({TF::Keyed});
    entry->Date = EncodeDateNum(2005, month, day);
    return entry;
}

TEST_F(TListFilesTest, LoadAndSaveLeaveFilesByteIdentical) {
    struct TCase {
        const char* Block;
        const char* Path; // under the temporary folder
        TOptionSet Options;
        int Count; // the records, the dissection total rebuilt after the load and the blank line
        qint32 FirstDissection;
        qint32 NextID; // of October's slot after the load and the blank line
    };
    // Processing after a load sorts by bank account: the sort order read survives only without it.
    // clang-format off
    const TCase cases[] = {
        {"payments-125", "data/ABC123/ABC12306.PA4", {Option::Load, Option::NoLoadProcessing}, 3, 110300002, 110400007},
        {"payments-84", "x/RORI/ABC123/ABC12306.P04", {Option::Load, Option::TransferDrive}, 4, 110400000, 110400003}};
    // clang-format on
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Block);
        const QByteArray golden = Golden(c.Block);
        ASSERT_TRUE(WriteFileBytes(TempPath(c.Path), golden));
        auto list = October(c.Options);
        ASSERT_EQ(list->LoadStatus(), 0);
        ASSERT_EQ(list->Count(), c.Count);
        EXPECT_EQ(list->GetItem(0)->Dissection, c.FirstDissection);
        EXPECT_EQ(list->GetItem(1)->HasAnyFlag({TF::DissectionTotal}), c.Count == 4);
        EXPECT_TRUE(list->GetItem(c.Count - 1)->HasAnyFlag({TF::Blank}));
        EXPECT_EQ(list->GetNextID(4), c.NextID);
        ASSERT_TRUE(QFile::remove(TempPath(c.Path)));
        TOptionSet options = c.Options;
        EXPECT_EQ(list->SaveToFile(options, false, true), 0);
        EXPECT_EQ(ReadFileBytes(TempPath(c.Path)), golden);
        if (c.Options.Has(Option::TransferDrive)) { // appended to without a second header
            options.Include(Option::AppendLoad);
            EXPECT_EQ(list->SaveToFile(options, false, true), 0);
            EXPECT_EQ(ReadFileBytes(TempPath(c.Path)), golden + golden.mid(84));
        }
    }
}

TEST_F(TListFilesTest, OlderFormsConvertAndAreSavedInTheCurrentFormWhenFreed) {
    struct TCase {
        QByteArray Bytes;
        bool ShortCodes;
        TOptionSet Options;
        int Count, Stored; // entries after the load (with any dissection total); records saved when freed
        qint32 Reference;
        bool Contra;
        int Day; // in October
    };
    const QByteArray v41 = Golden("payments-84");
    const TOptionSet raw{Option::DosVersion, Option::NoLoadProcessing};
    // The contra line read is kept only without processing after the load, and is dropped when the
    // list is saved: these books make no contra lines.
    const TCase cases[] = {
        {Golden("payments-80"), false, {Option::DosVersion}, 1, 1, BankReference, false, 31},
        {Golden("payments-76"), true, raw, 2, 1, ContraReference, true, 31},
        {v41 + v41.left(84) + v41.mid(168), false, {Option::DosVersion}, 4, 3, 1234, false, 15}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Count);
        ASSERT_TRUE(WriteFileBytes(TempPath("data/ABC12306.P04"), c.Bytes));
        QFile::remove(Standard());
        {
            TTransactionList list(Sources(6, c.ShortCodes ? Short.get() : Format.get()), pkPayments, 2006, 4,
                                  12, c.Options);
            ASSERT_EQ(list.Count(), c.Count);
            const TTransactionDetail& first = *list.GetItem(0);
            EXPECT_EQ(first.Reference, c.Reference);
            EXPECT_EQ(first.HasAnyFlag({TF::Contra}), c.Contra);
            EXPECT_EQ(first.Date, EncodeDateNum(2005, 10, c.Day)) << "moved into October";
            EXPECT_FALSE(list.Saved());
            if (c.Count > 1) {
                EXPECT_EQ(list.GetItem(1)->Dissection, 110400000);
                EXPECT_EQ(list.GetItem(1)->HasAnyFlag({TF::DissectionTotal}), c.Count == 4);
                EXPECT_EQ(list.GetNextDissectionNo(4), 110400001)
                    << "a dissection taken advances the counter";
            }
        }
        EXPECT_EQ(QFileInfo(Standard()).size(), (c.Stored + 1) * 125);
    }
}

TEST_F(TListFilesTest, WhatASaveWritesAndRemoves) {
    const QByteArray golden = Golden("payments-125");
    // A list with only its blank line makes no file.
    auto blankOnly = October({Option::Load});
    TOptionSet none;
    EXPECT_EQ(blankOnly->SaveToFile(none, false, true), 0);
    EXPECT_FALSE(QFile::exists(Standard()));

    // A month whose entries were all deleted loses its file.
    ASSERT_TRUE(WriteFileBytes(Standard(), golden));
    {
        auto list = October({Option::Load});
        ASSERT_TRUE(list->GetItem(1)->HasAnyFlag({TF::DissectionTotal})); // left in the list
        list->DeleteTransaction(2);
        list->DeleteTransaction(0);
    }
    EXPECT_FALSE(QFile::exists(Standard()));

    // A record of another page kind is dropped, and so lost on the next save.
    QByteArray mixed = golden;
    mixed[250 + 4] = char(pkReceipts);
    ASSERT_TRUE(WriteFileBytes(Standard(), mixed));
    {
        auto list = October({Option::Load});
        EXPECT_EQ(list->Count(), 3); // the first record, its dissection total and the blank line
        EXPECT_EQ(list->SaveToFile(none, false, true), 0);
    }
    QByteArray kept = golden.left(250);
    kept[62] = 0; // processing after the load sorts by bank account
    EXPECT_EQ(ReadFileBytes(Standard()), kept);

    // A quarter writes each month's entries to its own file; a month without entries gets none.
    {
        auto quarter = October({Option::NoBlankLine}, 4, 2);
        quarter->AddTransaction(Payment(3), 4);
        quarter->AddTransaction(Payment(9, 12), 6);
    }
    EXPECT_EQ(QFileInfo(Standard()).size(), 250);
    EXPECT_FALSE(QFile::exists(Standard("ABC12306.PA5")));
    EXPECT_EQ(QFileInfo(Standard("ABC12306.PA6")).size(), 250);

    // A Deleted Transactions list is never written.
    TTransactionList(Sources(), pkDeletedTransactions, 2006, 0, 12, {}).AddTransaction(Payment(3), 1);
    EXPECT_EQ(QDir(TempPath("data/ABC123")).entryList(QDir::Files).size(), 2);
}

// The folder of a file code's month files is never a link: a save through one, whether it would
// write a month or remove an emptied one, is refused and leaves the link's target as it was; a
// load through one that leads out of the data folder reads nothing. The data folder itself may
// be reached through a link.
TEST_F(TListFilesTest, AMonthFolderThatIsALinkIsNeitherWrittenNorReadThrough) {
    const QByteArray golden = Golden("payments-125");
    const QString outside = TempPath("outside");
    ASSERT_TRUE(QDir().mkpath(outside) && WriteFileBytes(outside + "/ABC12306.PA4", golden));
    ASSERT_TRUE(QDir(TempPath("data/ABC123")).removeRecursively());
    ASSERT_TRUE(QFile::link(outside, TempPath("data/ABC123")));
    const QString box =
        QStringLiteral(
            "There has been an error saving the FTransactions file\nfor  Payments: October 2005 \n(") +
        QDir::toNativeSeparators(TempPath("data/ABC123")) +
        " is a symbolic link; the program does not write through links)";
    for (const bool withEntries : {true, false}) {
        SCOPED_TRACE(withEntries);
        Prompt->Shown.clear();
        Prompt->Answer(TMessageButton::Ignore);
        auto list = October({Option::NoBlankLine});
        if (withEntries)
            list->AddTransaction(Payment(3), 4);
        TOptionSet none;
        EXPECT_EQ(list->SaveToFile(none, false, true), -1);
        EXPECT_EQ(Prompt->Texts(), QStringList{box});
        EXPECT_EQ(ReadFileBytes(outside + "/ABC12306.PA4"), golden);
        EXPECT_EQ(QDir(outside).entryList(QDir::Files | QDir::Hidden), QStringList{"ABC12306.PA4"});
        list->SetSaved(true);
    }
    Prompt->Shown.clear();
    Prompt->Answer(TMessageButton::Cancel);
    {
        auto list = October({Option::Load});
        EXPECT_EQ(list->LoadStatus(), -1);
        EXPECT_EQ(list->Count(), 0);
    }
    EXPECT_EQ(Prompt->Texts(), QStringList{"Unable to find or load  Payments: October 2005 \n(" +
                                           QDir::toNativeSeparators(Standard()) +
                                           " lies outside the data folder; the program does not read "
                                           "through links that lead out of it)"});

    // A data folder reached through a link holds a month folder of its own.
    ASSERT_TRUE(QFile::remove(TempPath("data/ABC123")) && QDir().mkpath(TempPath("data/ABC123")));
    ASSERT_TRUE(QFile::link(TempPath("data"), TempPath("linked-data")));
    TTransactionListSources linked = Sources();
    linked.Entity.DataDir = TempPath("linked-data");
    Prompt->Shown.clear();
    {
        TTransactionList list(linked, pkPayments, 2006, 4, 12, {Option::NoBlankLine});
        list.AddTransaction(Payment(3), 4);
        TOptionSet none;
        EXPECT_EQ(list.SaveToFile(none, false, true), 0);
    }
    EXPECT_EQ(QFileInfo(Standard()).size(), 250);
    TTransactionList reread(linked, pkPayments, 2006, 4, 12, {Option::Load, Option::NoBlankLine});
    EXPECT_EQ(reread.LoadStatus(), 0);
    EXPECT_EQ(reread.Count(), 1);
    EXPECT_TRUE(Prompt->Texts().isEmpty());
}

TEST_F(TListFilesTest, LoadingFindsNamesOfAnyCaseAndAppends) {
    ASSERT_TRUE(WriteFileBytes(TempPath("data/ABC123/abc12306.pa4"), Golden("payments-125")));
    auto list = October({Option::Load, Option::NoBlankLine});
    ASSERT_EQ(list->Count(), 3); // the first record's dissection total follows it
    EXPECT_EQ(list->LoadFromFile({Option::AppendLoad, Option::NoLoadProcessing}, false), 0);
    ASSERT_EQ(list->Count(), 5);
    const TTransactionDetail& appended = *list->GetItem(3);
    EXPECT_EQ(appended.ID, 110400006);
    EXPECT_EQ(appended.Dissection, 110400000);
    EXPECT_TRUE(appended.HasAnyFlag({TF::Highlight}));
    EXPECT_EQ(list->GetItem(4)->ID, 110400007);
    EXPECT_EQ(list->GetNextDissectionNo(4), 110400001);
    EXPECT_FALSE(list->Saved());
}

// A year's list looks for twelve month files: those not there, and one stored in lower case, are
// looked for in one listing of the month folder. The listing lasts one load: a file put there
// afterwards, under another case, is found by the next load.
TEST_F(TListFilesTest, AYearsLoadListsTheMonthFolderOnceAndTheNextLoadSeesNewFiles) {
    auto files = std::make_shared<TCountingFileSystem>();
    TServices::SetFileSystem(files);
    const QString folder = TempPath("data/ABC123");
    ASSERT_TRUE(WriteFileBytes(folder + "/abc12306.pa4", Golden("payments-125")));
    const auto loadYear = [&] {
        auto list = std::make_unique<TTransactionList>(Sources(), pkPayments, 2006, 1, 1,
                                                       TOptionSet{Option::Load, Option::NoBlankLine});
        EXPECT_EQ(list->LoadStatus(), 0);
        list->SetSaved(true);
        return list->Count();
    };
    EXPECT_EQ(loadYear(), 3); // the record's dissection total follows it
    EXPECT_EQ(files->Listings(folder), 1);
    ASSERT_TRUE(WriteFileBytes(folder + "/Abc12306.Pa5", Golden("payments-125")));
    EXPECT_EQ(loadYear(), 5); // both records of the second file join the first one's dissection
    EXPECT_EQ(files->Listings(folder), 2);
}

// A year's load resolves where the data folder really is once, finds the month folder's place
// with one look at its name, and looks at each month file that is there once by its own name;
// the months not there cost nothing once the folder is listed.
TEST_F(TListFilesTest, AYearsLoadResolvesEachFolderOnceAndLooksAtEachFileOnce) {
    auto files = std::make_shared<TCountingFileSystem>();
    TServices::SetFileSystem(files);
    for (const char* name : {"ABC12306.PA4", "ABC12306.PA5", "abc12306.pa9"})
        ASSERT_TRUE(WriteFileBytes(Standard(name), Golden("payments-125")));
    TTransactionList list(Sources(), pkPayments, 2006, 1, 1, {Option::Load, Option::NoBlankLine});
    EXPECT_EQ(list.LoadStatus(), 0);
    EXPECT_EQ(files->Resolutions, 1);
    EXPECT_EQ(files->LooksAtNames, 1 + 3);
    EXPECT_EQ(files->Listings(TempPath("data/ABC123")), 1);
    list.SetSaved(true);
}

// A month file that is itself a link is not read, wherever it leads; the box says why.
TEST_F(TListFilesTest, AMonthFileThatIsALinkIsNotRead) {
    ASSERT_TRUE(WriteFileBytes(TempPath("data/ABC123/kept.PA4"), Golden("payments-125")));
    ASSERT_TRUE(QFile::link(TempPath("data/ABC123/kept.PA4"), Standard()));
    Prompt->Answer(TMessageButton::Cancel);
    auto list = October({Option::Load});
    EXPECT_EQ(list->LoadStatus(), -1);
    EXPECT_EQ(list->Count(), 0);
    EXPECT_EQ(Prompt->Texts(), QStringList{"Unable to find or load  Payments: October 2005 \n(" +
                                           QDir::toNativeSeparators(Standard()) +
                                           " is a symbolic link; the program does not read through links)"});
}

// A retry reads the folder afresh: a month file put there under another case while the box is up
// is read, with the one mended.
TEST_F(TListFilesTest, ARetryListsTheMonthFolderAfresh) {
    const QByteArray golden = Golden("payments-125");
    ASSERT_TRUE(WriteFileBytes(Standard("ABC12306.PA5"), golden + "x"));
    Prompt->Answer(TMessageButton::Retry);
    Prompt->OnShow = [&] {
        WriteFileBytes(Standard("ABC12306.PA5"), golden);
        WriteFileBytes(Standard("abc12306.pa6"), golden);
    };
    auto list = October({Option::Load, Option::NoBlankLine}, 4, 2);
    EXPECT_EQ(list->LoadStatus(), 0);
    EXPECT_EQ(list->Count(), 5); // November's and December's records in one dissection
    list->SetSaved(true);
}

// An append load gives each tax line it reads the month's tax-line key, whatever key it was
// stored under (never a key of the list's counter), and points it at the new ID of its own entry.
TEST_F(TListFilesTest, AppendedTaxLinesTakeTheMonthsTaxLineKeyAndFollowTheirEntries) {
    for (const qint32 storedKey : {110499998, 110400106}) {
        SCOPED_TRACE(storedKey);
        {
            auto stored = October({Option::NoBlankLine});
            for (const int day : {5, 7}) { // entries 110400105 and 110400107, each with its tax line
                auto line = Payment(day);
                std::tie(line->ID, line->ParentID) =
                    std::tuple(day == 5 ? storedKey : 110499998, 110400100 + day);
                line->SetFlags({TF::TaxLine});
                stored->AddTransaction(Payment(day), 4);
                stored->AddTransaction(std::move(line), 4);
            }
            TOptionSet none;
            ASSERT_EQ(stored->SaveToFile(none, false, true), 0);
        }
        auto list = October({Option::NoBlankLine});
        list->AddTransaction(Payment(5), 4); // held under the first stored entry's ID
        const qint32 next = list->GetNextID(4);
        ASSERT_EQ(list->LoadFromFile({Option::AppendLoad, Option::NoLoadProcessing}, false), 0);
        ASSERT_EQ(list->Count(), 5);
        for (const int at : {1, 3}) {
            const TTransactionDetail& entry = *list->GetItem(at);
            const TTransactionDetail& line = *list->GetItem(at + 1);
            EXPECT_EQ(entry.ID, next + (at == 1 ? 0 : 1));
            EXPECT_EQ(std::tuple(line.ID, line.ParentID), std::tuple(110499998, entry.ID)) << at;
            EXPECT_EQ(list->IndexOfID(entry.ID, true), at + 1);
        }
        EXPECT_EQ(list->GetNextID(4), next + 2); // the tax lines took none of the counter
        list->SetSaved(true);
    }
}

TEST_F(TListFilesTest, ReadFailuresRetryFromEmptyOrStopWithoutSaving) {
    // October to December: October reads, November is damaged.
    const QByteArray golden = Golden("payments-125");
    const QByteArray damaged = golden + "x";
    struct TCase {
        TOptionSet Options;
        TMessageButton Answer; // None: no box
        int Status, Count;
    };
    const TCase cases[] = {{{Option::Load}, TMessageButton::Retry, 0, 6}, // with one dissection total
                           {{Option::Load}, TMessageButton::Cancel, -1, 0},
                           {{Option::QuietLoad}, TMessageButton::None, -1, 2}}; // the part read stays
    for (const TCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Answer));
        ASSERT_TRUE(WriteFileBytes(Standard(), golden) && WriteFileBytes(Standard("ABC12306.PA5"), damaged));
        Prompt->Shown.clear();
        if (c.Answer != TMessageButton::None)
            Prompt->Answer(c.Answer);
        // The file is mended while the box is up: a retry reads every month again.
        Prompt->OnShow = [&] {
            if (c.Answer == TMessageButton::Retry)
                WriteFileBytes(Standard("ABC12306.PA5"), golden);
        };
        {
            auto list = October(c.Options, 4, 2);
            EXPECT_EQ(list->LoadStatus(), c.Status);
            EXPECT_EQ(list->Count(), c.Count);
            list->AddTransaction(Payment(3), 4);
        }
        EXPECT_EQ(Prompt->Texts(), c.Answer == TMessageButton::None
                                       ? QStringList()
                                       : QStringList{"Unable to find or load  Payments: October 2005 - "
                                                     "December 2005 \n(" +
                                                     QDir::toNativeSeparators(Standard("ABC12306.PA5")) +
                                                     " is damaged: its size is not a whole number of "
                                                     "transaction records)"});
        EXPECT_EQ(ReadFileBytes(Standard("ABC12306.PA5")) == damaged, c.Status != 0)
            << "a failed load is never saved";
    }
}

// A month file longer than its header and the most entries a month holds is refused before it is
// read, in every record form, and the refusal names the file; nothing of it is loaded and it is
// left as it was. A file of exactly that length still loads. (Sparse files: the length costs
// nothing on disk.)
TEST_F(TListFilesTest, AMonthFileLongerThanAMonthCanHoldIsRefusedUnread) {
    struct TCase {
        const char* Name;
        QByteArray Header; // the form's first record; the 76-byte form has none
        int RecordSize;
        bool Dos;
    };
    const TCase cases[] = {{"ABC123/ABC12306.PA4", {}, 125, false},
                           {"ABC12306.P04", Golden("payments-84").left(84), 84, true},
                           {"ABC12306.P04", Golden("payments-80").left(80), 80, true},
                           {"ABC12306.P04", {}, 76, true}};
    const qint64 longest = 1 + MaxTransactionFileRecords; // records, the header among them
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.RecordSize);
        const QString path = TempPath("data/") + c.Name;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(c.Header) == c.Header.size() &&
                    file.resize((longest + 1) * c.RecordSize));
        file.close();
        TOptionSet options{Option::Load, Option::NoLoadProcessing};
        if (c.Dos)
            options.Include(Option::DosVersion);
        Prompt->Shown.clear();
        Prompt->Answer(TMessageButton::Cancel);
        {
            auto list = October(options);
            EXPECT_EQ(list->LoadStatus(), -1);
            EXPECT_EQ(list->Count(), 0);
        }
        // The box says why.
        EXPECT_EQ(Prompt->Texts(), QStringList{"Unable to find or load  Payments: October 2005 \n(" +
                                               QDir::toNativeSeparators(path) +
                                               " is damaged: it holds more than the 300000 entries a "
                                               "transaction file can hold)"});
        EXPECT_EQ(QFileInfo(path).size(), (longest + 1) * c.RecordSize) << "the file is left as it was";
        try {
            RefuseOversizedTransactionFile(path, QFileInfo(path).size(), c.RecordSize);
            ADD_FAILURE() << "not refused";
        } catch (const EQuilvaneError& error) {
            EXPECT_EQ(error.message(), QDir::toNativeSeparators(path) +
                                           " is damaged: it holds more than the 300000 entries a "
                                           "transaction file can hold");
        }
        EXPECT_NO_THROW(RefuseOversizedTransactionFile(path, longest * c.RecordSize, c.RecordSize));
        ASSERT_TRUE(QFile::remove(path));
    }
    // The current form at its longest: a header and 300,000 records of another page, all passed over.
    QFile longestFile(Standard());
    ASSERT_TRUE(longestFile.open(QIODevice::WriteOnly) &&
                longestFile.write(Golden("payments-125").left(125)) == 125 &&
                longestFile.resize(MaxTransactionFileBytes()));
    longestFile.close();
    Prompt->Shown.clear();
    auto list = October({Option::Load, Option::NoLoadProcessing, Option::NoBlankLine});
    EXPECT_EQ(list->LoadStatus(), 0);
    EXPECT_EQ(list->Count(), 0);
    EXPECT_TRUE(Prompt->Texts().isEmpty());
    list->SetSaved(true);
}

TEST_F(TListFilesTest, WriteFailuresAndTheReplaceQuestion) {
    const QByteArray golden = Golden("payments-125");
    struct TCase {
        TOptionSet Options;
        TMessageButton Answer;
        int Result;
        bool Written;
    };
    const TOptionSet ask{Option::AskBeforeReplace};
    const TCase cases[] = {{{}, TMessageButton::Ignore, -1, false},
                           {{}, TMessageButton::Retry, 0, true},
                           {ask, TMessageButton::No, 0, false},
                           {ask, TMessageButton::Cancel, -1, false},
                           {ask, TMessageButton::All, 0, true}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.Answer));
        ASSERT_TRUE(WriteFileBytes(TempPath("old.PA4"), golden));
        QFile::remove(Standard());
        const bool failing = !c.Options.Has(Option::AskBeforeReplace);
        // The stored-file writer refuses a link: the write fails until the link is gone.
        ASSERT_TRUE(failing ? QFile::link(TempPath("old.PA4"), Standard())
                            : WriteFileBytes(Standard(), golden));
        Prompt->Shown.clear();
        Prompt->OnShow = [&] {
            if (failing && c.Result == 0)
                QFile::remove(Standard());
        };
        Prompt->Answer(c.Answer);
        auto list = October({Option::NoBlankLine});
        list->AddTransaction(Payment(3), 4);
        TOptionSet options = c.Options;
        EXPECT_EQ(list->SaveToFile(options, false, true), c.Result);
        EXPECT_EQ(list->Saved(), c.Result == 0);
        EXPECT_EQ(options.Has(Option::StopOperation), c.Answer == TMessageButton::Cancel);
        EXPECT_EQ(options.Has(Option::AskBeforeReplace), c.Answer != TMessageButton::All && !failing);
        EXPECT_EQ(ReadFileBytes(failing ? TempPath("old.PA4") : Standard()) == golden, failing || !c.Written);
        EXPECT_EQ(QFileInfo(Standard()).size() == 250, c.Written);
        ASSERT_EQ(Prompt->Shown.size(), 1);
        EXPECT_EQ(Prompt->Shown[0].Text, failing
                                             ? "There has been an error saving the FTransactions file\nfor "
                                               " Payments: October 2005 \n(" +
                                                   QDir::toNativeSeparators(Standard()) +
                                                   " is a symbolic link; the program does not write through "
                                                   "links)"
                                             : QString("A file for  Payments: October 2005  aleady exists.\r"
                                                       "Replace this file ?"));
        list->SetSaved(true);
    }
}

TEST_F(TListFilesTest, CancelDuringTheSaveOfAFreedListStaysInside) {
    Progress->CancelAtUpdate = 1;
    EXPECT_NO_THROW({
        auto quarter = October({Option::NoBlankLine}, 4, 2);
        quarter->AddTransaction(Payment(3), 4);
    });
    EXPECT_EQ(Progress->Created, 1);
}

} // namespace
