// Loads arbitrary bytes as a client file's detail record. A load either succeeds or fails with
// its message (answered at once); it never crashes. A record that loaded is saved, and the saved
// record must load again to the same set-up and save to the same bytes; the lock must then be
// taken and given back.
#include "core/entity/EntityDetail.h"
#include "core/common/OptionSet.h"
#include "core/common/Exceptions.h"
#include "fuzz/FuzzSupport.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>

namespace {

using fuzz::Check;

const QString Code = QStringLiteral("FUZZ01");

QTemporaryDir* Folder() {
    static QTemporaryDir folder;
    return &folder;
}

QString RecordPath(const QString& code) {
    return Folder()->filePath(code + QStringLiteral(".CFG"));
}

// Starts each input from an empty data folder.
void WriteBytes(const QByteArray& bytes) {
    QDir folder(Folder()->path());
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) {
        const QString old = folder.filePath(name);
        QFile::setPermissions(old, QFile::permissions(old) | QFileDevice::WriteOwner);
        QFile::remove(old);
    }
    const QString path = RecordPath(Code);
    if (QFile::exists(path))
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
    Check(fuzz::WriteInputFile(path, bytes));
}

QByteArray ReadBytes(const QString& code) {
    QFile file(RecordPath(code));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::unique_ptr<TEntityDetail> TryOpen(const QString& code, const TOptionSet& options) {
    try {
        return TEntityDetail::Create(code, options);
    } catch (const EQuilvaneError&) {
        return nullptr;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    // Cancel where offered, else Ignore where offered, else OK.
    auto prompt = std::make_shared<fuzz::TFuzzPrompt>();
    prompt->PreferCancel = true;
    TServices::SetPrompt(prompt);
    auto params = fuzz::ShippedProgramParams();
    params->LicFilePath = Folder()->path();
    params->UserName = QStringLiteral("FUZZER");
    SetProgramParams(params);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace Option;
    WriteBytes(fuzz::InputBytes(data, size));

    (void)TryOpen(Code, {NoLock, SummaryLoad, Load});
    auto detail = TryOpen(Code, {Standard, NoLock, Load});
    if (!detail)
        return 0;
    detail->LoadProfitDistribution(detail->Year);
    Check(detail->DataEntryPages.size() <= TEntityDetail::MaxDataEntryPages);
    Check(detail->Periods >= 1 && detail->Periods <= 12 && 12 % detail->Periods == 0);
    Check(detail->EndMonth >= 1 && detail->EndMonth <= 12);
    // The record is saved under the code it holds, in the same folder.
    const QString code = detail->FileCode;
    Check(detail->Save({Standard}) == 0);
    const QByteArray saved = ReadBytes(code);
    Check(!saved.isEmpty());

    auto again = TryOpen(code, {Standard, NoLock, Load});
    Check(again != nullptr);
    Check(again->Year == detail->Year && again->Periods == detail->Periods &&
          again->Period == detail->Period);
    Check(again->Name == detail->Name && again->ABN == detail->ABN);
    for (int year : detail->BackupHistory.keys() + again->BackupHistory.keys())
        Check(again->BackupCount(year) == detail->BackupCount(year));
    Check(again->DataEntryPages == detail->DataEntryPages);
    Check(again->Save({Standard}) == 0);
    Check(ReadBytes(code) == saved);

    again.reset();
    detail.reset();
    if (auto locked = TryOpen(code, {Standard, Load})) {
        Check(locked->LockFile(false, false));
        Check(!locked->Locked);
    }
    return 0;
}
