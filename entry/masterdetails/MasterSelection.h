#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QMimeData;
class TMasterChart;

// The selection of a master-details window as text, its clipboard format, and the cut and paste
// of chart items, with no widget: the rules the window runs.
//
// Selection text: the keys of the selected items in chart order joined by ",". In the accounts
// chart, selected accounts that follow one another in the chart are given as one run
// "<first> to <last>" (the account-group text form), so the text reads back, as account groups
// and here, as exactly the accounts selected: a run is only written where the range from its
// first to its last code holds no account that was left out (in a format whose codes sort
// otherwise than they show, the run is cut there).
//
// Clipboard format: a MIME type of the program's own per chart kind, named after the chart's
// plural noun (the format "QUILVANE Accounts" is "application/x-quilvane-accounts"). It carries
// the chart's kind word, the client's account format and the selected items in the chart file's
// own item layout; beside it a plain-text copy, one line per item with its cells separated by
// tabs.
class TMasterSelection {
public:
    // What a paste did.
    struct TPasteResult {
        int Added = 0;
        // Items whose key the chart already holds: left as they are.
        int Skipped = 0;
        // Items the chart would not take (no key, a full tax chart, a bank reconciliation for an
        // account that is not a bank account of the year).
        int Refused = 0;
        // The keys of the items added, in the order they came.
        QStringList AddedKeys;
        // Set when nothing could be pasted at all: no data of the chart's kind, data of another
        // account format, or damaged data. The chart is then unchanged.
        QString Error;
    };

    // ---- Selection text -----------------------------------------------------------------------

    // The selection text of the items at the indexes (any order; repeats and indexes outside the
    // chart are ignored).
    static QString SelectionText(const TMasterChart& chart, const QList<int>& indexes);
    // The indexes, in chart order, a selection text names. Keys are found without regard to case;
    // in the accounts chart an item is a code, "<from> to <to>" (every account in that range of
    // codes) or "ALL". Items naming nothing in the chart are passed over, quietly.
    static QList<int> IndexesOfText(const TMasterChart& chart, const QString& text);

    // ---- Clipboard ----------------------------------------------------------------------------

    // "QUILVANE <plural noun>": the name of the chart kind's clipboard format.
    static QString FormatName(int chartKind);
    // The MIME type of the chart kind's format ("application/x-quilvane-bank-rec-opening-balances").
    static QString MimeType(int chartKind);
    // The clipboard data of the items at the indexes (cleaned as for SelectionText).
    static std::unique_ptr<QMimeData> BuildClipboardData(const TMasterChart& chart,
                                                         const QList<int>& indexes);
    // Whether the data carries this chart kind's format.
    static bool HoldsChartData(const QMimeData& data, int chartKind);
    // Adds the items the data carries to the chart. An item whose key is held is skipped; an
    // added item is made to fit the chart: a second default suspense or bank account loses its
    // default flag, a tax code whose account the year lacks reports to the default suspense
    // account, a bank reconciliation starts over in a free slot of its own. The chart is marked
    // modified when anything was added. Data that cannot be read whole changes nothing.
    static TPasteResult Paste(TMasterChart& chart, const QMimeData& data);

    // ---- Deleting -----------------------------------------------------------------------------

    // Deletes the items at the indexes (cleaned as for SelectionText) and marks the chart
    // modified; the number deleted. An accounts chart always keeps a default suspense account:
    // when it was among them, one is made again (EnsureSuspenseAccount).
    static int DeleteItems(TMasterChart& chart, const QList<int>& indexes);

    // ---- Texts --------------------------------------------------------------------------------

    // "The clipboard holds no <plural noun>."
    static QString NoDataText(int chartKind);
    // "Delete the selected <singular noun> ?" or "Delete the <n> selected <plural noun> ?"
    static QString DeleteQuestion(int chartKind, int count);
    // What the user is told after a paste that skipped or refused items; empty when all were
    // added.
    static QString PasteReport(int chartKind, const TPasteResult& result);

    // The indexes inside the chart, ascending, each once.
    static QList<int> CleanIndexes(const TMasterChart& chart, const QList<int>& indexes);
};
