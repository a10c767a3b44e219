#include "shell/filecode/FileCodeRules.h"

#include "core/files/Paths.h"
#include "core/settings/ProgramParams.h"

#include <QDir>
#include <QFileInfo>

bool TFileCodeRules::IsDropped(QChar c) {
    static const QString dropped = QStringLiteral(" %()*.?[]/\\:\"<>|");
    return c.unicode() < 0x20 || c.unicode() == 0x7f || c.category() == QChar::Other_Control ||
           dropped.contains(c);
}

QString TFileCodeRules::Filter(const QString& typed) {
    QString kept;
    for (QChar c : typed) {
        if (kept.size() >= CodeLength)
            break;
        if (!IsDropped(c))
            kept.append(c.toUpper());
    }
    return kept;
}

QString TFileCodeRules::CodeOfText(const QString& text) {
    QString code = text;
    code.replace(QLatin1Char('_'), QLatin1Char(' '));
    return code.trimmed();
}

bool TFileCodeRules::RecordExists(const QString& code) {
    const QString folder = NativePath(ProgramParams().LicFilePath);
    if (folder.isEmpty() || code.isEmpty())
        return false;
    const QString wanted = code + QStringLiteral(".CFG");
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::System | QDir::Hidden);
    for (const QString& name : names) {
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString TFileCodeRules::Check(const QString& code, bool mustBeNew) {
    if (code.size() < CodeLength || code.size() > CodeLength)
        return LengthText;
    for (QChar c : code) {
        if (IsDropped(c))
            return LengthText;
    }
    if (mustBeNew && RecordExists(code))
        return ExistsText;
    return QString();
}
