#include "tests/core/ChartTestSupport.h"

#include "entry/accounts/AccountDraft.h"
#include "entry/accounts/AddEditAccount.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTimer>

#include <functional>

namespace {

// Client ABC123 (format BB-AAAA-SS: all codes 00-0000-00 to 99-9999-99, balance sheet 2000-4999,
// suspense 9000 on) in Australian dollars, its 2006 chart holding 00-0100-00 Sales and 00-0300-00
// Wages.
class AccountDraftTest : public TChartTest {
protected:
    void SetUp() override {
        TChartTest::SetUp();
        Entity.Currency = "AUD";
        Chart = AccountsOf({"00-0100-00::Sales", "00-0300-00::Wages"});
        Chart->Saved = true;
    }

    TAccountDraft Draft(const QString& code, const QString& description, const QString& type = "ACC") {
        TAccountDraft draft(*Chart);
        draft.CodeText = code;
        draft.Description = description;
        draft.AccountType = type;
        return draft;
    }

    std::unique_ptr<TAccountsChart> Chart;
};

TEST_F(AccountDraftTest, AddsAValidCodeAtItsPlaceInTheChart) {
    QString message = "stale";
    const int index = Draft(" 00-200-0 ", " Rent ").Add(message);
    ASSERT_EQ(index, 1);
    EXPECT_TRUE(message.isEmpty() && Keys(*Chart) == "00-0100-00,00-0200-00,00-0300-00" && !Chart->Saved);
    EXPECT_EQ(Chart->IndexOfCode(Code("00-0200-00")), index);
    EXPECT_EQ(Chart->GetAccount(index)->Description + Chart->GetAccount(index)->AccountType, "RentACC");
}

// Code, type asked for, types offered, type built: the posting types each range allows.
const char* const TypeCases[][4] = {
    {"00-0150-00", "BNK", "ACC", "ACC"}, // profit and loss: no bank account
    {"00-2010-00", "BNK", "ACC,BNK", "BNK"},
    {"01-2010-00", "ACC", "ACC,BNK", "ACC"},
    {"00-9100-00", "ACC", "SUS", "SUS"},
};

TEST_F(AccountDraftTest, TypeFollowsTheRangesOfTheFormat) {
    for (const auto& [code, asked, allowed, built] : TypeCases) {
        const TAccountDraft draft = Draft(code, "New", asked);
        EXPECT_EQ(draft.AllowedTypes().join(','), allowed) << code;
        const auto account = draft.Build();
        ASSERT_NE(account, nullptr);
        EXPECT_EQ(account->AccountType, built) << code << " " << asked;
        // Bank details, in the file's currency, for a bank account only.
        EXPECT_EQ(account->GetBankCurrency(), QString(built) == "BNK" ? "AUD" : "") << code;
    }
}

struct TFaultCase {
    const char* Code;
    const char* Description;
    TAccountDraft::TFault Fault;
    const char* Message;
};

const TFaultCase FaultCases[] = {
    {"  ", "Rent", TAccountDraft::BlankCode, "Please enter an account code."},
    {"12345", "Rent", TAccountDraft::InvalidCode,
     "\"12345\" is not a valid account code. Account codes must lie in the range 00-0000-00 to 99-9999-99."},
    {"01-", "Rent", TAccountDraft::InvalidCode, // a branch without an account number
     "\"01-\" is not a valid account code. Account codes must lie in the range 00-0000-00 to 99-9999-99."},
    // A number alone, or a code without its sub-account, lies outside the format: it would make
    // an account beside the one the format places it at.
    {"100", "Rent", TAccountDraft::InvalidCode,
     "\"100\" is not a valid account code. Account codes must lie in the range 00-0000-00 to 99-9999-99."},
    {"00-0400", "Rent", TAccountDraft::InvalidCode,
     "\"00-0400\" is not a valid account code. Account codes must lie in the range 00-0000-00 to "
     "99-9999-99."},
    {"00-100-00", "Rent", TAccountDraft::DuplicateCode,
     "Account 00-0100-00 already exists in the chart of accounts."},
    {"00-0400-00", " ", TAccountDraft::BlankDescription, "Please enter a description for the account."},
};

TEST_F(AccountDraftTest, RefusesFaultsAndLeavesTheChartAsItWas) {
    for (const TFaultCase& row : FaultCases) {
        const TAccountDraft draft = Draft(row.Code, row.Description);
        QString message;
        EXPECT_EQ(draft.Check(message), row.Fault) << row.Code;
        EXPECT_EQ(draft.Add(message), -1);
        EXPECT_EQ(message, row.Message);
        EXPECT_TRUE(Keys(*Chart) == "00-0100-00,00-0300-00" && Chart->Saved);
    }
}

// The window on the same chart, reached through the offer the program start installs.
class AddEditAccountTest : public AccountDraftTest {
protected:
    void SetUp() override {
        AccountDraftTest::SetUp();
        InstallAddAccountOffer();
    }

    static TfmAddEditAccount* AccountWindow() {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* form = qobject_cast<TfmAddEditAccount*>(widget))
                return form;
        return nullptr;
    }
    // Runs the step on the account window once exec() shows it; a window left open is cancelled.
    static void WhenShown(std::function<void(TfmAddEditAccount&)> step) {
        QTimer::singleShot(0, [step] {
            TfmAddEditAccount* form = AccountWindow();
            ASSERT_TRUE(form && form->isVisible());
            step(*form);
            if (form->isVisible())
                form->reject();
        });
    }
};

TEST_F(AddEditAccountTest, OKAddsTheFilledAccount) {
    WhenShown([](TfmAddEditAccount& form) {
        EXPECT_EQ(form.edtAccountCode->text(), "00-2050-00");
        EXPECT_FALSE(form.grbBankDetails->isEnabled());
        form.edtDescription->setText("Cheque Account");
        form.cboAccountType->setCurrentIndex(form.cboAccountType->findData("BNK"));
        EXPECT_TRUE(form.grbBankDetails->isEnabled());
        form.edtAccountNumber->setText("1234 5678");
        form.accept();
    });
    int index = -1;
    ASSERT_TRUE(TServices::AddAccountOffer()(*Chart, " 00-2050-00", index));
    EXPECT_EQ(AccountWindow(), nullptr); // freed
    ASSERT_EQ(index, Chart->IndexOfCode(Code("00-2050-00")));
    const TAccountDetail* account = Chart->GetAccount(index);
    EXPECT_EQ(account->Description + account->AccountType, "Cheque AccountBNK");
    EXPECT_EQ(account->BankDetails->AccountNumber, "1234 5678");
}

TEST_F(AddEditAccountTest, AFaultKeepsTheWindowOpenAndCancelAddsNothing) {
    Prompt->Answer(TMessageButton::OK);
    WhenShown([this](TfmAddEditAccount& form) {
        form.edtDescription->setText("Sales again");
        form.accept();
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(Prompt->Texts(),
                  QStringList{"Account 00-0100-00 already exists in the chart of accounts."});
        EXPECT_EQ(Prompt->Beeps, QList<TBeep>{TBeep::Error});
    });
    int index = 5;
    EXPECT_FALSE(TServices::AddAccountOffer()(*Chart, "00-0100-00", index));
    EXPECT_EQ(index, -1);
    EXPECT_EQ(AccountWindow(), nullptr);
    EXPECT_TRUE(Keys(*Chart) == "00-0100-00,00-0300-00" && Chart->Saved);
}

} // namespace
