#include "shell/changeyear/YearChoices.h"

#include "core/common/Exceptions.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "core/entity/EntityDetail.h"
#include "core/files/Paths.h"
#include "core/vocab/FileVocabulary.h"

#include <QDir>

#include <algorithm>
#include <functional>

namespace {

const TChartKindEntry& AccountsKind() {
    return ChartKindEntry(ckAccounts);
}

} // namespace

QList<int> TYearChoices::YearsOnDisk(const QStringList& names, const QString& code) {
    const QString extension = AccountsKind().Extension.toString();
    QList<int> years;
    for (const QString& name : names) {
        if (name.size() != code.size() + 2 + extension.size())
            continue;
        if (!name.startsWith(code, Qt::CaseInsensitive) || !name.endsWith(extension, Qt::CaseInsensitive))
            continue;
        const QChar first = name.at(code.size());
        const QChar second = name.at(code.size() + 1);
        // Only the ASCII digits: QChar::isDigit would also take other scripts' digits.
        if (first < u'0' || first > u'9' || second < u'0' || second > u'9')
            continue;
        const int year = ToggleYearDigits((first.unicode() - u'0') * 10 + (second.unicode() - u'0'));
        if (!years.contains(year))
            years.append(year);
    }
    std::sort(years.begin(), years.end(), std::greater<int>());
    return years;
}

QString TYearChoices::MasterDataFolder(const TEntityDetail& detail) {
    const TChartEntity entity = detail.ChartEntity();
    const QString folder = GetEntityDataDir(entity.FileCode, entity.DataDir, entity.XferDir,
                                            entity.ProgramDataDir, TOptionSet{});
    return NativePath(BuildPath({folder, AccountsKind().Folder.toString()}));
}

QList<int> TYearChoices::ReadYearsOnDisk(const TEntityDetail& detail) {
    const QString folder = MasterDataFolder(detail);
    if (folder.isEmpty())
        return {};
    const QString pattern = detail.FileCode + QLatin1Char('*') + AccountsKind().Extension.toString();
    // Regular files only; a link could name a file outside the data folder.
    const QStringList names =
        QDir(folder).entryList({pattern}, QDir::Files | QDir::NoSymLinks | QDir::Hidden | QDir::System,
                               QDir::Name | QDir::IgnoreCase);
    return YearsOnDisk(names, detail.FileCode);
}

QList<int> TYearChoices::ListedYears(const QList<int>& onDisk, int currentYear) {
    QList<int> years = onDisk;
    if (!years.contains(currentYear + 1))
        years.append(currentYear + 1);
    std::sort(years.begin(), years.end(), std::greater<int>());
    return years;
}

QString TYearChoices::ItemText(int year, int endMonth) {
    QString months;
    try {
        FormatPeriodMonths(1, 1, year, months, endMonth);
    } catch (const EQuilvaneError&) {
        // A record with no valid year-end month: the year alone still identifies the item.
        return QString::number(year);
    }
    return ItemFormat.arg(year).arg(months);
}

TYearChoices::TAction TYearChoices::Decide(int currentYear, int chosenYear, const QList<int>& onDisk) {
    if (chosenYear == currentYear)
        return TAction::None;
    if (onDisk.contains(chosenYear))
        return TAction::Switch;
    if (chosenYear == currentYear + 1)
        return TAction::BringForward;
    if (chosenYear > currentYear)
        return TAction::NotAllowed;
    return TAction::None;
}

QString TYearChoices::BringForwardFirst(int chosenYear) {
    return BringForwardFirstText.arg(chosenYear - 1);
}

QString TYearChoices::OlderYearNote(const QList<int>& onDisk, int currentYear) {
    if (onDisk.isEmpty() || onDisk.first() <= currentYear)
        return {};
    return BringForwardFirst(onDisk.first() + 1);
}
