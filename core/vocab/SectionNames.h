#pragma once

#include "core/vocab/VocabularyIndex.h"

#include <QStringView>

#include <array>

// Section names of the program settings, the reference-data file and a client's detail record.
// Ini section names compare without regard to case, so "TESSALY ACCOUNT FORMAT IDS" here finds a
// section written as "Tessaly ACCOUNT FORMAT IDS".
enum TSectionName : int {
    snConfiguration = 0,
    snBas = 1,
    snImportFormatHistory = 2,
    snVersion = 3,
    snRegional = 4,
    snRelease = 5,
    snEntityTypes = 6,
    snCurrency = 7,
    snBanks = 8,
    snAccountFormats = 9,
    snAccountTypes = 10,
    snAccountSigns = 11,
    snAccountRangeTypes = 12,
    snCountries = 13,
    snFbtVariationReasons = 14,
    snInstalmentVariationReasons = 15,
    snDesktop = 16,
    snTessalyAccountFormatIds = 17,
    snTessalyAccountFormatMap = 18,
    snTessalyMemberAccountRanges = 19,
    snTessalyMemberAccountSubranges = 20,
    snGstVariationReasons = 21,
    snFbtValidReasons = 22,
    snInstalmentValidReasons = 23,
    snBankImportDescriptionFilter = 24,
};

inline constexpr std::array<QStringView, 25> SectionNameTable{
    u"CONFIGURATION",
    u"BAS",
    u"IMPORT_FORMAT_HISTORY",
    u"VERSION",
    u"REGIONAL",
    u"RELEASE",
    u"ENTITY TYPES",
    u"CURRENCY",
    u"BANKS",
    u"ACCOUNT FORMATS",
    u"ACCOUNT TYPES",
    u"ACCOUNT SIGNS",
    u"ACCOUNT RANGE TYPES",
    u"COUNTRIES",
    u"FBT VARIATION REASONS",
    u"INSTALMENT VARIATION REASONS",
    u"DESKTOP",
    u"TESSALY ACCOUNT FORMAT IDS",
    u"TESSALY ACCOUNT FORMAT MAP",
    u"TESSALY MEMBER ACCOUNT RANGES",
    u"TESSALY MEMBER ACCOUNT SUBRANGES",
    u"GST VARIATION REASONS",
    u"FBT VALID REASONS",
    u"INSTALMENT VALID REASONS",
    u"BANK IMPORT DESCRIPTION FILTER",
};

inline constexpr int SectionNameCount = static_cast<int>(SectionNameTable.size());

inline QStringView SectionName(int index) {
    return VocabularyRow(SectionNameTable, index, u"section");
}

// The history section, kept outside the numbered table: in the program ini it holds the recently
// used files, the open windows and the active file; in a client's detail record the data-entry
// pages that were open when the file was closed.
inline constexpr QStringView HistorySectionName = u"HISTORY";
