#pragma once

#include "tests/core/ChartTestSupport.h"
#include "tests/core/EntityTestSupport.h"

#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountDetail.h"
#include "core/charts/AccountsChart.h"
#include "core/entity/EntityInfo.h"

#include <QDir>

#include <initializer_list>

// File ABC123 (year to June 2006, account format QUILVANE) opened with its 2006 accounts chart, the
// ground every bringing-forward test starts from.
class TBringForwardFixture : public TEntityFixture {
protected:
    // Writes the file's record (with the one "Key=value" line that recordChange replaces, none when
    // empty) and an empty 2006 chart, opens the file and adds the accounts "code:type" to that
    // chart, each described as "Account <code>". The chart is left unsaved.
    void OpenWithAccounts(const QString& recordChange, std::initializer_list<QString> accounts) {
        TEntityInfo::SetSessionLog([](const TLogSession&) {});
        WriteRecordBytes(SmallRecord("0", "", recordChange));
        ASSERT_TRUE(QDir().mkpath(DataDir + "/M_DETAIL"));
        ASSERT_TRUE(
            WriteFileBytes(DataDir + "/M_DETAIL/ABC12306.ADF", StoredChart("accounts", "header", {})));
        File = TEntityInfo::Create("ABC123", {Standard, Load});
        File->OpenYear();
        Chart = File->AccountsChart(2006);
        ASSERT_NE(Chart, nullptr);
        for (const QString& text : accounts) {
            auto account = std::make_unique<TAccountDetail>(Chart->Format());
            account->SetCode(Code(text.section(':', 0, 0)));
            account->DeriveAccountType(text.section(':', 1));
            account->Description = "Account " + text.section(':', 0, 0);
            ASSERT_GE(Chart->AddAccount(std::move(account)), 0);
        }
        Chart->Saved = false;
    }
    void TearDown() override {
        if (File)
            File->Close();
        File.reset();
        TEntityInfo::SetSessionLog({});
        TEntityFixture::TearDown();
    }

    TAccountCode Code(const QString& text) const {
        TAccountCode code;
        EXPECT_TRUE(Chart->Format()->TextToCode(text, code, false, false)) << text.toStdString();
        return code;
    }

    std::unique_ptr<TEntityInfo> File;
    TAccountsChart* Chart = nullptr;
};
