#pragma once

#include "core/accounts/AccountCode.h"
#include "core/charts/MasterChartItem.h"

#include <QList>
#include <QString>
#include <QtGlobal>

class TAccountFormat;
class TValueReader;
class TValueWriter;

// One tax code of a file year: its rate, its validity dates, the account that receives the tax
// and the activity-statement (BAS) labels it reports under. Each code of a chart owns one bit
// number, TaxType (0-31), so that a set of tax codes fits in a 32-bit flag set on a transaction.
class TTaxRate : public TMasterChartItem {
public:
    // The first label number and the last one the label table knows ("G0".."G20").
    static constexpr int LastBASLabel = 20;

    explicit TTaxRate(const TAccountFormat* format = nullptr);

    // The code is the key; any text that is not blank is a code.
    QString GetKey() const override { return Tax_Code; }
    bool SetKey(const QString& key) override;

    // The code as shown: the tax account formatted by the account format (empty without one).
    QString GetTaxAccountText() const;
    // Reads a typed account code without messages; text that is no valid code is ignored.
    void SetTaxAccountText(const QString& text);
    // The rate with two decimals ("10.00").
    QString GetTaxRateText() const;
    // The validity dates in the long date format; setting reads a typed date (text that is no
    // date is ignored).
    QString GetStartDateText() const;
    QString GetEndDateText() const;
    void SetStartDateText(const QString& text);
    void SetEndDateText(const QString& text);

    // The tax held in an amount that includes it, to the cent (halves to the even cent), when
    // the date lies within the code's validity dates; 0 outside them.
    double CalcIncludedTax(double date, double amount) const;

    // Sets the BAS labels from a typed list ("g7, G1,G2 ,X"): each item is trimmed and looked up
    // without regard to case among "G0".."G20"; only the labels a tax code can report under
    // (G2, G3, G4, G6, G7, G13, G14, G15, G17 and G18) are kept, in ascending order, repeats
    // included. BAS becomes their texts joined by "," ("G2,G7").
    void SetBASSections(const QString& text);
    bool HasBASLabel(int label) const { return BASLabels.contains(label); }

    // Stream form of version "V5.3": code, type, description, BAS labels, the four parts of
    // the tax account (branch, division, account, sub-account), rate, start date, end date.
    // The older "V5.01" form lacks the BAS labels.
    void WriteToStream(TValueWriter& writer) const;
    void ReadFromStream(TValueReader& reader, bool withBAS);

    const TAccountFormat* Format = nullptr;
    QString Tax_Code;
    qint32 TaxType = 0;
    QString Tax_Description;
    TAccountCode TaxAccount;
    QString BAS;
    double Tax_Rate = 0.0;
    double StartDate = 0.0;
    double EndDate = 0.0;
    // Copied with the code, never stored. UsedFlag: a tax line was generated with the code since
    // the marks were last cleared (a recalculation clears them first, so that afterwards they tell
    // which codes the year's entries use).
    static constexpr quint8 UsedFlag = 0x01;
    quint8 Flags = 0;
    bool Used() const { return (Flags & UsedFlag) != 0; }
    void MarkUsed() { Flags |= UsedFlag; }
    // The label numbers behind BAS, ascending.
    QList<int> BASLabels;
};
