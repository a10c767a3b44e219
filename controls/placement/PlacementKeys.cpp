#include "controls/placement/PlacementKeys.h"

#include "core/io/IniFile.h"
#include "core/settings/ProgramParams.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <climits>

namespace {

const QString FlagsKey = QStringLiteral("Flags");
const QString ShowCmdKey = QStringLiteral("ShowCmd");
const QString PixelsKey = QStringLiteral("PixelsPerInch");
const QString MinMaxKey = QStringLiteral("MinMaxPos");
const QString NormKey = QStringLiteral("NormPos");

QString FourNumbers(int a, int b, int c, int d) {
    return QStringLiteral("%1,%2,%3,%4").arg(a).arg(b).arg(c).arg(d);
}

bool IsQuote(QChar c) {
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}

// The distance between two rectangles along both axes (0 where they overlap on an axis).
qint64 SquaredGap(const QRect& a, const QRect& b) {
    const qint64 dx = std::max<qint64>({0, qint64(b.left()) - (qint64(a.left()) + a.width()),
                                        qint64(a.left()) - (qint64(b.left()) + b.width())});
    const qint64 dy = std::max<qint64>({0, qint64(b.top()) - (qint64(a.top()) + a.height()),
                                        qint64(a.top()) - (qint64(b.top()) + b.height())});
    return dx * dx + dy * dy;
}

} // namespace

namespace Placement {

QString ResolutionSuffix(const QSize& resolution) {
    return QStringLiteral("(%1x%2)").arg(resolution.width()).arg(resolution.height());
}

QString IniReadString(const TIniFile& ini, const QString& section, const QString& ident,
                      const QString& defaultValue) {
    return ini.ReadString(section, ident, defaultValue);
}

void IniWriteString(TIniFile& ini, const QString& section, const QString& ident, const QString& value) {
    const bool quoted = !value.isEmpty() && IsQuote(value.front()) && value.back() == value.front();
    ini.WriteString(section, ident, quoted ? QLatin1Char('"') + value + QLatin1Char('"') : value);
}

int IniReadInteger(const TIniFile& ini, const QString& section, const QString& ident, int defaultValue) {
    return ini.ReadInteger(section, ident, defaultValue);
}

void IniWriteInteger(TIniFile& ini, const QString& section, const QString& ident, int value) {
    ini.WriteInteger(section, ident, value);
}

QString ReadPosStr(const TIniFile& ini, const QString& section, const QString& ident,
                   const QSize& resolution) {
    const QString specific = IniReadString(ini, section, ident + ResolutionSuffix(resolution), QString());
    return specific.isEmpty() ? IniReadString(ini, section, ident, QString()) : specific;
}

void WritePosStr(TIniFile& ini, const QString& section, const QString& ident, const QString& value,
                 const QSize& resolution) {
    IniWriteString(ini, section, ident + ResolutionSuffix(resolution), value);
    IniWriteString(ini, section, ident, value);
}

int WordAsInteger(const QString& text, int index, int fallback) {
    static const QRegularExpression separators(QStringLiteral("[, ]+"));
    const QStringList words = text.split(separators, Qt::SkipEmptyParts);
    if (index < 1 || index > words.size())
        return fallback;
    bool ok = false;
    const int value = words[index - 1].toInt(&ok, 10);
    return ok ? value : fallback;
}

TWindowShowState StateOfShowCmd(int showCmd, TWindowShowState fallback) {
    switch (showCmd) {
    case 1:
    case 5:
    case 9:
        return TWindowShowState::Normal;
    case 2:
    case 6:
    case 7:
        return TWindowShowState::Minimized;
    case 3:
        return TWindowShowState::Maximized;
    default:
        return fallback;
    }
}

int ShowCmdOfState(TWindowShowState state) {
    switch (state) {
    case TWindowShowState::Minimized:
        return ShowCmd::Minimized;
    case TWindowShowState::Maximized:
        return ShowCmd::Maximized;
    case TWindowShowState::Normal:
        break;
    }
    return ShowCmd::Normal;
}

void WriteFormPlacement(TIniFile& ini, const QString& section, const TPlacementRecord& record,
                    const TScreenMetrics& screen) {
    IniWriteInteger(ini, section, FlagsKey, record.Flags);
    IniWriteInteger(ini, section, ShowCmdKey, record.ShowCmd);
    IniWriteInteger(ini, section, PixelsKey, screen.PixelsPerInch);
    WritePosStr(ini, section, MinMaxKey,
                FourNumbers(record.MinPosition.x(), record.MinPosition.y(), record.MaxPosition.x(),
                            record.MaxPosition.y()),
                screen.Resolution);
    const QRect& bounds = record.NormalBounds;
    WritePosStr(ini, section, NormKey,
                FourNumbers(bounds.left(), bounds.top(), bounds.left() + bounds.width(),
                            bounds.top() + bounds.height()),
                screen.Resolution);
}

TPlacementReadResult ReadFormPlacement(const TIniFile& ini, const QString& section,
                                   const TPlacementRecord& current, const TScreenMetrics& screen,
                                   const TPlacementReadRequest& request) {
    TPlacementReadResult result;
    result.Record = current;
    result.State = request.DefaultState;
    if (request.LoadPosition) {
        TPlacementRecord& record = result.Record;
        record.Flags = IniReadInteger(ini, section, FlagsKey, current.Flags);
        bool found = false;
        const QString minMax = ReadPosStr(ini, section, MinMaxKey, screen.Resolution);
        if (!minMax.isEmpty()) {
            found = true;
            record.MinPosition = QPoint(WordAsInteger(minMax, 1, 0), WordAsInteger(minMax, 2, 0));
            record.MaxPosition = QPoint(WordAsInteger(minMax, 3, 0), WordAsInteger(minMax, 4, 0));
        }
        const QString norm = ReadPosStr(ini, section, NormKey, screen.Resolution);
        if (!norm.isEmpty()) {
            found = true;
            const QRect& now = current.NormalBounds;
            // 64-bit sums: a stored left near the integer limit must not wrap.
            const int left = WordAsInteger(norm, 1, now.left());
            const int top = WordAsInteger(norm, 2, now.top());
            qint64 right = WordAsInteger(norm, 3, now.left() + now.width());
            qint64 bottom = WordAsInteger(norm, 4, now.top() + now.height());
            if (!request.Sizeable) {
                right = qint64(left) + now.width();
                bottom = qint64(top) + now.height();
            }
            const qint64 width = right - left, height = bottom - top;
            if (width <= 0 || width > INT_MAX || height > INT_MAX || qint64(left) + width > INT_MAX ||
                qint64(top) + std::max<qint64>(height, 0) > INT_MAX)
                found = false;
            else
                record.NormalBounds = QRect(left, top, int(width), int(std::max<qint64>(height, 0)));
        }
        if (IniReadInteger(ini, section, PixelsKey, screen.PixelsPerInch) != screen.PixelsPerInch)
            found = false;
        result.PositionFound = found;
        if (!found)
            result.Record = current;
    }
    if (request.LoadState)
        result.State =
            StateOfShowCmd(IniReadInteger(ini, section, ShowCmdKey, ShowCmd::Hide), request.DefaultState);
    return result;
}

QRect PullOntoScreens(const QRect& window, const QList<QRect>& areas) {
    if (areas.isEmpty())
        return window;
    const QRect* nearest = nullptr;
    qint64 nearestGap = 0;
    for (const QRect& area : areas) {
        if (window.intersects(area))
            return window;
        const qint64 gap = SquaredGap(window, area);
        if (!nearest || gap < nearestGap) {
            nearest = &area;
            nearestGap = gap;
        }
    }
    QRect moved = window;
    const QRect& area = *nearest;
    if (moved.left() + moved.width() > area.left() + area.width())
        moved.moveLeft(area.left() + area.width() - moved.width());
    if (moved.left() < area.left())
        moved.moveLeft(area.left());
    if (moved.top() + moved.height() > area.top() + area.height())
        moved.moveTop(area.top() + area.height() - moved.height());
    if (moved.top() < area.top())
        moved.moveTop(area.top());
    return moved;
}

QRect FitInsideArea(const QRect& window, const QRect& area) {
    if (area.isEmpty() || !window.isValid())
        return window;
    QRect fitted(window.topLeft(), window.size().boundedTo(area.size()));
    if (fitted.right() > area.right())
        fitted.moveRight(area.right());
    if (fitted.bottom() > area.bottom())
        fitted.moveBottom(area.bottom());
    if (fitted.left() < area.left())
        fitted.moveLeft(area.left());
    if (fitted.top() < area.top())
        fitted.moveTop(area.top());
    return fitted;
}

QString GetDefaultSection(const TSectionOwner& owner) {
    if (owner.IsWindow)
        return owner.ClassName;
    return (owner.WindowClassName.isEmpty() ? owner.ParentName : owner.WindowClassName) + owner.Name;
}

QString GetDefaultIniName(const QString& programFilePath) {
    return QFileInfo(programFilePath).completeBaseName() + QStringLiteral(".INI");
}

QString ResolveIniPath(const QString& iniName) {
    const QString programIni = TProgramParams::IniPath();
    if (iniName.contains(QLatin1Char('/')) || iniName.contains(QLatin1Char('\\')))
        return QDir::fromNativeSeparators(iniName);
    if (iniName.compare(QStringLiteral("Quilvane.ini"), Qt::CaseInsensitive) == 0)
        return programIni;
    return QFileInfo(programIni).dir().filePath(iniName);
}

} // namespace Placement
