#pragma once

// Shared set-up of the client-record tests: program settings from the shipped reference data
// with the data folder in the test's temporary folder, a fixed clock, a file system that logs
// protection changes, and records written and read by hand.

#include "core/common/Exceptions.h"
#include "core/entity/EntityDetail.h"
#include "core/files/StoredFileWriter.h"
#include "core/services/LocalFileSystem.h"
#include "core/services/Services.h"
#include "core/settings/ProgramParams.h"
#include "tests/support/FileBytes.h"
#include "tests/support/FixedClock.h"
#include "tests/support/ServicesFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <utility>

using namespace Option;

// Logs every protection change (for one thread only; a writer's temporary file as its target's
// name and the marker, "ABC123.CFG.~qv") and reports each file protected; can refuse every change
// of protection (a share that keeps its files' modes: nothing there is made writable, and no new
// record can be given its protection, so none is written).
class TRecordingFileSystem : public TLocalFileSystem {
public:
    bool SetProtected(const QString& path, bool protect) override {
        QString name = QFileInfo(path).fileName();
        const qsizetype marker = name.lastIndexOf(TStoredFileWriter::TempMarker());
        if (marker > 0)
            name.truncate(marker + TStoredFileWriter::TempMarker().size());
        Log.append((protect ? "protect:" : "unprotect:") + name);
        const bool done = !RefuseUnprotect && TLocalFileSystem::SetProtected(path, protect);
        if (protect && OnProtected)
            OnProtected(path);
        return done;
    }
    QStringList Log;
    bool RefuseUnprotect = false;
    std::function<void(const QString&)> OnProtected;
};

class TEntityFixture : public TServicesFixture {
protected:
    void SetUp() override {
        TServicesFixture::SetUp();
        DataDir = TempPath("DATA");
        ASSERT_TRUE(QDir().mkpath(DataDir));
        Params = std::make_shared<TProgramParams>();
        Params->TReferenceData::Load(TProgramParams::ShippedReferenceDataPath());
        Params->LicFilePath = DataDir;
        Params->UserName = "WORKSTATION1";
        SetProgramParams(Params);
        TServices::SetClock(std::make_shared<TFixedClock>(QDateTime(QDate(2024, 3, 15), QTime(14, 45))));
        TServices::SetFileSystem(Files = std::make_shared<TRecordingFileSystem>());
    }

    QString RecordPath(const QString& code = "ABC123") const { return DataDir + "/" + code + ".CFG"; }
    static QString DataPath(const QString& name) { return QUILVANE_TEST_DATA_DIR "/entity/" + name; }
    // A record of tests/data/entity with the data folder filled in.
    QByteArray Golden(const QString& name) const {
        return ReadFileBytes(DataPath(name)).replace("@DATADIR@", DataDir.toLatin1());
    }
    void WriteRecordBytes(const QByteArray& bytes) {
        QFile::setPermissions(RecordPath(), QFile::ReadOwner | QFile::WriteOwner);
        ASSERT_TRUE(WriteFileBytes(RecordPath(), bytes));
    }
    QByteArray ReadRecordBytes() const { return ReadFileBytes(RecordPath()); }
    QString DiskKey(const QString& key) const {
        return TIniFile(RecordPath()).ReadString("CONFIGURATION", key, "<missing>");
    }

    // small_2006.cfg (June year end, 12 periods) with the lock keys given; `change` replaces the
    // "key=value" line of its key.
    static QByteArray SmallRecord(const QString& locked = "0", const QString& lockedBy = "",
                                  const QString& change = {}) {
        QStringList lines = QString::fromLatin1(ReadFileBytes(DataPath("small_2006.cfg"))).split("\r\n");
        for (QString& line : lines) {
            const QString key = line.section('=', 0, 0);
            if (key == "Locked" || key == "LockedBy")
                line = key + "=" + (key == "Locked" ? locked : lockedBy);
            if (!change.isEmpty() && key == change.section('=', 0, 0).trimmed())
                line = change;
        }
        return lines.join("\r\n").toLatin1();
    }
    // The bytes written as the record and read back without locking it.
    std::unique_ptr<TEntityDetail> LoadRecord(const QByteArray& bytes) {
        WriteRecordBytes(bytes);
        return Open({Standard, NoLock, Load});
    }
    static std::unique_ptr<TEntityDetail> Open(const TOptionSet& options, const QString& code = "ABC123") {
        return TEntityDetail::Create(code, options);
    }
    // The record as another workstation opens it.
    std::unique_ptr<TEntityDetail> OpenAs(const QString& workstation, const TOptionSet& options) {
        const auto restore =
            qScopeGuard([&, own = std::exchange(Params->UserName, workstation)] { Params->UserName = own; });
        return Open(options);
    }

    QString DataDir;
    std::shared_ptr<TProgramParams> Params;
    std::shared_ptr<TRecordingFileSystem> Files;
};
