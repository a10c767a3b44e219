#include "core/common/Exceptions.h"
#include "core/transactions/TransactionFileNames.h"
#include "core/transactions/TransactionImageFile.h"
#include "core/vocab/PageKinds.h"
#include "tests/core/ChartTestSupport.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

struct TNameCase {
    int Kind;
    int Month;
    int Year;
    TOptionSet Options;
    const char* Expected; // under C:\DATA; empty when the kind has no file in that naming
};

const TNameCase NameCases[] = {
    // standard naming: the July-to-June month character, "1" for the one-file kinds 0, 10, 11
    {1, 10, 2005, {}, "C:\\DATA\\ABCDEF\\ABCDEF05.PA4"},
    {2, 4, 2005, {}, "C:\\DATA\\ABCDEF\\ABCDEF05.REA"},
    {3, 5, 2005, {}, "C:\\DATA\\ABCDEF\\ABCDEF05.GJB"},
    {4, 6, 2005, {}, "C:\\DATA\\ABCDEF\\ABCDEF05.SJC"},
    {5, 7, 2005, {}, "C:\\DATA\\ABCDEF\\ABCDEF05.PJ1"},
    {6, 3, 1999, {}, "C:\\DATA\\ABCDEF\\ABCDEF99.WJ9"},
    {7, 1, 2010, {}, "C:\\DATA\\ABCDEF\\ABCDEF10.CJ7"},
    {8, 12, 5, {}, "C:\\DATA\\ABCDEF\\ABCDEF05.BD6"},
    {9, 9, 2005, {}, "C:\\DATA\\ABCDEF\\ABCDEF05.BW3"},
    {0, 10, 2005, {}, "C:\\DATA\\ABCDEF\\ABCDEF05.OB1"},
    {10, 3, 2005, {}, "C:\\DATA\\ABCDEF\\ABCDEF05.UC1"},
    {11, 6, 2005, {}, "C:\\DATA\\ABCDEF\\ABCDEF05.OD1"},
    {12, 0, 2005, {}, "C:\\DATA\\ABCDEF\\ABCDEF05.MP"},
    {12, 7, 2005, {}, "C:\\DATA\\ABCDEF\\ABCDEF05.MP1"},
    {13, 12, 2005, {}, "C:\\DATA\\ABCDEF\\ABCDEF05.SB6"},
    {1, 0, 2005, {}, "C:\\DATA\\ABCDEF\\ABCDEF05.PA"},
    {0, 0, 2005, {}, "C:\\DATA\\ABCDEF\\ABCDEF05.OB"},
    {14, 5, 2005, {}, ""},
    // DOS naming (option 9, or 13): no folder level, two-digit month index
    {0, 10, 2005, {Option::DosVersion}, "C:\\DATA\\ABCDEF05.O04"},
    {1, 6, 2005, {Option::DosVersion}, "C:\\DATA\\ABCDEF05.P12"},
    {2, 7, 2005, {Option::DosVersion}, "C:\\DATA\\ABCDEF05.R01"},
    {3, 4, 2005, {Option::DosVersion}, "C:\\DATA\\ABCDEF05.J10"},
    {8, 11, 2005, {Option::DosVersion}, "C:\\DATA\\BNKREC05.R05"},
    {9, 1, 1998, {Option::DosVersion}, "C:\\DATA\\BNKREC98.P07"},
    {10, 3, 2005, {Option::DosVersion}, "C:\\DATA\\UNPRES05.BRC"},
    {11, 9, 2005, {Option::DosVersion}, "C:\\DATA\\OSDEPS05.BRC"},
    {1, 10, 2005, {Option::TransferDrive}, "C:\\DATA\\ABCDEF05.P04"},
    {1, 0, 2005, {Option::DosVersion}, "C:\\DATA\\ABCDEF05.P"},
    {4, 10, 2005, {Option::DosVersion}, ""},
    {5, 10, 2005, {Option::DosVersion}, ""},
    {6, 10, 2005, {Option::DosVersion}, ""},
    {7, 10, 2005, {Option::DosVersion}, ""},
    {12, 10, 2005, {Option::TransferDrive}, ""},
    {13, 10, 2005, {Option::DosVersion}, ""},
    {14, 10, 2005, {Option::DosVersion}, ""},
};

TEST(TransactionFileNames, EveryKindInBothNamings) {
    for (const TNameCase& c : NameCases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.Kind << " month " << c.Month << " " << c.Expected);
        EXPECT_EQ(TransactionFileName("C:\\DATA", "ABCDEF", c.Year, c.Kind, c.Month, c.Options),
                  QString::fromLatin1(c.Expected));
    }
}

TEST(TransactionFileNames, MonthCharacterCountsFromJuly) {
    const char expected[] = "789ABC123456"; // January to December
    for (int month = 1; month <= 12; ++month)
        EXPECT_EQ(TransactionFileName("D", "X", 2005, 1, month, {}).back(), QChar(expected[month - 1]))
            << month;
}

TEST(TransactionFileNames, FolderFollowsTheOptions) {
    const std::pair<TOptionSet, const char*> cases[] = {
        {{}, "C:\\DATA\\ABC\\ABC\\ABC05.PA4"},
        {{Option::TransferFolder}, "P:\\QV\\TRANSFER\\ABC\\ABC05.PA4"},
        {{Option::TransferDrive}, "X:\\RORI\\ABC\\ABC05.P04"},
        {{Option::TransferFolder, Option::DosVersion}, "P:\\QV\\TRANSFER\\ABC05.P04"}};
    for (const auto& [options, expected] : cases)
        EXPECT_EQ(TransactionFileName("ABC", "C:\\DATA\\ABC", "X:\\XFER", "P:\\QV", 2005, 1, 10, options),
                  QString::fromLatin1(expected));
}

TEST(TransactionFileNames, RefusesMonthsKindsAndYearsOutOfRange) {
    const int bad[][3] = {{1, 13, 2005}, {1, -1, 2005}, {15, 5, 2005},
                          {-1, 5, 2005}, {1, 5, -1},    {1, 5, 2300}};
    for (const auto& b : bad)
        for (const TOptionSet& options : {TOptionSet{}, TOptionSet{Option::DosVersion}})
            EXPECT_THROW(TransactionFileName("D", "X", b[2], b[0], b[1], options), EQuilvaneError)
                << b[0] << " " << b[1] << " " << b[2];
}

class TransactionImageTest : public TServicesFixture {
protected:
    // The body record of the hex fixture with another page kind (offset 4).
    static QByteArray Body(int kind) {
        QByteArray record = Stored("../transactions/records", "body");
        record[4] = static_cast<char>(kind);
        return record;
    }
    QString Write(const QString& name, const QByteArray& bytes) {
        const QString path = TempPath(name);
        EXPECT_TRUE(QDir().mkpath(QFileInfo(path).path()) && WriteFileBytes(path, bytes))
            << name.toStdString();
        return path;
    }
};

TEST_F(TransactionImageTest, EstimateCountsRecordsLessOneHeaderPerFile) {
    const std::pair<const char*, int> files[] = {
        // name, size
        {"ABC/ABC05.PA4", 500}, {"ABC/ABC06.PA4", 250}, {"ABC/ABC05.PA5", 125}, {"ABC/ABC05.RE4", 375},
        {"ABC/ABC05.PA", 375},  {"ABC/ABC05.GJ1", 310}, {"ABC/ABC05.GJ2", 0},   {"ABC/abc05.re5", 250}};
    for (const auto& [name, size] : files)
        Write(name, QByteArray(size, '\0'));
    struct {
        int Year;
        std::vector<TTransactionFileSelection> Selection;
        qint64 Expected;
    } const cases[] = {
        {2005, {{1, 10}}, 3},          {AnyTransactionYear, {{1, 10}}, 4},
        {2005, {{1, 10}, {2, 10}}, 5}, {2005, {{1, 11}}, 0},
        {2005, {{1, 0}}, 2},           {2005, {{3, 7}}, 1},
        {2005, {{3, 8}, {1, 10}}, 3},  {2005, {{1, 12}, {14, 5}}, 0},
        {2006, {{1, 10}, {1, 11}}, 1}, {2005, {{2, 11}}, 1}, // names copied in lower case count too
    };
    for (const auto& c : cases)
        EXPECT_EQ(EstimateTransactionCount(Temp.path(), "ABC", c.Year, c.Selection), c.Expected)
            << c.Year << " " << c.Selection.size() << " " << c.Expected;
}

TEST_F(TransactionImageTest, LoadAddsRecordsSkipsHeadersAndBoundsEachKind) {
    const QString path = Write("IMAGE.TRN", Body(1) + Stored("../transactions/records", "header") + Body(2) +
                                                Body(1) + Body(8));
    std::vector<TTransactionDetail> entries(1, TTransactionDetail(7, pkBankStatementWithdrawals));
    TTransactionImageBounds bounds{};
    ASSERT_EQ(LoadTransactionImageFile(path, entries, bounds), 4);
    ASSERT_EQ(entries.size(), 5u);
    const int kinds[] = {9, 1, 2, 1, 8};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(entries[i].PageKind, kinds[i]) << i;
    EXPECT_EQ(entries[3].ID, 110300005);
    EXPECT_EQ(entries[3].Amount, -1234.56);
    // kinds 1, 2, 11, 10, 8, 9
    EXPECT_EQ(bounds, (TTransactionImageBounds{1, 3, 2, 2, -1, -1, -1, -1, 4, 4, 0, 0}));

    entries.clear();
    Write("EMPTY.TRN", {});
    EXPECT_EQ(LoadTransactionImageFile(TempPath("EMPTY.TRN"), entries, bounds), 0);
    TTransactionImageBounds none;
    none.fill(-1);
    EXPECT_EQ(bounds, none);
}

TEST_F(TransactionImageTest, LoadReadsFilesLargerThanOneBlock) {
    const int count = 4500;
    QByteArray bytes = Body(2).repeated(count);
    bytes[static_cast<qsizetype>(count - 1) * 125 + 4] = 9; // the last record's kind
    std::vector<TTransactionDetail> entries;
    TTransactionImageBounds bounds{};
    ASSERT_EQ(LoadTransactionImageFile(Write("BIG.TRN", bytes), entries, bounds), count);
    EXPECT_EQ(entries.size(), static_cast<std::size_t>(count));
    EXPECT_EQ(bounds[2], 0);
    EXPECT_EQ(bounds[3], count - 2);
    EXPECT_EQ(bounds[10], count - 1);
}

TEST_F(TransactionImageTest, DamagedOrMissingFilesRaiseAndChangeNothing) {
    const std::pair<const char*, QByteArray> files[] = {{"MISSING.TRN", {}},
                                                        {"SHORT.TRN", Body(1).left(124)},
                                                        {"CUT.TRN", Body(1) + Body(2) + Body(1).left(60)}};
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        if (!bytes.isEmpty())
            Write(name, bytes);
        std::vector<TTransactionDetail> entries(1, TTransactionDetail(7, pkPayments));
        TTransactionImageBounds bounds;
        bounds.fill(5);
        EXPECT_THROW(LoadTransactionImageFile(TempPath(name), entries, bounds), EQuilvaneError);
        EXPECT_EQ(entries.size(), 1u);
        EXPECT_EQ(bounds[0], 5);
    }
}

} // namespace
