#pragma once

#include "core/reference/AccountRangeType.h"
#include "core/reference/AccountSign.h"
#include "core/reference/AccountType.h"
#include "core/reference/Bank.h"
#include "core/reference/Country.h"
#include "core/reference/Currency.h"
#include "core/reference/EntityType.h"
#include "core/reference/SortedCodeList.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

class TAccountFormat;

// The practice-wide reference tables, read once at start-up from the reference-data file
// ("Quilvane.DAT" in the program data folder): entity types, currencies, banks, account formats
// with their ranges, account types, signs and range types, countries, the reasons the activity
// statement accepts for varying FBT, GST and instalment amounts, and the filter applied to
// descriptions of imported bank statements. The file also sets the date formats the whole program
// shows and reads dates in.
//
// The program settings derive from this class; every part of the program reads the tables
// through them.
class TReferenceData {
public:
    TReferenceData();
    virtual ~TReferenceData();
    TReferenceData(TReferenceData&&) noexcept;
    TReferenceData& operator=(TReferenceData&&) noexcept;
    TReferenceData(const TReferenceData&) = delete;
    TReferenceData& operator=(const TReferenceData&) = delete;

    // Empties every table and field.
    void Clear();

    // Reads the reference-data file at the path into the tables and sets the program's date
    // formats. Raises EQuilvaneError "Unable to read <path>" when the file cannot be read,
    // "Error reading account formats in Quilvane.dat (<path> defines no account format)" when
    // it defines no account format (cut short, damaged, its formats removed), and "Error
    // reading account formats in Quilvane.dat" when a format's section lacks a range type; any
    // other bad content raises EQuilvaneError too. On failure the tables and the date
    // formats are left as they were. Range texts outside a format's "ALL" range are reported
    // through the prompter while loading.
    void Load(const QString& datPath);

    // As Load, from the file's bytes; the path only names the file in messages. Leaves
    // DataFileDate as it was.
    void LoadFromBytes(const QByteArray& content, const QString& datPath);

    // The account format of a code; nullptr when there is none.
    TAccountFormat* FindAccountFormat(const QString& code) const;
    // The flag of an account type; false when the type is not listed.
    bool GetAccountTypeFlag(const QString& code) const;
    // The code of the first format (in code order) whose workpapers identifier is the given
    // one (an empty one finds the first format that has none); "<Unknown>" when none is.
    QString GetAccountFormatCodeByTessalyID(const QString& ID) const;
    // The description of an entity type; empty when the type is not listed.
    QString GetEntityTypeName(const QString& code) const;

    QString Release;
    QDateTime DataFileDate;
    TSortedCodeList<TEntityType> EntityTypes;
    TSortedCodeList<TCurrency> Currencies;
    TSortedCodeList<TBank> Banks;
    TSortedCodeList<TAccountFormat> AccountFormats;
    TSortedCodeList<TAccountType> AccountTypes;
    TSortedCodeList<TAccountSign> AccountSigns;
    TSortedCodeList<TAccountRangeType> AccountRangeTypes;
    TSortedCodeList<TCountry> Countries;
    QStringList FBTVariationReasons;
    QStringList GSTVariationReasons;
    QString FBTValidReasonsOld;
    QString FBTValidReasonsNew;
    QString InstalmentValidReasonsOld;
    QString InstalmentValidReasonsNew;
    QStringList BankImportDescriptionFilter; // "key=value" lines in file order
    QStringList InstalmentVariationReasons;
    int DefaultCountryIndex = -1; // index of the default country in Countries
    QString ReportDateFormat;
    QString NarrativeDateFormat;
};
