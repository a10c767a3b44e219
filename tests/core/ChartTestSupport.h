#pragma once

// The shared set-up of the chart tests: the reference tables of tests/data/charts/reference.dat
// installed, client "ABC123" of format "QUILVANE" (BB-AAAA-SS) whose data folder is the test's
// temporary folder, and the hand-written stored bytes of tests/data/charts/*.hex.

#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountsChart.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "tests/core/AccountTestFormats.h"
#include "tests/support/FileBytes.h"
#include "tests/support/HookedPrompt.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <QFileInfo>

// A block of a hex file under tests/data/charts (see HexBlock).
inline QByteArray Stored(const QString& file, const QString& block) {
    const QByteArray text = ReadFileBytes(QStringLiteral(QUILVANE_TEST_DATA_DIR "/charts/") + file + ".hex");
    EXPECT_TRUE(text.contains('[' + block.toLatin1() + ']'))
        << file.toStdString() << " has no block [" << block.toStdString() << "]";
    return HexBlock(text, block.toLatin1());
}

// A chart file: the header block, then the item blocks inside a list.
inline QByteArray StoredChart(const QString& file, const QString& header, const QStringList& items) {
    QByteArray bytes = Stored(file, header) + '\x01';
    for (const QString& item : items)
        bytes += Stored(file, item);
    return bytes + '\0';
}

// The keys of a chart joined by ",".
inline QString Keys(const TMasterChart& chart) {
    QStringList keys;
    for (int i = 0; i < chart.Count(); ++i)
        keys << chart.GetCode(i);
    return keys.join(u',');
}

// A clock that counts its readings and moves on a minute at each: accounts that read it one by
// one come out with different times.
class TTickingClock : public IClock {
public:
    explicit TTickingClock(QDateTime start) : Next(std::move(start)) {}
    QDateTime Now() const override {
        ++Readings;
        const QDateTime now = Next;
        Next = Next.addSecs(60);
        return now;
    }
    mutable int Readings = 0;
    mutable QDateTime Next;
};

class TChartTest : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        Prompt = Hooked;
        TServices::SetPrompt(Prompt);
        Params->LoadFromBytes(ReadFileBytes(QStringLiteral(QUILVANE_TEST_DATA_DIR "/charts/reference.dat")),
                              QStringLiteral("Quilvane.DAT"));
        SetProgramParams(Params);
        Entity = {"ABC123",   "NSP", Temp.path(), "X:\\QUILVANE\\TRANSFER", TempPath("PROGRAM"),
                  "QUILVANE", {},    {}};
    }

    const TAccountFormat* Format(const QString& id = QStringLiteral("QUILVANE")) const {
        return Params->FindAccountFormat(id);
    }
    TAccountCode Code(const QString& text) const {
        TAccountCode code;
        EXPECT_TRUE(Format()->TextToCode(text, code, false, false)) << text.toStdString();
        return code;
    }
    // An account "code:type:description:bank currency" (all but the code may be left out).
    std::unique_ptr<TAccountDetail> Account(const QString& text) const {
        const QStringList parts = text.split(u':');
        auto account = std::make_unique<TAccountDetail>(Format());
        account->SetCode(Code(parts[0]));
        if (parts.size() > 1)
            account->DeriveAccountType(parts[1]);
        account->Description = parts.value(2);
        account->SetBankCurrency(parts.value(3));
        return account;
    }
    // The client's 2006 chart of accounts holding the accounts given.
    std::unique_ptr<TAccountsChart> AccountsOf(const QStringList& texts, TStdDescChart* stdDescs = nullptr) {
        auto chart =
            std::make_unique<TAccountsChart>(Entity, Format(), TOptionSet{}, 2006, QString(), stdDescs);
        for (const QString& text : texts)
            EXPECT_GE(chart->AddAccount(Account(text)), 0) << text.toStdString();
        return chart;
    }
    // Files inside the data folder ("M_DETAIL/ABC12306.STD"), written with their folders.
    void Write(const QString& name, const QByteArray& bytes) const {
        QDir().mkpath(QFileInfo(TempPath(name)).absolutePath());
        ASSERT_TRUE(WriteFileBytes(TempPath(name), bytes));
    }
    QByteArray Read(const QString& name) const { return ReadFileBytes(TempPath(name)); }

    std::shared_ptr<THookedPrompt> Hooked = std::make_shared<THookedPrompt>();
    std::shared_ptr<TProgramParams> Params = std::make_shared<TProgramParams>();
    TChartEntity Entity;
};
