#include "core/charts/StandardChart.h"

#include "core/common/Exceptions.h"
#include "core/files/FileCopy.h"
#include "core/files/Paths.h"
#include "core/services/Services.h"
#include "core/vocab/FileVocabulary.h"

#include <QDir>
#include <QFileInfo>

QString TStandardChart::DefaultChartName(const QString& formatBaseName, const QString& entityType) {
    return formatBaseName + QLatin1Char('.') + entityType;
}

namespace {

// A drive letter or a leading separator: the name does not depend on any folder.
bool IsFullPath(const QString& name) {
    return name.startsWith(u'\\') || name.startsWith(u'/') || (name.size() >= 2 && name[1] == u':');
}

bool HoldsFolder(const QString& name) {
    return name.contains(u'\\') || name.contains(u'/') || name.contains(u':');
}

} // namespace

QString TStandardChart::DefaultChartPath(const QString& dataDir, const QString& name) {
    if (name.isEmpty() || IsFullPath(name))
        return name;
    if (HoldsFolder(name))
        return BuildPath({dataDir, name});
    return BuildPath({dataDir, ChartKindEntry(ckAccounts).Folder.toString(), name});
}

bool TStandardChart::DefaultChartLeavesDataFolder(const QString& dataDir, const QString& name) {
    if (name.isEmpty())
        return false;
    if (ClimbsOutOfFolder(name))
        return true;
    if (IsFullPath(name))
        return false;
    // The folder the name is read from: the master-data folder for a bare name.
    const QString base =
        HoldsFolder(name) ? dataDir : BuildPath({dataDir, ChartKindEntry(ckAccounts).Folder.toString()});
    const QString nativeBase = NativePath(base);
    if (nativeBase.isEmpty())
        return false; // a drive that is not ready: nothing on it can be read
    return !LiesInsideFolder(nativeBase, NativePath(DefaultChartPath(dataDir, name)));
}

void TStandardChart::RefuseLinkedDefaultChart(const QString& dataDir, const QString& name) {
    if (name.isEmpty() || IsFullPath(name))
        return;
    const QString native = NativePath(DefaultChartPath(dataDir, name));
    if (!native.isEmpty())
        StoredFileSizeInside(NativePath(dataDir), native);
}

namespace {

// Copies the shipped file to the target unless something is there already under its name in any
// letter case. Empty when the target is in place, else the line telling why it is not.
QString InstallOne(const QString& shippedPath, const QString& target, const QString& what) {
    try {
        if (!QFileInfo::exists(TServices::FileSystem().ResolveCaseInsensitive(target)))
            CopyFileWithProgress(shippedPath, target, false);
        return QString();
    } catch (const std::exception& error) {
        return QStringLiteral("Unable to install ") + what + QStringLiteral(" as ") + target +
               QStringLiteral(": ") + ErrorText(error);
    }
}

QString MasterDetailFolder(const QString& nativeDataFolder) {
    return QDir(nativeDataFolder).filePath(ChartKindEntry(ckAccounts).Folder.toString());
}

} // namespace

QStringList TStandardChart::Install(const QString& shippedPath, const QString& nativeDataFolder,
                                    const QString& formatBaseName, const QStringList& entityTypes) {
    QStringList failures;
    const QString folder = MasterDetailFolder(nativeDataFolder);
    for (const QString& entityType : entityTypes) {
        const QString failure =
            InstallOne(shippedPath, QDir(folder).filePath(DefaultChartName(formatBaseName, entityType)),
                       QStringLiteral("the standard chart of accounts"));
        if (!failure.isEmpty())
            failures.append(failure);
    }
    return failures;
}

QString TStandardChart::DefaultTaxCodesName(const QString& formatBaseName) {
    return formatBaseName + ChartKindEntry(ckTaxes).Extension.toString();
}

QString TStandardChart::InstallTaxCodes(const QString& shippedPath, const QString& nativeDataFolder,
                                        const QString& formatBaseName) {
    const QString folder = QDir(nativeDataFolder).filePath(ChartKindEntry(ckTaxes).Folder.toString());
    return InstallOne(shippedPath, QDir(folder).filePath(DefaultTaxCodesName(formatBaseName)),
                      QStringLiteral("the default tax codes"));
}
