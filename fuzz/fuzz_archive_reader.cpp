// Reads arbitrary bytes as a backup or transfer archive: the reader opens it or refuses it with a
// code, and everything it writes lies below the destination. An archive whose names it refuses
// is refused whole by the test and the extraction, with nothing written; what an extraction
// reports written is there, as plain files, none beyond its size limit.
#include "core/vocab/FileVocabulary.h"
#include "fuzz/FuzzSupport.h"
#include "platform/zip/ZipFile.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

// Small, so that an entry that unpacks to gigabytes costs the fuzzer nothing.
constexpr qint64 EntryLimit = 1 << 20;

QTemporaryDir& Folder() {
    static QTemporaryDir folder;
    return folder;
}

// Everything below the folder but the archive itself, links included, as relative paths.
QStringList EverythingBelow(const QString& folder, const QString& archive) {
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path != archive)
            found.append(QDir(folder).relativeFilePath(path));
    }
    return found;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::StartApplication(argc, argv);
    fuzz::InstallPrompt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using fuzz::Check;
    const QString root = Folder().path();
    const QString archive = QDir(root).filePath(QStringLiteral("ACME0106.QTF"));
    const QString destination = QDir(root).filePath(QStringLiteral("dest"));
    QDir(destination).removeRecursively();
    Check(fuzz::WriteInputFile(archive, fuzz::InputBytes(data, size)));

    TUnzipFile unzip;
    unzip.ZipFile = archive;
    unzip.DecryptCode = ArchivePassword.toString();
    unzip.SizeLimit = [](const QString&) { return EntryLimit; };
    const int opened = unzip.Open();
    (void)unzip.Comment();
    const QStringList names = unzip.EntryNames();
    if (opened != ZipResult::Ok) {
        Check(names.isEmpty() && unzip.Comment().isEmpty() && !unzip.ErrorText().isEmpty());
        Check(unzip.Extract({QStringLiteral("*.*")}, destination, true, true) == opened);
        Check(EverythingBelow(root, archive).isEmpty());
        return 0;
    }
    const int checked = unzip.CheckNames();
    Check(checked == ZipResult::Ok || checked == ZipResult::UnsafeEntry);

    const int tested = unzip.Test({QStringLiteral("*.*")}, true);
    Check(tested != ZipResult::Ok || checked == ZipResult::Ok);
    if (checked != ZipResult::Ok)
        Check(tested == checked);

    const int extracted = unzip.Extract({QStringLiteral("*.*")}, destination, true, true);
    const QStringList written = EverythingBelow(root, archive);
    if (checked != ZipResult::Ok) {
        Check(extracted == checked && written.isEmpty());
        return 0;
    }
    for (const QString& name : written)
        Check(name == QLatin1String("dest") || name.startsWith(QLatin1String("dest/")));
    for (const QString& name : unzip.Extracted()) {
        const QFileInfo file(QDir(destination).filePath(name));
        Check(file.isFile() && !file.isSymLink() && file.size() <= EntryLimit);
    }
    if (extracted == ZipResult::Ok)
        Check(unzip.Extracted().size() <= names.size());

    // One entry by its own name, through a filter that lets it alone through.
    if (!names.isEmpty()) {
        const QString first = names.first();
        QDir(destination).removeRecursively();
        (void)unzip.Extract({first}, destination, false, true,
                            [&](const QString& entry) { return entry == first; });
        for (const QString& name : EverythingBelow(root, archive))
            Check(name == QLatin1String("dest") || name.startsWith(QLatin1String("dest/")));
    }
    return 0;
}
