#pragma once

// The ground of the tests of the files the program ships in share/: the shipped reference data
// loaded, a data folder "DATA" in the test's temporary folder and a fixed clock.

#include "core/accounts/AccountFormat.h"
#include "core/charts/StandardChart.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <QFileInfo>

#include <functional>

class TShippedDataFixture : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        DataDir = TempPath("DATA");
        ASSERT_TRUE(QDir().mkpath(DataDir));
        Params->TReferenceData::Load(TProgramParams::ShippedReferenceDataPath());
        Params->LicFilePath = DataDir;
        SetProgramParams(Params);
        TServices::SetClock(Clock);
        ASSERT_NE(Format(), nullptr);
    }

    const TAccountFormat* Format() const { return Params->FindAccountFormat(TStandardChart::FormatID); }

    // A shipped file is what the program's own writer makes of its table, the same on any day.
    // write(path) writes the table to path; it is called on two days, and the bytes must match each
    // other and the shipped file. Run with QUILVANE_WRITE_STANDARD_CHART=1, the shipped file in the
    // source tree is written anew instead of compared.
    void ExpectTheShippedFileIsTheTable(const QString& shipped,
                                        const std::function<void(const QString&)>& write) {
        const QString name = QFileInfo(shipped).fileName();
        write(TempPath(name));
        const QByteArray bytes = ReadFileBytes(TempPath(name));
        ASSERT_FALSE(bytes.isEmpty()) << name.toStdString();
        Clock->Current = QDateTime(QDate(2031, 12, 31), QTime(23, 59));
        write(TempPath("AGAIN." + QFileInfo(shipped).suffix()));
        EXPECT_TRUE(ReadFileBytes(TempPath("AGAIN." + QFileInfo(shipped).suffix())) == bytes);

        if (qEnvironmentVariable("QUILVANE_WRITE_STANDARD_CHART") == "1") {
            ASSERT_TRUE(WriteFileBytes(shipped, bytes));
            GTEST_SKIP() << "Wrote " << shipped.toStdString();
        }
        EXPECT_TRUE(ReadFileBytes(shipped) == bytes)
            << shipped.toStdString()
            << " differs from the table; write it again with QUILVANE_WRITE_STANDARD_CHART=1";
    }

    QString DataDir;
    std::shared_ptr<TProgramParams> Params = std::make_shared<TProgramParams>();
    std::shared_ptr<TFixedClock> Clock =
        std::make_shared<TFixedClock>(QDateTime(QDate(2024, 3, 15), QTime(14, 45)));
};
