#include "core/charts/BRecOpeningDetail.h"

#include "core/accounts/AccountCodeStream.h"
#include "core/accounts/AccountFormat.h"
#include "core/dates/DateNumbers.h"
#include "core/files/Paths.h"
#include "core/io/StreamError.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"
#include "core/vocab/FileVocabulary.h"

#include <algorithm>
#include <cmath>

namespace {

// The name without its folder, whichever separator wrote it.
QString NameOnly(const QString& path) {
    const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(cut + 1);
}

} // namespace

TBRecOpeningDetail::TBRecOpeningDetail(const TAccountFormat* format) : Format(format) {}

bool TBRecOpeningDetail::SetKey(const QString& key) {
    TAccountCode code;
    if (!Format || !Format->TextToCode(key, code, false, false))
        return false;
    BankAccount = code;
    return true;
}

QChar TBRecOpeningDetail::SlotCharacter(int slot) {
    if (slot < 0 || slot >= SlotCount)
        return QChar();
    if (slot < 10)
        return QChar(u'0' + slot);
    return QChar(slot + 55); // 10 is "A"
}

QString TBRecOpeningDetail::ReconciliationFileName(const QString& dataDir, const QString& fileCode, int year,
                                                   int slot, bool matched) {
    const QChar slotChar = SlotCharacter(slot);
    if (slotChar.isNull())
        return {};
    QString name = fileCode;
    if (year != -1)
        name += QStringLiteral("%1").arg(ToggleYearDigits(year), 2, 10, QLatin1Char('0'));
    name += matched ? QStringLiteral(".RM") : QStringLiteral(".RU");
    name += slotChar;
    return BuildPath({dataDir, ChartKindEntry(ckBankRecOpening).Folder.toString(), name});
}

void TBRecOpeningDetail::BuildFileNames(const QString& dataDir, const QString& fileCode, int year) {
    UnmatchedFile = ReconciliationFileName(dataDir, fileCode, year, Slot, false);
    MatchedFile = ReconciliationFileName(dataDir, fileCode, year, Slot, true);
}

void TBRecOpeningDetail::SetCompleted(bool value) {
    Completed = value;
    Reconciled_To = value ? PeriodEnd : NotReconciled;
}

QString TBRecOpeningDetail::GetBankAccountText() const {
    return Format ? Format->FormatCode(BankAccount) : QString();
}

QString TBRecOpeningDetail::GetOpenBalDateText() const {
    return DateNumToStr(true, Open_Bal_Date);
}

QString TBRecOpeningDetail::GetCashbookOpenBalText() const {
    return QString::number(Cashbook_Open_Bal, 'f', 2);
}

QString TBRecOpeningDetail::GetStatementOpenBalText() const {
    return QString::number(Statement_Open_Bal, 'f', 2);
}

QString TBRecOpeningDetail::GetReconciledToText() const {
    if (Reconciled_To == NotReconciled)
        return QStringLiteral("Not Reconciled");
    return DateNumToStr(true, Reconciled_To);
}

void TBRecOpeningDetail::WriteToStream(TValueWriter& writer) const {
    WriteAccountCode(writer, BankAccount);
    writer.WriteFloat(Open_Bal_Date);
    writer.WriteFloat(Cashbook_Open_Bal);
    writer.WriteFloat(ThirdAmount);
    writer.WriteFloat(Statement_Open_Bal);
    writer.WriteFloat(PeriodEnd);
    writer.WriteFloat(SixthValue);
    writer.WriteFloat(Reconciled_To);
    writer.WriteBoolean(Completed);
    writer.WriteBoolean(Flag2);
    writer.WriteInteger(Slot);
    writer.WriteString(NameOnly(UnmatchedFile));
    writer.WriteString(NameOnly(MatchedFile));
}

void TBRecOpeningDetail::ReadFromStream(TValueReader& reader) {
    BankAccount = ReadAccountCode(reader);
    Open_Bal_Date = reader.ReadFiniteFloat();
    Cashbook_Open_Bal = reader.ReadFiniteFloat();
    ThirdAmount = reader.ReadFiniteFloat();
    Statement_Open_Bal = reader.ReadFiniteFloat();
    PeriodEnd = reader.ReadFiniteFloat();
    SixthValue = reader.ReadFiniteFloat();
    Reconciled_To = reader.ReadFiniteFloat();
    Completed = reader.ReadBoolean();
    Flag2 = reader.ReadBoolean();
    const std::int32_t slot = reader.ReadInteger();
    Slot = (slot >= 0 && slot < SlotCount) ? slot : NoSlot;
    UnmatchedFile = reader.ReadString();
    MatchedFile = reader.ReadString();
}
