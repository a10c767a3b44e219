// The exchange forms of the charts of accounts, standard descriptions and bank-reconciliation
// opening balances. Every import reads and checks the whole file before it changes anything,
// so a damaged file leaves the charts as they were; whatever it changes is marked unsaved.

#include "core/accounts/AccountFormat.h"
#include "core/charts/AccountsChart.h"
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/charts/ChartExchange.h"
#include "core/charts/StdDescChart.h"
#include "core/common/Exceptions.h"
#include "core/common/RegionalSettings.h"
#include "core/common/ResultCodes.h"
#include "core/dates/DateNumbers.h"
#include "core/dates/DateTextParser.h"
#include "core/dates/Periods.h"
#include "core/io/Win1252Codec.h"
#include "core/services/Progress.h"
#include "core/settings/ProgramParams.h"

#include <QFileInfo>
#include <QList>
#include <QSet>

#include <algorithm>

namespace {

// The program's own account format, in which the accounts text is written when it exists.
const QString ProgramFormatID = QStringLiteral("QUILVANE");
// Account descriptions in the accounts text are cut to this many characters.
constexpr int TextDescriptionLength = 30;
// An accounts text longer than this is no accounts text.
constexpr qint64 MaxAccountsTextSize = 64 * 1024 * 1024;
// Short-string capacities of the record forms.
constexpr int AbbreviationCapacity = 2;
constexpr int DescriptionCapacity = 40;
constexpr int DateCapacity = 8;
constexpr int CodeCapacity = 6;
constexpr int PeriodsPerYear = 12;
// Offsets inside a bank-reconciliation entry.
constexpr int EntryPeriod = 9;
constexpr int EntryCode = 11;
constexpr int EntryStatement = 18;
constexpr int EntryCashbook = 24;
constexpr int EntrySixth = 30;

// Runs one export or import: 0, or -1 with the chart's ExchangeError set. A cancelled progress
// window goes on to the caller.
template <class TBody> int RunExchange(TMasterChart& chart, TBody body) {
    chart.ExchangeError.clear();
    try {
        body();
    } catch (const EOperationCancelled&) {
        throw;
    } catch (const std::exception& error) {
        chart.ExchangeError = ErrorText(error);
        return ChartResult::ExchangeFailed;
    }
    return ResultCode::Success;
}

void ReportPosition(IProgress* progress, qint64 done, qint64 total) {
    if (progress && total > 0)
        progress->SetPosition(static_cast<double>(done) * 100.0 / static_cast<double>(total));
}

QString NameOf(const QString& fileName) {
    return QFileInfo(QString(fileName).replace(QLatin1Char('\\'), QLatin1Char('/'))).fileName();
}

void ReadRecordFile(const QString& fileName, qint64 maxSize, QByteArray& bytes) {
    if (!ReadExchangeFile(fileName, maxSize, bytes))
        throw EQuilvaneError(QStringLiteral("File not found: ") + fileName);
}

// "dd/mm/yy", whatever the program's date formats.
QString ExchangeDateText(double dateNum) {
    int year = 0;
    int month = 0;
    int day = 0;
    DecodeDateNum(dateNum, year, month, day);
    return QString::asprintf("%02d/%02d/%02d", day, month, year % 100);
}

// A date of the form read day first with the two-digit-year pivot; a day beyond the end of its
// month gives the month's last day. 0 for text that is no date.
double ReadExchangeDate(const QString& text, int currentYear) {
    const TRegionalSettings dayFirst; // "DD/MM/YY" with "/"
    const TDateTextParser::TResult read = TDateTextParser(dayFirst).Parse(text, currentYear);
    if (read.Valid)
        return EncodeDateNum(read.Year, read.Month, read.Day);
    if (read.Year >= 1 && read.Year <= 9999 && read.Month >= 1 && read.Month <= 12 && read.Day >= 1)
        return MonthEndDateNum(read.Year, read.Month);
    return 0.0;
}

} // namespace

// ---- Chart of accounts: text lines ---------------------------------------------------------------

int TAccountsChart::ExportItems(const QString& fileName, IProgress* progress) {
    return RunExchange(*this, [&] {
        const TAccountFormat* programFormat =
            HasProgramParams() ? ProgramParams().FindAccountFormat(ProgramFormatID) : nullptr;
        const TAccountFormat* format = programFormat ? programFormat : AccountFormat;
        if (!format)
            throw EQuilvaneError(QStringLiteral("The accounts have no account format"));
        QByteArray text;
        QSet<QString> written;
        const int count = Count();
        for (int i = 0; i < count; ++i) {
            const TAccountDetail* account = GetAccount(i);
            const QString code = format->FormatCode(account->Code());
            if (!written.contains(code)) {
                written.insert(code);
                const QString description =
                    StdDescs ? StdDescs->ExpandAbbreviations(account->Description) : account->Description;
                text +=
                    TWin1252Codec::Encode(code + QLatin1Char(',') + description.left(TextDescriptionLength));
                text += "\r\n";
            }
            ReportWriteProgress(progress, i + 1, count);
        }
        WriteExchangeFile(fileName, text);
    });
}

int TAccountsChart::ImportItems(const QString& fileName, const TOptionSet& options, IProgress* progress) {
    return RunExchange(*this, [&] {
        if (!AccountFormat)
            throw EQuilvaneError(QStringLiteral("The accounts have no account format"));
        QByteArray bytes;
        if (!ReadExchangeFile(fileName, MaxAccountsTextSize, bytes))
            return; // no file: nothing to import
        struct TLine {
            TAccountCode Code;
            QString Description;
        };
        QList<TLine> lines;
        qsizetype pos = 0;
        while (pos < bytes.size()) {
            qsizetype end = bytes.indexOf('\n', pos);
            if (end < 0)
                end = bytes.size();
            QByteArray raw = bytes.mid(pos, end - pos);
            if (raw.endsWith('\r'))
                raw.chop(1);
            pos = end + 1;
            const QString line = TWin1252Codec::Decode(raw);
            const qsizetype comma = line.indexOf(QLatin1Char(','));
            TAccountCode code;
            if (AccountFormat->TextToCode(ConvertOldCodeText(comma < 0 ? line : line.left(comma)), code,
                                          false, false)) {
                const QString rest = comma < 0 ? QString() : line.mid(comma + 1);
                const qsizetype next = rest.indexOf(QLatin1Char(','));
                lines.append(TLine{code, next < 0 ? rest : rest.left(next)});
            }
            ReportPosition(progress, std::min(pos, bytes.size()), bytes.size());
        }
        for (const TLine& line : lines) {
            if (TAccountDetail* held = GetAccount(IndexOfCode(line.Code))) {
                if (options.Has(Option::MergeReplace) && held->Description != line.Description) {
                    held->Description = line.Description;
                    Saved = false;
                }
                continue;
            }
            auto account = std::make_unique<TAccountDetail>(AccountFormat, 0.0);
            account->SetCode(line.Code);
            account->Description = line.Description;
            ApplySuspenseRange(*account);
            if (AddAccount(std::move(account)) >= 0)
                Saved = false;
        }
    });
}

// ---- Standard descriptions: 18 records of 44 bytes -----------------------------------------------

int TStdDescChart::ExportItems(const QString& fileName, IProgress* progress) {
    return RunExchange(*this, [&] {
        QByteArray bytes(ExchangeRecordSize * ExchangeRecordCount, '\0');
        const int count = std::min(Count(), ExchangeRecordCount);
        for (int i = 0; i < count; ++i) {
            const TStandardDescription* description = GetStdDescription(i);
            const qsizetype at = static_cast<qsizetype>(i) * ExchangeRecordSize;
            PutShortString(bytes, at, AbbreviationCapacity, description->Abbreviation);
            PutShortString(bytes, at + 1 + AbbreviationCapacity, DescriptionCapacity,
                           description->Description);
        }
        ReportWriteProgress(progress, 1, 1);
        WriteExchangeFile(fileName, bytes);
    });
}

int TStdDescChart::ImportItems(const QString& fileName, const TOptionSet& options, IProgress* progress) {
    return RunExchange(*this, [&] {
        QByteArray bytes;
        ReadRecordFile(fileName, ExchangeRecordSize * ExchangeRecordCount, bytes);
        if (bytes.size() % ExchangeRecordSize != 0)
            throw EQuilvaneError(
                QStringLiteral("%1 ends inside a record (%2 bytes)").arg(NameOf(fileName)).arg(bytes.size()));
        const int records = static_cast<int>(bytes.size() / ExchangeRecordSize);
        QList<TStandardDescription> read;
        for (int r = 0; r < records; ++r) {
            const qsizetype at = static_cast<qsizetype>(r) * ExchangeRecordSize;
            QString abbreviation;
            QString text;
            if (!GetShortString(bytes, at, AbbreviationCapacity, abbreviation) ||
                !GetShortString(bytes, at + 1 + AbbreviationCapacity, DescriptionCapacity, text))
                throw EQuilvaneError(
                    QStringLiteral("Record %1 of %2 is damaged").arg(r + 1).arg(NameOf(fileName)));
            ReportWriteProgress(progress, r + 1, records);
            if (abbreviation.trimmed().isEmpty())
                continue;
            text.replace(QLatin1Char('['), QLatin1Char('<')).replace(QLatin1Char(']'), QLatin1Char('>'));
            read.append(TStandardDescription(abbreviation, text));
        }
        for (const TStandardDescription& description : read) {
            if (TStandardDescription* held =
                    GetStdDescription(IndexOfAbbreviation(description.Abbreviation))) {
                if (options.Has(Option::MergeReplace) && held->Description != description.Description) {
                    held->Description = description.Description;
                    Saved = false;
                }
            } else if (AddDescription(description.Abbreviation, description.Description) >= 0) {
                Saved = false;
            }
        }
    });
}

// ---- Bank-reconciliation opening balances: one record of 362 bytes ------------------------------

int TBankRecOpeningDetailChart::ExportItems(const QString& fileName, IProgress* progress, int& leftOut) {
    leftOut = 0;
    return RunExchange(*this, [&] {
        if (!AccountFormat)
            throw EQuilvaneError(QStringLiteral("The bank accounts have no account format"));
        if (Year < 0 || Year > 0xFFFF)
            throw EQuilvaneError(QStringLiteral("The bank reconciliation openings belong to no year"));
        QByteArray bytes(ExchangeFileSize, '\0');
        PutWord(bytes, 0, static_cast<std::uint16_t>(Year));
        int written = 0;
        int skipped = 0;
        for (int i = 0; i < Count(); ++i) {
            const TBRecOpeningDetail* detail = GetDetail(i);
            const QString code = AccountFormat->FormatCode(detail->BankAccount);
            if (written == ExchangeEntries || code.isEmpty() || code.size() > CodeCapacity) {
                ++skipped;
                continue;
            }
            const qsizetype at = 2 + static_cast<qsizetype>(written) * ExchangeEntrySize;
            int period = 0;
            if (detail->Open_Bal_Date != 0) {
                PutShortString(bytes, at, DateCapacity, ExchangeDateText(detail->Open_Bal_Date));
                int financialYear = Year;
                period = PeriodOfDate(PeriodsPerYear, Entity.EndMonth, financialYear, detail->Open_Bal_Date);
            }
            PutWord(bytes, at + EntryPeriod, static_cast<std::uint16_t>(period));
            PutShortString(bytes, at + EntryCode, CodeCapacity, code);
            PutReal48(bytes, at + EntryStatement, detail->Statement_Open_Bal);
            PutReal48(bytes, at + EntryCashbook, detail->Cashbook_Open_Bal);
            PutReal48(bytes, at + EntrySixth, detail->SixthValue);
            ++written;
        }
        ReportWriteProgress(progress, 1, 1);
        WriteExchangeFile(fileName, bytes);
        leftOut = skipped;
    });
}

int TBankRecOpeningDetailChart::ExportItems(const QString& fileName, IProgress* progress) {
    int leftOut = 0;
    return ExportItems(fileName, progress, leftOut);
}

int TBankRecOpeningDetailChart::ImportItems(const QString& fileName, const TOptionSet&, IProgress* progress) {
    return RunExchange(*this, [&] {
        if (!Accounts || !AccountFormat)
            throw EQuilvaneError(
                QStringLiteral("The bank reconciliation openings have no chart of accounts"));
        QByteArray bytes;
        ReadRecordFile(fileName, ExchangeFileSize, bytes);
        if (bytes.size() != ExchangeFileSize)
            throw EQuilvaneError(
                QStringLiteral("%1 holds %2 bytes, not the %3 of a bank reconciliation record")
                    .arg(NameOf(fileName))
                    .arg(bytes.size())
                    .arg(ExchangeFileSize));
        struct TEntry {
            TAccountCode Code;
            double OpenBalDate;
            double Statement;
            double Cashbook;
            double Sixth;
            double PeriodEnd;
        };
        QList<TEntry> entries;
        QSet<QString> newDetails;
        for (int e = 0; e < ExchangeEntries; ++e) {
            const qsizetype at = 2 + static_cast<qsizetype>(e) * ExchangeEntrySize;
            QString dateText;
            QString codeText;
            if (!GetShortString(bytes, at, DateCapacity, dateText) ||
                !GetShortString(bytes, at + EntryCode, CodeCapacity, codeText))
                throw EQuilvaneError(
                    QStringLiteral("Entry %1 of %2 is damaged").arg(e + 1).arg(NameOf(fileName)));
            ReportWriteProgress(progress, e + 1, ExchangeEntries);
            if (codeText.isEmpty())
                break;
            const int period = GetWord(bytes, at + EntryPeriod);
            TAccountCode code;
            if (period < 1 || period > PeriodsPerYear ||
                !AccountFormat->TextToCode(codeText, code, false, false))
                continue;
            const TAccountDetail* account = Accounts->GetAccount(Accounts->IndexOfCode(code));
            if (!account || !account->InBalanceSheetRange() || account->InSuspenseRange())
                continue; // it cannot be a bank account
            const double openBalDate = ReadExchangeDate(dateText, Year);
            if (openBalDate <= 0)
                continue;
            const QString key = AccountFormat->FormatCode(code);
            if (IndexOf(key) < 0 && !newDetails.contains(key)) {
                if (Count() + newDetails.size() >= MaxDetails)
                    continue;
                newDetails.insert(key);
            }
            entries.append(TEntry{code, openBalDate, GetReal48(bytes, at + EntryStatement),
                                  GetReal48(bytes, at + EntryCashbook), GetReal48(bytes, at + EntrySixth),
                                  PeriodEndDate(period, Year, PeriodsPerYear, Entity.EndMonth)});
        }

        bool accountsChanged = false;
        for (const TEntry& entry : entries) {
            TAccountDetail* account = Accounts->GetAccount(Accounts->IndexOfCode(entry.Code));
            if (account->AccountType != AccountTypeCode::Bank) {
                account->DeriveAccountType(AccountTypeCode::Bank);
                accountsChanged = true;
            }
            if (account->GetBankCurrency() != Entity.Currency) {
                account->SetBankCurrency(Entity.Currency);
                accountsChanged = true;
            }
            int index = IndexOfAccount(entry.Code);
            if (index < 0) {
                auto made = std::make_unique<TBRecOpeningDetail>(AccountFormat);
                made->BankAccount = entry.Code;
                InitDetailDates(*made);
                index = AddItem(std::move(made));
            }
            TBRecOpeningDetail* detail = GetDetail(index);
            detail->Currency = Entity.Currency;
            detail->Open_Bal_Date = entry.OpenBalDate;
            detail->Statement_Open_Bal = entry.Statement;
            detail->Cashbook_Open_Bal = entry.Cashbook;
            detail->SixthValue = entry.Sixth;
            detail->PeriodEnd = entry.PeriodEnd;
            Saved = false;
        }
        if (!entries.isEmpty())
            AssignFreeSlots();
        if (accountsChanged)
            Accounts->Saved = false;
    });
}
