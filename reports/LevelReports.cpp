#include "reports/LevelReports.h"

#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/files/Paths.h"
#include "core/vocab/ReportVocabulary.h"
#include "reports/definitions/CustomReports.h"

#include <QFileInfo>

namespace {

const QString MissingMasterText = QStringLiteral("Unable to locate master report %1.");

constexpr int LayoutsKind = 5;
constexpr int FormatsKind = 6;
constexpr int JobstreamSetsKind = 7;

// The size of the file's own definitions file of a kind, 0 when there is none.
qint64 DefinitionBytes(const TEntityInfo& entity, int kind) {
    const QFileInfo info(NativePath(OwnDefinitionsFileName(entity, kind)));
    return info.isFile() && !info.isSymLink() ? info.size() : 0;
}

} // namespace

QString OwnDefinitionsFileName(const TEntityInfo& entity, int kind) {
    TCustomReports reports(entity.EntityDetail().ChartEntity(), ReportLevelMask::File, TOptionSet());
    if (kind == LayoutsKind)
        return reports.Layouts().LevelFileName(rlFile, TOptionSet());
    const QString formats = reports.LevelFileName(rlFile, TOptionSet());
    if (kind == JobstreamSetsKind)
        return formats.left(formats.lastIndexOf(u'.')) + QStringLiteral(".RJS");
    return formats;
}

QString ReportLevelName(int request) {
    switch (request) {
    case 7:
        return QStringLiteral("Master");
    case 8:
        return QStringLiteral("File Specific");
    case 9:
        return QStringLiteral("Practice");
    case 10:
        return QStringLiteral("Superannuation");
    default:
        return {};
    }
}

TReportText LevelReportsText(const TEntityInfo& entity, int request) {
    const QString level = ReportLevelName(request);
    TReportText report;
    report.Title = level.isEmpty() ? QStringLiteral("Custom Reports") : level + QStringLiteral(" Reports");
    const QString code = entity.EntityDetail().FileCode;
    if (level.isEmpty()) {
        report.Lines << QStringLiteral("There is no custom report level %1.").arg(request);
        return report;
    }
    if (request != 8) {
        report.Lines << QStringLiteral("No %1 custom reports are held on this system.").arg(level);
        return report;
    }
    // The file's own definitions are only looked at, never loaded: nothing here could run them.
    const qint64 formats = DefinitionBytes(entity, FormatsKind);
    const qint64 layouts = DefinitionBytes(entity, LayoutsKind);
    if (formats == 0 && layouts == 0) {
        report.Lines << QStringLiteral("%1 has no File Specific custom reports.").arg(code);
        return report;
    }
    report.Lines << QStringLiteral("%1 holds File Specific custom reports (%2 bytes of report formats, "
                                   "%3 bytes of report layouts).")
                        .arg(code)
                        .arg(formats)
                        .arg(layouts);
    report.Lines << QStringLiteral("Custom reports cannot be run on this system.");
    return report;
}

QString MasterReportName(int reportNumber) {
    const QStringView key = StandardReportRow(reportNumber).Key;
    return key.isEmpty() ? QString::number(reportNumber) : key.toString();
}

QString MasterReportMissingText(int reportNumber) {
    return MissingMasterText.arg(MasterReportName(reportNumber));
}
