#include "core/charts/StdDescChart.h"

#include "core/common/ResultCodes.h"
#include "core/files/Paths.h"
#include "core/io/ValueReader.h"
#include "core/io/ValueWriter.h"
#include "core/vocab/FileVocabulary.h"
#include "core/vocab/SmallVocabulary.h"

#include <QIODevice>

namespace {

// The practice's descriptions for a new superannuation fund.
constexpr QLatin1String SuperfundTemplateName("Superfund.Std");

} // namespace

TStdDescChart::TStdDescChart(const TChartEntity& entity, const TOptionSet& options, int year)
    : TMasterChart(entity, year) {
    SetFileHeader(StdDescriptionsHeader.Kind.toString(), StdDescriptionsHeader.Version.toString(),
                  ckStdDescriptions, QString());
    Items.SetNumericCompare(true);
    if (options.Has(Option::Load))
        LoadFromFile(options);
}

TStandardDescription* TStdDescChart::GetStdDescription(int Index) const {
    return static_cast<TStandardDescription*>(GetItem(Index));
}

int TStdDescChart::IndexOfAbbreviation(const QString& Abbreviation) const {
    return IndexOf(Abbreviation.toUpper());
}

int TStdDescChart::AddDescription(const QString& Abbreviation, const QString& Description) {
    return AddItem(std::make_unique<TStandardDescription>(Abbreviation, Description));
}

void TStdDescChart::ExpandAbbreviations(const QString& Text, QString& Result) const {
    Result.clear();
    Result.reserve(Text.size());
    qsizetype i = 0;
    while (i < Text.size()) {
        if (Text[i] != QLatin1Char('~')) {
            Result += Text[i++];
            continue;
        }
        qsizetype end = i + 1;
        while (end < Text.size() && !IsWholeWordDelimiter(Text[end]))
            ++end;
        const QString abbreviation = Text.mid(i + 1, end - i - 1);
        const TStandardDescription* found =
            abbreviation.isEmpty() ? nullptr : GetStdDescription(IndexOfAbbreviation(abbreviation));
        if (found)
            Result += found->Description;
        else
            Result += QStringView(Text).mid(i, end - i); // as typed, "~" and all
        i = end;
    }
}

QString TStdDescChart::ExpandAbbreviations(const QString& Text) const {
    QString result;
    ExpandAbbreviations(Text, result);
    return result;
}

QString TStdDescChart::TemplateFileName() const {
    return BuildPath(
        {Entity.DataDir, ChartKindEntry(ckStdDescriptions).Folder.toString(), SuperfundTemplateName});
}

int TStdDescChart::LoadFromFile(const TOptionSet& Options, IProgress* Progress) {
    const int result = TMasterChart::LoadFromFile(Options, Progress);
    if (result != ResultCode::Success || Count() > 0 ||
        Entity.EntityType.compare(SuperannuationEntityType, Qt::CaseInsensitive) != 0 ||
        Entity.DataDir.isEmpty())
        return result;

    // A fund's empty chart starts from the practice's template. The year's own file was
    // read cleanly (or is not there), so a template that cannot be read does not block saving.
    const bool blocked = SaveBlocked;
    const QString override = FileNameOverride;
    FileNameOverride = TemplateFileName();
    TMasterChart::LoadFromFile(Options.Without(Option::MustExist), Progress);
    FileNameOverride = override;
    SaveBlocked = blocked;
    if (Count() > 0)
        Saved = false;
    Version = StdDescriptionsHeader.Version.toString();
    return result;
}

void TStdDescChart::WriteItems(QIODevice&, TValueWriter& Writer, IProgress* Progress) {
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        const TStandardDescription* description = GetStdDescription(i);
        Writer.WriteString(description->Abbreviation);
        Writer.WriteString(description->Description);
        ReportWriteProgress(Progress, i + 1, count);
    }
}

void TStdDescChart::ReadItems(QIODevice& Stream, TValueReader& Reader, IProgress* Progress,
                              const TOptionSet& Options) {
    while (!Reader.EndOfList()) {
        auto description = std::make_unique<TStandardDescription>();
        description->Abbreviation = Reader.ReadString();
        description->Description = Reader.ReadString();
        AddReadItem(std::move(description), Options);
        ReportReadProgress(Progress, Stream);
    }
}

void TStdDescChart::MergeItem(TMasterChartItem& Held, const TMasterChartItem& Read) {
    static_cast<TStandardDescription&>(Held).Description =
        static_cast<const TStandardDescription&>(Read).Description;
}
