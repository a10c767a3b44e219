#include "reports/ReportDocuments.h"

#include <gtest/gtest.h>

namespace {

// Two open files, told apart by address only (the documents never look into them).
char Files[2];
const auto* A = reinterpret_cast<const TEntityInfo*>(&Files[0]);
const auto* B = reinterpret_cast<const TEntityInfo*>(&Files[1]);

TEST(ReportDocumentsTest, LinesGoToTheCurrentDocumentOrANewLog) {
    TReportDocuments documents;
    EXPECT_EQ(documents.AppendLine("Backup started"), 0);
    EXPECT_EQ(documents.Document(0).Title, "Log");
    documents.Add("Time Log", A, {"Time Log"});
    documents.Add("Tax Codes", B);
    documents.SetCurrent(1);
    documents.SetCurrent(3); // ignored
    EXPECT_EQ(documents.AppendLine("one more"), 1);
    EXPECT_EQ(documents.Document(1).Lines, (QStringList{"Time Log", "one more"}));
    EXPECT_EQ(documents.Document(0).Lines, QStringList{"Backup started"});
}

TEST(ReportDocumentsTest, DetachRemovesTheFilesDocumentsAndKeepsTheCurrentOne) {
    const struct {
        int Current;
        const TEntityInfo* Owner;
        std::vector<int> Removed;
        QString Left;
        int CurrentAfter;
    } cases[] = {
        {4, A, {3, 1}, "Log,B1,B2", 2},         // current kept, moved down by two
        {1, A, {3, 1}, "Log,B1,B2", 2},         // current removed: the last left
        {0, B, {4, 2}, "Log,A1,A2", 0},         // current before the removed ones
        {2, nullptr, {}, "Log,A1,B1,A2,B2", 2}, // no file: the log stays
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Current);
        TReportDocuments documents;
        documents.AppendLine("started");
        for (const char* title : {"A1", "B1", "A2", "B2"})
            documents.Add(title, title[0] == 'A' ? A : B);
        documents.SetCurrent(c.Current);
        EXPECT_EQ(documents.Detach(c.Owner), c.Removed);
        QStringList titles;
        for (int i = 0; i < documents.Count(); ++i)
            titles << documents.Document(i).Title;
        EXPECT_EQ(titles.join(','), c.Left);
        EXPECT_EQ(documents.Current(), c.CurrentAfter);
        documents.Detach(c.Owner == A ? B : A);
        documents.Detach(c.Owner == A ? A : B);
        EXPECT_EQ(documents.Current(), documents.Count() - 1); // the log alone
    }
}

} // namespace
