#include "core/common/Exceptions.h"
#include "core/vocab/FileVocabulary.h"
#include "core/vocab/LogKinds.h"
#include "core/vocab/PageKinds.h"
#include "core/vocab/ProcessKinds.h"
#include "core/vocab/ProgressMessages.h"
#include "core/vocab/ReportVocabulary.h"
#include "core/vocab/SectionNames.h"
#include "core/vocab/SmallVocabulary.h"
#include "core/vocab/WindowKinds.h"

#include <QSet>
#include <gtest/gtest.h>
#include <limits>

TEST(Vocabulary, RowsOutsideATableAreClearErrors) {
    try {
        PageKindEntry(15);
        ADD_FAILURE();
    } catch (const EQuilvaneError& e) {
        EXPECT_EQ(e.message(), "Unknown page kind 15.");
    }
    EXPECT_THROW(PageKindEntry(-1), EQuilvaneError);
    EXPECT_THROW(ChartKindEntry(9), EQuilvaneError);
    EXPECT_THROW(WindowKindEntry(13), EQuilvaneError);
    EXPECT_THROW(ProcessKindEntry(23), EQuilvaneError);
    EXPECT_THROW(LogKindEntry(7), EQuilvaneError);
    EXPECT_THROW(SectionName(25), EQuilvaneError);
    EXPECT_NO_THROW((PageKindEntry(14), ChartKindEntry(8), WindowKindEntry(12), ProcessKindEntry(22),
                     LogKindEntry(6), SectionName(24)));
    EXPECT_TRUE(IsPageKind(0) && IsPageKind(14) && !IsPageKind(-1) && !IsPageKind(15));
    EXPECT_TRUE(IsMasterDetailsWindowKind(wkBankRecOpeningBalances) &&
                !IsMasterDetailsWindowKind(wkDataEntry));
}

TEST(Vocabulary, PageKindsNameTheirFilesAndExports) {
    // Every page but the deleted transactions has a file code of its own; the two export tables agree.
    QSet<QString> codes;
    for (int kind = 0; kind < PageKindCount; ++kind) {
        const TPageKindEntry& row = PageKindEntry(kind);
        EXPECT_EQ(row.ExportType, PageKindSecondExportTypes[kind]) << kind;
        codes.insert(row.FileCode.size() == 2 ? row.FileCode.toString() : QString());
    }
    EXPECT_TRUE(codes.size() == PageKindCount && PageKindEntry(pkDeletedTransactions).FileCode.isEmpty());
    EXPECT_EQ(FindSpecialReference(ContraReference), &SpecialReferenceTable.back());
    for (int unnamed : {HighestOrdinaryReference, 1000004, 1000008, 1000010})
        EXPECT_EQ(FindSpecialReference(unnamed), nullptr) << unnamed;
}

TEST(Vocabulary, ReportLookupsHitAndMiss) {
    for (int row = 0; row < ReportGroupCount; ++row) {
        EXPECT_EQ(FindReportGroup(ReportGroupTable[static_cast<std::size_t>(row)].Code), row);
        EXPECT_EQ(ReportGroupRow(row), &ReportGroupTable[static_cast<std::size_t>(row)]);
    }
    // A missing group is one past the table, which no row lookup takes; a missing report is the
    // empty row 0. Codes, keys and export names compare exactly.
    for (const char16_t* miss : {u"nope", u"gen", u""})
        EXPECT_EQ(FindReportGroup(miss), ReportGroupCount);
    EXPECT_TRUE(ReportGroupRow(ReportGroupCount) == nullptr && ReportGroupRow(-1) == nullptr);
    EXPECT_EQ(FindStandardReport(u"PROFITLOSS") * 10 + FindStandardReport(u"BGTACTVAR"), 16);
    for (const char16_t* miss : {u"profitloss", u"PROFITLOSS ", u""})
        EXPECT_EQ(FindStandardReport(miss), 0);
    const TStandardReport& empty = StandardReportRow(0);
    for (int outside : {-5, StandardReportCount})
        EXPECT_EQ(&StandardReportRow(outside), &empty);
    EXPECT_EQ(IndexOfExportFormat(u"ASCII Text  ( CSV )"), DefaultExportFormat);
    EXPECT_EQ(IndexOfExportFormat(u"Solution 6  ( MAS 4 Release 5.1 )"), ExportFormatCount - 1);
    EXPECT_EQ(IndexOfExportFormat(u"ASCII Text ( CSV )") + IndexOfExportFormat(u"ascii text  ( csv )"), -2);
}

TEST(Vocabulary, ProgressMessages) {
    // Kind 0, and any kind the table does not know, is the detail alone; the detail is taken
    // literally; kinds without room for a detail ignore it.
    const std::tuple<int, const char*, const char*> cases[] = {
        {3, "", "Saving ..."},
        {3, "X", "Saving X ..."},
        {1, "Trial Balance", "Compiling Trial Balance Report ..."},
        {28, "ABC", "Creating File Code ABC..."},
        {12, "ignored", "Compiling Reconciliation Matches Report..."},
        {2, "C:\\%1\\%s", "Loading C:\\%1\\%s ..."},
        {0, "Wait ...", "Wait ..."},
        {33, "Wait", "Wait"},
        {-1, "", ""}};
    for (const auto& [kind, detail, text] : cases)
        EXPECT_EQ(TProgressMessages::Text(kind, detail), text) << kind;
    constexpr double inf = std::numeric_limits<double>::infinity(),
                     nan = std::numeric_limits<double>::quiet_NaN();
    constexpr int most = std::numeric_limits<int>::max(), least = std::numeric_limits<int>::min();
    const std::pair<double, int> percents[] = {{49.5, 50}, {50.5, 50}, {1.5, 2},      {99.4999, 99},
                                               {-1.5, -2}, {nan, 0},   {1e300, most}, {-inf, least}};
    for (const auto& [percent, rounded] : percents)
        EXPECT_EQ(TProgressMessages::RoundPercent(percent), rounded) << percent;
}
