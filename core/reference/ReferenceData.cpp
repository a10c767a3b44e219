#include "core/reference/ReferenceData.h"

#include "core/accounts/AccountFormat.h"
#include "core/accounts/AccountGroup.h"
#include "core/accounts/AccountGroups.h"
#include "core/common/Exceptions.h"
#include "core/common/RegionalSettings.h"
#include "core/io/IniFile.h"
#include "core/services/Services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <exception>
#include <memory>

namespace {

const QString AllRangeType = QStringLiteral("ALL");
const QString AccountFormatsError = QStringLiteral("Error reading account formats in Quilvane.dat");

// Reads the sections of one reference-data file into a fresh set of tables and date formats.
class TReferenceReader {
public:
    TReferenceReader(const TIniFile& ini, const QString& path, TReferenceData& data,
                     TRegionalSettings& regional)
        : Ini(ini), Path(path), Data(data), Regional(regional) {}

    void Read() {
        Data.Release = Ini.ReadString(QStringLiteral("VERSION"), QStringLiteral("RELEASE"), QString());
        ReadRegional();
        ReadRows<TEntityType>(QStringLiteral("ENTITY TYPES"), Data.EntityTypes,
                              [](const QString& value) { return TEntityType(value); });
        ReadCurrencies();
        ReadCountries();
        Data.FBTVariationReasons = ReadValues(QStringLiteral("FBT VARIATION REASONS"));
        Data.InstalmentVariationReasons = ReadValues(QStringLiteral("INSTALMENT VARIATION REASONS"));
        Data.GSTVariationReasons = ReadValues(QStringLiteral("GST VARIATION REASONS"));
        Data.FBTValidReasonsOld =
            Ini.ReadString(QStringLiteral("FBT VALID REASONS"), QStringLiteral("OLD"), QString());
        Data.FBTValidReasonsNew =
            Ini.ReadString(QStringLiteral("FBT VALID REASONS"), QStringLiteral("NEW"), QString());
        Data.InstalmentValidReasonsOld =
            Ini.ReadString(QStringLiteral("INSTALMENT VALID REASONS"), QStringLiteral("OLD"), QString());
        Data.InstalmentValidReasonsNew =
            Ini.ReadString(QStringLiteral("INSTALMENT VALID REASONS"), QStringLiteral("NEW"), QString());
        ReadRows<TBank>(QStringLiteral("BANKS"), Data.Banks, &TBank::FromValue);
        ReadRows<TAccountType>(QStringLiteral("ACCOUNT TYPES"), Data.AccountTypes, &TAccountType::FromValue);
        ReadRows<TAccountRangeType>(QStringLiteral("ACCOUNT RANGE TYPES"), Data.AccountRangeTypes,
                                    [](const QString& value) { return TAccountRangeType(value); });
        ReadAccountFormats();
        ReadRetainedProfitAccounts();
        ReadTessalySections();
        ReadRows<TAccountSign>(QStringLiteral("ACCOUNT SIGNS"), Data.AccountSigns,
                               [](const QString& value) { return TAccountSign(value); });
        Data.BankImportDescriptionFilter =
            Ini.ReadSectionValues(QStringLiteral("BANK IMPORT DESCRIPTION FILTER"));
    }

private:
    // A format value that is present but empty would leave dates unreadable: it takes the default
    // like a missing one.
    QString ReadFormat(const QString& key, const QString& defaultValue) const {
        const QString value = Ini.ReadString(QStringLiteral("REGIONAL"), key, QString());
        return value.isEmpty() ? defaultValue : value;
    }

    void ReadRegional() {
        Regional.ShortDateFormat = ReadFormat(QStringLiteral("ShortDateFmt"), QStringLiteral("DD/MM/YY"));
        Regional.LongDateFormat = ReadFormat(QStringLiteral("LongDateFmt"), QStringLiteral("DD/MM/YYYY"));
        Regional.LongTimeFormat =
            ReadFormat(QStringLiteral("LongTimeFmt"), QStringLiteral("ddd d mmmm yyyy \"at\" t"));
        // Only the first character is the separator; an empty value keeps the usual "/".
        const QString separator = ReadFormat(QStringLiteral("DateSeparator"), QStringLiteral("/"));
        Regional.DateSeparator = separator.at(0);
        Data.ReportDateFormat =
            ReadFormat(QStringLiteral("ReportDateFormat"),
                       TRegionalSettings::DefaultReportDateFormat(Regional.DateSeparator));
        Data.NarrativeDateFormat =
            ReadFormat(QStringLiteral("NarrativeDateFormat"), QStringLiteral("d mmm yyyy"));
        Regional.ReportDateFormat = Data.ReportDateFormat;
        Regional.NarrativeDateFormat = Data.NarrativeDateFormat;
    }

    // One row per key, in file order, made from the key's value; a code already listed keeps its
    // first row.
    template <typename TRow, typename TMake>
    void ReadRows(const QString& section, TSortedCodeList<TRow>& list, TMake make) {
        for (const QString& code : Ini.ReadSection(section))
            list.Add(code, std::make_unique<TRow>(make(Ini.ReadString(section, code, QString()))));
    }

    void ReadCurrencies() {
        const QString section = QStringLiteral("CURRENCY");
        for (const QString& code : Ini.ReadSection(section)) {
            const QString value = Ini.ReadString(section, code, QString());
            try {
                Data.Currencies.Add(code, std::make_unique<TCurrency>(TCurrency::FromValue(value)));
            } catch (const EQuilvaneError& error) {
                throw EQuilvaneError(
                    QStringLiteral("%1 (currency \"%2\" in %3)").arg(error.message(), code, Path));
            }
        }
    }

    // The default country is named by a key among the rows. Its index is found once the whole
    // section is read: rows listed after the key still move it in the sorted list.
    void ReadCountries() {
        const QString section = QStringLiteral("COUNTRIES");
        const QString defaultKey = QStringLiteral("DEFAULTCOUNTRY");
        QString defaultCode;
        bool defaultSeen = false;
        for (const QString& code : Ini.ReadSection(section)) {
            const QString value = Ini.ReadString(section, code, QString());
            if (code.compare(defaultKey, Qt::CaseInsensitive) == 0) {
                if (!defaultSeen)
                    defaultCode = value.trimmed();
                defaultSeen = true;
                continue;
            }
            Data.Countries.Add(code, std::make_unique<TCountry>(value));
        }
        Data.DefaultCountryIndex = defaultCode.isEmpty() ? -1 : Data.Countries.IndexOf(defaultCode);
    }

    QStringList ReadValues(const QString& section) const {
        QStringList values;
        for (const QString& key : Ini.ReadSection(section))
            values.append(Ini.ReadString(section, key, QString()));
        return values;
    }

    // Every client file is kept in one of these formats: a file that defines none (one cut short,
    // overwritten or with its formats removed) is no usable reference data, and would let every
    // client file open with an unregistered format.
    void ReadAccountFormats() {
        const QString section = QStringLiteral("ACCOUNT FORMATS");
        const QStringList codes = Ini.ReadSection(section);
        if (codes.isEmpty())
            throw EQuilvaneError(QStringLiteral("%1 (%2 defines no account format)")
                                     .arg(AccountFormatsError, QDir::toNativeSeparators(Path)));
        for (const QString& code : codes) {
            if (Data.AccountFormats.Contains(code))
                continue; // the first row of a code wins
            const QString value = Ini.ReadString(section, code, QString());
            const QString baseName = value.section(QLatin1Char(','), 0, 0);
            const QString mask = value.section(QLatin1Char(','), 1, 1);
            const QString keyOrder = value.section(QLatin1Char(','), 2, 2);
            QString description = value.section(QLatin1Char(','), 3);
            if (description.isEmpty())
                description = baseName;
            auto format = std::make_unique<TAccountFormat>(baseName, mask, keyOrder, description);
            TAccountFormat* added = format.get();
            Data.AccountFormats.Add(code, std::move(format));
            ReadRanges(code, *added);
        }
    }

    // One range per range type from the format's own section. The "ALL" range is read first:
    // it holds the values every part may take, and every other range is checked against it. A
    // text that does not parse adds no range (without an "ALL" range the format limits no part).
    void ReadRanges(const QString& formatCode, TAccountFormat& format) {
        const int allIndex = Data.AccountRangeTypes.IndexOf(AllRangeType);
        if (allIndex >= 0)
            ReadRange(formatCode, format, allIndex);
        for (int i = 0; i < Data.AccountRangeTypes.Count(); ++i)
            if (i != allIndex)
                ReadRange(formatCode, format, i);
    }

    void ReadRange(const QString& formatCode, TAccountFormat& format, int rangeTypeIndex) {
        const QString rangeCode = Data.AccountRangeTypes.Code(rangeTypeIndex);
        QString text = Ini.ReadString(formatCode, rangeCode, QString());
        if (text.trimmed().isEmpty())
            throw EQuilvaneError(AccountFormatsError);
        std::unique_ptr<TAccountGroup> group;
        const QString description = Data.AccountRangeTypes.Row(rangeTypeIndex)->Description;
        if (ParseRangeItem(&format, description, text, group) && group)
            format.Ranges.AddGroup(rangeCode, std::move(group));
    }

    void ReadRetainedProfitAccounts() {
        for (int f = 0; f < Data.AccountFormats.Count(); ++f) {
            const QString formatCode = Data.AccountFormats.Code(f);
            TAccountFormat* format = Data.AccountFormats.Row(f);
            for (int e = 0; e < Data.EntityTypes.Count(); ++e) {
                const QString entityType = Data.EntityTypes.Code(e);
                const QString key = QStringLiteral("%1 RETAINED PROFIT ACCOUNT").arg(entityType);
                format->SetRetainedProfitAccount(entityType, Ini.ReadString(formatCode, key, QString()));
            }
        }
    }

    void ReadTessalySections() {
        const QString ids = QStringLiteral("Tessaly ACCOUNT FORMAT IDS");
        const QString maps = QStringLiteral("Tessaly ACCOUNT FORMAT MAP");
        const QString ranges = QStringLiteral("Tessaly MEMBER ACCOUNT RANGES");
        const QString subRanges = QStringLiteral("Tessaly MEMBER ACCOUNT SUBRANGES");
        for (int f = 0; f < Data.AccountFormats.Count(); ++f) {
            const QString code = Data.AccountFormats.Code(f);
            TAccountFormat* format = Data.AccountFormats.Row(f);
            if (Ini.ValueExists(ids, code))
                format->TessalyID = Ini.ReadString(ids, code, QString());
            if (Ini.ValueExists(maps, code))
                format->TessalyMap = Ini.ReadString(maps, code, QString());
            format->MemberRange = ReadMemberGroup(ranges, code, *format, QStringLiteral("Member Range"));
            format->MemberSubRange =
                ReadMemberGroup(subRanges, code, *format, QStringLiteral("Member SubRange"));
        }
    }

    std::unique_ptr<TAccountGroup> ReadMemberGroup(const QString& section, const QString& code,
                                                   const TAccountFormat& format, const QString& description) {
        QString text = Ini.ReadString(section, code, QString());
        std::unique_ptr<TAccountGroup> group;
        if (!text.trimmed().isEmpty() && !ParseRangeItem(&format, description, text, group))
            group.reset();
        return group;
    }

    const TIniFile& Ini;
    const QString& Path;
    TReferenceData& Data;
    TRegionalSettings& Regional;
};

} // namespace

TReferenceData::TReferenceData() = default;
TReferenceData::~TReferenceData() = default;
TReferenceData::TReferenceData(TReferenceData&&) noexcept = default;
TReferenceData& TReferenceData::operator=(TReferenceData&&) noexcept = default;

void TReferenceData::Clear() {
    Release.clear();
    DataFileDate = QDateTime();
    EntityTypes.Clear();
    Currencies.Clear();
    Banks.Clear();
    AccountFormats.Clear();
    AccountTypes.Clear();
    AccountSigns.Clear();
    AccountRangeTypes.Clear();
    Countries.Clear();
    FBTVariationReasons.clear();
    GSTVariationReasons.clear();
    FBTValidReasonsOld.clear();
    FBTValidReasonsNew.clear();
    InstalmentValidReasonsOld.clear();
    InstalmentValidReasonsNew.clear();
    BankImportDescriptionFilter.clear();
    InstalmentVariationReasons.clear();
    DefaultCountryIndex = -1;
    ReportDateFormat.clear();
    NarrativeDateFormat.clear();
}

void TReferenceData::Load(const QString& datPath) {
    const QString unableToRead = QStringLiteral("Unable to read ") + datPath;
    QFile file(TServices::FileSystem().ResolveCaseInsensitive(datPath));
    if (!file.open(QIODevice::ReadOnly))
        throw EQuilvaneError(unableToRead);
    const QDateTime modified = QFileInfo(file).lastModified();
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EQuilvaneError(unableToRead);
    file.close();

    LoadFromBytes(content, datPath);
    DataFileDate = modified;
}

void TReferenceData::LoadFromBytes(const QByteArray& content, const QString& datPath) {
    // Everything is read into fresh tables and formats first, so a file that fails half-way
    // leaves the ones in use (and the program's date formats) as they were.
    TReferenceData fresh;
    TRegionalSettings regional = TServices::Regional();
    try {
        TIniFile ini;
        ini.LoadFromBytes(content);
        TReferenceReader(ini, datPath, fresh, regional).Read();
    } catch (const EQuilvaneError&) {
        throw;
    } catch (const std::exception& error) {
        throw EQuilvaneError(
            QStringLiteral("Error reading %1: %2").arg(datPath, QString::fromLocal8Bit(error.what())));
    }
    fresh.DataFileDate = DataFileDate;
    TReferenceData::operator=(std::move(fresh));
    TServices::Regional() = regional;
}

TAccountFormat* TReferenceData::FindAccountFormat(const QString& code) const {
    return AccountFormats.Find(code);
}

bool TReferenceData::GetAccountTypeFlag(const QString& code) const {
    const TAccountType* type = AccountTypes.Find(code);
    return type != nullptr && type->Flag;
}

QString TReferenceData::GetAccountFormatCodeByTessalyID(const QString& ID) const {
    for (int i = 0; i < AccountFormats.Count(); ++i)
        if (AccountFormats.Row(i)->TessalyID == ID)
            return AccountFormats.Code(i);
    return QStringLiteral("<Unknown>");
}

QString TReferenceData::GetEntityTypeName(const QString& code) const {
    const TEntityType* type = EntityTypes.Find(code);
    return type != nullptr ? type->Description : QString();
}
