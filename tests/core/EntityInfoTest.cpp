#include "tests/core/EntityTestSupport.h"

#include "tests/core/ChartTestSupport.h"

#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRateChart.h"
#include "core/dates/DateNumbers.h"
#include "core/entity/DesktopFiles.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/entity/EntityInfo.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionGrid.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/PageKinds.h"

#include <QDirIterator>
#include <sys/file.h>

namespace {

// File ABC123 (year to June 2006, 12 periods) on disk, opened with its year; pages reopen with
// the desktop.
class EntityInfoTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        WriteRecordBytes(SmallRecord());
        Params->RestoreDesktop = TEntityInfo::DesktopRestoresPages;
        ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
        for (const char* year : {"06", "07"})
            ASSERT_TRUE(WriteFileBytes(DataDir + "/M_DETAIL/ABC123" + year + ".ADF",
                                       StoredChart("accounts", "header", {})));
        TEntityInfo::SetSessionLog([this](const TLogSession& session) {
            Sessions.append(session);
            LockAtLog = DiskKey("Locked");
        });
    }
    void TearDown() override {
        TEntityInfo::SetSessionLog({});
        TEntityFixture::TearDown();
    }

    static std::unique_ptr<TEntityInfo> OpenFile(const TOptionSet& options = {Standard, Load}) {
        auto file = TEntityInfo::Create("ABC123", options);
        file->OpenYear();
        return file;
    }
    // A page of the file's year, loaded, with keyed entries on the given days of its first month
    // in front of its blank line.
    static TDataEntryPage& AddPage(TEntityInfo& file, int kind, int period,
                                   std::initializer_list<int> days = {}) {
        auto page =
            TDataEntryPage::Create(file.ListSources(2006), kind, 2006, period, 12, {Standard, Load}, false);
        TTransactionList& list = page->List();
        for (const int day : days) {
            auto entry = std::make_unique<TTransactionDetail>(0, static_cast<qint16>(kind));
            entry->SetFlags({TransactionFlag::Keyed});
            entry->Date = EncodeDateNum(list.StartYear(), list.StartMonth(), day);
            entry->ID = list.TakeNextID(list.EntryMonthSlot(*entry));
            list.InsertTransaction(list.Count() - 1, std::move(entry), 0);
        }
        return *file.DataEntryPage(file.InsertDataEntryPage(-1, list.GetPeriodTitle(false), std::move(page)));
    }
    static QString Kinds(const TEntityInfo& file) {
        QString kinds;
        for (int i = 0; i < file.DataEntryPageCount(); ++i)
            kinds += QString::asprintf("%d/%d ", file.DataEntryPage(i)->List().PageKind(),
                                       file.DataEntryPage(i)->List().Period());
        return kinds;
    }
    QStringList FilesOnDisk() const {
        QStringList names;
        for (QDirIterator it(DataDir, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            names << QDir(DataDir).relativeFilePath(it.next());
        names.sort();
        return names;
    }

    QList<TLogSession> Sessions;
    QString LockAtLog;
};

// One line of page history with the given kind, year, period, current ID, column and page index.
QString Line(int kind, int year, int period, qint64 id = 0, int column = 0, int page = 0) {
    return QString::asprintf("%d,%d,%d,0,%d,%lld,%d,1,2,4,2,0,0,0,0,0,0", kind, year, period, page, id,
                             column);
}

} // namespace

TEST_F(EntityInfoTest, OpensTheYearLockedWithItsCharts) {
    auto file = OpenFile();
    EXPECT_EQ(DiskKey("Locked"), "1");
    ASSERT_TRUE(file->StdDescChart(2006) && file->TaxRateChart(2006) && file->CurrencyRatesChart(2006));
    EXPECT_TRUE(file->AccountsChart(2006)->StdDescriptions() == file->StdDescChart(2006) &&
                file->TaxRateChart(2006)->AccountsChart() == file->AccountsChart(2006));
    EXPECT_EQ(file->AccountsChart(2007), nullptr);
    EXPECT_EQ(file->YearCaption(0) + file->YearCaption(-1) + file->YearCaption(2005),
              "ABC123 (All Years) - AcmeABC123 (2006) - AcmeABC123 (2005) - Acme");
    // The activity-statement functions need taxes; without them the user is told once.
    Prompt->Answer(TMessageButton::OK);
    for (const bool tax : {true, false}) {
        file->EntityDetail().Tax = tax;
        EXPECT_EQ(file->CheckBASEnabled(), tax);
    }
    EXPECT_EQ(Prompt->Shown.size(), 1);
    file->Close();
}

// The pages and charts are on disk, and the record saved with its close time, before the lock is
// given back; the visit is logged after it.
TEST_F(EntityInfoTest, CloseWritesPagesAndChartsBeforeTheRecordAndTheLock) {
    // Logged: code, name, comment, and the lock key on disk when logged.
    for (const auto& [options, noTimeLog, logged] :
         {std::tuple{TOptionSet{Standard, Load}, false, "ABC123Acme0"},
          {TOptionSet{Standard, Load, DosVersion}, false, "ABC123AcmeUpgraded from DOS0"},
          {TOptionSet{Standard, Load}, true, ""}}) {
        SCOPED_TRACE(logged);
        Sessions.clear();
        auto file = OpenFile(options);
        file->NoTimeLog = noTimeLog;
        AddPage(*file, pkPayments, 9, {3});
        file->StdDescChart(2006)->Saved = false;
        QString atRelease; // at the first write of the record that shows it free
        TStoredFileWriter::SetCommitStepHook(
            [&](TStoredFileWriter::TCommitStep step, const QString&, const QString& target) {
                if (step == TStoredFileWriter::TCommitStep::AfterRename && target.endsWith(".CFG") &&
                    DiskKey("Locked") == "0" && atRelease.isEmpty())
                    atRelease = FilesOnDisk().filter("06.").join(' ') + DiskKey("Accessed");
            });
        file->Close();
        TStoredFileWriter::SetCommitStepHook({});
        EXPECT_EQ(atRelease,
                  "ABC123/ABC12306.PA9 M_DETAIL/ABC12306.ADF M_DETAIL/ABC12306.STD738960.614583333");
        file->Close(); // a second close does nothing
        QString sessions;
        for (const TLogSession& session : Sessions)
            sessions += session.FileCode + session.EntityName + session.Comment + LockAtLog;
        EXPECT_EQ(sessions, logged);
    }
}

// The bank-reconciliation opening chart a reconciliation left with changes is written when the
// file closes, and when it changes year keeping its work; dropping the work writes nothing.
TEST_F(EntityInfoTest, TheOpeningReconciliationChartIsWrittenNotDropped) {
    const QString stored = DataDir + "/BANK_REC/ABC12306.BOB";
    for (const auto& [close, written] : {std::pair{0, true}, {1, true}, {2, false}}) {
        SCOPED_TRACE(close);
        QFile::remove(stored);
        WriteRecordBytes(SmallRecord());
        auto file = OpenFile();
        auto chart = std::make_unique<TBankRecOpeningDetailChart>(file->EntityDetail().ChartEntity(),
                                                                  file->AccountsChart(2006), nullptr,
                                                                  TOptionSet{Standard}, 2006);
        chart->Saved = false;
        file->SetBankRecOpeningChart(std::move(chart));
        if (close == 0)
            file->Close();
        else
            file->ChangeYear(2007, close == 1, false);
        EXPECT_EQ(QFile::exists(stored), written);
        file->Close();
    }
}

TEST_F(EntityInfoTest, PagesReopenFromTheHistoryWhereTheyStood) {
    auto file = OpenFile();
    TDataEntryPage& receipts = AddPage(*file, pkReceipts, 3, {5});
    receipts.CurrentRow = 2; // its blank line
    receipts.CurrentColumn = 3;
    TDataEntryPage& payments = AddPage(*file, pkPayments, 9, {3, 4});
    AddPage(*file, pkDeletedTransactions, 0);
    payments.List().SetSortOrder(TTransactionList::soDetails, true);
    payments.CurrentRow = 1;
    payments.CurrentColumn = 2;
    payments.TopRow = 2;
    payments.FieldOptions().Sets = {7, 8, 4294967295u};
    payments.FieldOptions().Values = {11, 12, 13, 14, 15, 66, 77, 88, 99, 100};
    const qint32 id = payments.List().GetItem(0)->ID;
    const qint32 receiptID = receipts.List().GetItem(1)->ID;
    file->CurrentPage = 1;
    file->RecordOpenPages();
    EXPECT_EQ(file->EntityDetail().DataEntryPages,
              QStringList({QStringLiteral("2,2006,3,0,1,%1,3,1,2,4,2,0,0,0,0,0,0").arg(receiptID),
                           QStringLiteral("1,2006,9,6,1,%1,2,2,7,8,4294967295,11,12,13,14,15,88").arg(id)}));
    file->Close();

    file = OpenFile();
    EXPECT_EQ(Kinds(*file), "1/9 2/3 ");
    EXPECT_EQ(file->CurrentPage, 1);
    const TDataEntryPage& reopened = *file->DataEntryPage(0);
    EXPECT_EQ(file->DataEntryPageCaption(0), reopened.List().GetPeriodTitle(false));
    EXPECT_EQ(std::tuple(reopened.List().SortOrder(), reopened.CurrentRow, int(reopened.CurrentColumn),
                         reopened.TopRow, reopened.Selection.Left, reopened.Selection.Top),
              std::tuple(6, 1, 2, 2, 2, 1));
    EXPECT_EQ(reopened.FieldOptions().Sets, (std::array<quint32, 3>{7, 8, 4294967295u}));
    EXPECT_EQ(reopened.FieldOptions().Values, (std::array<qint32, 10>{11, 12, 13, 14, 15, 0, 0, 88, 0, 0}));
    EXPECT_EQ(reopened.EditBuffer[0], TTransactionGrid(reopened.List()).GetCellText(0, 0, true));
    // The receipts page stands on its blank line: column 0.
    EXPECT_EQ(std::tuple(file->DataEntryPage(1)->CurrentRow, int(file->DataEntryPage(1)->CurrentColumn)),
              std::tuple(2, 0));
    file->Close();

    // Under another desktop option nothing reopens; recording with no page open empties the history.
    Params->RestoreDesktop = 1;
    file = OpenFile();
    EXPECT_EQ(
        std::tuple(file->DataEntryPageCount(), file->CurrentPage, file->EntityDetail().DataEntryPages.size()),
        std::tuple(0, -1, 2));
    file->RecordOpenPages();
    EXPECT_TRUE(file->EntityDetail().DataEntryPages.isEmpty());
}

TEST_F(EntityInfoTest, HistoryLinesThatCannotBeAPageAreSkipped) {
    auto file = OpenFile();
    // Not 17 whole numbers; kinds and periods no page has; other years; then two pages, one twice.
    // clang-format off
    file->EntityDetail().DataEntryPages = QStringList{"", "x", "1,2006,9", Line(1, 2006, 9) + ",0",
        Line(1, 2006, 9).replace(",1,2,", ",1.5,2,"), Line(1, 2006, 9, 99999999999), Line(14, 2006, 0),
        Line(-1, 2006, 0), Line(15, 2006, 0), Line(1, 2006, 13), Line(1, 2006, 0), Line(0, 2006, 13),
        Line(1, 2005, 9), Line(1, 2007, 9), Line(1, 2006, 9, 12345, 3, 7), Line(1, 2006, 9),
        Line(0, 2006, 0, 0, 0, 7)};
    // clang-format on
    file->ReopenRecordedPages();
    EXPECT_EQ(Kinds(*file), "0/1 1/9 ");
    EXPECT_EQ(file->CurrentPage, 0); // the recorded 7 is beyond the last page
    // The recorded ID is gone: the last row, column 0.
    EXPECT_EQ(std::tuple(file->DataEntryPage(1)->CurrentRow, int(file->DataEntryPage(1)->CurrentColumn)),
              std::tuple(1, 0));
    file->Close();

    file = TEntityInfo::Create("ABC123", {Standard, Load});
    file->CurrentPage = 5;
    file->EntityDetail().DataEntryPages = {Line(1, 2005, 9, 0, 0, 5)};
    file->ReopenRecordedPages();
    EXPECT_EQ(file->CurrentPage, -1);
}

// A page kept in one file for the year reopens at period 1 whatever period its history line
// names, as it opens from the menu: it shows the entries of its file, which the balance runs read,
// and a line naming it again while it is open adds no second page.
TEST_F(EntityInfoTest, OneFilePagesReopenAtPeriodOne) {
    for (const int kind : {pkOpeningBalances, pkOpeningUnpresentedCheques, pkOpeningOutstandingDeposits,
                           pkMemorisedPayments, pkStandardBankTransactions}) {
        for (const int period : {0, 1, 5}) {
            SCOPED_TRACE(QString("kind %1 period %2").arg(kind).arg(period).toStdString());
            auto file = OpenFile();
            {
                TTransactionList& list =
                    file->DataEntryPage(file->OpenDataEntryPage(kind, 0, {Standard, Load}, false))->List();
                ASSERT_EQ(list.Period(), 1);
                if (list.Count() == 1) {
                    auto entry = std::make_unique<TTransactionDetail>(0, static_cast<qint16>(kind));
                    entry->SetFlags({TransactionFlag::Keyed});
                    entry->Date = EncodeDateNum(2005, 7, 1);
                    entry->ID = list.TakeNextID(list.EntryMonthSlot(*entry));
                    list.InsertTransaction(0, std::move(entry), 0);
                }
                file->DeleteDataEntryPage(0); // written as it closes
            }
            file->EntityDetail().DataEntryPages = {Line(kind, 2006, period), Line(kind, 2006, 0)};
            file->ReopenRecordedPages();
            EXPECT_EQ(Kinds(*file), QString("%1/1 ").arg(kind));
            ASSERT_EQ(file->DataEntryPageCount(), 1);
            EXPECT_EQ(file->DataEntryPage(0)->List().Count(), 2); // the entry and the blank line
            file->Close();
        }
    }
}

// A page whose files cannot be read ends the reopening; its files are never written over.
TEST_F(EntityInfoTest, AListThatFailsToLoadEndsTheReopening) {
    ASSERT_TRUE(QDir().mkpath(DataDir + "/ABC123"));
    const QByteArray damaged("\x01\x06\x05garbage", 10);
    ASSERT_TRUE(WriteFileBytes(DataDir + "/ABC123/ABC12306.PA9", damaged));
    auto file = TEntityInfo::Create("ABC123", {Standard, Load});
    file->EntityDetail().DataEntryPages = {Line(2, 2006, 3), Line(1, 2006, 9), Line(2, 2006, 4)};
    Prompt->Answer(TMessageButton::Cancel);
    file->OpenYear();
    EXPECT_EQ(Kinds(*file), "2/3 ");
    file->Close();
    EXPECT_EQ(ReadFileBytes(DataDir + "/ABC123/ABC12306.PA9"), damaged);
}

TEST_F(EntityInfoTest, ChangeYearDropsOrKeepsTheUnsavedWorkAndMayFailToLoadTheCharts) {
    for (const bool keepData : {false, true}) {
        SCOPED_TRACE(keepData);
        WriteRecordBytes(SmallRecord());
        auto file = OpenFile();
        AddPage(*file, pkPayments, 9, {3});
        file->StdDescChart(2006)->Saved = false;
        file->CurrentPage = 0;
        file->ChangeYear(2007, keepData, false);
        EXPECT_EQ(FilesOnDisk().contains("ABC123/ABC12306.PA9"), keepData);
        EXPECT_EQ(FilesOnDisk().contains("M_DETAIL/ABC12306.STD"), keepData);
        EXPECT_EQ(std::tuple(file->DataEntryPageCount(), file->CurrentPage), std::tuple(0, -1));
        EXPECT_TRUE(file->AccountsChart(2007) && file->CurrencyRatesChart(2007) &&
                    !file->AccountsChart(2006));
        EXPECT_EQ(DiskKey("Year"), "2006"); // saved before the change, reloaded keeping the new year
        file->Close();
    }
    auto file = OpenFile();
    file->ChangeYear(2005, false, true);
    EXPECT_EQ(file->AccountsChart(2005), nullptr);
    // A failure that escapes a chart's own Retry/Ignore (here the box itself fails) ends the step.
    ASSERT_TRUE(WriteFileBytes(DataDir + "/M_DETAIL/ABC12307.STD", "damaged"));
    Prompt->OnShow = [this] {
        Prompt->OnShow = {};
        throw EQuilvaneError("The display is gone");
    };
    Prompt->Answer(TMessageButton::OK);
    file->ChangeYear(2007, false, false);
    EXPECT_EQ(Prompt->Texts(), QStringList({"Error changing years"}));
    EXPECT_TRUE(!file->StdDescChart(2007) && !file->AccountsChart(2007) && !file->TaxRateChart(2007) &&
                !file->CurrencyRatesChart(2007));
    EXPECT_EQ(file->YearCaption(-1), "ABC123 (2007) - Acme");
}

TEST_F(EntityInfoTest, SaveYearChartsWritesButLeavesTheListsUnsaved) {
    auto file = OpenFile();
    TDataEntryPage& page = AddPage(*file, pkPayments, 9, {3});
    file->StdDescChart(2006)->Saved = false;
    TOptionSet options{Standard};
    for (const bool force : {false, true}) {
        EXPECT_EQ(file->SaveYearCharts(2006, options, force), 0);
        EXPECT_FALSE(page.List().Saved());
        EXPECT_TRUE(file->StdDescChart(2006)->Saved);
        EXPECT_EQ(FilesOnDisk().filter("06.").join(' ').toStdString(),
                  force ? "ABC123/ABC12306.PA9 M_DETAIL/ABC12306.ADF M_DETAIL/ABC12306.CCR "
                          "M_DETAIL/ABC12306.STD M_DETAIL/ABC12306.TXR"
                        : "ABC123/ABC12306.PA9 M_DETAIL/ABC12306.ADF M_DETAIL/ABC12306.STD");
    }
    file->Close();
}

TEST_F(EntityInfoTest, FindDataEntryPageCountsMonthsInTheRequestedPeriods) {
    auto file = OpenFile();
    AddPage(*file, pkPayments, 2);        // 0: August
    AddPage(*file, pkPayments, 3);        // 1: September
    AddPage(*file, pkReceipts, 2);        // 2
    AddPage(*file, pkOpeningBalances, 0); // 3: the whole year
    const int cases[][4] = {
        {pkPayments, 1, 4, 1},         {pkPayments, 2, 12, 0},        {pkPayments, 4, 12, -1},
        {pkPayments, 0, 12, -1},       {pkReceipts, 1, 4, 2},         {pkReceipts, 3, 12, -1},
        {pkOpeningBalances, 0, 12, 3}, {pkOpeningBalances, 5, 12, 3}, {pkGeneralJournals, 1, 4, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(file->FindDataEntryPage(c[0], c[1], c[2]), c[3]) << c[0] << "/" << c[1] << "/" << c[2];
}

// Opening a page finds the one that covers the period, keeps kind and period order, opens the
// one-file kinds at period 1 and keeps nothing of a page whose files cannot be read.
TEST_F(EntityInfoTest, OpenDataEntryPageFindsOrInsertsInOrder) {
    ASSERT_TRUE(QDir().mkpath(DataDir + "/ABC123"));
    const QByteArray damaged("\x01\x06\x05garbage", 10);
    ASSERT_TRUE(WriteFileBytes(DataDir + "/ABC123/ABC12306.PA9", damaged));
    auto file = OpenFile();
    const TOptionSet load{Standard, Load};
    EXPECT_EQ(file->OpenDataEntryPage(pkReceipts, 3, load, false), 0);
    EXPECT_EQ(file->OpenDataEntryPage(pkPayments, 2, load, false), 0); // before the receipts
    EXPECT_EQ(file->OpenDataEntryPage(pkReceipts, 3, load, false), 1); // found, not made again
    EXPECT_EQ(file->OpenDataEntryPage(pkMemorisedPayments, 7, load, false), 2);
    EXPECT_EQ(file->DataEntryPage(2)->List().Period(), 1);
    EXPECT_EQ(file->OpenDataEntryPage(pkMemorisedPayments, 1, load, false), 2);
    EXPECT_EQ(file->OpenDataEntryPage(-1, 1, load, false), -1);
    Prompt->Answer(TMessageButton::Cancel);
    EXPECT_EQ(file->OpenDataEntryPage(pkPayments, 9, load, false), -1); // its file is damaged
    EXPECT_EQ(Kinds(*file), "1/2 2/3 12/1 ");
    EXPECT_EQ(file->DataEntryPage(0)->CurrentRow, 1);
    file->Close();
    EXPECT_EQ(ReadFileBytes(DataDir + "/ABC123/ABC12306.PA9"), damaged);
}

TEST_F(EntityInfoTest, DesktopFilesKeepTheOpeningOrderWithTheActiveFile) {
    for (const QString code : {"MMM111", "ZZZ999"})
        ASSERT_TRUE(WriteFileBytes(RecordPath(code), SmallRecord("0", "", "Code=" + code)));
    TDesktopFiles desktop;
    QList<int> added; // each file's index and the active index after it
    for (const char* code : {"MMM111", "ABC123", "ZZZ999", "MMM111"}) {
        auto file = TEntityInfo::Create(code, {Standard, Load, NoLock});
        added << desktop.Add(file) << desktop.ActiveIndex();
        EXPECT_EQ(file == nullptr, added.value(added.size() - 2) >= 0); // a refused file is handed back
    }
    EXPECT_EQ(added, QList<int>({0, 0, 1, 1, 2, 2, -1, 2}));
    EXPECT_EQ(desktop.Code(0) + desktop.Code(1) + desktop.Code(2) +
                  QString::number(desktop.IndexOf("zzz999")),
              "MMM111ABC123ZZZ9992");
    desktop.SetActiveIndex(3);
    EXPECT_EQ(std::tuple(desktop.ActiveIndex(), desktop.ActiveFile()), std::tuple(-1, nullptr));
    desktop.SetActiveIndex(0);
    EXPECT_EQ(desktop.Remove(0)->EntityDetail().FileCode, "MMM111");
    EXPECT_EQ(std::tuple(desktop.Count(), desktop.ActiveIndex(), desktop.Code(1)),
              std::tuple(2, 0, QString("ZZZ999")));
    EXPECT_TRUE(!desktop.Remove(2) && desktop.Remove(0) && desktop.Remove(0));
    EXPECT_EQ(desktop.ActiveIndex(), -1);
}

namespace {

// A temporary file of the stored-file writer for a target, last written secondsAgo ago.
void Leftover(const QString& path, int secondsAgo) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()) && WriteFileBytes(path, "half a save"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) &&
                file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-secondsAgo),
                                 QFileDevice::FileModificationTime));
}

} // namespace

// Opening a year (with the file, or by a change of year) removes what saves of that year's charts
// and transaction files left behind when they were killed before their rename: only the writer's
// own temporary names of this file and year, only older than a minute, and only those no live
// writer holds under its lock. Nothing else in the folders is touched.
TEST_F(EntityInfoTest, OpeningAYearRemovesItsStaleTemporaryFilesOnly) {
    const QString m = DataDir + "/M_DETAIL/", own = DataDir + "/ABC123/", rec = DataDir + "/BANK_REC/";
    const QString outside = TempPath("outside.txt");
    ASSERT_TRUE(WriteFileBytes(outside, "outside"));
    const QStringList stale = {m + "ABC12306.ADF.~qvAAAAAA",   m + "ABC12306.STD.~qvBBBBBB",
                               m + "ABC12306.TXR.~qvCCCCC1",   m + "ABC12306.CCR.~qvDDDDDD",
                               rec + "ABC12306.BOB.~qvEEEEEE", own + "ABC12306.PA9.~qvFFFFFF",
                               own + "ABC12306.RE3.~qvGGGGGG", own + "ABC12306.OB1.~qvHHHHHH",
                               own + "ABC12306.BWC.~qvIIIIII", own + "ABC12306.MP1.~qvJJJJJJ"};
    const QStringList kept = {m + "ABC12306.ADF",           // the chart itself
                              m + "ABC12306.TXR.~qvYOUNG1", // a save still under way on another workstation
                              m + "ABC12306.STD.~qvLOCKED", // a writer that holds its lock
                              m + "ABC12305.ADF.~qvOTHERY", // another year
                              m + "ABC12307.ADF.~qvOTHERY", // the year that is not opened yet
                              m + "XYZ99906.ADF.~qvOTHERF", // another file
                              m + "ABC12306.ADF.~qvAB",     // not one of the writer's names
                              m + "ABC12306.ADF.~qvAB#CDE",
                              m + "ABC12306.XYZ.~qvAAAAAA",
                              m + "ABC12306.RLO.~qvAAAAAA",
                              own + "ABC12306.ZZ9.~qvAAAAAA",
                              DataDir + "/ABC12306.ADF.~qvAAAAAA", // not in its folder
                              m + "ABC12306.ADF.~qvLINKED"};       // a link, whatever its name
    for (const QString& path : stale)
        Leftover(path, 120);
    for (const QString& path : kept.mid(1))
        if (!path.endsWith("LINKED"))
            Leftover(path, path.endsWith("YOUNG1") ? 30 : 120);
    ASSERT_TRUE(QFile::link(outside, m + "ABC12306.ADF.~qvLINKED"));
    QFile held(m + "ABC12306.STD.~qvLOCKED");
    ASSERT_TRUE(held.open(QIODevice::ReadOnly) && ::flock(held.handle(), LOCK_EX) == 0);

    const auto present = [](const QStringList& paths) {
        QStringList there;
        for (const QString& path : paths)
            if (QFileInfo(path).exists() || QFileInfo(path).isSymLink())
                there << QFileInfo(path).fileName();
        return there;
    };
    auto file = OpenFile();
    EXPECT_EQ(present(stale), QStringList());
    EXPECT_EQ(present(kept).size(), kept.size()) << present(kept).join(' ').toStdString();
    EXPECT_EQ(ReadFileBytes(outside), "outside");

    // A change of year clears the new year's leftovers.
    file->ChangeYear(2007, false, false);
    EXPECT_EQ(present(kept).join(' '),
              "ABC12306.ADF ABC12306.TXR.~qvYOUNG1 ABC12306.STD.~qvLOCKED ABC12305.ADF.~qvOTHERY "
              "XYZ99906.ADF.~qvOTHERF ABC12306.ADF.~qvAB ABC12306.ADF.~qvAB#CDE ABC12306.XYZ.~qvAAAAAA "
              "ABC12306.RLO.~qvAAAAAA ABC12306.ZZ9.~qvAAAAAA ABC12306.ADF.~qvAAAAAA "
              "ABC12306.ADF.~qvLINKED");
    file->Close();
}

// The time-log entry of a closed file, byte for byte: the file, the run-parameter defaults of the
// time-log report (page kinds 0 to 7, the run's time, the monthly periods of the opening and the
// closing) and the visit's text in the user-name field.
TEST_F(EntityInfoTest, ClosingTheFileWritesItsTimeLogEntry) {
    TEntityInfo::SetSessionLog({});
    QFile::remove(DataDir + "/QUILVANE.LOG");
    OpenFile({Standard, Load, DosVersion})->Close();
    OpenFile()->Close();
    EXPECT_EQ(ReadFileBytes(DataDir + "/QUILVANE.LOG").toHex(' '),
              (HexBlock(TestData("logs/entries.hex"), "upgraded") +
               HexBlock(TestData("logs/entries.hex"), "closed") + QByteArray(1, '\0'))
                  .toHex(' '));
}
