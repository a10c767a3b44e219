#pragma once

#include <QString>
#include <QStringList>

class TReferenceData;

// The default charts a file can start its accounts from: one master chart for every pair of
// account format and entity type, listed format by format ("QUILVANE,COY", "QUILVANE,IND", ...,
// then the next format), or a chart file of the user's choice. A master chart is stored in the
// record by its file name in the master-data folder: the format's base name, ".", the entity
// type's code ("QUILVANE.COY").
class TDefaultChartList {
public:
    TDefaultChartList() = default;
    TDefaultChartList(QStringList formatCodes, QStringList formatBaseNames, QStringList typeCodes);
    // The account formats and entity types of the reference tables, in their code order.
    static TDefaultChartList FromReference(const TReferenceData& reference);

    // The list texts: "<format code>,<entity type code>" for each pair.
    QStringList Entries() const;
    int Count() const { return static_cast<int>(FormatCodes.size() * TypeCodes.size()); }

    // The entry of a pair: format index times the number of types plus the type index; -1 when
    // either index is outside its table.
    int EntryIndex(int formatIndex, int typeIndex) const;
    // The entry a text is (compared without regard to case); -1 when it is none.
    int IndexOfText(const QString& text) const;
    // The entry of a record's stored chart name: "<base name>.<type>", or the reversed
    // "<type>.<base name>" that a new record's defaults hold (both name the same pair); -1 when
    // the name is a chart file of its own.
    int IndexOfStoredName(const QString& storedName) const;

    // The stored name of an entry ("<base name>.<type code>"); empty outside the list.
    QString StoredName(int entry) const;
    // What the record stores for the chart text: the entry's stored name when the text is an
    // entry, else the text itself (a chart file).
    QString StoredNameOfText(const QString& text) const;

    // Whether the chart text names an accounts chart file (".ADF"): such a choice stays when
    // the format or the entity type changes; any other text follows the pair.
    static bool IsChartFile(const QString& text);

    // The chart-file filter as the file dialog is given it: "QUILVANE Accounts Charts|*.ADF|
    // Other text files|*.txt|Master Charts|" followed by "*.<type>;" for every entity type.
    QString FileFilter() const;
    // A "name|patterns|name|patterns" filter in the form of the Qt file dialogs; every pattern
    // is offered in upper and lower case too, since charts come from Windows in either.
    static QString QtFileFilter(const QString& filter);

private:
    QStringList FormatCodes;
    QStringList FormatBaseNames;
    QStringList TypeCodes;
};
