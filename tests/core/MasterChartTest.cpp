#include "core/charts/AccountsChart.h"
#include "core/charts/BRecOpeningDetail.h"
#include "core/charts/CurrencyConvRate.h"
#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRate.h"
#include "core/common/Exceptions.h"
#include "core/io/StreamError.h"
#include "core/vocab/FileVocabulary.h"
#include "tests/core/ChartTestSupport.h"

#include <QFile>

namespace {

const QString StdFile = QStringLiteral("M_DETAIL/ABC12306.STD");

QByteArray StdChart(const QStringList& items, const QString& header = QStringLiteral("header")) {
    return StoredChart(QStringLiteral("std"), header, items);
}

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

class MasterChartTest : public TChartTest {
protected:
    std::unique_ptr<TStdDescChart> Chart(int year = 2006, const QStringList& held = {}) {
        auto chart = std::make_unique<TStdDescChart>(Entity, TOptionSet{}, year);
        for (const QString& key : held)
            chart->AddDescription(key, QStringLiteral("held"));
        return chart;
    }
};

} // namespace

TEST_F(MasterChartTest, FileNameFromFolderKindCodeAndYear) {
    const QString data = Temp.path();
    const struct {
        int Year;
        TOptionSet Options;
        int YearArgument;
        int Kind;
        QString Expected;
    } cases[] = {
        {2006, {}, -1, ckStdDescriptions, data + "\\M_DETAIL\\ABC12306.STD"},
        {2006, {}, 2010, ckStdDescriptions, data + "\\M_DETAIL\\ABC12310.STD"},
        {2006, {Option::NextYear}, -1, ckStdDescriptions, data + "\\M_DETAIL\\ABC12307.STD"},
        {2000, {Option::PreviousYear}, -1, ckStdDescriptions, data + "\\M_DETAIL\\ABC12399.STD"},
        {-1, {Option::PreviousYear}, -1, ckStdDescriptions, data + "\\M_DETAIL\\ABC123.STD"},
        {2006,
         {Option::TransferFolder},
         -1,
         ckStdDescriptions,
         Entity.ProgramDataDir + "\\TRANSFER\\M_DETAIL\\ABC12306.STD"},
        {2006,
         {Option::TransferDrive, Option::TransferFolder},
         -1,
         ckStdDescriptions,
         "X:\\RORI\\ABC123\\M_DETAIL\\ABC12306.STD"},
        {2000, {}, -1, ckBankRecOpening, data + "\\BANK_REC\\ABC12300.BOB"},
        {2000, {}, -1, ckAccounts, data + "\\M_DETAIL\\ABC12300.ADF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Expected.toStdString());
        auto chart = Chart(c.Year);
        chart->Kind = c.Kind;
        EXPECT_EQ(chart->GetFileName(c.Options, c.YearArgument), c.Expected);
    }
    auto chart = Chart(2000);
    EXPECT_EQ(chart->FileYear({Option::PreviousYear}), 1999);
    chart->SetFileName(QStringLiteral("C:\\ELSEWHERE\\X.STD"));
    EXPECT_EQ(chart->GetFileName({Option::TransferDrive}, 2006), QStringLiteral("C:\\ELSEWHERE\\X.STD"));
    Entity.XferDir.clear();
    EXPECT_THROW(Chart()->GetFileName({Option::TransferDrive}), EQuilvaneError);
}

// A chart given a file name of its own reads and writes that file, and a load lets it go.
TEST_F(MasterChartTest, AnExplicitFileNameIsReadAndWrittenInsteadOfTheYearsFile) {
    Write(StdFile, StdChart({QStringLiteral("RENT2")}));
    Write(QStringLiteral("ELSEWHERE/MINE.STD"), StdChart({QStringLiteral("ABC")}));
    auto chart = Chart();
    chart->SetFileName(TempPath(QStringLiteral("ELSEWHERE/MINE.STD")));
    ASSERT_EQ(chart->LoadFromFile({}), 0);
    EXPECT_EQ(chart->GetCode(0), QStringLiteral("ABC"));
    EXPECT_TRUE(chart->FileNameOverride.isEmpty());

    chart->SetFileName(TempPath(QStringLiteral("ELSEWHERE/COPY.STD")));
    TOptionSet options;
    ASSERT_EQ(chart->SaveToFile(options), 0);
    EXPECT_EQ(Read(QStringLiteral("ELSEWHERE/COPY.STD")), StdChart({QStringLiteral("ABC")}));
    EXPECT_EQ(Read(StdFile), StdChart({QStringLiteral("RENT2")}));
}

TEST_F(MasterChartTest, SaveWritesTheHeaderAndItemsAsHandWrittenBytes) {
    auto chart = Chart();
    chart->AddDescription(QStringLiteral("RENT2"), QStringLiteral("Rent 2"));
    chart->AddDescription(QStringLiteral("ABC"), QStringLiteral("A B Cooper"));
    chart->Saved = false;
    TOptionSet options;
    ASSERT_EQ(chart->SaveIfModified(options), 0);
    EXPECT_TRUE(chart->Saved);
    EXPECT_EQ(Read(StdFile).toHex(' '), StdChart({"ABC", "RENT2"}).toHex(' '));
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(TempPath(QStringLiteral("M_DETAIL"))).entryList(QDir::Files), QStringList{"ABC12306.STD"});
}

TEST_F(MasterChartTest, LoadResultsBoxesAndWhatIsLeft) {
    const QByteArray wrongKind = StdChart({}, QStringLiteral("tax-header"));
    const QByteArray damaged = StdChart({"ABC", "RENT2"}).left(60);
    const QString prefix = QStringLiteral("Unable to load 2006 Standard Descriptions file for ABC123. \r(");
    const struct {
        const char* Name;
        QByteArray File; // null: no file
        int Year;
        TOptionSet Options;
        int Result;
        QString Box; // empty: no box
        int Count;   // items left of the one held
        bool Blocked;
    } cases[] = {
        {"missing", QByteArray(), 2006, {}, 0, {}, 1, false},
        {"empty", QByteArray(""), 2006, {}, 0, {}, 1, false},
        {"missing, must exist",
         QByteArray(),
         2006,
         {Option::MustExist},
         -1,
         prefix + "File not found)",
         0,
         false},
        {"empty, must exist",
         QByteArray(""),
         2006,
         {Option::MustExist},
         -1,
         prefix + "File not found)",
         0,
         false},
        {"no year",
         QByteArray(),
         -1,
         {Option::MustExist},
         -1,
         "Unable to load Standard Descriptions file for ABC123. \r(File not found)",
         0,
         false},
        {"wrong kind",
         wrongKind,
         2006,
         {},
         -1,
         prefix + "ABC12306.STD is not a Std Descriptions file)",
         0,
         true},
        {"wrong kind, silent", wrongKind, 2006, {Option::Silent}, ChartResult::WrongKind, {}, 0, true},
        {"damaged", damaged, 2006, {}, -1, prefix + "Stream read error)", 0, true},
        {"damaged, silent", damaged, 2006, {Option::Silent}, -1, {}, 0, true},
        {"damaged, merging", damaged, 2006, {Option::Silent, Option::MergeLoad}, -1, {}, 2, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        QFile::remove(TempPath(QStringLiteral("M_DETAIL/ABC123.STD")));
        QFile::remove(TempPath(StdFile));
        if (!c.File.isNull())
            Write(StdFile, c.File);
        Prompt->Shown.clear();
        Prompt->Beeps.clear();
        if (!c.Box.isEmpty())
            Prompt->Answer(TMessageButton::Ignore);
        auto chart = Chart(c.Year, {QStringLiteral("HELD")});
        EXPECT_EQ(chart->LoadFromFile(c.Options), c.Result);
        EXPECT_EQ(Prompt->Texts(), c.Box.isEmpty() ? QStringList() : QStringList{c.Box});
        if (!c.Box.isEmpty()) {
            EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::Retry | TMessageButton::Ignore);
            EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Error});
        }
        EXPECT_EQ(chart->Count(), c.Count);
        EXPECT_EQ(chart->CurrentIndex, c.Result == 0 || c.Count == 0 ? -1 : 0);
        EXPECT_EQ(chart->IsSaveBlocked(), c.Blocked);
    }
}

TEST_F(MasterChartTest, ForeignHeaderKeyLoadsTheItemsAndSaysSo) {
    Write(StdFile, StdChart({"ABC"}, QStringLiteral("foreign-header")));
    auto chart = Chart();
    chart->HeaderKey = QStringLiteral("QUILVANE");
    EXPECT_EQ(chart->LoadFromFile({}), ChartResult::ForeignFormat);
    EXPECT_EQ(chart->Count(), 1);
    chart->HeaderKey = QStringLiteral("cee data");
    EXPECT_EQ(chart->LoadFromFile({}), 0);
}

TEST_F(MasterChartTest, RetryReadsTheFileAgain) {
    auto chart = Chart();
    Acting->WhileShown = [&] { Write(StdFile, StdChart({"ABC"})); };
    Prompt->Answer(TMessageButton::Retry);
    EXPECT_EQ(chart->LoadFromFile({Option::MustExist}), 0);
    EXPECT_EQ(chart->Count(), 1);
    EXPECT_EQ(chart->CurrentIndex, 0);
    EXPECT_FALSE(chart->IsSaveBlocked());
}

// A file that could not be read is never written over by itself; an explicit save asks first.
TEST_F(MasterChartTest, AChartThatFailedToLoadDoesNotSaveOverItsFile) {
    const QByteArray damaged = StdChart({"ABC", "RENT2"}).left(60);
    Write(StdFile, damaged);
    auto chart = Chart();
    EXPECT_EQ(chart->LoadFromFile({Option::Silent}), -1);
    chart->AddDescription(QStringLiteral("NEW"), QStringLiteral("typed after the failure"));
    chart->Saved = false;
    TOptionSet options;
    EXPECT_EQ(chart->SaveIfModified(options), ChartResult::Refused);
    Prompt->Answer(TMessageButton::No);
    EXPECT_EQ(chart->SaveToFile(options), ChartResult::Refused);
    EXPECT_EQ(Prompt->Shown.last().Kind, TMessageKind::Question);
    EXPECT_EQ(Read(StdFile), damaged);
    Prompt->Answer(TMessageButton::Yes);
    EXPECT_EQ(chart->SaveToFile(options), 0);
    EXPECT_FALSE(chart->IsSaveBlocked());
    EXPECT_NE(Read(StdFile), damaged);
}

TEST_F(MasterChartTest, MergeLoadAddsToTheHeldItems) {
    Write(StdFile, StdChart({"ABC", "RENT2"}));
    auto keep = Chart(2006, {QStringLiteral("ABC")});
    EXPECT_EQ(keep->LoadFromFile({Option::MergeLoad}), 0);
    ASSERT_EQ(keep->Count(), 2);
    EXPECT_EQ(keep->GetStdDescription(0)->Description, QStringLiteral("held"));
    EXPECT_FALSE(keep->Saved);

    auto take = Chart(2006, {QStringLiteral("abc")});
    EXPECT_EQ(take->LoadFromFile({Option::MergeReplace}), 0);
    ASSERT_EQ(take->Count(), 2);
    EXPECT_EQ(take->GetCode(0), QStringLiteral("abc"));
    EXPECT_EQ(take->GetStdDescription(0)->Description, QStringLiteral("A B Cooper"));
    EXPECT_FALSE(take->Saved);

    // Merging into an empty chart is an ordinary load; without merging the chart is replaced.
    auto empty = Chart();
    EXPECT_EQ(empty->LoadFromFile({Option::MergeReplace}), 0);
    EXPECT_TRUE(empty->Saved);
    keep->AddDescription(QStringLiteral("ZZZ"), QString());
    EXPECT_EQ(keep->LoadFromFile({}), 0);
    EXPECT_EQ(keep->IndexOf(QStringLiteral("ZZZ")), -1);
    EXPECT_EQ(keep->Count(), 2);
    EXPECT_TRUE(keep->Saved);
}

TEST_F(MasterChartTest, ProgressShowsTheFileAndMovesToTheEnd) {
    Write(StdFile, StdChart({"ABC", "RENT2"}));
    auto chart = Chart();
    auto progress = TServices::CreateProgress();
    ASSERT_EQ(chart->LoadFromFile({}, progress.get()), 0);
    EXPECT_EQ(Progress->Log.first(), QStringLiteral("message:2|Standard Descriptions ABC123"));
    Progress->Positions.clear();
    TOptionSet options;
    ASSERT_EQ(chart->SaveToFile(options, progress.get()), 0);
    EXPECT_TRUE(Progress->Log.contains(QStringLiteral("message:3|ABC123 Standard Descriptions")));
    EXPECT_EQ(Progress->Positions, (QList<double>{50.0, 100.0}));

    // Cancel during a load unwinds, and the half-read chart is not saved over the file.
    Progress->CancelAtUpdate = Progress->Updates + 1;
    EXPECT_THROW(chart->LoadFromFile({}, progress.get()), EOperationCancelled);
    EXPECT_TRUE(chart->IsSaveBlocked());
}

TEST_F(MasterChartTest, FailedWriteOffersRetryAndIgnoreAndKeepsTheOldFile) {
    const QByteArray old = StdChart({"abc-old"});
    Write(StdFile, old);
    TFailingChart chart(Entity, {}, 2006);
    chart.AddDescription(QStringLiteral("ABC"), QStringLiteral("A B Cooper"));
    chart.Saved = false;
    chart.FailuresLeft = 2;
    Prompt->Answer(TMessageButton::Retry);
    Prompt->Answer(TMessageButton::Ignore);
    TOptionSet options;
    EXPECT_EQ(chart.SaveToFile(options), -1);
    EXPECT_EQ(Prompt->Texts(),
              QStringList(2, QStringLiteral("Unable to save 2006 Standard Descriptions file for "
                                            "ABC123. \r(Stream write error)")));
    EXPECT_EQ(Prompt->Beeps, (QList<TBeep>{TBeep::Error, TBeep::Error}));
    EXPECT_FALSE(chart.Saved);
    EXPECT_EQ(Read(StdFile), old);

    chart.FailuresLeft = 1;
    Prompt->Answer(TMessageButton::Retry);
    EXPECT_EQ(chart.SaveToFile(options), 0);
    EXPECT_TRUE(chart.Saved);
    EXPECT_EQ(Read(StdFile), StdChart({"ABC"}));
}

TEST_F(MasterChartTest, UnwritableFolderQuotesTheSystemText) {
    // A plain file where the chart folder should be: no folder can be made, whoever we are.
    Write(QStringLiteral("M_DETAIL"), QByteArray("x"));
    auto chart = Chart();
    Acting->WhileShown = [&] { QFile::remove(TempPath(QStringLiteral("M_DETAIL"))); };
    Prompt->Answer(TMessageButton::Retry);
    TOptionSet options;
    EXPECT_EQ(chart->SaveToFile(options), 0);
    ASSERT_EQ(Prompt->Shown.size(), 1);
    const QString text = Prompt->Shown[0].Text;
    EXPECT_TRUE(
        text.startsWith(QStringLiteral("Unable to save 2006 Standard Descriptions file for ABC123. \r(")));
    EXPECT_TRUE(text.endsWith(QLatin1Char(')')));
    EXPECT_GT(text.size(), 64); // the system's words are in the brackets
    EXPECT_EQ(Read(StdFile), StdChart({}));
}

// A chart file planted as a link is never written through: not to the file it points at outside
// the folder, and not to a new file where a dangling link points.
TEST_F(MasterChartTest, AChartFileThatIsALinkIsRefused) {
    Write(QStringLiteral("OUTSIDE/victim"), QByteArray("precious"));
    for (const QString& target :
         {TempPath(QStringLiteral("OUTSIDE/victim")), TempPath(QStringLiteral("OUTSIDE/new"))}) {
        SCOPED_TRACE(target.toStdString());
        QFile::remove(TempPath(StdFile));
        QDir().mkpath(TempPath(QStringLiteral("M_DETAIL")));
        ASSERT_TRUE(QFile::link(target, TempPath(StdFile)));
        auto chart = Chart(2006, {QStringLiteral("ABC")});
        Prompt->Shown.clear();
        Prompt->Answer(TMessageButton::Ignore);
        TOptionSet options;
        EXPECT_EQ(chart->SaveToFile(options), -1);
        ASSERT_EQ(Prompt->Shown.size(), 1);
        EXPECT_TRUE(
            Prompt->Shown[0].Text.startsWith(QStringLiteral("Unable to save 2006 Standard Descriptions")));
        EXPECT_TRUE(Prompt->Shown[0].Text.contains(QStringLiteral("is a symbolic link")));
        EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::Retry | TMessageButton::Ignore);
        EXPECT_TRUE(QFileInfo(TempPath(StdFile)).isSymLink());
    }
    EXPECT_EQ(Read(QStringLiteral("OUTSIDE/victim")), QByteArray("precious"));
    EXPECT_FALSE(QFileInfo::exists(TempPath(QStringLiteral("OUTSIDE/new"))));
    EXPECT_EQ(QDir(TempPath(QStringLiteral("OUTSIDE"))).entryList(QDir::Files), QStringList{"victim"});
}

TEST_F(MasterChartTest, ReplaceQuestionAllAndCancelTravelInTheOptions) {
    const QByteArray old = StdChart({"abc-old"});
    Write(StdFile, old);
    Write(QStringLiteral("M_DETAIL/ABC12307.STD"), old);
    auto first = Chart(2006);
    auto second = Chart(2007);
    const struct {
        TMessageButton Answer;
        int Result;
        bool Asks;
        bool Stops;
    } answers[] = {{TMessageButton::Cancel, ChartResult::Refused, true, true},
                   {TMessageButton::No, ChartResult::Refused, true, false},
                   {TMessageButton::Yes, 0, true, false},
                   {TMessageButton::All, 0, false, false}};
    for (const auto& a : answers) {
        TOptionSet options{Option::AskBeforeReplace};
        Prompt->Answer(a.Answer);
        EXPECT_EQ(first->SaveToFile(options), a.Result);
        EXPECT_EQ(options.Has(Option::StopOperation), a.Stops);
        EXPECT_EQ(options.Has(Option::AskBeforeReplace), a.Asks);
    }
    EXPECT_EQ(Prompt->Texts().first(),
              QStringLiteral("ABC123 2006  Standard Descriptions infomation aleady exists.\r"
                             "Replace the current information ?"));
    EXPECT_EQ(Prompt->Shown[0].Buttons,
              TMessageButton::Yes | TMessageButton::No | TMessageButton::Cancel | TMessageButton::All);
    EXPECT_EQ(Prompt->Beeps.first(), TBeep::Question);

    // All is remembered for the rest of the run: the next chart is replaced without a question.
    TOptionSet options{Option::AskBeforeReplace};
    Prompt->Answer(TMessageButton::All);
    EXPECT_EQ(first->SaveToFile(options), 0);
    EXPECT_EQ(second->SaveToFile(options), 0);
    EXPECT_EQ(Prompt->Shown.size(), 5);
    EXPECT_EQ(Read(QStringLiteral("M_DETAIL/ABC12307.STD")), StdChart({}));

    // No question for a file that is not there.
    auto fresh = Chart(2010);
    TOptionSet ask{Option::AskBeforeReplace};
    EXPECT_EQ(fresh->SaveToFile(ask), 0);
    EXPECT_EQ(Prompt->Shown.size(), 5);
    QString caption;
    EXPECT_TRUE(fresh->ConfirmReplace(TempPath(QStringLiteral("nowhere")), caption, ask));
    EXPECT_EQ(caption, QStringLiteral("ABC123 2010  Standard Descriptions"));
}

TEST_F(MasterChartTest, NothingIsSavedUnlessTheOwnerAsks) {
    TOptionSet options;
    {
        auto chart = Chart(2006, {QStringLiteral("ABC")});
        EXPECT_EQ(chart->SaveIfModified(options), 0); // unmodified: nothing written
        chart->Saved = false;
    } // freed while modified
    EXPECT_FALSE(QFile::exists(TempPath(StdFile)));
}

// ---- Items and keys -----------------------------------------------------------------------

TEST_F(MasterChartTest, ChangeCodeRefilesTheItemAndRefusesATakenCode) {
    auto chart = Chart(2006, {QStringLiteral("RENT2"), QStringLiteral("ABC")});
    EXPECT_EQ(chart->AddDescription(QStringLiteral("abc"), QStringLiteral("again")), -1);
    EXPECT_EQ(chart->ChangeCode(1, QStringLiteral("RENT10")), 1);
    EXPECT_EQ(chart->ChangeCode(0, QStringLiteral("RENT10")), -1);
    EXPECT_EQ(chart->ChangeCode(0, QStringLiteral(" ")), -1);
    EXPECT_EQ(chart->GetStdDescription(0)->Abbreviation, QStringLiteral("ABC"));
    EXPECT_EQ(chart->ChangeCode(0, QStringLiteral("ZED")), 1);
    EXPECT_EQ(chart->GetStdDescription(1)->Abbreviation, QStringLiteral("ZED"));
    EXPECT_EQ(chart->GetCode(1), QStringLiteral("ZED"));
    EXPECT_EQ(chart->ChangeCode(9, QStringLiteral("X")), -1);

    std::unique_ptr<TMasterChartItem> kept = chart->DeleteItem(0, false);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->GetKey(), QStringLiteral("RENT10"));
    EXPECT_EQ(chart->DeleteItem(0), nullptr);
    EXPECT_EQ(chart->Count(), 0);
    EXPECT_EQ(chart->GetCode(-1), QString());
}

// Every kind of item refuses a key that is no code of its kind and keeps its own.
TEST_F(MasterChartTest, EveryItemKindRefusesABadKey) {
    TAccountDetail account(Format());
    TAccountDetail noFormat(nullptr);
    TBRecOpeningDetail detail(Format());
    TTaxRate rate;
    TCurrencyConvRate currency;
    TStandardDescription description;
    const struct {
        TMasterChartItem* Item;
        QString Good;
        QString Bad;
    } cases[] = {{&account, "01-2000-05", "01-20X0"},
                 {&noFormat, QString(), "2000"},
                 {&detail, "2000", "not a code"},
                 {&rate, "GST", "  "},
                 {&currency, "USD", ""},
                 {&description, "ABC", " "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Bad.toStdString());
        if (!c.Good.isNull()) {
            EXPECT_TRUE(c.Item->SetKey(c.Good));
            EXPECT_EQ(c.Item->GetKey(), c.Good);
        }
        const QString before = c.Item->GetKey();
        EXPECT_FALSE(c.Item->SetKey(c.Bad));
        EXPECT_EQ(c.Item->GetKey(), before);
    }
}
