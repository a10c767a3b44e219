#include "shell/transfer/TransferFileArrival.h"

#include "core/dates/DateNumbers.h"
#include "core/files/Paths.h"
#include "core/vocab/FileVocabulary.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr qsizetype FileCodeLength = 6;
constexpr qsizetype ArchiveBaseNameLength = FileCodeLength + 2;

// A folder as the comparison sees it: no trailing separator, "." and ".." resolved.
QString ComparableFolder(const QString& nativeFolder) {
    return nativeFolder.isEmpty() ? QString() : QDir::cleanPath(nativeFolder);
}

} // namespace

int TransferArchiveYear(const QString& baseName) {
    const QString digits = baseName.mid(FileCodeLength, 2);
    if (digits.size() != 2)
        return -1;
    for (const QChar c : digits)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
    return ToggleYearDigits(digits.toInt());
}

std::optional<TTransferOffer> CheckTransferFileArrival(const QString& nativePath,
                                                       const QList<TWatchedFile>& openFiles, bool fileActive,
                                                       bool busy) {
    if (busy || !fileActive || nativePath.isEmpty())
        return std::nullopt;
    const QFileInfo info(nativePath);
    const QString extension = TransferArchiveExtension.mid(1).toString();
    if (info.suffix().compare(extension, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    // The transfer reads the archive named by code and year alone, so only that name is offered
    // ("ACME0106 - Copy.QTF" would offer one archive and load another).
    const QString baseName = info.completeBaseName().toUpper();
    if (baseName.size() != ArchiveBaseNameLength)
        return std::nullopt;
    const QString code = baseName.left(FileCodeLength);
    for (qsizetype index = 0; index < openFiles.size(); ++index) {
        const TWatchedFile& file = openFiles[index];
        if (file.FileCode.compare(code, Qt::CaseInsensitive) != 0)
            continue;
        // The desktop holds a file once; the first with the code decides.
        const QString folder = ComparableFolder(NativePath(file.XferDir));
        if (folder.isEmpty() || folder.compare(ComparableFolder(info.path()), Qt::CaseInsensitive) != 0)
            return std::nullopt;
        const int year = TransferArchiveYear(baseName);
        if (year < 0 || year != file.Year)
            return std::nullopt;
        const QString name = file.Name.isEmpty() ? file.FileCode : file.Name;
        return TTransferOffer{static_cast<int>(index), file.FileCode, name, year, nativePath};
    }
    return std::nullopt;
}

QString TransferQuestionText(const QString& fileName, int year) {
    // One pass over the placeholders, so a name holding "%2" stays as it is.
    return QStringLiteral(
               "A new transfer file is available for %1 for the %2 financial year.%3Do you want to "
               "transfer this information now ?")
        .arg(fileName, QString::number(year), QStringLiteral("\r\n"));
}
