#pragma once

#include "core/charts/MasterChart.h"
#include "core/charts/StandardDescription.h"

// The standard descriptions of a client file's year (kind 2, "<code><yy>.STD" in M_DETAIL,
// header "Std Descriptions", "V5.0"). Abbreviations order by their numbers (RENT2 before
// RENT10). A superannuation fund ("SUP") whose chart is empty starts from the practice's
// template "Superfund.Std" in the M_DETAIL folder of its data folder.
class TStdDescChart : public TMasterChart {
public:
    // Loads the file at once when the options hold 7.
    TStdDescChart(const TChartEntity& entity, const TOptionSet& options, int year);

    // The description of an entry; nullptr for -1 or an index beyond the chart.
    TStandardDescription* GetStdDescription(int index) const;
    // The entry of an abbreviation, without regard to case; -1 when there is none.
    int IndexOfAbbreviation(const QString& abbreviation) const;

    // Adds a description (see TMasterChart::AddItem); -1 and nothing added when its
    // abbreviation is taken.
    int AddDescription(const QString& abbreviation, const QString& description);

    // Replaces every "~" followed by an abbreviation (the characters up to the next word
    // delimiter or the end) with that abbreviation's description. An unknown abbreviation, or a
    // "~" with none, stays as typed. One pass from left to right: expanded text is never
    // scanned again, so a description that names itself cannot loop.
    void ExpandAbbreviations(const QString& text, QString& result) const;
    QString ExpandAbbreviations(const QString& text) const;

    // The exchange form: 18 records of 44 bytes, each an abbreviation (short string of 2) and a
    // description (short string of 40); record i holds description i, records past the chart's
    // end are zero.
    int ExportItems(const QString& fileName, IProgress* progress = nullptr) override;
    // Reads the whole records of a form of at most 18 (a record of abbreviation length 0 is
    // empty); "[" and "]" in the texts become "<" and ">". A new abbreviation is added; one
    // already held takes the text only with option 28.
    int ImportItems(const QString& fileName, const TOptionSet& options,
                    IProgress* progress = nullptr) override;

    // The exchange form's size.
    static constexpr int ExchangeRecordSize = 44;
    static constexpr int ExchangeRecordCount = 18;

    int LoadFromFile(const TOptionSet& options, IProgress* progress = nullptr) override;

    // The template a superannuation fund's empty chart is filled from, stored form.
    QString TemplateFileName() const;

protected:
    void WriteItems(QIODevice& stream, TValueWriter& writer, IProgress* progress) override;
    void ReadItems(QIODevice& stream, TValueReader& reader, IProgress* progress,
                   const TOptionSet& options) override;
    void MergeItem(TMasterChartItem& held, const TMasterChartItem& read) override;
};
