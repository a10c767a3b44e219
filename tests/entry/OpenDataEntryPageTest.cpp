#include "tests/core/EntityTestSupport.h"

#include "core/entity/DesktopFiles.h"
#include "core/entity/EntityInfo.h"
#include "core/vocab/PageKinds.h"
#include "entry/openpage/OpenDataEntryPage.h"
#include "entry/openpage/OpenPageChoices.h"

#include <QCheckBox>
#include <QComboBox>

#include <tuple>

namespace {

using OpenPageChoicesTest = TServicesFixture;

// What GetResult gives, of the choices or of the dialog.
template <class TSource> std::tuple<int, int, bool> Result(const TSource& source) {
    std::tuple<int, int, bool> result{-1, -1, false};
    source.GetResult(std::get<0>(result), std::get<1>(result), std::get<2>(result));
    return result;
}

struct TPeriodNameCase {
    int PeriodsPerYear;
    int EndMonth;
    int Period;
    const char* Name;
};

// Year 2006 of files ending in March and in December, monthly and quarterly.
const TPeriodNameCase PeriodNameCases[] = {
    {12, 3, 1, "Apr 2005"},           {12, 3, 10, "Jan 2006"},          {12, 3, 12, "Mar 2006"},
    {4, 3, 1, "Apr 2005 - Jun 2005"}, {4, 3, 4, "Jan 2006 - Mar 2006"}, {4, 12, 4, "Oct 2006 - Dec 2006"},
};

TEST_F(OpenPageChoicesTest, NamesEachPeriodOfTheYearByItsMonths) {
    for (const TPeriodNameCase& row : PeriodNameCases) {
        const QStringList names =
            TOpenPageChoices(2006, row.PeriodsPerYear, row.EndMonth, 1, 1).PeriodNames();
        ASSERT_EQ(names.size(), row.PeriodsPerYear);
        EXPECT_EQ(names[row.Period - 1], row.Name) << row.PeriodsPerYear << " periods, end " << row.EndMonth;
    }
}

TEST_F(OpenPageChoicesTest, DefaultPeriodIsMovedIntoTheYear) {
    const std::pair<int, int> cases[] = {{7, 4}, {4, 4}, {3, 3}, {1, 1}, {0, 1}, {-2, 1}};
    for (const auto& [stored, expected] : cases)
        EXPECT_EQ(Result(TOpenPageChoices(2006, 4, 3, stored, pkPayments)),
                  std::make_tuple(1, expected, false));
}

TEST_F(OpenPageChoicesTest, KindsWithoutPeriodsGivePeriodZeroAndNoDefault) {
    for (int kind = 0; kind <= TOpenPageChoices::LastOfferedKind; ++kind) {
        TOpenPageChoices choices(2006, 12, 6, 1, kind);
        choices.SetPeriod(5);
        choices.SetMakeDefault(true);
        const bool withPeriod = kind >= pkPayments && kind <= pkBankStatementWithdrawals;
        EXPECT_EQ(choices.PeriodEnabled(), withPeriod) << kind;
        EXPECT_EQ(Result(choices), std::make_tuple(kind, withPeriod ? 5 : 0, withPeriod));
    }
    // Deleted transactions are never offered.
    EXPECT_EQ(TOpenPageChoices::KindNames().size(), 14);
    EXPECT_EQ(TOpenPageChoices(2006, 12, 6, 1, pkDeletedTransactions).Kind(), TOpenPageChoices::FallbackKind);
}

// File ABC123 of a year ending in March 2006 in quarters, default period 2, open on a desktop.
class OpenDataEntryPageTest : public TEntityFixture {
protected:
    void SetUp() override {
        TEntityFixture::SetUp();
        QByteArray record = SmallRecord();
        record.replace("Periods=12", "Periods=4").replace("EndMonth=6", "EndMonth=3");
        WriteRecordBytes(record.replace("Period=1\r", "Period=2\r"));
        std::unique_ptr<TEntityInfo> file = TEntityInfo::Create("ABC123", {Standard, NoLock, Load});
        ASSERT_EQ(Desktop.Add(file), 0);
    }
    void TearDown() override {
        Desktop.Remove(0);
        TEntityFixture::TearDown();
    }

    TDesktopFiles Desktop;
};

TEST_F(OpenDataEntryPageTest, OKGivesTheChosenKindAndPeriod) {
    TfmOpenDataEntryPage form;
    form.Setup(Desktop, 0, pkGeneralJournals);
    EXPECT_EQ(form.windowTitle(), "Open Data Entry Page");
    EXPECT_EQ(form.cbxMakeDefault->text(), " &Make selected period the default period.");
    EXPECT_EQ(form.cboPageKind->currentText(), "General Journals");
    ASSERT_EQ(form.cboPeriod->count(), 4);
    EXPECT_EQ(form.cboPeriod->currentText(), "Jul 2005 - Sep 2005");

    form.cboPageKind->setCurrentIndex(pkPayments);
    form.cboPeriod->setCurrentIndex(3);
    form.cbxMakeDefault->setChecked(true);
    form.accept();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(Result(form), std::make_tuple(1, 4, true));

    // Standard bank transactions take no period, and so cannot make one the default.
    form.cboPageKind->setCurrentIndex(pkStandardBankTransactions);
    EXPECT_FALSE(form.cboPeriod->isEnabled() || form.cbxMakeDefault->isEnabled());
    EXPECT_EQ(Result(form), std::make_tuple(13, 0, false));
    EXPECT_THROW(form.Setup(Desktop, 1, pkPayments), EQuilvaneError); // no file at index 1
}

} // namespace
