#include "core/vocab/ReportVocabulary.h"

#include <QSet>
#include <QString>

#include <gtest/gtest.h>

TEST(ReportVocabulary, FindReportGroupHitsAndMisses) {
    QSet<QString> codes;
    for (int row = 0; row < ReportGroupCount; ++row) {
        const QStringView code = ReportGroupTable[static_cast<std::size_t>(row)].Code;
        codes.insert(code.toString());
        EXPECT_EQ(FindReportGroup(code), row) << row;
    }
    EXPECT_EQ(codes.size(), 20);

    // A missing code gives one past the table, which no row lookup accepts.
    EXPECT_EQ(FindReportGroup(u"nope"), ReportGroupCount);
    EXPECT_EQ(FindReportGroup(u"gen"), ReportGroupCount);
    EXPECT_EQ(FindReportGroup(u""), ReportGroupCount);
    EXPECT_EQ(ReportGroupRow(FindReportGroup(u"nope")), nullptr);
    EXPECT_EQ(ReportGroupRow(-1), nullptr);

    const TReportGroup* logs = ReportGroupRow(FindReportGroup(u"LOG"));
    ASSERT_NE(logs, nullptr);
    EXPECT_EQ(logs->MenuCaption.toString(), "&Log Files");
    EXPECT_EQ(FindReportGroup(u"SUP"), 3);
    EXPECT_EQ(FindReportGroup(u"SRR"), 14);
}

TEST(ReportVocabulary, FindStandardReportHitsAndMisses) {
    EXPECT_EQ(FindStandardReport(u"PROFITLOSS"), ProfitAndLossReport);
    EXPECT_EQ(FindStandardReport(u"TRIALBAL"), 2);
    EXPECT_EQ(FindStandardReport(u"BUDGET"), 5);
    EXPECT_EQ(FindStandardReport(u"BGTACTVAR"), 6);
    // Exact comparison; a miss lands on the empty row.
    EXPECT_EQ(FindStandardReport(u"profitloss"), 0);
    EXPECT_EQ(FindStandardReport(u"PROFITLOSS "), 0);
    EXPECT_EQ(FindStandardReport(u"nope"), 0);
    EXPECT_EQ(FindStandardReport(u""), 0);

    const TStandardReport& empty = StandardReportRow(0);
    EXPECT_TRUE(empty.Key.isEmpty() && empty.MenuCaption.isEmpty() && empty.Title.isEmpty());
    EXPECT_EQ(&StandardReportRow(StandardReportCount), &empty);
    EXPECT_EQ(&StandardReportRow(-5), &empty);
    EXPECT_EQ(&StandardReportRow(255), &empty);

    EXPECT_EQ(StandardReportRow(GeneralLedgerReport).Title.toString(), "General Ledger Report");
    EXPECT_EQ(StandardReportRow(FirstLogReport).MenuCaption.toString(), "Ti&me Log");
    EXPECT_LT(LastActivityStatementReport, StandardReportCount);
}

TEST(ReportVocabulary, ExportFormats) {
    ASSERT_EQ(ExportFormatCount, 10);
    // The default as stored in the settings: two blanks before the parenthesis.
    EXPECT_EQ(IndexOfExportFormat(u"ASCII Text  ( CSV )"), DefaultExportFormat);
    EXPECT_EQ(DefaultExportFormat, 0);
    EXPECT_EQ(IndexOfExportFormat(u"ASCII Text ( CSV )"), -1);
    EXPECT_EQ(IndexOfExportFormat(u"ascii text  ( csv )"), -1);
    EXPECT_EQ(IndexOfExportFormat(u"Solution 6  ( MAS 4 Release 5.1 )"), 9);

    QSet<QString> names;
    for (const TExportFormat& format : ExportFormatTable) {
        names.insert(format.Name.toString());
        EXPECT_EQ(format.Extension.size(), 4);
        EXPECT_TRUE(format.Extension.startsWith(u'.'));
    }
    EXPECT_EQ(names.size(), 10);
    EXPECT_EQ(ExportFormatTable[3].Extension.toString(), ".CSV");
}

TEST(ReportVocabulary, TitleMacrosAreBracketedAndDistinct) {
    QSet<QString> macros;
    for (QStringView macro : TitleMacros) {
        EXPECT_TRUE(macro.startsWith(u'<') && macro.endsWith(u'>')) << macro.toString().toStdString();
        macros.insert(macro.toString());
    }
    EXPECT_EQ(macros.size(), 14);
}
