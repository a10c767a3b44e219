#include "core/charts/StdDescChart.h"

#include "tests/core/ChartTestSupport.h"

namespace {

const QString StdFile = QStringLiteral("M_DETAIL/ABC12306.STD");

QByteArray StdChart(const QStringList& items) {
    return StoredChart(QStringLiteral("std"), QStringLiteral("header"), items);
}

using StdDescChartTest = TChartTest;

} // namespace

TEST_F(StdDescChartTest, LoadsInNumberOrderAndSavesTheSameBytes) {
    Write(StdFile, StdChart({"RENT10", "ABC", "RENT2", "abc-old"}));
    TStdDescChart chart(Entity, {Option::Load}, 2006);
    ASSERT_EQ(chart.Count(), 3); // the second "ABC" is dropped
    EXPECT_EQ(QStringList({chart.GetCode(0), chart.GetCode(1), chart.GetCode(2)}),
              QStringList({"ABC", "RENT2", "RENT10"}));
    EXPECT_EQ(chart.GetStdDescription(0)->Description, QStringLiteral("A B Cooper"));
    EXPECT_EQ(chart.GetStdDescription(2)->Description, QStringLiteral("Caf\u00e9 rent"));
    EXPECT_EQ(chart.Version, QStringLiteral("V5.0"));
    EXPECT_EQ(chart.CurrentIndex, 0);
    EXPECT_TRUE(chart.Saved);
    TOptionSet options;
    ASSERT_EQ(chart.SaveToFile(options), 0);
    EXPECT_EQ(Read(StdFile).toHex(' '), StdChart({"ABC", "RENT2", "RENT10"}).toHex(' '));
}

TEST_F(StdDescChartTest, ExpandAbbreviationsInOnePass) {
    TStdDescChart chart(Entity, {}, 2006);
    chart.AddDescription(QStringLiteral("ABC"), QStringLiteral("A B Cooper"));
    chart.AddDescription(QStringLiteral("RENT2"), QStringLiteral("Rent of unit 2"));
    chart.AddDescription(QStringLiteral("SELF"), QStringLiteral("see ~SELF"));
    chart.AddDescription(QStringLiteral("LOOP"), QStringLiteral("~ABC and ~LOOP"));
    const struct {
        const char* Text;
        const char* Expanded;
    } cases[] = {
        {"Paid ~ABC.", "Paid A B Cooper."},
        {"~abc", "A B Cooper"},
        {"~XYZ", "~XYZ"},
        {"Total ~", "Total ~"},
        {"~ABC,~rent2;~ABC", "A B Cooper,Rent of unit 2;A B Cooper"},
        // A description that names itself, or names others, is put in as it stands.
        {"Pay ~SELF", "Pay see ~SELF"},
        {"~LOOP!", "~ABC and ~LOOP!"},
        // The abbreviation runs to a word delimiter: "~ABC~" names "ABC~", which does not exist.
        {"~ABC~ x", "~ABC~ x"},
        {"~AB", "~AB"},
        // Numbers are part of the code as written: RENT02 is not RENT2.
        {"~RENT02", "~RENT02"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(chart.ExpandAbbreviations(c.Text), c.Expanded) << c.Text;
    QString result = QStringLiteral("stale");
    chart.ExpandAbbreviations(QString(), result);
    EXPECT_TRUE(result.isEmpty());
}

TEST_F(StdDescChartTest, FundWithAnEmptyChartStartsFromTheTemplate) {
    Write(QStringLiteral("M_DETAIL/Superfund.Std"), StdChart({"ABC"}));
    Entity.EntityType = QStringLiteral("sup");
    TStdDescChart chart(Entity, {Option::Load}, 2006);
    ASSERT_EQ(chart.Count(), 1);
    EXPECT_FALSE(chart.Saved);
    EXPECT_TRUE(chart.FileNameOverride.isEmpty());
    // Saved under the year's own name; the template stays as it was.
    TOptionSet options;
    EXPECT_EQ(chart.SaveIfModified(options), 0);
    EXPECT_EQ(Read(StdFile), StdChart({"ABC"}));

    // An ordinary file, or a fund whose chart has items, does not use it.
    Write(StdFile, StdChart({"RENT2"}));
    EXPECT_EQ(TStdDescChart(Entity, {Option::Load}, 2006).GetCode(0), QStringLiteral("RENT2"));
    Entity.EntityType = QStringLiteral("NSP");
    EXPECT_EQ(TStdDescChart(Entity, {Option::Load}, 2007).Count(), 0);
}

TEST_F(StdDescChartTest, UnreadableTemplateDoesNotBlockTheYearsFile) {
    Write(QStringLiteral("M_DETAIL/Superfund.Std"), QByteArray("not a chart"));
    Entity.EntityType = QStringLiteral("SUP");
    Prompt->Answer(TMessageButton::Ignore);
    TStdDescChart chart(Entity, {Option::Load}, 2006);
    EXPECT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(chart.Count(), 0);
    EXPECT_FALSE(chart.IsSaveBlocked());
    chart.AddDescription(QStringLiteral("ABC"), QStringLiteral("A B Cooper"));
    chart.Saved = false;
    TOptionSet options;
    EXPECT_EQ(chart.SaveIfModified(options), 0);
    EXPECT_EQ(Read(QStringLiteral("M_DETAIL/Superfund.Std")), QByteArray("not a chart"));
}
