// Loads arbitrary bytes as a client file's detail record. A load either succeeds or fails with
// its message (answered at once); it never crashes. A record that loaded saves twice to the same
// bytes and loads again to the same set-up; the lock is then taken and given back, or refused
// with an error and nothing written.
#include "core/common/Exceptions.h"
#include "core/entity/EntityDetail.h"
#include "fuzz/FuzzSupport.h"

#include <QCoreApplication>

namespace {

using fuzz::Check;

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

QByteArray ReadBytes(const QString& code) {
    QFile file(Folder().filePath(code + ".CFG"));
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
    auto prompt = std::make_shared<fuzz::TFuzzPrompt>(); // Cancel, else Ignore, else OK
    prompt->PreferCancel = true;
    TServices::SetPrompt(prompt);
    auto params = fuzz::ShippedProgramParams();
    params->LicFilePath = Folder().path();
    params->UserName = "FUZZER";
    SetProgramParams(params);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace Option;
    // Each input starts from an empty data folder.
    QDir folder(Folder().path());
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden)) {
        QFile::setPermissions(folder.filePath(name), QFile::ReadOwner | QFile::WriteOwner);
        QFile::remove(folder.filePath(name));
    }
    Check(fuzz::WriteInputFile(folder.filePath("FUZZ01.CFG"), fuzz::InputBytes(data, size)));

    (void)TryOpen("FUZZ01", {NoLock, SummaryLoad, Load});
    auto detail = TryOpen("FUZZ01", {Standard, NoLock, Load});
    if (!detail)
        return 0;
    detail->LoadProfitDistribution(detail->Year);
    Check(detail->DataEntryPages.size() <= TEntityDetail::MaxDataEntryPages);
    Check(detail->Periods >= 1 && detail->Periods <= 12 && 12 % detail->Periods == 0);
    Check(detail->EndMonth >= 1 && detail->EndMonth <= 12 &&
          TEntityDetail::IsPlainFileCode(detail->FileCode));
    // The record is saved under the code it holds, in the same folder.
    const QString code = detail->FileCode;
    Check(detail->Save({Standard}) == 0);
    const QByteArray saved = ReadBytes(code);
    Check(!saved.isEmpty());
    Check(detail->Save({Standard}) == 0 && ReadBytes(code) == saved);

    auto again = TryOpen(code, {Standard, NoLock, Load});
    Check(again != nullptr);
    Check(again->Year == detail->Year && again->Periods == detail->Periods &&
          again->Period == detail->Period);
    Check(again->Name == detail->Name && again->ABN == detail->ABN);
    for (int year : detail->BackupHistory.keys() + again->BackupHistory.keys())
        Check(again->BackupCount(year) == detail->BackupCount(year));
    Check(again->DataEntryPages == detail->DataEntryPages);
    Check(again->Save({Standard}) == 0 && ReadBytes(code) == saved);

    again.reset();
    detail.reset();
    if (auto locked = TryOpen(code, {Standard, Load})) {
        locked->ReleaseLock();
        Check(!locked->Locked);
    }
    return 0;
}
