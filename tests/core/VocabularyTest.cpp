#include "core/io/Win1252Codec.h"
#include "core/common/Exceptions.h"
#include "core/vocab/Colours.h"
#include "core/vocab/FileVocabulary.h"
#include "core/vocab/LogKinds.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ProcessKinds.h"
#include "core/vocab/ProgramIdentity.h"
#include "core/vocab/SectionNames.h"
#include "core/vocab/SmallVocabulary.h"
#include "core/vocab/WindowKinds.h"

#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

template <typename Table, typename Field> QStringList Column(const Table& table, Field field) {
    QStringList texts;
    for (const auto& row : table)
        texts << (row.*field).toString();
    return texts;
}

QStringList Texts(const auto& table) {
    QStringList texts;
    for (QStringView text : table)
        texts << text.toString();
    return texts;
}

bool AllDistinct(const QStringList& texts) {
    return QSet<QString>(texts.begin(), texts.end()).size() == texts.size();
}

QString ErrorOf(auto&& call) {
    try {
        call();
    } catch (const EQuilvaneError& e) {
        return e.message();
    }
    return QString();
}

} // namespace

TEST(Vocabulary, PageKindsNameTheirFilesAndKeys) {
    ASSERT_EQ(PageKindCount, 15);
    const QStringList codes = Column(PageKindTable, &TPageKindEntry::FileCode);
    // The letters are part of every transaction file name on disk.
    EXPECT_EQ(codes.mid(0, 14).join(""), "OBPAREGJSJPJWJCJBDBWUCODMPSB");
    EXPECT_TRUE(AllDistinct(codes.mid(0, 14)));
    for (int kind = 0; kind < 14; ++kind)
        EXPECT_EQ(codes[kind].size(), 2) << kind;
    // Deleted transactions are never written, so that page has no file code.
    EXPECT_TRUE(PageKindEntry(pkDeletedTransactions).FileCode.isEmpty());

    EXPECT_TRUE(AllDistinct(Column(PageKindTable, &TPageKindEntry::Name)));
    EXPECT_TRUE(AllDistinct(Column(PageKindTable, &TPageKindEntry::ShortName)));
    for (int kind = 0; kind < PageKindCount; ++kind) {
        // A transaction key tells its page: kind k owns the keys from (10 + k) x 10^7 up.
        EXPECT_EQ(PageKindEntry(kind).KeyBase, (10 + kind) * 10000000) << kind;
        EXPECT_FALSE(PageKindEntry(kind).ShortName.isEmpty()) << kind;
    }
}

TEST(Vocabulary, PageKindExportTables) {
    EXPECT_EQ(Texts(PageKindSecondExportTypes), Column(PageKindTable, &TPageKindEntry::ExportType));
    ASSERT_EQ(PageKindExportLetters.size(), 15u);
    for (QStringView letter : PageKindExportLetters)
        EXPECT_EQ(letter.size(), 1);
    EXPECT_EQ(Texts(PageKindExportLetters).join(""), " PRJJJCC       ");
    // Pages that the exports skip carry no export type.
    for (int kind : {pkOpeningBalances, pkOpeningUnpresentedCheques, pkOpeningOutstandingDeposits,
                     pkMemorisedPayments, pkStandardBankTransactions, pkDeletedTransactions})
        EXPECT_TRUE(PageKindEntry(kind).ExportType.isEmpty()) << kind;
}

TEST(Vocabulary, IndexOutsideATableIsAClearError) {
    EXPECT_FALSE(IsPageKind(-1));
    EXPECT_FALSE(IsPageKind(15));
    EXPECT_TRUE(IsPageKind(14));
    EXPECT_EQ(ErrorOf([] { PageKindEntry(15); }), "Unknown page kind 15.");
    EXPECT_EQ(ErrorOf([] { PageKindEntry(-1); }), "Unknown page kind -1.");
    EXPECT_EQ(ErrorOf([] { ChartKindEntry(9); }), "Unknown chart kind 9.");
    EXPECT_EQ(ErrorOf([] { WindowKindEntry(13); }), "Unknown window kind 13.");
    EXPECT_EQ(ErrorOf([] { ProcessKindEntry(23); }), "Unknown process kind 23.");
    EXPECT_EQ(ErrorOf([] { LogKindEntry(7); }), "Unknown log kind 7.");
    EXPECT_EQ(ErrorOf([] { SectionName(25); }), "Unknown section 25.");
    EXPECT_TRUE(ErrorOf([] { LogKindEntry(6); }).isEmpty());
}

TEST(Vocabulary, SpecialReferences) {
    for (const TSpecialReference& row : SpecialReferenceTable) {
        EXPECT_GT(row.Reference, HighestOrdinaryReference);
        EXPECT_EQ(FindSpecialReference(row.Reference), &row);
    }
    EXPECT_EQ(FindSpecialReference(ContraReference)->Name.toString(), "Contra");
    EXPECT_EQ(int{FindSpecialReference(TessalyJournalReference)->Letter}, int{'D'});
    EXPECT_EQ(FindSpecialReference(HighestOrdinaryReference), nullptr);
    for (int unnamed = 1000004; unnamed <= 1000008; ++unnamed)
        EXPECT_EQ(FindSpecialReference(unnamed), nullptr) << unnamed;
    QSet<char16_t> letters;
    for (const TSpecialReference& row : SpecialReferenceTable)
        letters.insert(row.Letter);
    EXPECT_EQ(letters.size(), 4);
}

TEST(Vocabulary, ProcessKindsAndTheirLogWords) {
    ASSERT_EQ(ProcessKindCount, 23);
    EXPECT_TRUE(ProcessKindEntry(prNone).Name.isEmpty());
    const QStringList names = Column(ProcessKindTable, &TProcessKindEntry::Name);
    EXPECT_TRUE(AllDistinct(names));
    for (int kind = 1; kind < ProcessKindCount; ++kind)
        EXPECT_FALSE(names[kind].isEmpty()) << kind;

    // Only export, transfers and backup/restore keep a log of their own.
    for (int kind = 0; kind < ProcessKindCount; ++kind) {
        QString expected;
        if (kind == prExport)
            expected = "export";
        else if (kind >= prTransferToClient && kind <= prTransferToAccountant)
            expected = "transfer";
        else if (kind == prBackup || kind == prRestore)
            expected = "backup";
        EXPECT_EQ(ProcessKindEntry(kind).LogWord.toString(), expected) << kind;
    }
    EXPECT_EQ(ProcessKindEntry(prBackup).Name.toString(), "Backup");
    EXPECT_EQ(ProcessKindEntry(prTransferFromAccountant).Name.toString(), "Transfer Data from Accountant");

    // The registered-mark of the workpapers process is stored in logs as the code-page byte 0xAE.
    const QByteArray stored = TWin1252Codec::Encode(ProcessKindEntry(prTessalyJournals).Name.toString());
    EXPECT_TRUE(stored.endsWith("Workpapers \xAE"));
}

TEST(Vocabulary, LogKindsAndTheirFiles) {
    ASSERT_EQ(LogKindCount, 7);
    EXPECT_EQ(Column(LogKindTable, &TLogKindEntry::FileName),
              QStringList({"QUILVANE.LOG", "BACKUP.LOG", "RESTORE.LOG", "EXPORT.LOG", "IMPORT.LOG",
                           "XFERTO.LOG", "XFERFROM.LOG"}));
    EXPECT_TRUE(AllDistinct(Column(LogKindTable, &TLogKindEntry::Title)));
    EXPECT_EQ(LogKindEntry(lkTime).Title.toString(), "Time Log");
}

TEST(Vocabulary, FileHeadersAndChartKinds) {
    const QStringList kinds = {
        AccountsChartHeader.Kind.toString(),      StdDescriptionsHeader.Kind.toString(),
        TaxRatesHeader.Kind.toString(),           CurrencyRatesHeader.Kind.toString(),
        TransactionsHeader.Kind.toString(),       BankRecOpeningHeader.Kind.toString(),
        ReportFormatsHeader.Kind.toString(),      ReportLayoutsHeader.Kind.toString(),
        ReportJobstreamSetsHeader.Kind.toString()};
    EXPECT_TRUE(AllDistinct(kinds));
    // Transaction files start with the version, then the kind, joined by commas.
    EXPECT_EQ(
        QStringList({TransactionsHeader.Version.toString(), TransactionsHeader.Kind.toString()}).join(","),
        "V5.5,GL Transactions");
    EXPECT_EQ(TaxRatesHeader.Version.toString(), "V5.3");
    for (const THeaderPair& pair : {ReportFormatsHeader, ReportLayoutsHeader, ReportJobstreamSetsHeader})
        EXPECT_EQ(pair.Version.toString(), "V5.60");

    ASSERT_EQ(ChartKindCount, 9);
    const QStringList extensions = Column(ChartKindTable, &TChartKindEntry::Extension);
    EXPECT_EQ(extensions.join(""), ".BOB.ADF.STD.TXR.CCR.RLO.RFT.RJS.DTR");
    EXPECT_TRUE(AllDistinct(extensions));
    for (int kind = 0; kind < ChartKindCount; ++kind)
        EXPECT_EQ(ChartKindEntry(kind).Folder.toString(), kind == ckBankRecOpening ? "BANK_REC" : "M_DETAIL");
    EXPECT_TRUE(AllDistinct(Column(ChartKindTable, &TChartKindEntry::PluralNoun)));
    EXPECT_EQ(ChartKindEntry(ckAccounts).SingularNoun.toString(), "Account");
}

TEST(Vocabulary, WindowKinds) {
    ASSERT_EQ(WindowKindCount, 13);
    EXPECT_TRUE(AllDistinct(Column(WindowKindTable, &TWindowKindEntry::Name)));
    for (int kind = 0; kind < WindowKindCount; ++kind) {
        const QString windowClass = WindowKindEntry(kind).WindowClass.toString();
        if (kind == wkBudgets || kind == wkJobstreamSets) {
            EXPECT_TRUE(windowClass.isEmpty()) << kind;
        } else {
            EXPECT_TRUE(windowClass.startsWith("Tfm")) << kind;
        }
        if (IsMasterDetailsWindowKind(kind) && kind != wkBudgets) {
            EXPECT_EQ(windowClass, "TfmMasterDetails") << kind;
        }
    }
    EXPECT_TRUE(IsMasterDetailsWindowKind(wkBankRecOpeningBalances));
    EXPECT_FALSE(IsMasterDetailsWindowKind(wkDataEntry));
    EXPECT_FALSE(IsMasterDetailsWindowKind(-1));
}

TEST(Vocabulary, SectionNames) {
    ASSERT_EQ(SectionNameCount, 25);
    const QStringList names = Texts(SectionNameTable);
    EXPECT_TRUE(AllDistinct(names));
    for (const QString& name : names)
        EXPECT_EQ(name, name.toUpper());
    // The reference-data file spells these sections in mixed case; they are the same sections.
    EXPECT_EQ(
        SectionName(snTessalyAccountFormatIds).compare(u"Tessaly ACCOUNT FORMAT IDS", Qt::CaseInsensitive),
        0);
    EXPECT_EQ(SectionName(snDesktop).toString(), "DESKTOP");
}

TEST(Vocabulary, DelimiterSets) {
    for (QChar c : WordWrapDelimiters)
        EXPECT_TRUE(IsWholeWordDelimiter(c)) << int(c.unicode());
    EXPECT_TRUE(IsWholeWordDelimiter(u'"'));
    EXPECT_TRUE(IsWholeWordDelimiter(u'.'));
    EXPECT_FALSE(IsWordWrapDelimiter(u'"'));
    EXPECT_FALSE(IsWordWrapDelimiter(u'.'));
    EXPECT_TRUE(IsWordWrapDelimiter(u' '));
    for (QChar c : {u'~', u'-', u'A', u'0', u'\t'})
        EXPECT_FALSE(IsWholeWordDelimiter(c)) << int(c.unicode());
    EXPECT_EQ(WholeWordDelimiters.size(), 11);
    EXPECT_EQ(WordWrapDelimiters.size(), 9);
}

TEST(Vocabulary, BooleanTextsAndComparison) {
    EXPECT_EQ(FlagText(true).toString(), "Y");
    EXPECT_EQ(FlagText(false).toString(), "N");
    EXPECT_EQ(YesNoWords[true].toString(), "Yes");
    EXPECT_EQ(LowerTrueFalseWords[false].toString(), "false");
    EXPECT_LT(ComparisonResults[false], 0);
    EXPECT_GT(ComparisonResults[true], 0);
}

TEST(Vocabulary, ColoursAreOpaqueRgb) {
    EXPECT_EQ(HighlightColour1, 0xFFFFFFA0u);
    EXPECT_EQ(DefaultTaxLineBackground, 0xFFF0CAA6u);
    for (TRgbColour colour : {HighlightColour2, InactiveColour, DefaultContraBackground}) {
        EXPECT_EQ(colour >> 24, 0xFFu);
        EXPECT_EQ(RgbColour(RedOf(colour), GreenOf(colour), BlueOf(colour)), colour);
    }
    EXPECT_EQ(RedOf(InactiveColour), 140);
    EXPECT_EQ(GreenOf(InactiveColour), 142);
    EXPECT_NE(DisabledEditColour, EnabledEditColour);
}

TEST(Vocabulary, ProgramIdentity) {
    EXPECT_EQ(ApplicationTitle.toString(), ProductName.toString() + " " + ProductVersionYear.toString());
    EXPECT_FALSE(ProgramVersionText().isEmpty());
    EXPECT_EQ(ProgramVersionText(), QStringLiteral(QUILVANE_VERSION_TEXT));
}
