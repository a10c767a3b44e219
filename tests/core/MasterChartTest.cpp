#include "core/charts/StdDescChart.h"
#include "core/io/StreamError.h"
#include "core/io/ValueWriter.h"
#include "core/common/Exceptions.h"
#include "core/services/Services.h"
#include "core/vocab/FileVocabulary.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <QFile>
#include <functional>

namespace {

// Value-stream bytes, written out by hand from the chart layout.
// Identifiers "Std Descriptions,V5.0", "ABC123", "".
const QByteArray StdHeader =
    QByteArray::fromHex("07 15 53 74 64 20 44 65 73 63 72 69 70 74 69 6F 6E 73 2C 56 35 2E 30"
                        "07 06 41 42 43 31 32 33"
                        "07 00");
// "ABC" = "A B Cooper"; "RENT2" = "Rent 2".
const QByteArray ItemAbc = QByteArray::fromHex("06 03 41 42 43  06 0A 41 20 42 20 43 6F 6F 70 65 72");
const QByteArray ItemRent2 = QByteArray::fromHex("06 05 52 45 4E 54 32  06 06 52 65 6E 74 20 32");
// "ABC" = "Old".
const QByteArray ItemAbcOld = QByteArray::fromHex("06 03 41 42 43  06 03 4F 6C 64");

QByteArray ListOf(const QByteArray& items) {
    return QByteArray::fromHex("01") + items + QByteArray::fromHex("00");
}

// A prompter that can change the disk while a box is up, the way a user fixes a problem
// before pressing Retry.
class TActingPrompt : public TScriptedPrompt {
public:
    std::function<void()> WhileShown;
    TMessageButton ShowMessage(TMessageKind kind, const QString& text, TMessageButtons buttons,
                               int helpContext) override {
        if (WhileShown) {
            auto act = std::move(WhileShown);
            WhileShown = nullptr;
            act();
        }
        return TScriptedPrompt::ShowMessage(kind, text, buttons, helpContext);
    }
};

// A chart whose writing breaks off after the items, a given number of times.
class TFailingChart : public TStdDescChart {
public:
    using TStdDescChart::TStdDescChart;
    int FailuresLeft = 0;

protected:
    void WriteItems(QIODevice& stream, TValueWriter& writer, IProgress* progress) override {
        TStdDescChart::WriteItems(stream, writer, progress);
        if (FailuresLeft > 0) {
            --FailuresLeft;
            throw EStreamError::WriteError();
        }
    }
};

} // namespace

class MasterChartTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        Acting = std::make_shared<TActingPrompt>();
        Prompt = Acting;
        TServices::SetPrompt(Prompt);
        Entity.FileCode = QStringLiteral("ABC123");
        Entity.EntityType = QStringLiteral("NSP");
        Entity.DataDir = Temp.path();
        Entity.ProgramDataDir = TempPath(QStringLiteral("PROGRAM"));
        Entity.XferDir = QStringLiteral("X:\\QUILVANE\\TRANSFER");
    }

    QString ChartPath(const QString& name = QStringLiteral("ABC12306.STD")) const {
        return TempPath(QStringLiteral("M_DETAIL/") + name);
    }
    void WriteBytes(const QString& path, const QByteArray& bytes) const {
        QDir().mkpath(QFileInfo(path).absolutePath());
        ASSERT_TRUE(WriteFileBytes(path, bytes));
    }
    QByteArray ReadBytes(const QString& path) const { return ReadFileBytes(path); }

    std::shared_ptr<TActingPrompt> Acting;
    TChartEntity Entity;
};

// ---- Naming -------------------------------------------------------------------------------

TEST_F(MasterChartTest, FileNameFromFolderKindCodeAndYear) {
    TStdDescChart chart(Entity, {}, 2006);
    const QString data = Temp.path();
    EXPECT_EQ(chart.GetFileName({}), data + QStringLiteral("\\M_DETAIL\\ABC12306.STD"));
    EXPECT_EQ(chart.GetFileName({}, 2010), data + QStringLiteral("\\M_DETAIL\\ABC12310.STD"));
    EXPECT_EQ(chart.GetFileName({Option::NextYear}), data + QStringLiteral("\\M_DETAIL\\ABC12307.STD"));
    EXPECT_EQ(chart.GetFileName({Option::TransferFolder}),
              Entity.ProgramDataDir + QStringLiteral("\\TRANSFER\\M_DETAIL\\ABC12306.STD"));
    EXPECT_EQ(chart.GetFileName({Option::TransferDrive}),
              QStringLiteral("X:\\RORI\\ABC123\\M_DETAIL\\ABC12306.STD"));

    TStdDescChart y2000(Entity, {}, 2000);
    EXPECT_EQ(y2000.GetFileName({Option::PreviousYear}),
              data + QStringLiteral("\\M_DETAIL\\ABC12399.STD"));
    EXPECT_EQ(y2000.FileYear({Option::PreviousYear}), 1999);

    // Each kind has its folder and extension.
    y2000.Kind = ckBankRecOpening;
    EXPECT_EQ(y2000.GetFileName({}), data + QStringLiteral("\\BANK_REC\\ABC12300.BOB"));
    y2000.Kind = ckAccounts;
    EXPECT_EQ(y2000.GetFileName({}), data + QStringLiteral("\\M_DETAIL\\ABC12300.ADF"));

    TStdDescChart noYear(Entity, {}, -1);
    EXPECT_EQ(noYear.GetFileName({Option::PreviousYear}),
              data + QStringLiteral("\\M_DETAIL\\ABC123.STD"));
    noYear.SetFileName(QStringLiteral("C:\\ELSEWHERE\\X.STD"));
    EXPECT_EQ(noYear.GetFileName({Option::TransferDrive}, 2006), QStringLiteral("C:\\ELSEWHERE\\X.STD"));

    Entity.XferDir.clear();
    TStdDescChart noDrive(Entity, {}, 2006);
    EXPECT_THROW(noDrive.GetFileName({Option::TransferDrive}), EQuilvaneError);
}

// ---- Header -------------------------------------------------------------------------------

TEST_F(MasterChartTest, SaveWritesHeaderAndItemsAsHandWrittenBytes) {
    TStdDescChart chart(Entity, {}, 2006);
    chart.AddDescription(QStringLiteral("RENT2"), QStringLiteral("Rent 2"));
    chart.AddDescription(QStringLiteral("ABC"), QStringLiteral("A B Cooper"));
    chart.Saved = false;
    TOptionSet options;
    ASSERT_EQ(chart.SaveToFile(options), 0);
    EXPECT_TRUE(chart.Saved);
    EXPECT_EQ(ReadBytes(ChartPath()).toHex(' '), (StdHeader + ListOf(ItemAbc + ItemRent2)).toHex(' '));
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(TempPath(QStringLiteral("M_DETAIL"))).entryList(QDir::Files),
              QStringList{QStringLiteral("ABC12306.STD")});
}

TEST_F(MasterChartTest, AnotherKindOfFileIsRefusedWithTheLoadBox) {
    // Identifiers "Tax Rates,V5.3", "ABC123", "", then an empty list.
    WriteBytes(ChartPath(), QByteArray::fromHex("07 0E 54 61 78 20 52 61 74 65 73 2C 56 35 2E 33"
                                                "07 06 41 42 43 31 32 33 07 00 01 00"));
    TStdDescChart chart(Entity, {}, 2006);
    chart.AddDescription(QStringLiteral("ABC"), QStringLiteral("held"));
    Prompt->Answer(TMessageButton::Ignore);
    EXPECT_EQ(chart.LoadFromFile({}), -1);
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Text,
              QStringLiteral("Unable to load 2006 Standard Descriptions file for ABC123. \r"
                             "(ABC12306.STD is not a Std Descriptions file)"));
    EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::Retry | TMessageButton::Ignore);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Error});
    EXPECT_EQ(chart.Count(), 0);
    EXPECT_TRUE(chart.IsSaveBlocked());

    // Silent: no box, and the caller learns it was the wrong kind.
    TStdDescChart silent(Entity, {}, 2006);
    EXPECT_EQ(silent.LoadFromFile({Option::Silent}), ChartResult::WrongKind);
    EXPECT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(silent.PeekFileHeader({}), ChartResult::WrongKind);
}

TEST_F(MasterChartTest, ForeignHeaderKeyLoadsTheItemsAndSaysSo) {
    // Identifiers "Std Descriptions,V5.0", "ABC123", "CEE DATA".
    const QByteArray header =
        StdHeader.left(StdHeader.size() - 2) + QByteArray::fromHex("07 08 43 45 45 20 44 41 54 41");
    WriteBytes(ChartPath(), header + ListOf(ItemAbc));
    TStdDescChart chart(Entity, {}, 2006);
    chart.HeaderKey = QStringLiteral("QUILVANE");
    EXPECT_EQ(chart.PeekFileHeader({}), ChartResult::ForeignFormat);
    EXPECT_EQ(chart.LoadFromFile({}), ChartResult::ForeignFormat);
    EXPECT_EQ(chart.Count(), 1);
    EXPECT_TRUE(Prompt->Shown.isEmpty());

    chart.HeaderKey = QStringLiteral("cee data");
    EXPECT_EQ(chart.LoadFromFile({}), 0);
}

// ---- Load ---------------------------------------------------------------------------------

TEST_F(MasterChartTest, MissingFileIsNothingUnlessItMustExist) {
    TStdDescChart chart(Entity, {}, 2006);
    chart.AddDescription(QStringLiteral("ABC"), QStringLiteral("held"));
    EXPECT_EQ(chart.LoadFromFile({}), 0);
    EXPECT_EQ(chart.Count(), 1);
    WriteBytes(ChartPath(), QByteArray()); // empty counts as missing
    EXPECT_EQ(chart.LoadFromFile({}), 0);
    EXPECT_EQ(chart.Count(), 1);
    EXPECT_FALSE(chart.IsSaveBlocked());

    Prompt->Answer(TMessageButton::Ignore);
    EXPECT_EQ(chart.LoadFromFile({Option::MustExist}), -1);
    EXPECT_EQ(Prompt->Texts(),
              QStringList{QStringLiteral(
                  "Unable to load 2006 Standard Descriptions file for ABC123. \r(File not found)")});

    // A chart of no year says so without a year and without a missing blank.
    TStdDescChart noYear(Entity, {}, -1);
    Prompt->Answer(TMessageButton::Ignore);
    EXPECT_EQ(noYear.LoadFromFile({Option::MustExist}), -1);
    EXPECT_EQ(Prompt->Texts().last(),
              QStringLiteral("Unable to load Standard Descriptions file for ABC123. \r(File not found)"));
}

TEST_F(MasterChartTest, RetryReadsTheFileAgain) {
    TStdDescChart chart(Entity, {}, 2006);
    Acting->WhileShown = [&] { WriteBytes(ChartPath(), StdHeader + ListOf(ItemAbc)); };
    Prompt->Answer(TMessageButton::Retry);
    EXPECT_EQ(chart.LoadFromFile({Option::MustExist}), 0);
    EXPECT_EQ(chart.Count(), 1);
    EXPECT_EQ(chart.CurrentIndex, 0);
    EXPECT_FALSE(chart.IsSaveBlocked());
}

// A file that breaks off inside its items is a failure in every mode, never an empty success,
// and the chart then never writes over it by itself.
TEST_F(MasterChartTest, DamagedFileFailsAndBlocksSavingOverIt) {
    const QByteArray damaged = StdHeader + QByteArray::fromHex("01") + ItemAbc + ItemRent2.left(5);
    WriteBytes(ChartPath(), damaged);

    TStdDescChart silent(Entity, {}, 2006);
    EXPECT_EQ(silent.LoadFromFile({Option::Silent}), -1);
    EXPECT_EQ(silent.Count(), 0);
    EXPECT_EQ(silent.CurrentIndex, -1);
    EXPECT_TRUE(silent.IsSaveBlocked());

    TStdDescChart chart(Entity, {}, 2006);
    Prompt->Answer(TMessageButton::Ignore);
    EXPECT_EQ(chart.LoadFromFile({}), -1);
    EXPECT_EQ(
        Prompt->Texts().last(),
        QStringLiteral("Unable to load 2006 Standard Descriptions file for ABC123. \r(Stream read error)"));
    chart.AddDescription(QStringLiteral("NEW"), QStringLiteral("typed after the failure"));
    chart.Saved = false;
    TOptionSet options;
    EXPECT_EQ(chart.SaveIfModified(options), ChartResult::Refused);
    EXPECT_EQ(ReadBytes(ChartPath()), damaged);

    // An explicit save asks first; No keeps the file.
    Prompt->Answer(TMessageButton::No);
    EXPECT_EQ(chart.SaveToFile(options), ChartResult::Refused);
    EXPECT_EQ(Prompt->Shown.last().Kind, TMessageKind::Question);
    EXPECT_EQ(ReadBytes(ChartPath()), damaged);
    Prompt->Answer(TMessageButton::Yes);
    EXPECT_EQ(chart.SaveToFile(options), 0);
    EXPECT_FALSE(chart.IsSaveBlocked());
    EXPECT_NE(ReadBytes(ChartPath()), damaged);
}

TEST_F(MasterChartTest, MergeLoadAddsToTheHeldItems) {
    WriteBytes(ChartPath(), StdHeader + ListOf(ItemAbc + ItemRent2));
    TStdDescChart keep(Entity, {}, 2006);
    keep.AddDescription(QStringLiteral("ABC"), QStringLiteral("Old"));
    EXPECT_EQ(keep.LoadFromFile({Option::MergeLoad}), 0);
    ASSERT_EQ(keep.Count(), 2);
    EXPECT_EQ(keep.GetStdDescription(0)->Description, QStringLiteral("Old"));
    EXPECT_FALSE(keep.Saved);

    TStdDescChart take(Entity, {}, 2006);
    take.AddDescription(QStringLiteral("abc"), QStringLiteral("Old"));
    EXPECT_EQ(take.LoadFromFile({Option::MergeReplace}), 0);
    ASSERT_EQ(take.Count(), 2);
    EXPECT_EQ(take.GetCode(0), QStringLiteral("abc"));
    EXPECT_EQ(take.GetStdDescription(0)->Description, QStringLiteral("A B Cooper"));
    EXPECT_FALSE(take.Saved);

    // Merging into an empty chart is an ordinary load; without merging the chart is replaced.
    TStdDescChart empty(Entity, {}, 2006);
    EXPECT_EQ(empty.LoadFromFile({Option::MergeReplace}), 0);
    EXPECT_TRUE(empty.Saved);
    keep.AddDescription(QStringLiteral("ZZZ"), QString());
    EXPECT_EQ(keep.LoadFromFile({}), 0);
    EXPECT_EQ(keep.Count(), 2);
    EXPECT_EQ(keep.IndexOf(QStringLiteral("ZZZ")), -1);
    EXPECT_TRUE(keep.Saved);
}

TEST_F(MasterChartTest, ProgressShowsTheFileAndMovesToTheEnd) {
    WriteBytes(ChartPath(), StdHeader + ListOf(ItemAbc + ItemRent2));
    TStdDescChart chart(Entity, {}, 2006);
    auto progress = TServices::CreateProgress();
    ASSERT_EQ(chart.LoadFromFile({}, progress.get()), 0);
    EXPECT_EQ(Progress->Log.first(), QStringLiteral("message:2|Standard Descriptions ABC123"));
    chart.Saved = false;
    TOptionSet options;
    Progress->Positions.clear();
    ASSERT_EQ(chart.SaveToFile(options, progress.get()), 0);
    EXPECT_TRUE(Progress->Log.contains(QStringLiteral("message:3|ABC123 Standard Descriptions")));
    EXPECT_EQ(Progress->Positions, (QList<double>{50.0, 100.0}));

    // Cancel during a load unwinds, and the half-read chart is not saved over the file.
    Progress->CancelAtUpdate = Progress->Updates + 1;
    EXPECT_THROW(chart.LoadFromFile({}, progress.get()), EOperationCancelled);
    EXPECT_TRUE(chart.IsSaveBlocked());
}

// ---- Save ---------------------------------------------------------------------------------

TEST_F(MasterChartTest, FailedWriteOffersRetryAndIgnoreAndKeepsTheOldFile) {
    const QByteArray old = StdHeader + ListOf(ItemAbcOld);
    WriteBytes(ChartPath(), old);
    TFailingChart chart(Entity, {}, 2006);
    chart.AddDescription(QStringLiteral("ABC"), QStringLiteral("A B Cooper"));
    chart.Saved = false;
    chart.FailuresLeft = 2;
    Prompt->Answer(TMessageButton::Retry);
    Prompt->Answer(TMessageButton::Ignore);
    TOptionSet options;
    EXPECT_EQ(chart.SaveToFile(options), -1);
    EXPECT_EQ(
        Prompt->Texts(),
        QStringList(
            2, QStringLiteral(
                   "Unable to save 2006 Standard Descriptions file for ABC123. \r(Stream write error)")));
    EXPECT_EQ(Prompt->Beeps, (QList<TBeep>{TBeep::Error, TBeep::Error}));
    EXPECT_FALSE(chart.Saved);
    EXPECT_EQ(ReadBytes(ChartPath()), old);

    chart.FailuresLeft = 1;
    Prompt->Answer(TMessageButton::Retry);
    EXPECT_EQ(chart.SaveToFile(options), 0);
    EXPECT_TRUE(chart.Saved);
    EXPECT_EQ(ReadBytes(ChartPath()), StdHeader + ListOf(ItemAbc));
}

TEST_F(MasterChartTest, UnwritableFolderQuotesTheSystemText) {
    // A plain file where the chart folder should be: no folder can be made, whoever we are.
    WriteBytes(TempPath(QStringLiteral("M_DETAIL")), QByteArray("x"));
    TStdDescChart chart(Entity, {}, 2006);
    chart.Saved = false;
    Acting->WhileShown = [&] { QFile::remove(TempPath(QStringLiteral("M_DETAIL"))); };
    Prompt->Answer(TMessageButton::Retry);
    TOptionSet options;
    EXPECT_EQ(chart.SaveToFile(options), 0);
    ASSERT_EQ(Prompt->Shown.size(), 1);
    const QString text = Prompt->Shown[0].Text;
    EXPECT_TRUE(
        text.startsWith(QStringLiteral("Unable to save 2006 Standard Descriptions file for ABC123. \r(")));
    EXPECT_TRUE(text.endsWith(QLatin1Char(')')));
    EXPECT_GT(text.size(), 64); // the system's words are in the brackets
    EXPECT_EQ(ReadBytes(ChartPath()), StdHeader + ListOf(QByteArray()));
}

TEST_F(MasterChartTest, ReplaceQuestionAllAndCancelTravelInTheOptions) {
    const QByteArray old = StdHeader + ListOf(ItemAbcOld);
    WriteBytes(ChartPath(), old);
    WriteBytes(ChartPath(QStringLiteral("ABC12307.STD")), old);
    TStdDescChart first(Entity, {}, 2006);
    TStdDescChart second(Entity, {}, 2007);
    TOptionSet options{Option::AskBeforeReplace};

    Prompt->Answer(TMessageButton::Cancel);
    EXPECT_EQ(first.SaveToFile(options), ChartResult::Refused);
    EXPECT_TRUE(options.Has(Option::StopOperation));
    EXPECT_EQ(ReadBytes(ChartPath()), old);
    EXPECT_EQ(Prompt->Texts(),
              QStringList{QStringLiteral("ABC123 2006  Standard Descriptions infomation aleady exists.\r"
                                         "Replace the current information ?")});
    EXPECT_EQ(Prompt->Shown[0].Buttons,
              TMessageButton::Yes | TMessageButton::No | TMessageButton::Cancel | TMessageButton::All);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Question});

    options = TOptionSet{Option::AskBeforeReplace};
    Prompt->Answer(TMessageButton::No);
    EXPECT_EQ(first.SaveToFile(options), ChartResult::Refused);
    EXPECT_FALSE(options.Has(Option::StopOperation));

    Prompt->Answer(TMessageButton::All);
    EXPECT_EQ(first.SaveToFile(options), 0);
    EXPECT_FALSE(options.Has(Option::AskBeforeReplace));
    EXPECT_EQ(second.SaveToFile(options), 0); // not asked again
    EXPECT_EQ(Prompt->Shown.size(), 3);
    EXPECT_EQ(ReadBytes(ChartPath(QStringLiteral("ABC12307.STD"))), StdHeader + ListOf(QByteArray()));

    // No question for a file that is not there.
    TStdDescChart fresh(Entity, {}, 2010);
    TOptionSet ask{Option::AskBeforeReplace};
    EXPECT_EQ(fresh.SaveToFile(ask), 0);
    EXPECT_EQ(Prompt->Shown.size(), 3);
    QString caption;
    EXPECT_TRUE(fresh.ConfirmReplace(QStringLiteral("/nowhere/at/all"), caption, ask));
    EXPECT_EQ(caption, QStringLiteral("ABC123 2010  Standard Descriptions"));
}

TEST_F(MasterChartTest, NothingIsSavedUnlessTheOwnerAsks) {
    TOptionSet options;
    {
        TStdDescChart chart(Entity, {}, 2006);
        EXPECT_EQ(chart.SaveIfModified(options), 0); // unmodified: nothing written
        EXPECT_FALSE(QFile::exists(ChartPath()));
        chart.AddDescription(QStringLiteral("ABC"), QStringLiteral("A B Cooper"));
        chart.Saved = false;
    } // freed while modified
    EXPECT_FALSE(QFile::exists(ChartPath()));

    TStdDescChart chart(Entity, {}, 2006);
    chart.AddDescription(QStringLiteral("ABC"), QStringLiteral("A B Cooper"));
    chart.Saved = false;
    EXPECT_EQ(chart.SaveIfModified(options), 0);
    EXPECT_EQ(ReadBytes(ChartPath()), StdHeader + ListOf(ItemAbc));
}

// ---- Items --------------------------------------------------------------------------------

TEST_F(MasterChartTest, ChangeCodeRefilesTheItemAndRefusesATakenCode) {
    TStdDescChart chart(Entity, {}, 2006);
    chart.AddDescription(QStringLiteral("RENT2"), QStringLiteral("Rent 2"));
    chart.AddDescription(QStringLiteral("ABC"), QStringLiteral("A B Cooper"));
    EXPECT_EQ(chart.AddDescription(QStringLiteral("abc"), QStringLiteral("again")), -1);

    EXPECT_EQ(chart.ChangeCode(1, QStringLiteral("RENT10")), 1);
    EXPECT_EQ(chart.ChangeCode(0, QStringLiteral("RENT10")), -1);
    EXPECT_EQ(chart.GetStdDescription(0)->Abbreviation, QStringLiteral("ABC"));
    EXPECT_EQ(chart.ChangeCode(0, QStringLiteral("ZED")), 1);
    EXPECT_EQ(chart.GetStdDescription(1)->Abbreviation, QStringLiteral("ZED"));
    EXPECT_EQ(chart.GetCode(1), QStringLiteral("ZED"));
    EXPECT_EQ(chart.ChangeCode(9, QStringLiteral("X")), -1);

    std::unique_ptr<TMasterChartItem> kept = chart.DeleteItem(0, false);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->GetKey(), QStringLiteral("RENT10"));
    EXPECT_EQ(chart.DeleteItem(0), nullptr);
    EXPECT_EQ(chart.Count(), 0);
    EXPECT_EQ(chart.GetCode(-1), QString());
}
