#include "core/charts/AccountsChart.h"
#include "core/charts/BRecOpeningDetail.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/charts/CurrConvRatesChart.h"
#include "core/charts/CurrencyConvRate.h"
#include "core/charts/MasterChartStringList.h"
#include "core/charts/StdDescChart.h"
#include "core/charts/TaxRate.h"
#include "core/charts/TaxRateChart.h"
#include "core/common/Exceptions.h"
#include "core/files/StoredFileWriter.h"
#include "core/io/StreamError.h"
#include "core/vocab/FileVocabulary.h"
#include "tests/core/ChartTestSupport.h"

#include <QDateTime>
#include <QTemporaryDir>

namespace {

const QString StdFile = QStringLiteral("M_DETAIL/ABC12306.STD");
const QString FundTemplate = QStringLiteral("M_DETAIL/Superfund.Std");
const QString NoYear = QStringLiteral("Unable to load Standard Descriptions file for ABC123. \r(");
const QString LoadFailed = QStringLiteral("Unable to load 2006 Standard Descriptions file for ABC123. \r(");

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

const QStringList MixedKeys = {"B10", "A9Z", "A001", "A1", "A01", "A10",  "A2Z", "A3",
                               "A",   "a1b", "A-1",  "B9", "100", "1000", "99",  "A1000000000000"};

void Fill(TMasterChartStringList& list, const QStringList& keys, bool numeric) {
    list.SetNumericCompare(numeric);
    for (const QString& key : keys)
        EXPECT_GE(list.Add(key, std::make_unique<TStandardDescription>(key, key)), 0) << key.toStdString();
}

QString ListKeys(const TMasterChartStringList& list) {
    QStringList keys;
    for (int i = 0; i < list.Count(); ++i)
        keys << list.Key(i);
    return keys.join(u',');
}

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
    // Year, options, year asked for, name after the data folder; other kinds' names are
    // checked by their own charts' loads.
    const std::tuple<int, TOptionSet, int, QString> cases[] = {
        {2006, {}, -1, "\\M_DETAIL\\ABC12306.STD"},
        {2006, {}, 2010, "\\M_DETAIL\\ABC12310.STD"},
        {2006, {Option::NextYear}, -1, "\\M_DETAIL\\ABC12307.STD"},
        {2000, {Option::PreviousYear}, -1, "\\M_DETAIL\\ABC12399.STD"},
        {-1, {Option::PreviousYear}, -1, "\\M_DETAIL\\ABC123.STD"},
        {2006, {Option::TransferFolder}, -1, "/PROGRAM\\TRANSFER\\M_DETAIL\\ABC12306.STD"}};
    for (const auto& [year, options, asked, expected] : cases)
        EXPECT_EQ(Chart(year)->GetFileName(options, asked), Temp.path() + expected);
    auto chart = Chart(2000);
    EXPECT_EQ(chart->GetFileName({Option::TransferDrive, Option::TransferFolder}),
              "X:\\RORI\\ABC123\\M_DETAIL\\ABC12300.STD");
    chart->SetFileName("C:\\ELSEWHERE\\X.STD");
    EXPECT_EQ(chart->GetFileName({Option::TransferDrive}, 2006), "C:\\ELSEWHERE\\X.STD");
    Entity.XferDir.clear();
    EXPECT_THROW(Chart()->GetFileName({Option::TransferDrive}), EQuilvaneError);
}

// A chart given a file name of its own reads and writes that file, and a load lets it go.
TEST_F(MasterChartTest, AnExplicitFileNameIsReadAndWrittenInsteadOfTheYearsFile) {
    Write(StdFile, StdChart({"RENT2"}));
    Write("ELSEWHERE/MINE.STD", StdChart({"ABC"}));
    auto chart = Chart();
    chart->SetFileName(TempPath("ELSEWHERE/MINE.STD"));
    ASSERT_EQ(chart->LoadFromFile({}), 0);
    EXPECT_EQ(Keys(*chart), "ABC");
    EXPECT_TRUE(chart->FileNameOverride.isEmpty());
    chart->SetFileName(TempPath("ELSEWHERE/COPY.STD"));
    TOptionSet options;
    ASSERT_EQ(chart->SaveToFile(options), 0);
    EXPECT_EQ(Read("ELSEWHERE/COPY.STD"), StdChart({"ABC"}));
    EXPECT_EQ(Read(StdFile), StdChart({"RENT2"}));
}

TEST_F(MasterChartTest, LoadResultsBoxesAndWhatIsLeft) {
    const QByteArray wrongKind = StdChart({}, "tax-header");
    const QByteArray damaged = StdChart({"ABC", "RENT2"}).left(60);
    // The file (null: none), the year, options, result, box text, items left of the one held,
    // and whether the chart is then save-blocked.
    const std::tuple<QByteArray, int, TOptionSet, int, QString, int, bool> cases[] = {
        {QByteArray(), 2006, {}, 0, {}, 1, false},
        {"", 2006, {Option::MustExist}, -1, LoadFailed + "File not found)", 0, false},
        {QByteArray(), -1, {Option::MustExist}, -1, NoYear + "File not found)", 0, false},
        {wrongKind, 2006, {}, -1, LoadFailed + "ABC12306.STD is not a Std Descriptions file)", 0, true},
        {wrongKind, 2006, {Option::Silent}, ChartResult::WrongKind, {}, 0, true},
        {damaged, 2006, {}, -1, LoadFailed + "Stream read error)", 0, true},
        {damaged, 2006, {Option::Silent, Option::MergeLoad}, -1, {}, 2, true}};
    for (const auto& [file, year, options, result, box, count, blocked] : cases) {
        SCOPED_TRACE(box.toStdString() + " " + std::to_string(file.size()));
        QFile::remove(TempPath("M_DETAIL/ABC123.STD"));
        QFile::remove(TempPath(StdFile));
        if (!file.isNull())
            Write(StdFile, file);
        Prompt->Shown.clear();
        Prompt->Beeps.clear();
        if (!box.isEmpty())
            Prompt->Answer(TMessageButton::Ignore);
        auto chart = Chart(year, {"HELD"});
        EXPECT_EQ(chart->LoadFromFile(options), result);
        EXPECT_EQ(Prompt->Texts(), box.isEmpty() ? QStringList() : QStringList{box});
        if (!box.isEmpty()) {
            EXPECT_EQ(Prompt->Shown[0].Buttons, TMessageButton::Retry | TMessageButton::Ignore);
        }
        EXPECT_EQ(chart->Count(), count);
        EXPECT_EQ(chart->CurrentIndex, result == 0 || count == 0 ? -1 : 0);
        EXPECT_EQ(chart->IsSaveBlocked(), blocked);
    }
    // A file of another account format is loaded, and said to be so.
    Write(StdFile, StdChart({"ABC"}, "foreign-header"));
    auto chart = Chart();
    chart->HeaderKey = "QUILVANE";
    EXPECT_EQ(chart->LoadFromFile({}), ChartResult::ForeignFormat);
    EXPECT_EQ(chart->Count(), 1);
    chart->HeaderKey = "cee data";
    EXPECT_EQ(chart->LoadFromFile({}), 0);
    // Retry reads the file again.
    chart->HeaderKey.clear();
    Write(StdFile, damaged);
    Hooked->OnShow = [&] { Write(StdFile, StdChart({"RENT2"})); };
    Prompt->Answer(TMessageButton::Retry);
    EXPECT_EQ(chart->LoadFromFile({}), 0);
    EXPECT_EQ(Keys(*chart), "RENT2");
    EXPECT_FALSE(chart->IsSaveBlocked());
}

// A file that could not be read is never written over by itself; an explicit save asks first.
TEST_F(MasterChartTest, AChartThatFailedToLoadDoesNotSaveOverItsFile) {
    const QByteArray damaged = StdChart({"ABC", "RENT2"}).left(60);
    Write(StdFile, damaged);
    auto chart = Chart();
    EXPECT_EQ(chart->LoadFromFile({Option::Silent}), -1);
    chart->AddDescription("NEW", "typed after the failure");
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
    EXPECT_EQ(chart->LoadFromFile({}), 0);
    EXPECT_EQ(Keys(*chart), "NEW");
}

TEST_F(MasterChartTest, MergeLoadAddsToTheHeldItems) {
    Write(StdFile, StdChart({"ABC", "RENT2"}));
    auto keep = Chart(2006, {"ABC"});
    EXPECT_EQ(keep->LoadFromFile({Option::MergeLoad}), 0);
    EXPECT_EQ(Keys(*keep), "ABC,RENT2");
    EXPECT_EQ(keep->GetStdDescription(0)->Description, "held");
    EXPECT_FALSE(keep->Saved);
    auto take = Chart(2006, {"abc"});
    EXPECT_EQ(take->LoadFromFile({Option::MergeReplace}), 0);
    EXPECT_EQ(Keys(*take), "abc,RENT2");
    EXPECT_EQ(take->GetStdDescription(0)->Description, "A B Cooper");
    EXPECT_FALSE(take->Saved);
    // Merged into an empty chart, the file is all there is: nothing is left to save.
    auto empty = Chart();
    EXPECT_EQ(empty->LoadFromFile({Option::MergeLoad}), 0);
    EXPECT_EQ(Keys(*empty), "ABC,RENT2");
    EXPECT_TRUE(empty->Saved);
    // Without merging the chart is replaced.
    keep->AddDescription("ZZZ", QString());
    EXPECT_EQ(keep->LoadFromFile({}), 0);
    EXPECT_EQ(Keys(*keep), "ABC,RENT2");
    EXPECT_TRUE(keep->Saved);
}

TEST_F(MasterChartTest, ProgressShowsTheFileAndMovesToTheEnd) {
    Write(StdFile, StdChart({"ABC", "RENT2"}));
    auto chart = Chart();
    auto progress = TServices::CreateProgress();
    ASSERT_EQ(chart->LoadFromFile({}, progress.get()), 0);
    Progress->Positions.clear();
    TOptionSet options;
    ASSERT_EQ(chart->SaveToFile(options, progress.get()), 0);
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
    chart.AddDescription("ABC", "A B Cooper");
    chart.Saved = false;
    chart.FailuresLeft = 2;
    Prompt->Answer(TMessageButton::Retry);
    Prompt->Answer(TMessageButton::Ignore);
    TOptionSet options;
    EXPECT_EQ(chart.SaveToFile(options), -1);
    EXPECT_EQ(Prompt->Texts(), QStringList(2, "Unable to save 2006 Standard Descriptions file for ABC123. \r"
                                              "(Stream write error)"));
    EXPECT_EQ(Prompt->Beeps, (QList<TBeep>{TBeep::Error, TBeep::Error}));
    EXPECT_FALSE(chart.Saved);
    EXPECT_EQ(Read(StdFile), old);
    chart.FailuresLeft = 1;
    Prompt->Answer(TMessageButton::Retry);
    EXPECT_EQ(chart.SaveToFile(options), 0);
    EXPECT_TRUE(chart.Saved);
    EXPECT_EQ(Read(StdFile), StdChart({"ABC"}));

    // A plain file where the chart folder should be: no folder can be made, whoever we are. The
    // system's words are in the brackets; Retry once the file is gone.
    QDir(TempPath("M_DETAIL")).removeRecursively();
    Write("M_DETAIL", "x");
    Hooked->OnShow = [&] { QFile::remove(TempPath("M_DETAIL")); };
    Prompt->Answer(TMessageButton::Retry);
    EXPECT_EQ(chart.SaveToFile(options), 0);
    EXPECT_TRUE(
        Prompt->Texts().last().startsWith("Unable to save 2006 Standard Descriptions file for ABC123. \r("));
    EXPECT_GT(Prompt->Texts().last().size(), 64);
    EXPECT_EQ(Read(StdFile), StdChart({"ABC"}));
}

// A chart file planted as a link is never written through: not to the file it points at outside
// the folder, and not to a new file where a dangling link points.
TEST_F(MasterChartTest, AChartFileThatIsALinkIsRefused) {
    Write("OUTSIDE/victim", "precious");
    QDir().mkpath(TempPath("M_DETAIL"));
    for (const QString& target : {TempPath("OUTSIDE/victim"), TempPath("OUTSIDE/new")}) {
        QFile::remove(TempPath(StdFile));
        ASSERT_TRUE(QFile::link(target, TempPath(StdFile)));
        auto chart = Chart(2006, {"ABC"});
        Prompt->Answer(TMessageButton::Ignore);
        TOptionSet options;
        EXPECT_EQ(chart->SaveToFile(options), -1);
        EXPECT_TRUE(
            Prompt->Texts().last().startsWith("Unable to save 2006 Standard Descriptions file for ABC123."));
        EXPECT_TRUE(Prompt->Texts().last().contains("is a symbolic link"));
        EXPECT_EQ(Prompt->Shown.last().Buttons, TMessageButton::Retry | TMessageButton::Ignore);
        EXPECT_TRUE(QFileInfo(TempPath(StdFile)).isSymLink());
    }
    EXPECT_EQ(Read("OUTSIDE/victim"), "precious");
    EXPECT_EQ(QDir(TempPath("OUTSIDE")).entryList(QDir::Files), QStringList{"victim"});
}

// The chart folders hold every client's charts: a chart folder that is a link out of the data
// folder is neither read nor written through, for every kind of chart, and nothing where it
// leads is touched (not even a stale leftover of a save there). A data folder reached through a
// link keeps its own chart folders.
TEST_F(MasterChartTest, AChartFolderThatIsALinkOutOfTheDataFolderIsNeitherReadNorWritten) {
    QTemporaryDir outside;
    ASSERT_TRUE(outside.isValid());
    const QString stale = QStringLiteral("ABC12306.STD") + TStoredFileWriter::TempMarker() + "AbC123";
    const QStringList planted{"ABC12306.ADF", "ABC12306.BOB", "ABC12306.CCR",
                              "ABC12306.STD", "ABC12306.TXR", stale};
    for (const QString& name : planted)
        ASSERT_TRUE(WriteFileBytes(outside.filePath(name), name.toLatin1()));
    QFile old(outside.filePath(stale));
    ASSERT_TRUE(
        old.open(QIODevice::ReadWrite) &&
        old.setFileTime(QDateTime::currentDateTimeUtc().addSecs(-3600), QFileDevice::FileModificationTime));
    old.close();
    for (const char* folder : {"M_DETAIL", "BANK_REC"})
        ASSERT_TRUE(QFile::link(outside.path(), TempPath(folder)));

    TAccountsChart accounts(Entity, Format(), {}, 2006);
    const auto charts = [&]() {
        std::vector<std::unique_ptr<TMasterChart>> made;
        made.push_back(std::make_unique<TAccountsChart>(Entity, Format(), TOptionSet{}, 2006));
        made.push_back(std::make_unique<TStdDescChart>(Entity, TOptionSet{}, 2006));
        made.push_back(std::make_unique<TTaxRateChart>(Entity, &accounts, Format(), TOptionSet{}, 2006));
        made.push_back(std::make_unique<TCurrConvRatesChart>(Entity, TOptionSet{}, 2006));
        made.push_back(
            std::make_unique<TBankRecOpeningDetailChart>(Entity, &accounts, Format(), TOptionSet{}, 2006));
        return made;
    };
    for (const auto& chart : charts()) {
        const QString name = chart->GetFileName({}).section(u'\\', -1);
        SCOPED_TRACE(name.toStdString());
        const QString file =
            QDir::toNativeSeparators(TempPath(chart->Kind == 0 ? "BANK_REC/" : "M_DETAIL/") + name);
        const QString start = "Unable to load 2006 " + chart->KindNoun() + " file for ABC123. \r(";
        Prompt->Shown.clear();
        Prompt->Answer(TMessageButton::Ignore);
        EXPECT_EQ(chart->LoadFromFile({}), -1);
        EXPECT_EQ(Prompt->Texts(), QStringList{start + file +
                                               " lies outside the data folder; the program does not "
                                               "read through links that lead out of it)"});
    }
    for (const auto& chart : charts()) {
        const QString name = chart->GetFileName({}).section(u'\\', -1);
        SCOPED_TRACE(name.toStdString());
        const QString folder = QDir::toNativeSeparators(TempPath(chart->Kind == 0 ? "BANK_REC" : "M_DETAIL"));
        Prompt->Shown.clear();
        Prompt->Answer(TMessageButton::Ignore);
        TOptionSet options;
        EXPECT_EQ(chart->SaveToFile(options), -1);
        EXPECT_EQ(Prompt->Texts(),
                  QStringList{"Unable to save 2006 " + chart->KindNoun() + " file for ABC123. \r(" + folder +
                              " is a symbolic link; the program does not write through links)"});
        chart->Saved = true;
    }
    QStringList names = QDir(outside.path()).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    QStringList expected = planted;
    expected.sort();
    EXPECT_EQ(names, expected);
    for (const QString& name : planted)
        EXPECT_EQ(ReadFileBytes(outside.filePath(name)), name.toLatin1());

    // The data folder itself may be reached through a link.
    for (const char* folder : {"M_DETAIL", "BANK_REC"})
        ASSERT_TRUE(QFile::remove(TempPath(folder)));
    ASSERT_TRUE(QFile::link(Temp.path(), outside.filePath("DATA")));
    Entity.DataDir = outside.filePath("DATA");
    auto linked = Chart(2006, {"ABC"});
    TOptionSet options;
    ASSERT_EQ(linked->SaveToFile(options), 0);
    auto again = Chart();
    ASSERT_EQ(again->LoadFromFile({}), 0);
    EXPECT_EQ(Keys(*again), "ABC");
}

TEST_F(MasterChartTest, ReplaceQuestionAllAndCancelTravelInTheOptions) {
    Write(StdFile, StdChart({"abc-old"}));
    Write("M_DETAIL/ABC12307.STD", StdChart({"abc-old"}));
    auto first = Chart(2006);
    // Answer, result, whether 17 (ask) and 29 (stop) are then in the options.
    const std::tuple<TMessageButton, int, bool, bool> answers[] = {
        {TMessageButton::Cancel, ChartResult::Refused, true, true},
        {TMessageButton::No, ChartResult::Refused, true, false},
        {TMessageButton::Yes, 0, true, false},
        {TMessageButton::All, 0, false, false}};
    for (const auto& [answer, result, asks, stops] : answers) {
        TOptionSet options{Option::AskBeforeReplace};
        Prompt->Answer(answer);
        EXPECT_EQ(first->SaveToFile(options), result);
        EXPECT_EQ(options.Has(Option::AskBeforeReplace), asks);
        EXPECT_EQ(options.Has(Option::StopOperation), stops);
    }
    EXPECT_EQ(Prompt->Texts().first(), "ABC123 2006  Standard Descriptions infomation aleady exists.\r"
                                       "Replace the current information ?");
    EXPECT_EQ(Prompt->Shown[0].Buttons,
              TMessageButton::Yes | TMessageButton::No | TMessageButton::Cancel | TMessageButton::All);
    EXPECT_EQ(Prompt->Beeps.first(), TBeep::Question);
    // All is remembered for the rest of the run: the next chart is replaced without a question,
    // and so is a file that is not there.
    TOptionSet options{Option::AskBeforeReplace};
    Prompt->Answer(TMessageButton::All);
    EXPECT_EQ(first->SaveToFile(options), 0);
    EXPECT_EQ(Chart(2007)->SaveToFile(options), 0);
    options.Include(Option::AskBeforeReplace);
    EXPECT_EQ(Chart(2010)->SaveToFile(options), 0);
    EXPECT_EQ(Prompt->Shown.size(), 5);
    Chart(2011, {"ABC"})->Saved = false; // freed while modified: the owner saves, never the chart
    EXPECT_FALSE(QFile::exists(TempPath("M_DETAIL/ABC12311.STD")));
}

TEST_F(MasterChartTest, DescriptionsLoadInNumberOrderAndSaveTheSameBytes) {
    Write(StdFile, StdChart({"RENT10", "ABC", "RENT2", "abc-old"}));
    TStdDescChart chart(Entity, {Option::Load}, 2006);
    EXPECT_EQ(Keys(chart), "ABC,RENT2,RENT10"); // the second "ABC" is dropped
    EXPECT_EQ(chart.GetStdDescription(2)->Description, "Caf\u00e9 rent");
    EXPECT_EQ(chart.Version, "V5.0");
    TOptionSet options;
    ASSERT_EQ(chart.SaveToFile(options), 0);
    EXPECT_EQ(Read(StdFile).toHex(' '), StdChart({"ABC", "RENT2", "RENT10"}).toHex(' '));
}

TEST_F(MasterChartTest, AbbreviationsExpandInOnePass) {
    TStdDescChart chart(Entity, {}, 2006);
    chart.AddDescription("ABC", "A B Cooper");
    chart.AddDescription("RENT2", "Rent of unit 2");
    chart.AddDescription("SELF", "see ~SELF");
    // A description that names itself, or others, is put in as it stands; the abbreviation
    // runs to a word delimiter ("~ABC~" names "ABC~"); numbers are part of it as written.
    const std::pair<const char*, const char*> cases[] = {
        {"Paid ~ABC.", "Paid A B Cooper."}, {"~abc", "A B Cooper"}, {"~XYZ", "~XYZ"}, {"Total ~", "Total ~"},
        {"Pay ~SELF", "Pay see ~SELF"},     {"~ABC~ x", "~ABC~ x"}, {"~AB", "~AB"},   {"~RENT02", "~RENT02"},
        {"Paid ~XYZ now", "Paid ~XYZ now"}};
    for (const auto& [text, expanded] : cases)
        EXPECT_EQ(chart.ExpandAbbreviations(text), expanded) << text;
    EXPECT_EQ(chart.ExpandAbbreviations("~ABC,~rent2;~ABC"), "A B Cooper,Rent of unit 2;A B Cooper");
    QString result = QStringLiteral("stale");
    chart.ExpandAbbreviations(QString(), result);
    EXPECT_TRUE(result.isEmpty());
}

TEST_F(MasterChartTest, AFundWithNoDescriptionsStartsFromTheTemplate) {
    Write(FundTemplate, StdChart({"ABC"}));
    Entity.EntityType = QStringLiteral("sup");
    TStdDescChart chart(Entity, {Option::Load}, 2006);
    EXPECT_EQ(Keys(chart), "ABC");
    // Saved under the year's own name; the template stays as it was.
    TOptionSet options;
    EXPECT_EQ(chart.SaveIfModified(options), 0);
    EXPECT_EQ(Read(StdFile), StdChart({"ABC"}));
    // A fund whose chart has items, or any other file, does not use it.
    Write(StdFile, StdChart({"RENT2"}));
    EXPECT_EQ(Keys(TStdDescChart(Entity, {Option::Load}, 2006)), "RENT2");
    // A template that cannot be read does not block the year's own file.
    Write(FundTemplate, "not a chart");
    Entity.EntityType = QStringLiteral("SUP");
    Prompt->Answer(TMessageButton::Ignore);
    TStdDescChart fund(Entity, {Option::Load}, 2007);
    EXPECT_EQ(Prompt->Shown.size(), 1);
    fund.AddDescription("ABC", "A B Cooper");
    fund.Saved = false;
    EXPECT_EQ(fund.SaveIfModified(options), 0);
    EXPECT_EQ(Read(FundTemplate), "not a chart");
}

TEST_F(MasterChartTest, ChangeCodeRefilesTheItemAndRefusesATakenCode) {
    auto chart = Chart(2006, {"RENT2", "ABC"});
    EXPECT_EQ(chart->AddDescription("abc", "again"), -1);
    EXPECT_EQ(chart->ChangeCode(1, "RENT10"), 1);
    EXPECT_EQ(chart->ChangeCode(0, "RENT10"), -1);
    // The refused item keeps its own code, and each code still finds its own item.
    EXPECT_EQ(chart->GetItem(0)->GetKey() + "," + chart->GetItem(1)->GetKey(), "ABC,RENT10");
    EXPECT_EQ(std::tuple(chart->IndexOf("ABC"), chart->IndexOf("RENT10"), chart->IndexOf("RENT2")),
              std::tuple(0, 1, -1));
    EXPECT_EQ(chart->ChangeCode(0, " "), -1);
    EXPECT_EQ(chart->GetItem(0)->GetKey(), "ABC");
    EXPECT_EQ(chart->ChangeCode(9, "X"), -1);
    EXPECT_EQ(chart->ChangeCode(0, "ZED"), 1);
    EXPECT_EQ(Keys(*chart) + chart->GetStdDescription(1)->Abbreviation, "RENT10,ZEDZED");
    EXPECT_EQ(chart->DeleteItem(0, false)->GetKey(), "RENT10");
    EXPECT_EQ(chart->DeleteItem(0), nullptr);
    EXPECT_EQ(Keys(*chart) + chart->GetCode(-1), "");
}

// Every kind of item refuses a key that is no code of its kind and keeps its own.
TEST_F(MasterChartTest, EveryItemKindRefusesABadKey) {
    TAccountDetail account(Format());
    TBRecOpeningDetail detail(Format());
    TTaxRate rate;
    TCurrencyConvRate currency;
    TStandardDescription description;
    // The item, a good key and a bad one.
    const std::tuple<TMasterChartItem*, QString, QString> cases[] = {{&account, "01-2000-05", "01-20X0"},
                                                                     {&detail, "2000", "not a code"},
                                                                     {&rate, "GST", "  "},
                                                                     {&currency, "USD", ""},
                                                                     {&description, "ABC", " "}};
    for (const auto& [item, good, bad] : cases) {
        EXPECT_EQ(item->SetKey(good), !good.isEmpty());
        EXPECT_FALSE(item->SetKey(bad)) << bad.toStdString();
        EXPECT_EQ(item->GetKey(), good);
    }
}

TEST(ChartKeyCompare, PlainNumericAndPrefixOrders) {
    // a, b, numeric, prefix, result. Letters fold over the whole code page (0xFF and 0x9F, 0x9A
    // and 0x8A), ordinal over the folded bytes; runs of digits compare by value of any length,
    // and equal values written differently by the plain order.
    const std::tuple<const char*, const char*, bool, bool, int> cases[] = {
        {"A10", "A9", false, false, -1},       {"100", "1000", false, false, -1},
        {"A9", "A10", true, false, -1},        {"gst1", "GST1", true, false, 0},
        {"A01", "A1", true, false, -1},        {"a", "Z", false, false, -1},
        {"\u00df", "SS", false, false, 1},     {"caf\u00e9", "CAF\u00c9", false, false, 0},
        {"\u00ff", "\u0178", false, false, 0}, {"\u0161", "\u0160", false, false, 0},
        {"\u00e9", "Z", false, false, 1},      {"GST", "gst10", true, true, 0},
        {"GST10", "GST", false, true, 0},      {"GST2", "GST10", true, true, -1}};
    for (const auto& [a, b, numeric, prefix, expected] : cases)
        EXPECT_EQ(CompareKeys(QString::fromUtf8(a), QString::fromUtf8(b), numeric, prefix), expected)
            << a << " " << b << " " << numeric;
    EXPECT_EQ(CompareKeys("A99999999999999999999", "A100000000000000000000", true, false), -1);
}

// Sorting and searching need an order in which no three keys go round in a circle; the mixed
// keys include the trap A2Z, A3, A10 (each pair ordered differently by text and by number).
TEST(ChartKeyCompare, BothOrdersAreTotalOverMixedKeys) {
    for (const bool numeric : {false, true})
        for (const QString& a : MixedKeys)
            for (const QString& b : MixedKeys) {
                const int ab = CompareKeys(a, b, numeric, false);
                EXPECT_EQ(ab, -CompareKeys(b, a, numeric, false)) << a.toStdString() << b.toStdString();
                EXPECT_EQ(ab == 0, a == b) << a.toStdString() << " " << b.toStdString();
                for (const QString& c : MixedKeys)
                    EXPECT_TRUE(ab >= 0 || CompareKeys(b, c, numeric, false) >= 0 ||
                                CompareKeys(a, c, numeric, false) < 0)
                        << a.toStdString() << b.toStdString() << c.toStdString();
            }
}

TEST(MasterChartStringList, MixedKeysSortAndAreFoundAgain) {
    TMasterChartStringList list;
    Fill(list, MixedKeys, true);
    EXPECT_EQ(ListKeys(list), "99,100,1000,A,A-1,A001,A01,A1,a1b,A2Z,A3,A9Z,A10,A1000000000000,B9,B10");
    // Switching to the plain order re-sorts; every key is found in either order.
    for (const bool numeric : {true, false}) {
        list.SetNumericCompare(numeric);
        for (const QString& key : MixedKeys)
            EXPECT_EQ(list.Key(list.IndexOf(key.toLower())), key);
    }
    EXPECT_EQ(ListKeys(list), "100,1000,99,A,A-1,A001,A01,A1,A10,A1000000000000,a1b,A2Z,A3,A9Z,B10,B9");
}

// Taken keys, indexes out of range, Add and Take are checked through the chart's ChangeCode,
// AddDescription and DeleteItem.
TEST(MasterChartStringList, RekeyMovesTheItemOrOnlyChangesItsText) {
    TMasterChartStringList list;
    Fill(list, {"A1", "A2", "A3"}, true);
    TMasterChartItem* first = list.Item(0);
    EXPECT_EQ(list.Rekey(0, "A10"), 2);
    EXPECT_EQ(list.Item(2), first);
    EXPECT_EQ(list.Rekey(1, "a3"), 1); // other letters: only the text changes
    EXPECT_EQ(list.Rekey(0, "A0"), 0);
    EXPECT_EQ(ListKeys(list), "A0,a3,A10");
}
