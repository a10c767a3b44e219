#include "core/transactions/TransactionFileNames.h"

#include "core/common/Exceptions.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/Periods.h"
#include "core/files/Paths.h"
#include "core/vocab/PageKinds.h"

namespace {

void CheckMonth(int month) {
    if (month < 0 || month > 12)
        throw EQuilvaneError(QStringLiteral("Invalid month %1 for a transaction file.").arg(month));
}

QString YearText(int year) {
    if (year == AnyTransactionYear)
        return QStringLiteral("*");
    const int twoDigits = (year >= 0 && year < 100) ? year : ToggleYearDigits(year);
    if (twoDigits < 0 || twoDigits > 99)
        throw EQuilvaneError(QStringLiteral("Invalid year %1 for a transaction file.").arg(year));
    return QStringLiteral("%1").arg(twoDigits, 2, 10, QLatin1Char('0'));
}

// The character after the page code in a standard name.
QString MonthCharacter(int pageKind, int month) {
    if (month == 0)
        return {};
    if (pageKind == pkOpeningBalances || pageKind == pkOpeningUnpresentedCheques ||
        pageKind == pkOpeningOutstandingDeposits)
        return QStringLiteral("1");
    const int index = TransactionFileMonthIndex(month);
    return index < 10 ? QString::number(index) : QString(QChar(u'A' + (index - 10)));
}

QString StandardName(const QString& folder, const QString& fileCode, const QString& yearText, int pageKind,
                     int month) {
    CheckMonth(month);
    const QString pageCode = PageKindEntry(pageKind).FileCode.toString();
    if (pageCode.isEmpty())
        return {};
    return BuildPath(
        {folder, fileCode, fileCode + yearText + u'.' + pageCode + MonthCharacter(pageKind, month)});
}

QString DosName(const QString& folder, const QString& fileCode, int year, int pageKind, int month) {
    CheckMonth(month);
    PageKindEntry(pageKind); // refuses an unknown kind
    QString base = fileCode;
    QString letters;
    bool withMonth = true;
    switch (pageKind) {
    case pkOpeningBalances:
        letters = QStringLiteral("O");
        break;
    case pkPayments:
        letters = QStringLiteral("P");
        break;
    case pkReceipts:
        letters = QStringLiteral("R");
        break;
    case pkGeneralJournals:
        letters = QStringLiteral("J");
        break;
    case pkBankStatementDeposits:
        base = QStringLiteral("BNKREC");
        letters = QStringLiteral("R");
        break;
    case pkBankStatementWithdrawals:
        base = QStringLiteral("BNKREC");
        letters = QStringLiteral("P");
        break;
    case pkOpeningUnpresentedCheques:
    case pkOpeningOutstandingDeposits:
        base = pageKind == pkOpeningUnpresentedCheques ? QStringLiteral("UNPRES") : QStringLiteral("OSDEPS");
        letters = QStringLiteral("BRC");
        withMonth = false;
        break;
    default:
        return {};
    }
    QString name = base + YearText(year) + u'.' + letters;
    if (withMonth && month != 0)
        name += QStringLiteral("%1").arg(TransactionFileMonthIndex(month), 2, 10, QLatin1Char('0'));
    return BuildPath({folder, name});
}

} // namespace

int TransactionFileMonthIndex(int month) {
    if (month < 1 || month > 12)
        throw EQuilvaneError(QStringLiteral("Invalid month %1 for a transaction file.").arg(month));
    // The month's number in a year that ends in June, whatever the file's own year end.
    return PeriodOfMonth(month, 12, 6);
}

QString TransactionFileName(const QString& folder, const QString& fileCode, int year, int pageKind, int month,
                            const TOptionSet& options) {
    if (year == AnyTransactionYear)
        throw EQuilvaneError(QStringLiteral("Invalid year %1 for a transaction file.").arg(year));
    if (options.Has(Option::DosVersion) || options.Has(Option::TransferDrive))
        return DosName(folder, fileCode, year, pageKind, month);
    return StandardName(folder, fileCode, YearText(year), pageKind, month);
}

QString TransactionFileName(const QString& fileCode, const QString& dataDir, const QString& xferDir,
                            const QString& programDataDir, int year, int pageKind, int month,
                            const TOptionSet& options) {
    return TransactionFileName(GetEntityDataDir(fileCode, dataDir, xferDir, programDataDir, options),
                               fileCode, year, pageKind, month, options);
}

QString TransactionFileMask(const QString& folder, const QString& fileCode, int year, int pageKind,
                            int month) {
    return StandardName(folder, fileCode, YearText(year), pageKind, month);
}
