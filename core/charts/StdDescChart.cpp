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

TStandardDescription* TStdDescChart::GetStdDescription(int index) const {
    return static_cast<TStandardDescription*>(GetItem(index));
}

int TStdDescChart::IndexOfAbbreviation(const QString& abbreviation) const {
    return IndexOf(abbreviation.toUpper());
}

int TStdDescChart::AddDescription(const QString& abbreviation, const QString& description) {
    return AddItem(std::make_unique<TStandardDescription>(abbreviation, description));
}

void TStdDescChart::ExpandAbbreviations(const QString& text, QString& result) const {
    result.clear();
    result.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        if (text[i] != QLatin1Char('~')) {
            result += text[i++];
            continue;
        }
        qsizetype end = i + 1;
        while (end < text.size() && !IsWholeWordDelimiter(text[end]))
            ++end;
        const QString abbreviation = text.mid(i + 1, end - i - 1);
        const TStandardDescription* found =
            abbreviation.isEmpty() ? nullptr : GetStdDescription(IndexOfAbbreviation(abbreviation));
        if (found)
            result += found->Description;
        else
            result += QStringView(text).mid(i, end - i); // as typed, "~" and all
        i = end;
    }
}

QString TStdDescChart::ExpandAbbreviations(const QString& text) const {
    QString result;
    ExpandAbbreviations(text, result);
    return result;
}

QString TStdDescChart::TemplateFileName() const {
    return BuildPath(
        {Entity.DataDir, ChartKindEntry(ckStdDescriptions).Folder.toString(), SuperfundTemplateName});
}

int TStdDescChart::LoadFromFile(const TOptionSet& options, IProgress* progress) {
    const int result = TMasterChart::LoadFromFile(options, progress);
    if (result != ResultCode::Success || Count() > 0 ||
        !IsSuperannuationType(Entity.EntityType) ||
        Entity.DataDir.isEmpty())
        return result;

    // A fund's empty chart starts from the practice's template. The year's own file was
    // read cleanly (or is not there), so a template that cannot be read does not block saving.
    const bool blocked = SaveBlocked;
    const QString override = FileNameOverride;
    FileNameOverride = TemplateFileName();
    TMasterChart::LoadFromFile(options.Without(Option::MustExist), progress);
    FileNameOverride = override;
    SaveBlocked = blocked;
    if (Count() > 0)
        Saved = false;
    Version = StdDescriptionsHeader.Version.toString();
    return result;
}

void TStdDescChart::WriteItems(QIODevice&, TValueWriter& writer, IProgress* progress) {
    const int count = Count();
    for (int i = 0; i < count; ++i) {
        const TStandardDescription* description = GetStdDescription(i);
        writer.WriteString(description->Abbreviation);
        writer.WriteString(description->Description);
        ReportWriteProgress(progress, i + 1, count);
    }
}

void TStdDescChart::ReadItems(QIODevice& stream, TValueReader& reader, IProgress* progress,
                              const TOptionSet& options) {
    while (!reader.EndOfList()) {
        auto description = std::make_unique<TStandardDescription>();
        description->Abbreviation = reader.ReadString();
        description->Description = reader.ReadString();
        AddReadItem(std::move(description), options);
        ReportReadProgress(progress, stream);
    }
}

void TStdDescChart::MergeItem(TMasterChartItem& held, const TMasterChartItem& read) {
    static_cast<TStandardDescription&>(held).Description =
        static_cast<const TStandardDescription&>(read).Description;
}
