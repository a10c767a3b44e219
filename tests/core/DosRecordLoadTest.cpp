// Loading the DOS version's transaction files (84-, 80- and 76-byte records), which are read in
// blocks: files longer than a block, headers repeated anywhere, and truncated or damaged files.
#include "core/dates/DateNumbers.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionKeys.h"
#include "core/transactions/TransactionList.h"
#include "core/vocab/PageKinds.h"
#include "tests/core/AccountTestFormats.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <gtest/gtest.h>

namespace TF = TransactionFlag;

namespace {

// Where the fields of each form lie (see DosTransactionRecord.h): record size, the posting and
// bank code texts and their capacity, the amount and the details.
struct TDosLayout {
    int Size;
    int Posting;
    int Bank;
    int CodeCapacity;
    int Details;
};
constexpr TDosLayout V41{84, 19, 28, 8, 43};
constexpr TDosLayout V4{80, 15, 24, 8, 39};
constexpr TDosLayout V3{76, 15, 22, 6, 35};

// A length byte and the text; with `doubled` every character code shifted left by one, as the
// DOS version stored its posting codes and details.
void PutText(QByteArray& record, int offset, const QByteArray& text, bool doubled = false) {
    record[offset] = static_cast<char>(text.size());
    for (int i = 0; i < text.size(); ++i)
        record[offset + 1 + i] =
            static_cast<char>(doubled ? (static_cast<unsigned char>(text[i]) << 1) : text[i]);
}

// One record: 15 October 2005, the reference, no dissection, the codes, amount 0, the details.
QByteArray Record(const TDosLayout& layout, int reference, const QByteArray& posting, const QByteArray& bank,
                  const QByteArray& details) {
    QByteArray record(layout.Size, '\0');
    PutText(record, 0, "15/10/05");
    record[9] = static_cast<char>(reference & 0xFF);
    record[10] = static_cast<char>(reference >> 8);
    PutText(record, layout.Posting, posting.left(layout.CodeCapacity), true);
    PutText(record, layout.Bank, bank.left(layout.CodeCapacity));
    PutText(record, layout.Details, details, true);
    return record;
}

// A header record: the form's text as plain details.
QByteArray Header(const TDosLayout& layout, const QByteArray& text) {
    QByteArray record(layout.Size, '\0');
    PutText(record, layout.Details, text);
    return record;
}

QByteArray RecordDetails(int number) {
    return "Payment " + QByteArray::number(number);
}

// The reference of the record of that number (0 on): 1 to 9999 again and again.
int Reference(int number) {
    return 1 + number % 9999;
}

// October 2005 payments of ABC123 (year to June 2006) read from the DOS version's file names.
class TDosLoadTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        ASSERT_TRUE(QDir(Temp.path()).mkpath("data/ABC123"));
    }
    TTransactionListSources Sources(const TAccountFormat* format) const {
        TTransactionListSources sources;
        sources.Entity = {"ABC123", "NSP", TempPath("data"), "", "", "QUILVANE", "", "AUD", 12, 6};
        sources.Format = format;
        sources.Contras = 3; // no contra lines
        return sources;
    }
    // The DOS file of a month of the year to June 2006 (10 October, 11 November, ...).
    QString DosFile(int month) const {
        return TempPath(QStringLiteral("data/ABC12306.P%1").arg(month - 6, 2, 10, QLatin1Char('0')));
    }
    QString StandardFile(int month) const {
        return TempPath(QStringLiteral("data/ABC123/ABC12306.PA%1").arg(month - 6));
    }
    std::unique_ptr<TTransactionList> Load(const TAccountFormat* format, TOptionSet options,
                                           int periodsPerYear = 12, int period = 4) const {
        options.Include(Option::DosVersion);
        return std::make_unique<TTransactionList>(Sources(format), pkPayments, 2006, period, periodsPerYear,
                                                  options);
    }

    std::unique_ptr<TAccountFormat> Format = MakeFormat("AAAA-SS");
    std::unique_ptr<TAccountFormat> Short = MakeFormat("AAAA");
};

// Files of every form longer than a block (2,000 records), with the header repeated at the start
// of the second block and inside the third (files the DOS version appended to): every record
// reads, in file order, and no header becomes an entry.
TEST_F(TDosLoadTest, FilesLongerThanABlockReadWhole) {
    struct TCase {
        const TDosLayout* Layout;
        const char* HeaderText; // nullptr: the form has none
        bool ShortCodes;
    };
    const TCase cases[] = {
        {&V41, "Transaction File V4.1", false}, {&V4, "Transaction File V4", false}, {&V3, nullptr, true}};
    constexpr int Records = 4500;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Layout->Size);
        QByteArray file;
        int number = 0; // records written
        while (number < Records) {
            const int at = static_cast<int>(file.size() / c.Layout->Size);
            if (c.HeaderText && (at == 0 || at == 2000 || at == 4321)) {
                file += Header(*c.Layout, c.HeaderText);
                continue;
            }
            file += Record(*c.Layout, Reference(number), c.ShortCodes ? "4000" : "4000-01",
                           c.ShortCodes ? "1000" : "1000-00", RecordDetails(number + 1));
            ++number;
        }
        ASSERT_TRUE(WriteFileBytes(DosFile(10), file));
        auto list = Load(c.ShortCodes ? Short.get() : Format.get(), {Option::NoLoadProcessing});
        ASSERT_EQ(list->LoadStatus(), 0);
        ASSERT_EQ(list->Count(), Records);
        int mismatches = 0;
        for (int i = 0; i < Records; ++i) {
            const TTransactionDetail& entry = *list->GetItem(i);
            if (entry.Reference != Reference(i) ||
                entry.Details() != QString::fromLatin1(RecordDetails(i + 1)) ||
                entry.Date != EncodeDateNum(2005, 10, 15) || !entry.HasAnyFlag({TF::Keyed}))
                ++mismatches;
        }
        EXPECT_EQ(mismatches, 0);
        const TTransactionDetail& last = *list->GetItem(Records - 1);
        EXPECT_EQ(last.PostingCode, c.ShortCodes ? Acc(4000) : MakeCode(-1, -1, 4000, 1));
        EXPECT_EQ(last.BankCode, c.ShortCodes ? Acc(1000) : MakeCode(-1, -1, 1000, 0));
        EXPECT_EQ(list->GetNextID(4), list->GetItem(0)->ID + Records) << "one ID for each record";
        list->SetSaved(true); // nothing is converted here
        QFile::remove(DosFile(10));
    }
}

// A file that is not whole records (cut short, or shorter than one record) fails the load: with a
// box the user may cancel, quietly for a quiet load. The list never holds a part of it, and it is
// never written over the file.
TEST_F(TDosLoadTest, ATruncatedOrDamagedFileFailsAndKeepsNothingOfIt) {
    QByteArray whole = Header(V41, "Transaction File V4.1");
    for (int i = 0; i < 2500; ++i)
        whole += Record(V41, 100 + i, "4000-01", "1000-00", RecordDetails(i));
    struct TCase {
        QByteArray Bytes;
        const char* What;
    };
    const TCase cases[] = {{whole.left(whole.size() - 30), "the last record cut short"},
                           {whole.left(84 * 2000 + 1), "one byte into the second block"},
                           {whole.left(50), "less than one record"},
                           {whole.left(83), "a header cut short"}};
    // The box says why.
    const QString box =
        "Unable to find or load  Payments: October 2005 \n(The DOS version's transaction file is "
        "damaged: its size is not a whole number of records)";
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        ASSERT_TRUE(WriteFileBytes(DosFile(10), c.Bytes));
        QFile::remove(StandardFile(10));
        Prompt->Shown.clear();
        Prompt->Answer(TMessageButton::Cancel);
        {
            auto list = Load(Format.get(), {});
            EXPECT_EQ(list->LoadStatus(), -1);
            EXPECT_EQ(list->Count(), 0);
        }
        EXPECT_EQ(Prompt->Texts(), QStringList{box});
        EXPECT_EQ(ReadFileBytes(DosFile(10)), c.Bytes) << "the damaged file is left as it was";
        EXPECT_FALSE(QFile::exists(StandardFile(10))) << "a failed load is never saved";

        // Quietly, over October to December: October's whole file reads and stays; nothing of
        // the damaged November file does.
        ASSERT_TRUE(WriteFileBytes(DosFile(10), whole.left(84 * 11)) && WriteFileBytes(DosFile(11), c.Bytes));
        Prompt->Shown.clear();
        {
            auto quarter = Load(Format.get(), {Option::QuietLoad, Option::NoLoadProcessing}, 4, 2);
            EXPECT_EQ(quarter->LoadStatus(), -1);
            ASSERT_EQ(quarter->Count(), 10);
            EXPECT_EQ(quarter->GetItem(9)->Reference, 109);
            EXPECT_EQ(quarter->GetNextID(5), TransactionSlotKeyBase(pkPayments, 5)) << "November took no ID";
            EXPECT_EQ(quarter->GetNextID(4), TransactionSlotKeyBase(pkPayments, 4) + 10);
        }
        EXPECT_TRUE(Prompt->Texts().isEmpty());
        EXPECT_EQ(ReadFileBytes(DosFile(11)), c.Bytes);
        QFile::remove(DosFile(11));
    }
}

// A file of exactly one header holds nothing; a retry after the file is mended reads it whole.
TEST_F(TDosLoadTest, AHeaderAloneIsEmptyAndARetryReadsTheMendedFile) {
    ASSERT_TRUE(WriteFileBytes(DosFile(10), Header(V41, "Transaction File V4.1")));
    {
        auto list = Load(Format.get(), {Option::NoLoadProcessing});
        EXPECT_EQ(list->LoadStatus(), 0);
        EXPECT_EQ(list->Count(), 0);
    }
    QByteArray mended = Header(V4, "Transaction File V4");
    for (int i = 0; i < 2001; ++i)
        mended += Record(V4, 7000 + i % 100, "4000-01", "1000-00", RecordDetails(i));
    ASSERT_TRUE(WriteFileBytes(DosFile(10), mended.left(mended.size() - 1)));
    Prompt->Answer(TMessageButton::Retry);
    Prompt->OnShow = [&] { WriteFileBytes(DosFile(10), mended); };
    auto list = Load(Format.get(), {Option::NoLoadProcessing});
    EXPECT_EQ(list->LoadStatus(), 0);
    ASSERT_EQ(list->Count(), 2001);
    EXPECT_EQ(list->GetItem(2000)->Reference, 7000);
    EXPECT_EQ(list->GetItem(2000)->Details(), "Payment 2000");
    EXPECT_EQ(list->GetItem(0)->ID, TransactionSlotKeyBase(pkPayments, 4));
    list->SetSaved(true);
}

} // namespace
