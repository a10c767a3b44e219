// Loads arbitrary bytes as a client record: a load succeeds or fails with its message, never
// crashes. A record that loaded saves twice to the same bytes, loads again and saves to them once
// more; the lock is then taken and given back, or refused with an error.
#include "core/common/Exceptions.h"
#include "core/entity/EntityDetail.h"
#include "fuzz/FuzzSupport.h"

#include <QTemporaryDir>

namespace {

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
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
    fuzz::StartApplication(argc, argv);
    fuzz::InstallPrompt()->PreferCancel = true; // Cancel, else Ignore, else OK
    auto params = fuzz::ShippedProgramParams();
    params->LicFilePath = Folder().path();
    params->UserName = "FUZZER";
    SetProgramParams(params);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace Option;
    using fuzz::Check;
    QDir folder(Folder().path()); // each input starts from an empty data folder
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
    const auto saved = [&] { return fuzz::ReadFileBytes(folder.filePath(code + ".CFG")); };
    Check(detail->Save({Standard}) == 0);
    const QByteArray first = saved();
    Check(!first.isEmpty() && detail->Save({Standard}) == 0 && saved() == first);

    // Loaded again, it saves to the same bytes: every saved field came back as it was.
    auto again = TryOpen(code, {Standard, NoLock, Load});
    Check(again && again->Save({Standard}) == 0 && saved() == first);
    again.reset(), detail.reset();
    if (auto locked = TryOpen(code, {Standard, Load})) {
        locked->ReleaseLock();
        Check(!locked->Locked);
    }
    return 0;
}
