#include "core/reference/ReferenceData.h"

#include "core/accounts/AccountFormat.h"
#include "core/common/RegionalSettings.h"
#include "core/common/Exceptions.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

const QString ShippedFile = QStringLiteral(QUILVANE_SHARE_DIR "/Quilvane.DAT");

// The smallest file that loads: one format with the range types it must define.
const char* const MinimalSections = "[ACCOUNT RANGE TYPES]\r\n"
                                    "ALL=ALL\r\n"
                                    "BSH=Balance Sheet\r\n"
                                    "[ACCOUNT FORMATS]\r\n"
                                    "STD=STD,BB-AAAA-SS,,Standard\r\n"
                                    "[STD]\r\n"
                                    "ALL=00-0000-00 to 99-9999-99\r\n"
                                    "BSH=00-2000-00 to 99-4999-99\r\n";

QByteArray WithMinimal(const QByteArray& more) {
    return QByteArray(MinimalSections) + more;
}

class ReferenceDataTest : public TServicesFixture {
protected:
    void TearDown() override {
        TRegionalSettings::Program().Reset();
        TServicesFixture::TearDown();
    }

    QString WriteDat(const QByteArray& bytes, const QString& name = QStringLiteral("Quilvane.DAT")) {
        const QString path = TempPath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // Loads the bytes as a file and returns the message of the failure, empty when it loaded.
    QString LoadText(const QByteArray& bytes) {
        try {
            Data.Load(WriteDat(bytes));
        } catch (const EQuilvaneError& error) {
            return error.message();
        }
        return {};
    }

    TReferenceData Data;
};

TEST_F(ReferenceDataTest, ShippedFileLoadsWithoutAnyMessage) {
    ASSERT_NO_THROW(Data.Load(ShippedFile));
    EXPECT_TRUE(Prompt->Shown.isEmpty()) << Prompt->Texts().join('\n').toStdString();
    EXPECT_FALSE(Data.Release.isEmpty());
    EXPECT_TRUE(Data.DataFileDate.isValid());

    EXPECT_FALSE(Data.GetEntityTypeName("NSP").isEmpty());
    EXPECT_FALSE(Data.GetEntityTypeName("SUP").isEmpty());
    ASSERT_NE(Data.Currencies.Find("AUD"), nullptr);
    EXPECT_DOUBLE_EQ(Data.Currencies.Find("AUD")->Rate, 1.0);
    ASSERT_GE(Data.DefaultCountryIndex, 0);
    EXPECT_EQ(Data.Countries.Code(Data.DefaultCountryIndex), "AUS");
    EXPECT_EQ(Data.Countries.Row(Data.DefaultCountryIndex)->Description, "Australia");
    EXPECT_FALSE(Data.Countries.Contains("DEFAULTCOUNTRY"));
    EXPECT_GE(Data.Banks.Count(), 3);

    for (const char* type : {"BNK", "SUS", "BSH", "PRL", "CTL", "ACC", "ANP", "BAL"})
        EXPECT_TRUE(Data.AccountTypes.Contains(type)) << type;
    EXPECT_TRUE(Data.GetAccountTypeFlag("ANP"));
    EXPECT_FALSE(Data.GetAccountTypeFlag("ACC"));
    EXPECT_FALSE(Data.GetAccountTypeFlag("BNK"));
    EXPECT_EQ(Data.AccountSigns.Codes(), (QStringList{"CR", "DR"}));
    EXPECT_TRUE(Data.AccountRangeTypes.Contains("ALL"));

    EXPECT_FALSE(Data.FBTVariationReasons.isEmpty());
    EXPECT_FALSE(Data.GSTVariationReasons.isEmpty());
    EXPECT_FALSE(Data.InstalmentVariationReasons.isEmpty());
    EXPECT_FALSE(Data.FBTValidReasonsNew.isEmpty());
    EXPECT_FALSE(Data.InstalmentValidReasonsOld.isEmpty());
    EXPECT_FALSE(Data.BankImportDescriptionFilter.isEmpty());
    EXPECT_EQ(Data.ReportDateFormat, "DD/MM/YYYY");
    EXPECT_EQ(TRegionalSettings::Program().ShortDateFormat, "DD/MM/YY");
}

TEST_F(ReferenceDataTest, ShippedFormatsDefineEveryRangeAndAUsableRetainedProfitAccount) {
    ASSERT_NO_THROW(Data.Load(ShippedFile));
    const TAccountFormat* format = Data.FindAccountFormat("QUILVANE");
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->Mask, "BB-AAAA-SS");
    for (int f = 0; f < Data.AccountFormats.Count(); ++f) {
        const TAccountFormat* each = Data.AccountFormats.Row(f);
        ASSERT_NE(each->AllRange(), nullptr) << Data.AccountFormats.Code(f).toStdString();
        for (const QString& rangeType : Data.AccountRangeTypes.Codes())
            EXPECT_GE(each->IndexOfRangeType(rangeType), 0) << rangeType.toStdString();
        const int balanceSheet = each->IndexOfRangeType("BSH");
        for (const QString& entityType : Data.EntityTypes.Codes()) {
            TAccountCode code;
            const QString text = each->GetRetainedProfitAccount(entityType);
            ASSERT_TRUE(each->TextToCode(text, code, false, false)) << text.toStdString();
            EXPECT_TRUE(each->Ranges.GroupContains(code, balanceSheet)) << text.toStdString();
        }
        EXPECT_EQ(Data.GetAccountFormatCodeByTessalyID(each->TessalyID), Data.AccountFormats.Code(f));
    }
    // Ranges hold an account with or without branch and sub-account, up to their edges.
    const auto inRange = [format](const char* text, const char* rangeType) {
        TAccountCode code;
        EXPECT_TRUE(format->TextToCode(text, code, false, false)) << text;
        return format->Ranges.GroupContains(code, format->IndexOfRangeType(rangeType));
    };
    EXPECT_TRUE(inRange("01-2010-00", "BNK"));
    EXPECT_FALSE(inRange("01-2010-00", "PRL"));
    EXPECT_TRUE(inRange("2000", "BNK"));
    EXPECT_TRUE(inRange("2000", "BSH"));
    EXPECT_FALSE(inRange("1999", "BSH"));
    EXPECT_TRUE(inRange("99-1999-99", "PRL"));
    EXPECT_TRUE(inRange("0100", "PRL"));
    EXPECT_FALSE(inRange("0099", "PRL"));
    EXPECT_TRUE(inRange("05-9000-01", "SUS"));
    ASSERT_NE(format->MemberRange, nullptr);
    EXPECT_EQ(format->MemberRange->Description, "Member Range");
    ASSERT_NE(format->MemberSubRange, nullptr);
    EXPECT_EQ(format->MemberSubRange->Description, "Member SubRange");
}

TEST_F(ReferenceDataTest, ShippedFileIsWindowsTextWithCrLfLineEnds) {
    QFile file(ShippedFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.endsWith("\r\n"));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare line feed at byte " << i;
        }
        if (bytes[i] == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "bare carriage return at byte " << i;
        }
    }
}

TEST_F(ReferenceDataTest, MissingFileCannotBeRead) {
    const QString path = TempPath("nowhere/Quilvane.DAT");
    try {
        Data.Load(path);
        FAIL() << "a missing file loaded";
    } catch (const EQuilvaneError& error) {
        EXPECT_EQ(error.message(), "Unable to read " + path);
    }
}

TEST_F(ReferenceDataTest, FileNameIsFoundWhateverItsCase) {
    WriteDat(WithMinimal(""), "QUILVANE.DAT");
    EXPECT_NO_THROW(Data.Load(TempPath("Quilvane.DAT")));
    EXPECT_NE(Data.FindAccountFormat("STD"), nullptr);
}

TEST_F(ReferenceDataTest, DefaultCountryIsFoundWhereverTheKeyStands) {
    // Key before the rows, between rows (with later rows sorting before it), and after them.
    const char* const layouts[] = {
        "[COUNTRIES]\r\nDEFAULTCOUNTRY=NZL\r\nAUS=Australia\r\nNZL=New Zealand\r\nFJI=Fiji\r\n",
        "[COUNTRIES]\r\nNZL=New Zealand\r\nDEFAULTCOUNTRY=NZL\r\nAUS=Australia\r\nFJI=Fiji\r\n",
        "[COUNTRIES]\r\nAUS=Australia\r\nNZL=New Zealand\r\nFJI=Fiji\r\ndefaultcountry=nzl\r\n",
    };
    for (const char* layout : layouts) {
        ASSERT_EQ(LoadText(WithMinimal(layout)), "") << layout;
        ASSERT_EQ(Data.Countries.Count(), 3) << layout;
        EXPECT_EQ(Data.DefaultCountryIndex, 2) << layout;
        EXPECT_EQ(Data.Countries.Row(Data.DefaultCountryIndex)->Description, "New Zealand") << layout;
    }
}

TEST_F(ReferenceDataTest, DefaultCountryThatIsNotListedGivesNoIndex) {
    ASSERT_EQ(LoadText(WithMinimal("[COUNTRIES]\r\nAUS=Australia\r\nDEFAULTCOUNTRY=XYZ\r\n")), "");
    EXPECT_EQ(Data.DefaultCountryIndex, -1);
    ASSERT_EQ(LoadText(WithMinimal("[COUNTRIES]\r\nAUS=Australia\r\n")), "");
    EXPECT_EQ(Data.DefaultCountryIndex, -1);
}

TEST_F(ReferenceDataTest, AccountFormatRowsSplitIntoTheirFields) {
    ASSERT_EQ(LoadText(QByteArray("[ACCOUNT RANGE TYPES]\r\nALL=ALL\r\n"
                                  "[ACCOUNT FORMATS]\r\n"
                                  "THREE=BASE3,BB_AAAA,AB\r\n"
                                  "FOUR=BASE4,AAAA-SS,,Four, with a comma\r\n"
                                  "[THREE]\r\nALL=00 0000 to 99 9999\r\n"
                                  "[FOUR]\r\nALL=0000-00 to 9999-99\r\n")),
              "");
    const TAccountFormat* three = Data.FindAccountFormat("three");
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(three->Description, "BASE3");
    EXPECT_EQ(three->BaseName, "BASE3");
    EXPECT_EQ(three->Mask, "BB AAAA");
    EXPECT_EQ(three->KeyOrderText, "AB");
    EXPECT_NE(three->AllRange(), nullptr);
    const TAccountFormat* four = Data.FindAccountFormat("FOUR");
    ASSERT_NE(four, nullptr);
    EXPECT_EQ(four->Description, "Four, with a comma");
}

TEST_F(ReferenceDataTest, FormatSectionMissingARangeTypeFailsTheWholeLoad) {
    const QString expected = "Error reading account formats in Quilvane.dat";
    // A range key missing, a range key left empty, a format without its section.
    EXPECT_EQ(LoadText("[ACCOUNT RANGE TYPES]\r\nALL=ALL\r\nBSH=Balance Sheet\r\n"
                       "[ACCOUNT FORMATS]\r\nSTD=STD,AAAA\r\n[STD]\r\nALL=0000 to 9999\r\n"),
              expected);
    EXPECT_EQ(LoadText("[ACCOUNT RANGE TYPES]\r\nALL=ALL\r\nBSH=Balance Sheet\r\n"
                       "[ACCOUNT FORMATS]\r\nSTD=STD,AAAA\r\n[STD]\r\nALL=0000 to 9999\r\nBSH=\r\n"),
              expected);
    EXPECT_EQ(LoadText("[ACCOUNT RANGE TYPES]\r\nALL=ALL\r\n[ACCOUNT FORMATS]\r\nSTD=STD,AAAA\r\n"),
              expected);
    EXPECT_TRUE(Data.AccountFormats.IsEmpty());
}

TEST_F(ReferenceDataTest, FileWithoutAnyAccountFormatIsRefused) {
    const QString expected = "Error reading account formats in Quilvane.dat";
    EXPECT_EQ(LoadText(""), expected);
    EXPECT_EQ(LoadText("[VERSION]\r\nRELEASE=1\r\n"), expected);
    EXPECT_EQ(LoadText(QByteArray("\x00\xff\xfe[\x01=\x80\r\n\n\r]]==", 16)), expected);
}

TEST_F(ReferenceDataTest, FailedLoadLeavesTablesAndDateFormatsAsTheyWere) {
    ASSERT_NO_THROW(Data.Load(ShippedFile));
    const int currencies = Data.Currencies.Count();
    const QDateTime loadedAt = Data.DataFileDate;
    const QString bad = "[REGIONAL]\r\nShortDateFmt=YYYY-MM-DD\r\n[CURRENCY]\r\nXXX=Broken,1,x\r\n";
    EXPECT_FALSE(LoadText(WithMinimal(bad.toLatin1())).isEmpty());
    EXPECT_EQ(Data.Currencies.Count(), currencies);
    EXPECT_NE(Data.FindAccountFormat("QUILVANE"), nullptr);
    EXPECT_EQ(Data.DataFileDate, loadedAt);
    EXPECT_EQ(TRegionalSettings::Program().ShortDateFormat, "DD/MM/YY");
}

TEST_F(ReferenceDataTest, AllRangeIsKeptWhenItsTypeIsDescribedAll) {
    ASSERT_EQ(LoadText(WithMinimal("")), "");
    const TAccountFormat* format = Data.FindAccountFormat("STD");
    ASSERT_NE(format, nullptr);
    const TAccountGroup* all = format->AllRange();
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(all->Description, "ALL");
    EXPECT_EQ(all->FromCode(), (TAccountCode{0, -1, 0, 0}));
    EXPECT_EQ(all->ToCode(), (TAccountCode{99, -1, 9999, 99}));
    TAccountCode code;
    EXPECT_FALSE(format->TextToCode("100-0001-00", code, false, false));
}

TEST_F(ReferenceDataTest, AllRangeThatDoesNotParseFailsTheLoad) {
    EXPECT_EQ(
        LoadText(
            "[ACCOUNT RANGE TYPES]\r\nALL=ALL\r\n[ACCOUNT FORMATS]\r\nSTD=STD,AAAA\r\n[STD]\r\nALL=ALL\r\n"),
        "Error reading account formats in Quilvane.dat");
}

TEST_F(ReferenceDataTest, RangesAreCheckedAgainstAllEvenWhenTheirCodeSortsBeforeIt) {
    // "ACC" sorts before "ALL"; its range lies outside the format's "ALL" range.
    Prompt->Answer(TMessageButton::OK);
    ASSERT_EQ(LoadText("[ACCOUNT RANGE TYPES]\r\nACC=Ordinary\r\nALL=ALL\r\n"
                       "[ACCOUNT FORMATS]\r\nSTD=STD,AAAA\r\n"
                       "[STD]\r\nACC=0100 to 7000\r\nALL=0000 to 5999\r\n"),
              "");
    ASSERT_EQ(Prompt->Shown.size(), 1);
    EXPECT_EQ(Prompt->Shown[0].Kind, TMessageKind::Error);
    EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Error});
    EXPECT_TRUE(Prompt->Shown[0].Text.contains("Accounts must be in the range 0 to 5999"))
        << Prompt->Shown[0].Text.toStdString();
    const TAccountFormat* format = Data.FindAccountFormat("STD");
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->IndexOfRangeType("ACC"), -1);
    EXPECT_NE(format->AllRange(), nullptr);
}

TEST_F(ReferenceDataTest, ListsIgnoreDuplicateCodesWithoutRegardToCase) {
    ASSERT_EQ(LoadText(WithMinimal("[CURRENCY]\r\naud=First Dollar,36,1.0\r\nAUD=Second Dollar,36,2.0\r\n"
                                   "[ENTITY TYPES]\r\nSUP=Superannuation Fund\r\nsup=Other\r\n"
                                   "[ACCOUNT FORMATS]\r\nstd=OTHER,AAAA\r\n")),
              "");
    ASSERT_EQ(Data.Currencies.Count(), 1);
    EXPECT_EQ(Data.Currencies.Find("Aud")->Description, "First Dollar");
    EXPECT_EQ(Data.GetEntityTypeName("sup"), "Superannuation Fund");
    ASSERT_EQ(Data.AccountFormats.Count(), 1);
    EXPECT_EQ(Data.FindAccountFormat("STD")->BaseName, "STD");
}

TEST_F(ReferenceDataTest, ReasonListsKeepFileOrder) {
    ASSERT_EQ(LoadText(WithMinimal(
                  "[GST VARIATION REASONS]\r\n9=nine\r\n10=ten\r\n1=one\r\n"
                  "[FBT VARIATION REASONS]\r\nZ=last\r\nA=first\r\n"
                  "[INSTALMENT VARIATION REASONS]\r\nb=2\r\na=1\r\n"
                  "[FBT VALID REASONS]\r\nOLD=21,22\r\nNEW=21,22,23\r\n"
                  "[INSTALMENT VALID REASONS]\r\nold=24\r\nnew=24,25\r\n"
                  "[BANK IMPORT DESCRIPTION FILTER]\r\nVISA PURCHASE=VISA\r\nDIRECT DEBIT=DD\r\n")),
              "");
    EXPECT_EQ(Data.GSTVariationReasons, (QStringList{"nine", "ten", "one"}));
    EXPECT_EQ(Data.FBTVariationReasons, (QStringList{"last", "first"}));
    EXPECT_EQ(Data.InstalmentVariationReasons, (QStringList{"2", "1"}));
    EXPECT_EQ(Data.FBTValidReasonsOld, "21,22");
    EXPECT_EQ(Data.FBTValidReasonsNew, "21,22,23");
    EXPECT_EQ(Data.InstalmentValidReasonsOld, "24");
    EXPECT_EQ(Data.InstalmentValidReasonsNew, "24,25");
    EXPECT_EQ(Data.BankImportDescriptionFilter, (QStringList{"VISA PURCHASE=VISA", "DIRECT DEBIT=DD"}));
}

TEST_F(ReferenceDataTest, LoadingAgainStartsFromEmptyTables) {
    const QByteArray bytes =
        WithMinimal("[GST VARIATION REASONS]\r\n1=one\r\n[COUNTRIES]\r\nAUS=Australia\r\n");
    ASSERT_EQ(LoadText(bytes), "");
    ASSERT_EQ(LoadText(bytes), "");
    EXPECT_EQ(Data.GSTVariationReasons, QStringList{"one"});
    EXPECT_EQ(Data.Countries.Count(), 1);
}

TEST_F(ReferenceDataTest, RegionalFormatsTakeTheirDefaults) {
    ASSERT_EQ(LoadText(WithMinimal("")), "");
    const TRegionalSettings& regional = TRegionalSettings::Program();
    EXPECT_EQ(regional.ShortDateFormat, "DD/MM/YY");
    EXPECT_EQ(regional.LongDateFormat, "DD/MM/YYYY");
    EXPECT_EQ(regional.LongTimeFormat, "ddd d mmmm yyyy \"at\" t");
    EXPECT_EQ(regional.DateSeparator, QChar('/'));
    EXPECT_EQ(Data.ReportDateFormat, "DD/MM/YYYY");
    EXPECT_EQ(Data.NarrativeDateFormat, "d mmm yyyy");
}

TEST_F(ReferenceDataTest, ReportDateFormatIsBuiltWithTheSeparatorRead) {
    ASSERT_EQ(LoadText(WithMinimal("[REGIONAL]\r\nDateSeparator=-.\r\nShortDateFmt=DD-MM-YYYY\r\n")), "");
    EXPECT_EQ(Data.ReportDateFormat, "DD-MM-YYYY");
    EXPECT_EQ(TRegionalSettings::Program().DateSeparator, QChar('-'));
    EXPECT_EQ(TRegionalSettings::Program().ShortDateFormat, "DD-MM-YYYY");
    EXPECT_EQ(TRegionalSettings::Program().ReportDateFormat, "DD-MM-YYYY");

    ASSERT_EQ(LoadText(WithMinimal("[REGIONAL]\r\nDateSeparator=\r\nNarrativeDateFormat=dd mmmm yy\r\n")),
              "");
    EXPECT_EQ(TRegionalSettings::Program().DateSeparator, QChar('/'));
    EXPECT_EQ(Data.ReportDateFormat, "DD/MM/YYYY");
    EXPECT_EQ(Data.NarrativeDateFormat, "dd mmmm yy");
    EXPECT_EQ(TRegionalSettings::Program().NarrativeDateFormat, "dd mmmm yy");
}

TEST_F(ReferenceDataTest, CurrencyRateThatIsNotANumberEndsTheLoadNamingTheFile) {
    const QString message =
        LoadText(WithMinimal("[CURRENCY]\r\nAUD=Australian Dollar,36,1.0\r\nEUR=Euro,978,six\r\n"));
    EXPECT_TRUE(message.contains("'six' is not a valid floating point value")) << message.toStdString();
    EXPECT_TRUE(message.contains("EUR")) << message.toStdString();
    EXPECT_TRUE(message.contains(TempPath("Quilvane.DAT"))) << message.toStdString();
}

TEST_F(ReferenceDataTest, TextIsReadAsWindows1252) {
    ASSERT_EQ(LoadText(WithMinimal("[COUNTRIES]\r\nCUW=Cura\xe7"
                                   "ao\r\n[BANKS]\r\nEUR=Caf\xe9 Bank \x80,77\r\n")),
              "");
    EXPECT_EQ(Data.Countries.Find("CUW")->Description, QString::fromUtf8("Curaçao"));
    EXPECT_EQ(Data.Banks.Find("EUR")->Name, QString::fromUtf8("Café Bank €"));
    EXPECT_EQ(Data.Banks.Find("EUR")->Details, "77");
}

TEST_F(ReferenceDataTest, LookupsOfAbsentCodes) {
    ASSERT_EQ(LoadText(WithMinimal("[ENTITY TYPES]\r\nSUP=Superannuation Fund\r\n"
                                   "[ACCOUNT TYPES]\r\nANP=Non-Posting,N\r\n"
                                   "[Tessaly ACCOUNT FORMAT IDS]\r\nSTD=WP7\r\nNOPE=WP8\r\n")),
              "");
    EXPECT_EQ(Data.GetEntityTypeName("XYZ"), "");
    EXPECT_FALSE(Data.GetAccountTypeFlag("XYZ"));
    EXPECT_TRUE(Data.GetAccountTypeFlag("anp"));
    EXPECT_EQ(Data.FindAccountFormat("NOPE"), nullptr);
    EXPECT_EQ(Data.GetAccountFormatCodeByTessalyID("WP7"), "STD");
    EXPECT_EQ(Data.GetAccountFormatCodeByTessalyID("WP8"), "<Unknown>");
    EXPECT_EQ(Data.GetAccountFormatCodeByTessalyID("WP9"), "<Unknown>");
    EXPECT_EQ(Data.GetAccountFormatCodeByTessalyID(""), "<Unknown>");
}

TEST_F(ReferenceDataTest, TessalySectionsFillTheirFormats) {
    ASSERT_EQ(LoadText(WithMinimal("SUP RETAINED PROFIT ACCOUNT=00-4500-00\r\n"
                                   "[ENTITY TYPES]\r\nSUP=Super\r\nCOY=Company\r\n"
                                   "[TESSALY ACCOUNT FORMAT MAP]\r\nSTD=AAAA.SS\r\n"
                                   "[Tessaly MEMBER ACCOUNT RANGES]\r\nSTD=00-4500-00 to 99-4599-99\r\n"
                                   "[Tessaly MEMBER ACCOUNT SUBRANGES]\r\nSTD=\r\n")),
              "");
    const TAccountFormat* format = Data.FindAccountFormat("STD");
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->TessalyMap, "AAAA.SS");
    EXPECT_EQ(format->GetRetainedProfitAccount("SUP"), "00-4500-00");
    EXPECT_EQ(format->GetRetainedProfitAccount("COY"), "");
    ASSERT_NE(format->MemberRange, nullptr);
    EXPECT_EQ(format->MemberRange->Description, "Member Range");
    EXPECT_EQ(format->MemberRange->FromCode(), (TAccountCode{0, -1, 4500, 0}));
    EXPECT_EQ(format->MemberRange->ToCode(), (TAccountCode{99, -1, 4599, 99}));
    EXPECT_EQ(format->MemberSubRange, nullptr);
}

} // namespace
