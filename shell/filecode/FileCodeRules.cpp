#include "shell/filecode/FileCodeRules.h"

#include "core/files/Paths.h"
#include "core/settings/ProgramParams.h"
#include "core/vocab/FileVocabulary.h"

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
    if (code.isEmpty())
        return false;
    // NativePath finds the record in any case.
    const QString record =
        NativePath(BuildPath({ProgramParams().LicFilePath, code + DetailRecordExtension.toString()}));
    return !record.isEmpty() && QFileInfo(record).isFile();
}

QString TFileCodeRules::Check(const QString& code, bool mustBeNew) {
    if (code.size() != CodeLength)
        return LengthText;
    for (QChar c : code) {
        if (IsDropped(c))
            return LengthText;
    }
    if (mustBeNew && RecordExists(code))
        return ExistsText;
    return QString();
}
