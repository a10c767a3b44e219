#include "core/common/Exceptions.h"
#include "core/transactions/TransactionFileNames.h"
#include "core/transactions/TransactionImageFile.h"
#include "core/vocab/PageKinds.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

// A page kind and calendar month, and the name of file ABCDEF's 2005 file ("" when none).
struct TNameCase {
    int Kind;
    int Month;
    const char* Name;
};

TEST(TransactionFileNames, EveryKindInBothNamings) {
    // standard naming: the July-to-June month character, "1" for the one-file kinds 0, 10, 11
    const TNameCase standard[] = {
        {1, 10, "PA4"}, {2, 4, "REA"},  {3, 5, "GJB"},  {4, 6, "SJC"}, {5, 7, "PJ1"},  {6, 3, "WJ9"},
        {7, 1, "CJ7"},  {8, 12, "BD6"}, {9, 9, "BW3"},  {1, 2, "PA8"}, {2, 8, "RE2"},  {3, 11, "GJ5"},
        {0, 10, "OB1"}, {10, 3, "UC1"}, {11, 6, "OD1"}, {12, 0, "MP"}, {12, 7, "MP1"}, {13, 12, "SB6"},
        {1, 0, "PA"},   {0, 0, "OB"},   {14, 5, ""}};
    for (const TNameCase& c : standard)
        EXPECT_EQ(TransactionFileName("C:\\DATA", "ABCDEF", 2005, c.Kind, c.Month, {}),
                  *c.Name ? "C:\\DATA\\ABCDEF\\ABCDEF05." + QString::fromLatin1(c.Name) : QString())
            << c.Kind << " " << c.Month;
    // DOS naming: no folder level, the month index in two digits
    // clang-format off
    const TNameCase dos[] = {
        {0, 10, "ABCDEF05.O04"}, {1, 6, "ABCDEF05.P12"}, {2, 7, "ABCDEF05.R01"}, {3, 4, "ABCDEF05.J10"},
        {8, 11, "BNKREC05.R05"}, {9, 1, "BNKREC05.P07"}, {10, 3, "UNPRES05.BRC"}, {11, 9, "OSDEPS05.BRC"},
        {1, 0, "ABCDEF05.P"}, {4, 10, ""}, {5, 10, ""}, {6, 10, ""}, {7, 10, ""}, {12, 10, ""}, {13, 10, ""},
        {14, 10, ""}};
    // clang-format on
    for (const TNameCase& c : dos)
        EXPECT_EQ(TransactionFileName("C:\\DATA", "ABCDEF", 2005, c.Kind, c.Month, {Option::DosVersion}),
                  *c.Name ? "C:\\DATA\\" + QString::fromLatin1(c.Name) : QString())
            << c.Kind << " " << c.Month;
}

TEST(TransactionFileNames, FolderAndYearFollowTheOptions) {
    // clang-format off
    const std::tuple<TOptionSet, int, const char*> cases[] = {
        {{}, 2005, "C:\\DATA\\ABC\\ABC\\ABC05.PA4"}, {{}, 1999, "C:\\DATA\\ABC\\ABC\\ABC99.PA4"},
        {{}, 5, "C:\\DATA\\ABC\\ABC\\ABC05.PA4"}, {{Option::TransferFolder}, 2010, "P:\\QV\\TRANSFER\\ABC\\ABC10.PA4"},
        {{Option::TransferDrive}, 2005, "X:\\RORI\\ABC\\ABC05.P04"},
        {{Option::TransferFolder, Option::DosVersion}, 2005, "P:\\QV\\TRANSFER\\ABC05.P04"}};
    // clang-format on
    for (const auto& [options, year, expected] : cases)
        EXPECT_EQ(TransactionFileName("ABC", "C:\\DATA\\ABC", "X:\\XFER", "P:\\QV", year, 1, 10, options),
                  QString::fromLatin1(expected));
}

TEST(TransactionFileNames, RefusesMonthsKindsAndYearsOutOfRange) {
    // Month 13 also for the kinds whose names hold no month of their own.
    const int bad[][3] = {{1, 13, 2005}, {1, -1, 2005}, {15, 5, 2005},  {-1, 5, 2005}, {1, 5, -1},
                          {1, 5, 2300},  {0, 13, 2005}, {10, 13, 2005}, {11, 13, 2005}};
    for (const auto& b : bad)
        for (const TOptionSet& options : {TOptionSet{}, TOptionSet{Option::DosVersion}})
            EXPECT_THROW(TransactionFileName("D", "X", b[2], b[0], b[1], options), EQuilvaneError)
                << b[0] << " " << b[1] << " " << b[2];
}

class TransactionImageTest : public TServicesFixture {
protected:
    // The body record of the hex fixture with another page kind (offset 4).
    static QByteArray Body(int kind) {
        QByteArray record = HexBlock(TestData("transactions/records.hex"), "body");
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
    // year, selection (page kind, month), records
    const std::tuple<int, std::vector<TTransactionFileSelection>, qint64> cases[] = {
        {2005, {{1, 10}}, 3},          {AnyTransactionYear, {{1, 10}}, 4},
        {2005, {{1, 10}, {2, 10}}, 5}, {2005, {{1, 11}}, 0},
        {2005, {{1, 0}}, 2},           {2005, {{3, 7}}, 1},
        {2005, {{3, 8}, {1, 10}}, 3},  {2005, {{1, 12}, {14, 5}}, 0},
        {2006, {{1, 10}, {1, 11}}, 1}, {2005, {{2, 11}}, 1}, // names copied in lower case count too
    };
    for (const auto& [year, selection, expected] : cases)
        EXPECT_EQ(EstimateTransactionCount(Temp.path(), "ABC", year, selection), expected)
            << year << " " << selection.size() << " " << expected;
}

TEST_F(TransactionImageTest, LoadAddsRecordsSkipsHeadersAndBoundsEachKind) {
    const QByteArray header = HexBlock(TestData("transactions/records.hex"), "header");
    std::vector<TTransactionDetail> entries(1, TTransactionDetail(7, pkBankStatementWithdrawals));
    TTransactionImageBounds bounds{};
    ASSERT_EQ(LoadTransactionImageFile(Write("A.TRN", Body(1) + header + Body(2) + Body(1) + Body(8)),
                                       entries, bounds),
              4);
    std::vector<int> kinds;
    for (const TTransactionDetail& entry : entries)
        kinds.push_back(entry.PageKind);
    EXPECT_EQ(kinds, (std::vector<int>{9, 1, 2, 1, 8}));
    EXPECT_EQ(entries[3].ID, 110300005);
    EXPECT_EQ(entries[3].Amount, -1234.56);
    // first and last index of kinds 1, 2, 11, 10, 8, 9
    EXPECT_EQ(bounds, (TTransactionImageBounds{1, 3, 2, 2, -1, -1, -1, -1, 4, 4, 0, 0}));

    // more records than one block reads: the last one, of kind 9, still arrives
    QByteArray big = Body(2).repeated(4500);
    big[4499 * 125 + 4] = 9;
    entries.clear();
    ASSERT_EQ(LoadTransactionImageFile(Write("BIG.TRN", big), entries, bounds), 4500);
    EXPECT_EQ(bounds, (TTransactionImageBounds{-1, -1, 0, 4498, -1, -1, -1, -1, -1, -1, 4499, 4499}));
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
        EXPECT_TRUE(entries.size() == 1 && bounds[0] == 5);
    }
}

} // namespace
