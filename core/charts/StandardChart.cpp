#include "core/charts/StandardChart.h"

#include "core/common/Exceptions.h"
#include "core/files/FileCopy.h"
#include "core/services/Services.h"
#include "core/vocab/FileVocabulary.h"

#include <QDir>
#include <QFileInfo>

QString TStandardChart::DefaultChartName(const QString& formatBaseName, const QString& entityType) {
    return formatBaseName + QLatin1Char('.') + entityType;
}

QStringList TStandardChart::Install(const QString& shippedPath, const QString& nativeDataFolder,
                                    const QString& formatBaseName, const QStringList& entityTypes) {
    QStringList failures;
    const QString folder = QDir(nativeDataFolder).filePath(ChartKindEntry(ckAccounts).Folder.toString());
    for (const QString& entityType : entityTypes) {
        const QString target = QDir(folder).filePath(DefaultChartName(formatBaseName, entityType));
        try {
            if (QFileInfo::exists(TServices::FileSystem().ResolveCaseInsensitive(target)))
                continue;
            CopyFileWithProgress(shippedPath, target, false);
        } catch (const std::exception& error) {
            failures.append(QStringLiteral("Unable to install the standard chart of accounts as ") + target +
                            QStringLiteral(": ") + ErrorText(error));
        }
    }
    return failures;
}
