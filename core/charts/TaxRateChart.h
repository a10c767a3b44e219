#pragma once

#include "core/charts/MasterChart.h"
#include "core/charts/TaxRate.h"

#include <QMap>
#include <QString>
#include <QtGlobal>
#include <memory>

class TAccountFormat;
class TAccountsChart;

// The tax codes of a client file's year (kind 3, "<code><yy>.TXR" in M_DETAIL, header
// "Tax Rates", "V5.3"). Codes order by their numbers (GST2 before GST10).
//
// Each code owns one bit number (TaxType 0-31), unique in the chart: transactions keep the tax
// codes they use as a 32-bit set of those bits, so a chart holds at most 32 codes and TypeMask
// holds the bits in use.
//
// Loading: a file of version "V5.3" is read as it is; an older "V5.01" file, or an empty or
// missing one, is replaced by the account format's default codes (the template
// "<format><.TXR>" in the M_DETAIL folder of the client's data folder) and the chart is left
// modified. A file of any other version is not understood: the load fails (Retry/Ignore) and
// the chart is save-blocked, so a file written by a newer program is never overwritten with
// the defaults. Every code's tax account must be an account of the year: one that is not is
// mapped through the account translation list, else to the default suspense account; and every
// code's dates are fitted to the financial year. Both repairs leave the chart modified.
class TTaxRateChart : public TMasterChart {
public:
    static constexpr int MaxTaxCodes = 32;
    // The version written, and the older one still read (it has no BAS labels).
    static inline const QString CurrentVersion = QStringLiteral("V5.3");
    static inline const QString Version501 = QStringLiteral("V5.01");

    // `accounts` is the year's chart of accounts (not owned; nullptr: tax accounts are not
    // checked). `format` is the client's account format (nullptr: the program's format of
    // Entity.AccFormatID, when the program settings are there). Loads at once when the options
    // hold 7 and neither 9 nor 13.
    TTaxRateChart(const TChartEntity& entity, TAccountsChart* accounts, const TAccountFormat* format,
                  const TOptionSet& options, int year);

    const TAccountFormat* Format() const { return AccountFormat; }
    TAccountsChart* AccountsChart() const { return Accounts; }

    TTaxRate* GetTaxRate(int index) const;

    // Adds a tax code. A code whose TaxType is 0, outside 0-31 or already taken by another code
    // gets the lowest number not in use. -1 (and the code freed) when the chart already holds
    // 32 codes or the code itself.
    int AddItem(std::unique_ptr<TMasterChartItem> item) override;
    // Frees the code's bit, then removes it.
    std::unique_ptr<TMasterChartItem> DeleteItem(int index, bool freeIt = true) override;
    void Clear() override;

    // The codes whose bits are in `types` (bits not in use ignored), in chart order, joined by ",".
    void GetCodesOfTypes(quint32 types, QString& text) const;
    QString GetCodesOfTypes(quint32 types) const;
    // The bits of the codes of a "," list; codes the chart does not hold are ignored.
    quint32 GetTypesOfCodes(const QString& codeList) const;
    // Keeps only the bits in use.
    void MaskTaxTypes(quint32& types) const { types &= TypeMask; }
    // Every code loses its used mark (TTaxRate::Used). Nothing is stored, so the chart stays as
    // saved as it was.
    void ClearUsedMarks();

    // What to divide a tax-inclusive amount by to get its tax, from the rate of the first code
    // reporting under label G17: (100 + rate) / rate, so 11 at 10 % and 9 at 12.5 %. 1.0 when no
    // code carries G17 or its rate is 0.
    double GetGSTDivisor() const;

    int LoadFromFile(const TOptionSet& options, IProgress* progress = nullptr) override;
    // Writes the current version: the items are always written in its layout.
    void WriteHeader(TValueWriter& writer) override;

    // The account format's default tax codes, stored form.
    QString TemplateFileName() const;

    // The bits of the codes held.
    quint32 TypeMask = 0;
    // Tax accounts of codes read from another chart: old formatted code to new code text.
    QMap<QString, QString> AccountTranslation;

protected:
    void WriteItems(QIODevice& stream, TValueWriter& writer, IProgress* progress) override;
    void ReadItems(QIODevice& stream, TValueReader& reader, IProgress* progress,
                   const TOptionSet& options) override;
    // The code held takes the fields read but keeps its own bit.
    void MergeItem(TMasterChartItem& held, const TMasterChartItem& read) override;

private:
    bool LoadTemplate();
    void RepairTaxAccounts();
    void FitDatesToYear();

    TAccountsChart* Accounts = nullptr;
    const TAccountFormat* AccountFormat = nullptr;
};
