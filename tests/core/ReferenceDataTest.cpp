#include "core/reference/ReferenceData.h"
#include "core/services/Services.h"

#include "core/accounts/AccountFormat.h"
#include "core/common/Exceptions.h"
#include "core/common/RegionalSettings.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QFile>
#include <QLocale>
#include <QRandomGenerator>

namespace {

const QString ShippedFile = QStringLiteral(QUILVANE_SHARE_DIR "/Quilvane.DAT");
const QString FormatsError = QStringLiteral("Error reading account formats in Quilvane.dat");

QByteArray Golden(const char* name) {
    return TestData((QByteArray("reference/") + name).constData());
}

QString GroupText(const TAccountGroup* g) {
    const auto code = [](const TAccountCode& c) {
        return QStringLiteral("%1,%2,%3,%4").arg(c.Branch).arg(c.Division).arg(c.Account).arg(c.SubAccount);
    };
    return g ? g->Description + ' ' + code(g->FromCode()) + " to " + code(g->ToCode()) : "-";
}

// Every table and the date formats as text, a row a line, to compare with a golden file.
std::string Dump(const TReferenceData& d) {
    const TRegionalSettings& r = TServices::Regional();
    const auto join = [](const QStringList& fields) { return fields.join('|'); };
    QStringList out{"release " + d.Release, "default country " + QString::number(d.DefaultCountryIndex)};
    out << "dates " + join({r.ShortDateFormat, r.LongDateFormat, r.LongTimeFormat, r.DateSeparator});
    out << "formats " +
               join({r.ReportDateFormat, r.NarrativeDateFormat, d.ReportDateFormat, d.NarrativeDateFormat});
    out << "reasons " + join({d.FBTVariationReasons.join(','), d.InstalmentVariationReasons.join(','),
                              d.GSTVariationReasons.join(',')});
    out << "valid " + join({d.FBTValidReasonsOld, d.FBTValidReasonsNew, d.InstalmentValidReasonsOld,
                            d.InstalmentValidReasonsNew});
    out << "filter " + join(d.BankImportDescriptionFilter);
    const auto rows = [&out](const char* name, const auto& list, const auto& text) {
        for (int i = 0; i < list.Count(); ++i)
            out << name + (' ' + list.Code(i)) + '=' + text(*list.Row(i));
    };
    const auto description = [](const auto& row) { return row.Description; };
    rows("entity type", d.EntityTypes, description);
    rows("currency", d.Currencies, [](const TCurrency& row) {
        return row.Description + '|' + QString::number(row.Number) + '|' + QString::number(row.Rate);
    });
    rows("bank", d.Banks, [](const TBank& row) { return row.Name + '|' + row.Details; });
    rows("account type", d.AccountTypes,
         [](const TAccountType& t) { return t.Description + '|' + QString::number(t.Flag); });
    rows("sign", d.AccountSigns, description);
    rows("range type", d.AccountRangeTypes, description);
    rows("country", d.Countries, description);
    for (int i = 0; i < d.AccountFormats.Count(); ++i) {
        const TAccountFormat& f = *d.AccountFormats.Row(i);
        out << "format " + d.AccountFormats.Code(i) + '=' +
                   join({f.BaseName, f.Mask, f.KeyOrderText, f.Description, f.TessalyID, f.TessalyMap});
        for (int g = 0; g < f.Ranges.Count(); ++g)
            out << "  range " + f.Ranges.GetKey(g) + '=' + GroupText(f.Ranges.GetGroup(g));
        out << "  member " + GroupText(f.MemberRange.get()) + ' ' + GroupText(f.MemberSubRange.get());
        for (const QString& type : d.EntityTypes.Codes())
            out << "  retained " + type + '=' + f.GetRetainedProfitAccount(type);
    }
    return (out.join('\n') + '\n').toStdString();
}

class ReferenceDataTest : public TServicesFixture {
protected:
    // Loads the bytes as a file and returns the message of the failure, empty when it loaded.
    QString LoadText(const QByteArray& bytes, const QString& name = QStringLiteral("Quilvane.DAT")) {
        EXPECT_TRUE(WriteFileBytes(TempPath(name), bytes));
        try {
            Data.Load(TempPath(QStringLiteral("Quilvane.DAT")));
        } catch (const EQuilvaneError& error) {
            return error.message();
        }
        return {};
    }
    // Loads the richer golden file; its one range outside a format's "ALL" range is reported.
    void LoadRich() {
        Prompt->Answer(TMessageButton::OK);
        ASSERT_EQ(LoadText(Golden("rich.dat")), "");
    }

    TReferenceData Data;
};

} // namespace

// The shipped file: every format defines every range type, and the file is Windows text.
TEST_F(ReferenceDataTest, ShippedFileLoadsWithoutAMessageAndItsFormatsAreComplete) {
    ASSERT_NO_THROW(Data.Load(ShippedFile));
    EXPECT_TRUE(Prompt->Shown.isEmpty()) << Prompt->Texts().join('\n').toStdString();
    EXPECT_EQ(Data.Countries.Code(Data.DefaultCountryIndex), "AUS");
    for (int f = 0; f < Data.AccountFormats.Count(); ++f)
        EXPECT_EQ(Data.AccountFormats.Row(f)->Ranges.Count(), Data.AccountRangeTypes.Count());
    const QByteArray bytes = ReadFileBytes(ShippedFile);
    EXPECT_TRUE(bytes.endsWith("\r\n") && bytes.count('\n') == bytes.count("\r\n") &&
                bytes.count('\r') == bytes.count("\r\n"));
}

// The second file shares no row with the first: loading it leaves nothing of the first.
TEST_F(ReferenceDataTest, EverySectionFillsItsTableAndAnotherFileReplacesThemAll) {
    LoadRich();
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_TRUE(Prompt->Shown[0].Text.contains("Accounts must be in the range 0 to 5999"))
        << Prompt->Shown[0].Text.toStdString();
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Error});
    EXPECT_EQ(Dump(Data), Golden("rich.expected.txt").toStdString());
    ASSERT_EQ(LoadText(Golden("minimal.dat")), "");
    EXPECT_EQ(Dump(Data), Golden("minimal.expected.txt").toStdString());
    // The file is found whatever the case of its name.
    QFile::remove(TempPath("Quilvane.DAT"));
    Prompt->Answer(TMessageButton::OK);
    ASSERT_EQ(LoadText(Golden("rich.dat"), "QUILVANE.DAT"), "");
    EXPECT_EQ(Dump(Data), Golden("rich.expected.txt").toStdString());
    EXPECT_EQ(Data.FindAccountFormat("std"), Data.AccountFormats.Row(1));
    EXPECT_EQ(Data.FindAccountFormat("NOPE"), nullptr);
    EXPECT_EQ(QStringList({Data.GetEntityTypeName("sup"), Data.GetEntityTypeName("XYZ")}),
              QStringList({"Superannuation Fund", ""}));
    EXPECT_EQ(QList<bool>({Data.GetAccountTypeFlag("anp"), Data.GetAccountTypeFlag("ACC"),
                           Data.GetAccountTypeFlag("XYZ")}),
              QList<bool>({true, false, false}));
    const std::pair<const char*, const char*> ids[] = {
        {"WP7", "FOUR"}, {"WP8", "<Unknown>"}, {"wp7", "<Unknown>"}, {"", "STD"}};
    for (const auto& [id, code] : ids)
        EXPECT_EQ(Data.GetAccountFormatCodeByTessalyID(id), code) << id;
}

// Whatever the damage, a failed load leaves every table, the date formats and the file's date
// as they were.
TEST_F(ReferenceDataTest, DamagedFilesFailTheLoadAndLeaveEverythingAsItWas) {
    LoadRich();
    const QDateTime loadedAt = Data.DataFileDate;
    const QByteArray types =
        "[ACCOUNT RANGE TYPES]\r\nALL=ALL\r\nBSH=Balance Sheet\r\n[ACCOUNT FORMATS]\r\nSTD=STD,AAAA\r\n";
    // clang-format off
    const std::pair<QByteArray, QString> cases[] = {
        {types + "[STD]\r\nALL=0000 to 9999\r\n", FormatsError}, // a range type missing
        {types + "[STD]\r\nALL=0000 to 9999\r\nBSH=\r\n", FormatsError}, {types, FormatsError},
        {Golden("minimal.dat") + "[REGIONAL]\r\nShortDateFmt=YYYY\r\n[CURRENCY]\r\nEUR=Euro,978,six",
         "'six' is not a valid floating point value (currency \"EUR\" in " + TempPath("Quilvane.DAT") + ")"}};
    // clang-format on
    for (const auto& [bytes, message] : cases) {
        EXPECT_EQ(LoadText(bytes), message);
        EXPECT_EQ(Dump(Data), Golden("rich.expected.txt").toStdString());
    }
    EXPECT_EQ(Data.DataFileDate, loadedAt);
    const QString missing = TempPath("nowhere/Quilvane.DAT");
    try {
        Data.Load(missing);
        ADD_FAILURE() << "a missing file loaded";
    } catch (const EQuilvaneError& error) {
        EXPECT_EQ(error.message(), "Unable to read " + missing);
    }
    EXPECT_EQ(Dump(Data), Golden("rich.expected.txt").toStdString());
}

// Every client file is kept in one of the file's account formats: a file that defines none (cut
// short, overwritten, its formats removed) fails the load naming the file, and leaves the tables
// in use as they were.
TEST_F(ReferenceDataTest, AFileWithoutAccountFormatsFailsTheLoadNamingTheFile) {
    LoadRich();
    const QByteArray shipped = ReadFileBytes(ShippedFile);
    const qsizetype formats = shipped.indexOf("[ACCOUNT FORMATS]");
    const qsizetype formatsEnd = shipped.indexOf("\r\n\r\n", formats) + 4;
    ASSERT_TRUE(formats > 0 && formatsEnd > formats);
    QByteArray noise(4096, '\0');
    QRandomGenerator random(20240315);
    for (char& byte : noise)
        byte = static_cast<char>(random.bounded(256));
    const QString message = FormatsError + " (" + TempPath("Quilvane.DAT") + " defines no account format)";
    // clang-format off
    const std::pair<const char*, QByteArray> cases[] = {
        {"cut short before its formats", shipped.left(formats + 10)},
        {"cut in half", shipped.left(shipped.size() / 2)},
        {"random bytes", noise}, {"empty", QByteArray()},
        {"formats removed", shipped.left(formats) + shipped.mid(formatsEnd)},
        {"formats section empty", shipped.left(formats) + "[ACCOUNT FORMATS]\r\n\r\n" + shipped.mid(formatsEnd)}};
    // clang-format on
    for (const auto& [what, bytes] : cases) {
        EXPECT_EQ(LoadText(bytes), message) << what;
        EXPECT_EQ(Dump(Data), Golden("rich.expected.txt").toStdString()) << what;
    }
}

// An "ALL" range that does not parse is no failure: such a text adds nothing.
TEST_F(ReferenceDataTest, FilesAndRowsThatParseOnlyInPartStillLoad) {
    ASSERT_EQ(
        LoadText(
            "[ACCOUNT RANGE TYPES]\r\nALL=ALL\r\nBSH=Balance Sheet\r\n[ACCOUNT FORMATS]\r\nSTD=STD,AAAA\r\n"
            "[STD]\r\nALL=ALL\r\nBSH=0000 to 9999\r\n"),
        "");
    EXPECT_EQ(Data.FindAccountFormat("STD")->AllRange(), nullptr);
    EXPECT_EQ(Data.FindAccountFormat("STD")->Ranges.GetKey(0), "BSH");
    // The default country wherever its key stands.
    const std::pair<const char*, int> cases[] = {
        {"DEFAULTCOUNTRY=NZL\r\nAUS=Australia\r\nNZL=New Zealand\r\nFJI=Fiji\r\n", 2},
        {"AUS=Australia\r\nNZL=New Zealand\r\nFJI=Fiji\r\ndefaultcountry=nzl\r\n", 2},
        {"AUS=Australia\r\nDEFAULTCOUNTRY=XYZ\r\n", -1},
        {"AUS=Australia\r\n", -1}};
    for (const auto& [rows, index] : cases) {
        ASSERT_EQ(LoadText(Golden("minimal.dat") + "[COUNTRIES]\r\n" + rows), "") << rows;
        EXPECT_EQ(Data.DefaultCountryIndex, index) << rows;
        EXPECT_FALSE(Data.Countries.Contains("DEFAULTCOUNTRY"));
    }
    // Currency and account-type rows beyond those of the golden files.
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(TCurrency::FromValue("US Dollar,840,0.65").Rate, 0.65);
    QLocale::setDefault(previous);
    for (const char* value : {"Euro,978,abc", "Euro,978", "Euro,978,inf", "Euro,978,1,2,3"})
        EXPECT_THROW(TCurrency::FromValue(value), EQuilvaneError) << value;
    // clang-format off
    const std::pair<const char*, bool> flags[] = {{"Non-Posting,N", true}, {"Non-Posting, N ", true},
        {"Ordinary,Y", false}, {"Ordinary", false}, {"Ordinary,NO", false}, {"Ordinary,n", false}};
    // clang-format on
    for (const auto& [value, flag] : flags)
        EXPECT_EQ(TAccountType::FromValue(value).Flag, flag) << value;
}
