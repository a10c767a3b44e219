#pragma once

#include <QChar>
#include <QStringView>

#include <array>

// The small fixed words of the program. Tables of two are indexed by a Boolean: [false], [true].

// Stored flags and grid cells.
inline constexpr std::array<QStringView, 2> FlagTexts{u"N", u"Y"};
// Report cells.
inline constexpr std::array<QStringView, 2> TrueFalseWords{u"False", u"True"};
inline constexpr std::array<QStringView, 2> YesNoWords{u"No", u"Yes"};
// Activity-statement files.
inline constexpr std::array<QStringView, 2> LowerTrueFalseWords{u"false", u"true"};

constexpr QStringView FlagText(bool value) {
    return FlagTexts[value ? 1 : 0];
}

// Where a "greater" test picks an ordering: false orders before (-1), true after (1).
inline constexpr std::array<int, 2> ComparisonResults{-1, 1};

inline constexpr QStringView ListSeparator = u",";
inline constexpr QStringView SpacedListSeparator = u", ";
inline constexpr QStringView Joiner = u" + ";

inline constexpr std::array<QStringView, 3> RepetitionWords{u"Daily", u"Weekly", u"Monthly"};
inline constexpr std::array<QStringView, 7> AuthorityWords{u"View",   u"Modify",    u"Add",  u"New",
                                                           u"Delete", u"Authorise", u"Other"};

// Selection lists: an empty value, "leave as it is", and everything.
inline constexpr QStringView BlankSelectionText = u"<Blank>";
inline constexpr QStringView NoChangeSelectionText = u"<No Change>";
inline constexpr QStringView AllSelectionText = u"<All>";
inline constexpr QStringView EndOfReportText = u"End of Report.";
// What a client's activity-statement variation reasons hold until the user gives one.
inline constexpr QStringView NotApplicableText = u"<Not Applicable>";

// Characters that end a word in whole-word tests and that end an abbreviation in a description.
inline constexpr QStringView WholeWordDelimiters = u" !\",.:;[]{}";
// Characters at which text may wrap: the same set without the quote and the full stop.
inline constexpr QStringView WordWrapDelimiters = u" !,:;[]{}";

inline bool IsWholeWordDelimiter(QChar c) {
    return WholeWordDelimiters.contains(c);
}
inline bool IsWordWrapDelimiter(QChar c) {
    return WordWrapDelimiters.contains(c);
}

// The data-entry pages that journals from a Tessaly Interactive Workpapers workbook are posted
// to.
inline constexpr std::array<QStringView, 3> TessalyJournalPageNames{
    u"Tessaly Member Account Jnl", u"Tessaly Member Information Jnl", u"Tessaly Tax Note Jnl"};
