#include "reports/LevelReports.h"

#include "core/entity/EntityDetail.h"
#include "core/entity/EntityInfo.h"
#include "core/files/Paths.h"
#include "core/vocab/ReportVocabulary.h"
#include "reports/definitions/CustomReports.h"

#include <QFileInfo>

namespace {

const QString MissingMasterText = QStringLiteral("Unable to locate master report %1.");

// The size of the file's own definitions file of a list, 0 when there is none or it cannot
// be named.
qint64 DefinitionBytes(const TReportDefinitionList& list) {
    const QFileInfo info(NativePath(list.LevelFileName(rlFile, TOptionSet())));
    return info.isFile() && !info.isSymLink() ? info.size() : 0;
}

} // namespace

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
    const TEntityDetail& detail = entity.EntityDetail();
    const QString code = detail.FileCode;
    if (level.isEmpty()) {
        report.Lines << QStringLiteral("There is no custom report level %1.").arg(request);
        return report;
    }
    if (request != 8) {
        report.Lines << QStringLiteral("No %1 custom reports are held on this system.").arg(level);
        return report;
    }
    // The file's own definitions are only looked at, never loaded: nothing here could run them.
    TCustomReports reports(detail.ChartEntity(), ReportLevelMask::File, TOptionSet());
    const qint64 formats = DefinitionBytes(reports);
    const qint64 layouts = DefinitionBytes(reports.Layouts());
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
