#pragma once

// Shared set-up of the tests of the charts kept in the standard account format: the accounts-
// chart reference tables installed, client "ABC123" of format "QUILVANE" whose data and program
// folders are the test's temporary folder, and the chart files written and read whole.

#include "core/charts/ChartEntity.h"
#include "tests/core/AccountsChartTestData.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ServicesFixture.h"

class TChartFixture : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        Entity.FileCode = QStringLiteral("ABC123");
        Entity.DataDir = Temp.path();
        Entity.ProgramDataDir = Temp.path();
        Entity.AccFormatID = QStringLiteral("QUILVANE");
    }

    void WriteFile(const QString& path, const QByteArray& bytes) { ASSERT_TRUE(WriteFileBytes(path, bytes)); }
    QByteArray ReadFile(const QString& path) const { return ReadFileBytes(path); }

    TAccountsChartTables Tables;
    TChartEntity Entity;
};
