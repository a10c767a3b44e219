#include "core/charts/StdDescChart.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <QFile>

namespace {

// Identifiers "Std Descriptions,V5.0", "ABC123", "", then the list.
const QByteArray Header =
    QByteArray::fromHex("07 15 53 74 64 20 44 65 73 63 72 69 70 74 69 6F 6E 73 2C 56 35 2E 30"
                        "07 06 41 42 43 31 32 33"
                        "07 00");
// "RENT10" = "Café rent" (é is byte E9), "ABC" = "A B Cooper", "RENT2" = "Rent 2".
const QByteArray Rent10 = QByteArray::fromHex("06 06 52 45 4E 54 31 30  06 09 43 61 66 E9 20 72 65 6E 74");
const QByteArray Abc = QByteArray::fromHex("06 03 41 42 43  06 0A 41 20 42 20 43 6F 6F 70 65 72");
const QByteArray Rent2 = QByteArray::fromHex("06 05 52 45 4E 54 32  06 06 52 65 6E 74 20 32");
const QByteArray ListBegin = QByteArray::fromHex("01");
const QByteArray ListEnd = QByteArray::fromHex("00");

} // namespace

class StdDescChartTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        Entity.FileCode = QStringLiteral("ABC123");
        Entity.EntityType = QStringLiteral("NSP");
        Entity.DataDir = Temp.path();
    }
    void WriteBytes(const QString& name, const QByteArray& bytes) const {
        QDir().mkpath(TempPath(QStringLiteral("M_DETAIL")));
        ASSERT_TRUE(WriteFileBytes(TempPath(QStringLiteral("M_DETAIL/") + name), bytes));
    }
    QByteArray ReadBytes(const QString& name) const {
        return ReadFileBytes(TempPath(QStringLiteral("M_DETAIL/") + name));
    }

    TChartEntity Entity;
};

TEST_F(StdDescChartTest, LoadsInNumberOrderAndSavesTheSameBytes) {
    WriteBytes(QStringLiteral("ABC12306.STD"), Header + ListBegin + Rent10 + Abc + Rent2 + ListEnd);
    TStdDescChart chart(Entity, {Option::Load}, 2006);
    ASSERT_EQ(chart.Count(), 3);
    EXPECT_EQ(chart.GetCode(0), QStringLiteral("ABC"));
    EXPECT_EQ(chart.GetCode(1), QStringLiteral("RENT2"));
    EXPECT_EQ(chart.GetCode(2), QStringLiteral("RENT10"));
    EXPECT_EQ(chart.GetStdDescription(2)->Description, QStringLiteral("Caf\u00e9 rent"));
    EXPECT_EQ(chart.Version, QStringLiteral("V5.0"));
    EXPECT_EQ(chart.CurrentIndex, 0);
    EXPECT_TRUE(chart.Saved);

    chart.Saved = false;
    TOptionSet options;
    ASSERT_EQ(chart.SaveToFile(options), 0);
    EXPECT_EQ(ReadBytes(QStringLiteral("ABC12306.STD")).toHex(' '),
              (Header + ListBegin + Abc + Rent2 + Rent10 + ListEnd).toHex(' '));

    // Every value the chart wrote reads back the same.
    TStdDescChart again(Entity, {Option::Load}, 2006);
    ASSERT_EQ(again.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(again.GetStdDescription(i)->Abbreviation, chart.GetStdDescription(i)->Abbreviation);
        EXPECT_EQ(again.GetStdDescription(i)->Description, chart.GetStdDescription(i)->Description);
    }
}

TEST_F(StdDescChartTest, DuplicateAbbreviationInAFileKeepsTheFirst) {
    // "ABC" twice: "A B Cooper", then "Old".
    WriteBytes(QStringLiteral("ABC12306.STD"),
               Header + ListBegin + Abc + QByteArray::fromHex("06 03 61 62 63 06 03 4F 6C 64") + ListEnd);
    TStdDescChart chart(Entity, {Option::Load}, 2006);
    ASSERT_EQ(chart.Count(), 1);
    EXPECT_EQ(chart.GetStdDescription(0)->Description, QStringLiteral("A B Cooper"));
}

TEST_F(StdDescChartTest, ExpandAbbreviationsInOnePass) {
    TStdDescChart chart(Entity, {}, 2006);
    chart.AddDescription(QStringLiteral("ABC"), QStringLiteral("A B Cooper"));
    chart.AddDescription(QStringLiteral("RENT2"), QStringLiteral("Rent of unit 2"));
    chart.AddDescription(QStringLiteral("SELF"), QStringLiteral("see ~SELF"));
    chart.AddDescription(QStringLiteral("LOOP"), QStringLiteral("~ABC and ~LOOP"));

    EXPECT_EQ(chart.ExpandAbbreviations(QStringLiteral("Paid ~ABC.")), QStringLiteral("Paid A B Cooper."));
    EXPECT_EQ(chart.ExpandAbbreviations(QStringLiteral("~abc")), QStringLiteral("A B Cooper"));
    EXPECT_EQ(chart.ExpandAbbreviations(QStringLiteral("~XYZ")), QStringLiteral("~XYZ"));
    EXPECT_EQ(chart.ExpandAbbreviations(QStringLiteral("Total ~")), QStringLiteral("Total ~"));
    EXPECT_EQ(chart.ExpandAbbreviations(QStringLiteral("~ABC,~rent2;~ABC")),
              QStringLiteral("A B Cooper,Rent of unit 2;A B Cooper"));
    // A description that names itself, or names others, is put in as it stands.
    EXPECT_EQ(chart.ExpandAbbreviations(QStringLiteral("Pay ~SELF")), QStringLiteral("Pay see ~SELF"));
    EXPECT_EQ(chart.ExpandAbbreviations(QStringLiteral("~LOOP!")), QStringLiteral("~ABC and ~LOOP!"));
    // The abbreviation runs to a word delimiter: "~ABC~" names "ABC~", which does not exist.
    EXPECT_EQ(chart.ExpandAbbreviations(QStringLiteral("~ABC~ x")), QStringLiteral("~ABC~ x"));
    // Numbers are part of the code as written: RENT02 is not RENT2.
    EXPECT_EQ(chart.ExpandAbbreviations(QStringLiteral("~RENT02")), QStringLiteral("~RENT02"));
    QString result = QStringLiteral("stale");
    chart.ExpandAbbreviations(QString(), result);
    EXPECT_TRUE(result.isEmpty());
}

TEST_F(StdDescChartTest, FundWithAnEmptyChartStartsFromTheTemplate) {
    WriteBytes(QStringLiteral("Superfund.Std"), Header + ListBegin + Abc + ListEnd);
    Entity.EntityType = QStringLiteral("SUP");
    TStdDescChart chart(Entity, {Option::Load}, 2006);
    ASSERT_EQ(chart.Count(), 1);
    EXPECT_FALSE(chart.Saved);
    EXPECT_TRUE(chart.FileNameOverride.isEmpty());

    // Saved under the year's own name; the template stays as it was.
    TOptionSet options;
    EXPECT_EQ(chart.SaveIfModified(options), 0);
    EXPECT_EQ(ReadBytes(QStringLiteral("ABC12306.STD")), Header + ListBegin + Abc + ListEnd);

    // An ordinary file, or a fund whose chart has items, does not use it.
    Entity.EntityType = QStringLiteral("NSP");
    TStdDescChart ordinary(Entity, {Option::Load}, 2007);
    EXPECT_EQ(ordinary.Count(), 0);
    EXPECT_TRUE(ordinary.Saved);
}

TEST_F(StdDescChartTest, UnreadableTemplateDoesNotBlockTheYearsFile) {
    WriteBytes(QStringLiteral("Superfund.Std"), QByteArray("not a chart"));
    Entity.EntityType = QStringLiteral("sup");
    Prompt->Answer(TMessageButton::Ignore);
    TStdDescChart chart(Entity, {Option::Load}, 2006);
    EXPECT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(chart.Count(), 0);
    EXPECT_FALSE(chart.IsSaveBlocked());
    chart.AddDescription(QStringLiteral("ABC"), QStringLiteral("A B Cooper"));
    chart.Saved = false;
    TOptionSet options;
    EXPECT_EQ(chart.SaveIfModified(options), 0);
    EXPECT_EQ(ReadBytes(QStringLiteral("Superfund.Std")), QByteArray("not a chart"));
}
