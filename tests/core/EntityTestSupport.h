#pragma once

// Shared set-up of the client-record tests: program settings read from the shipped reference
// data with the data folder in the test's temporary folder, a fixed clock, a file system that
// records protection changes, and helpers to write and read records by hand.

#include "core/common/RegionalSettings.h"
#include "core/entity/EntityDetail.h"
#include "core/common/OptionSet.h"
#include "core/services/LocalFileSystem.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FixedClock.h"
#include "tests/support/HookedPrompt.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <functional>
#include <mutex>

// The workstation's file system with every protection change written to a log; it can be told
// to refuse making a file writable (a read-only share) and runs a step when a file is protected
// again (to look at what was just written).
class TRecordingFileSystem : public TLocalFileSystem {
public:
    bool SetProtected(const QString& path, bool protect) override {
        {
            std::lock_guard<std::mutex> hold(Mutex);
            Log.append((protect ? QStringLiteral("protect:") : QStringLiteral("unprotect:")) +
                       QFileInfo(path).fileName());
        }
        if (!protect && RefuseUnprotect)
            return false;
        const bool done = TLocalFileSystem::SetProtected(path, protect);
        if (protect && OnProtect)
            OnProtect(path);
        return done;
    }

    QStringList Entries() const {
        std::lock_guard<std::mutex> hold(Mutex);
        return Log;
    }

    bool RefuseUnprotect = false;
    std::function<void(const QString&)> OnProtect;

private:
    mutable std::mutex Mutex;
    QStringList Log;
};

class TEntityFixture : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        SavedHome = qgetenv("HOME");
        ASSERT_TRUE(QDir(Temp.path()).mkpath(QStringLiteral("home")));
        qputenv("HOME", TempPath(QStringLiteral("home")).toLocal8Bit());
        DataDir = TempPath(QStringLiteral("DATA"));
        ASSERT_TRUE(QDir().mkpath(DataDir));
        Prompt = std::make_shared<THookedPrompt>();
        TServices::SetPrompt(Prompt);
        Params = std::make_shared<TProgramParams>();
        Params->TReferenceData::Load(TProgramParams::ShippedReferenceDataPath());
        Params->LicFilePath = DataDir;
        Params->UserName = QStringLiteral("WORKSTATION1");
        SetProgramParams(Params);
        TServices::SetClock(std::make_shared<TFixedClock>(QDateTime(QDate(2024, 3, 15), QTime(14, 45))));
        Files = std::make_shared<TRecordingFileSystem>();
        TServices::SetFileSystem(Files);
    }

    void TearDown() override {
        SetProgramParams(nullptr);
        TRegionalSettings::Program().Reset();
        qputenv("HOME", SavedHome);
        TServicesFixture::TearDown();
    }

    QString RecordPath(const QString& code = QStringLiteral("ABC123")) const {
        return DataDir + QLatin1Char('/') + code + QStringLiteral(".CFG");
    }

    static QByteArray Lines(const QStringList& lines) {
        return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1();
    }

    // Writes a record as another program would: plain bytes, then protected.
    void WriteRecordBytes(const QByteArray& bytes, const QString& code = QStringLiteral("ABC123")) {
        const QString path = RecordPath(code);
        if (QFile::exists(path))
            QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray ReadRecordBytes(const QString& code = QStringLiteral("ABC123")) const {
        return ReadFileBytes(RecordPath(code));
    }

    // A small valid record of year 2006 with the lock keys given.
    QByteArray SmallRecord(const QString& locked, const QString& lockedBy,
                           const QString& name = QStringLiteral("Acme")) const {
        return Lines({QStringLiteral("[CONFIGURATION]"), QStringLiteral("Code=ABC123"),
                      QStringLiteral("Type=COY"), QStringLiteral("Name=") + name,
                      QStringLiteral("Created=732494.5"), QStringLiteral("Accessed=732495.25"),
                      QStringLiteral("AccFormatID=QUILVANE"), QStringLiteral("Year=2006"),
                      QStringLiteral("Periods=12"), QStringLiteral("EndMonth=6"), QStringLiteral("Period=1"),
                      QStringLiteral("Locked=") + locked, QStringLiteral("LockedBy=") + lockedBy, QString(),
                      QStringLiteral("[Notes]"), QStringLiteral("; kept as it is"),
                      QStringLiteral("Odd Key = spaced value")});
    }

    static std::unique_ptr<TEntityDetail> Open(const TOptionSet& options,
                                               const QString& code = QStringLiteral("ABC123")) {
        return TEntityDetail::Create(code, options);
    }

    // Runs OnShow when a box comes up; the base class's prompter is this one.
    THookedPrompt& Hooked() { return static_cast<THookedPrompt&>(*Prompt); }

    QString DataDir;
    std::shared_ptr<TProgramParams> Params;
    std::shared_ptr<TRecordingFileSystem> Files;
    QByteArray SavedHome;
};
