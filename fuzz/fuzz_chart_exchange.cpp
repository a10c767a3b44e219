// Imports arbitrary bytes as a chart's exchange form. The first byte chooses the form (modulo 3:
// standard-description records, the bank-reconciliation record, the accounts text) and bit 2
// option 28. A failed import leaves the charts exactly as they were; a successful one leaves
// them in order (keys strictly rising, one slot per bank detail of a bank account) and its
// chart exports again without error.
#include "core/charts/BankRecOpeningDetailChart.h"
#include "core/charts/StdDescChart.h"
#include "fuzz/FuzzSupport.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

using fuzz::Check;

// Keys, the fields an import sets, and the saved marks of the charts.
QString Dump(const TMasterChart& chart) {
    QString text = chart.Saved ? "saved;" : "modified;";
    fuzz::CheckKeyOrder(chart);
    for (int i = 0; i < chart.Count(); ++i) {
        text += chart.GetCode(i) + '=';
        if (const auto* d = dynamic_cast<const TStandardDescription*>(chart.GetItem(i)))
            text += d->Description;
        if (const auto* a = dynamic_cast<const TAccountDetail*>(chart.GetItem(i)))
            text += a->Description + ':' + a->AccountType + ':' + a->GetBankCurrency();
        if (const auto* b = dynamic_cast<const TBRecOpeningDetail*>(chart.GetItem(i)))
            text += QStringLiteral("%1/%2/%3/%4/%5/%6")
                        .arg(b->Open_Bal_Date)
                        .arg(b->PeriodEnd)
                        .arg(b->Statement_Open_Bal)
                        .arg(b->Cashbook_Open_Bal)
                        .arg(b->SixthValue)
                        .arg(b->Slot);
        text += ';';
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The data folder lies in memory where it can: every export syncs its file to disk.
    static QTemporaryDir folder(QDir("/dev/shm").exists() ? "/dev/shm/qv-exchange-XXXXXX"
                                                          : QDir::tempPath() + "/qv-exchange-XXXXXX");
    static const TChartEntity entity = [] {
        Check(folder.isValid());
        fuzz::InstallPrompt();
        return fuzz::ChartClient(folder.path());
    }();
    if (size == 0)
        return 0;
    const QString input = folder.filePath("INPUT");
    Check(fuzz::WriteInputFile(input, fuzz::InputBytes(data + 1, size - 1)));
    const TOptionSet options = (data[0] & 0x04) != 0 ? TOptionSet{Option::MergeReplace} : TOptionSet{};

    // Bank accounts 2000 to 2005, ordinary accounts 1000 and 4500, a description "GR".
    TStdDescChart descriptions(entity, TOptionSet{}, 2006);
    descriptions.AddDescription("GR", "Groceries");
    const TAccountFormat* format = ProgramParams().FindAccountFormat(entity.AccFormatID);
    TAccountsChart accounts(entity, format, TOptionSet{}, 2006, QString(), &descriptions);
    fuzz::AddAccounts(accounts, format, {1000, 2000, 2001, 2002, 2003, 2004, 2005, 4500});
    TBankRecOpeningDetailChart bankRec(entity, &accounts, nullptr, TOptionSet{Option::Load}, 2006);
    TMasterChart* const charts[] = {&descriptions, &bankRec, &accounts};
    TMasterChart& chart = *charts[data[0] % 3];

    const QString before = Dump(chart) + Dump(accounts);
    const int result = chart.ImportItems(input, options);
    Check(result == 0 || (result == -1 && Dump(chart) + Dump(accounts) == before));
    for (int i = 0; i < bankRec.Count(); ++i) {
        const TAccountDetail* account = bankRec.GetBankAccount(i);
        Check(account && account->AccountType == "BNK" && bankRec.GetDetail(i)->Slot >= 0);
        for (int j = 0; j < i; ++j)
            Check(bankRec.GetDetail(j)->Slot != bankRec.GetDetail(i)->Slot);
    }
    Check(chart.ExportItems(folder.filePath("OUTPUT")) == 0);
    return 0;
}
