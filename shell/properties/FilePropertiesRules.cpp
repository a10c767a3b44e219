#include "shell/properties/FilePropertiesRules.h"

#include "core/files/Paths.h"
#include "core/services/Services.h"

#include <QDir>
#include <algorithm>

namespace {

const QString QuilvaneFolder = QStringLiteral(":\\QUILVANE\\");

bool HasDriveLetter(const QString& path) {
    return path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].isLetter() && path[0].unicode() < 128;
}

// The folder a drive stands for on this workstation, cleaned; empty when it is not ready.
QString CleanRoot(QChar drive) {
    const QString root = TServices::FileSystem().DriveRoot(drive);
    return root.isEmpty() ? QString() : QDir::cleanPath(root);
}

bool Holds(const QString& root, const QString& path) {
    return path == root || path.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
}

// The part of a path after its drive, in stored form ("\QUILVANE\DATA"); empty when no drive
// holds the path.
QString PathAfterDrive(const QString& path, QChar drive) {
    if (HasDriveLetter(path)) {
        const QString rest = path.mid(2);
        return rest.startsWith(QLatin1Char('\\')) ? rest : QLatin1Char('\\') + rest;
    }
    const QString root = CleanRoot(drive);
    QString rest = QDir::cleanPath(path).mid(root.size());
    rest.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return rest.startsWith(QLatin1Char('\\')) ? rest : QLatin1Char('\\') + rest;
}

} // namespace

int TFilePropertiesRules::PeriodsUp(int periods) {
    if (periods == 1)
        return 2;
    if (periods >= 2 && periods <= 3)
        return 4;
    if (periods >= 4 && periods <= 5)
        return 6;
    if (periods >= 6 && periods <= 11)
        return 12;
    return 1;
}

int TFilePropertiesRules::PeriodsDown(int periods) {
    if (periods == 2)
        return 1;
    if (periods >= 3 && periods <= 4)
        return 2;
    if (periods >= 5 && periods <= 6)
        return 4;
    if (periods >= 7 && periods <= 12)
        return 6;
    return 12;
}

int TFilePropertiesRules::PeriodsOfText(const QString& text, int whenNone) {
    bool ok = false;
    const int periods = text.trimmed().toInt(&ok);
    return ok ? periods : whenNone;
}

int TFilePropertiesRules::ClampDefaultPeriod(int defaultPeriod, int periods) {
    return std::max(1, std::min(defaultPeriod, periods));
}

QString TFilePropertiesRules::Caption(bool isNew, const QString& code) {
    const QString caption =
        QStringLiteral("%1File Properties").arg(isNew ? QStringLiteral("New ") : QString());
    const QString trimmed = code.trimmed();
    if (trimmed.size() != 6)
        return caption;
    return QStringLiteral("%1 - %2").arg(caption, trimmed);
}

void TFilePropertiesRules::ApplyEntityType(bool isNew, const QString& typeCode, bool& includeTaxes,
                                           bool& allowQuantity) {
    if (!isNew || typeCode.compare(SuperFundType, Qt::CaseInsensitive) != 0)
        return;
    includeTaxes = false;
    allowQuantity = true;
}

bool TFilePropertiesRules::CurrencyConvFor(const QString& currencyCode) {
    return !currencyCode.trimmed().isEmpty() &&
           currencyCode.trimmed().compare(HomeCurrency, Qt::CaseInsensitive) != 0;
}

QChar TFilePropertiesRules::DriveOf(const QString& path) {
    if (HasDriveLetter(path))
        return path[0].toUpper();
    if (path.isEmpty() || !QDir::isAbsolutePath(path))
        return QChar();
    const QString clean = QDir::cleanPath(path);
    QChar drive;
    qsizetype longest = -1;
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
        const QString root = CleanRoot(QChar(letter));
        if (root.isEmpty() || root == QLatin1String("."))
            continue;
        if (Holds(root, clean) && root.size() > longest) {
            longest = root.size();
            drive = QChar(letter);
        }
    }
    return drive;
}

QList<QChar> TFilePropertiesRules::DriveLetters(const QStringList& usedPaths) {
    QList<QChar> used;
    for (const QString& path : usedPaths) {
        const QChar drive = DriveOf(path);
        if (!drive.isNull())
            used.append(drive);
    }
    QList<QChar> drives;
    for (char16_t letter = u'A'; letter <= u'Z'; ++letter)
        if (!TServices::FileSystem().DriveRoot(QChar(letter)).isEmpty() || used.contains(QChar(letter)))
            drives.append(QChar(letter));
    return drives;
}

QString TFilePropertiesRules::DriveText(QChar drive) {
    return QString(drive.toUpper()) + QLatin1Char(':');
}

QString TFilePropertiesRules::DataFolder(QChar drive, const QString& programDataDir) {
    const QChar own = DriveOf(programDataDir);
    if (drive.isNull() || own.isNull() || drive.toUpper() == own)
        return programDataDir;
    return QString(drive.toUpper()) + QLatin1Char(':') + PathAfterDrive(programDataDir, own);
}

QString TFilePropertiesRules::TransferFolder(QChar drive) {
    return QString(drive.toUpper()) + QuilvaneFolder + QStringLiteral("TRANSFER");
}

QString TFilePropertiesRules::BackupFolder(QChar drive) {
    return QString(drive.toUpper()) + QuilvaneFolder + QStringLiteral("BACKUPS");
}

QString TFilePropertiesRules::ImportFolder(const QString& typed, const QString& dataFolder) {
    return FolderOrDefault(typed, dataFolder, QStringLiteral("IMPORT"));
}

QString TFilePropertiesRules::ExportFolder(const QString& typed, const QString& dataFolder) {
    return FolderOrDefault(typed, dataFolder, QStringLiteral("EXPORT"));
}

QString TFilePropertiesRules::FolderOrDefault(const QString& typed, const QString& dataFolder,
                                              const QString& name) {
    if (!typed.trimmed().isEmpty())
        return typed;
    return BuildPath({dataFolder, name});
}
