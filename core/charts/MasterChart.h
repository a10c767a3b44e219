#pragma once

#include "core/charts/ChartEntity.h"
#include "core/charts/MasterChartItem.h"
#include "core/charts/MasterChartStringList.h"
#include "core/common/OptionSet.h"

#include <QString>
#include <memory>

class IProgress;
class QIODevice;
class TValueReader;
class TValueWriter;

// Result codes of chart loads and saves beyond 0 and -1.
namespace ChartResult {
inline constexpr int Refused = -101;       // save: not written (replace question answered No or
                                           // Cancel, or the chart's own file could not be read)
inline constexpr int WrongKind = -114;     // load: the file holds another kind of chart
inline constexpr int ForeignFormat = -116; // load: the file belongs to another account format
inline constexpr int ExchangeFailed = -1;  // exchange form not written or not read
} // namespace ChartResult

// The common base of the master charts of a client file's year: accounts, tax codes, standard
// descriptions, currency rates and bank-reconciliation opening balances. It keeps the items in
// key order, names the chart's file, writes and checks the file's header and loads and saves
// the file, asking Retry or Ignore when that fails.
//
// The file is a value stream: the identifiers "<TypeName>,<Version>", the file code and the
// HeaderKey (the accounts chart's account format; empty for the other charts), then a list of
// the items in the chart's own item layout.
//
// Saving. Nothing saves by itself: the owner calls SaveIfModified (year save, timed saving,
// close) or SaveToFile (an explicit save by the user). A chart whose load failed is marked
// save-blocked: its file could not be read, so writing over it would destroy what the user may
// still recover. SaveIfModified never writes a blocked chart; SaveToFile asks first when the
// file on disk holds anything. The accounts chart also blocks itself when the user declines a
// chart of another account format, so that file stays as it is.
class TMasterChart {
public:
    TMasterChart(const TChartEntity& entity, int year);
    // Frees the items. Never saves: the owner saves before freeing.
    virtual ~TMasterChart();
    TMasterChart(const TMasterChart&) = delete;
    TMasterChart& operator=(const TMasterChart&) = delete;

    // Set by each chart's constructor: the kind word and version written in the header, the
    // kind (TChartKind: extension, folder and noun), and the key the file must carry.
    void SetFileHeader(const QString& typeName, const QString& version, int kind, const QString& headerKey);
    // A file name to use in place of the one built from the file code and year; a successful
    // load clears it.
    void SetFileName(const QString& name) { FileNameOverride = name; }

    // ---- Items ----------------------------------------------------------------------------

    int Count() const { return Items.Count(); }
    // The key of an entry; empty for -1 or an index beyond the chart.
    QString GetCode(int index) const { return Items.Key(index); }
    // The index of an exact key; -1 when the chart has none.
    int IndexOf(const QString& code) const { return Items.IndexOf(code); }
    // The item of an entry; nullptr for -1 or an index beyond the chart.
    TMasterChartItem* GetItem(int index) const { return Items.Item(index); }
    const TMasterChartStringList& GetItems() const { return Items; }

    // Adds an item under its key and returns its index; -1 when the key is already held (the
    // given item is then freed: callers look the key up first and merge themselves). Charts
    // override it to prepare their items and call this base.
    virtual int AddItem(std::unique_ptr<TMasterChartItem> item);

    // Gives entry `index` a new code and files it under the new key; returns the new index. -1,
    // with nothing changed, when the index is outside the chart, the text is no valid code
    // (TMasterChartItem::SetKey) or another entry holds that code.
    virtual int ChangeCode(int index, const QString& newCode);

    // Removes an entry. With freeIt the item is freed and nullptr returned; without, the item
    // is handed to the caller. nullptr for an index outside the chart.
    virtual std::unique_ptr<TMasterChartItem> DeleteItem(int index, bool freeIt = true);

    // Removes every item.
    virtual void Clear();

    // ---- File -----------------------------------------------------------------------------

    // The chart's file, stored form: FileNameOverride when set; else the folder (option 13
    // transfer drive, option 2 transfer folder, else the client's data folder), the kind's
    // folder ("BANK_REC" or "M_DETAIL"), the file code, two year digits and the kind's
    // extension: "<data>\M_DETAIL\ABC12306.ADF". A year argument other than -1 is used as
    // given; else the chart's own Year moved by options 14/15; no digits when both are -1.
    // Raises EQuilvaneError when the folder is unknown (no data folder, no transfer drive).
    virtual QString GetFileName(const TOptionSet& options, int year = -1) const;

    // Loads the chart's file: 0; -116 when the file belongs to another account format (the
    // items are loaded unless AcceptHeader declines them); -114 (silent mode only) when it
    // holds another kind of chart; -1 when it could not be read. A missing or empty file
    // returns 0 and changes nothing unless option 10 asks for the file. Without options 27/28
    // the chart is emptied first; with them the file's items are added (28: items already held
    // take the fields read) and the chart is left modified when it held items.
    // A failure sounds the error beep and offers Retry and Ignore (not with option 6):
    // "Unable to load 2006 Accounts file for ABC123. \r(File not found)". After a failure the
    // chart is emptied unless merging, and save-blocked unless its file is known to be missing
    // or empty.
    // A cancelled progress window raises EOperationCancelled (the chart is then save-blocked).
    virtual int LoadFromFile(const TOptionSet& options, IProgress* progress = nullptr);

    // Writes the chart's file through a temporary file renamed over the old one: 0; -101 when
    // the replace question (option 17, ConfirmReplace) or the save-blocked question was
    // declined; -1 when writing failed and the user chose Ignore (the old file is untouched and
    // the chart stays modified). A failure offers Retry and Ignore with the error beep:
    // "Unable to save 2006 Accounts file for ABC123. \r(<the system's error text>)". A file
    // that is a symbolic link is never written through.
    // The options are in and out: answering All removes 17, Cancel adds 29.
    virtual int SaveToFile(TOptionSet& options, IProgress* progress = nullptr);

    // Saves when the chart is modified and not save-blocked: SaveToFile's result, 0 when there
    // was nothing to save, -101 when the chart is blocked (nothing written, nothing asked).
    int SaveIfModified(TOptionSet& options, IProgress* progress = nullptr);

    // Whether the chart's file (native path) may be replaced. Caption is set to the file code,
    // " <year> " when the chart has a year, and " <noun>". With option 17, when the file
    // exists (or no name is given), asks (AskToReplace):
    // "<Caption> infomation aleady exists.\rReplace the current information ?". Without 17,
    // or when the file does not exist, true without asking.
    virtual bool ConfirmReplace(const QString& fileName, QString& caption, TOptionSet& options);

    // The exchange form of the chart, a simpler file for moving master data between
    // installations (file names native or stored form). ExportItems writes the whole form,
    // ImportItems merges a form into the chart: option 28 lets the file's data replace what the
    // chart holds. A file that cannot be read whole, or is damaged anywhere, changes nothing.
    // Both return 0, or -1 with ExchangeError saying why; a chart without a form returns -1. A
    // cancelled progress window raises EOperationCancelled before anything is written or
    // changed.
    virtual int ExportItems(const QString& fileName, IProgress* progress = nullptr);
    virtual int ImportItems(const QString& fileName, const TOptionSet& options,
                            IProgress* progress = nullptr);

    // The three header identifiers.
    virtual void WriteHeader(TValueWriter& writer);
    // Reads the header: 0; -114 when TypeName does not occur in the file's kind word; -116 when
    // HeaderKey is set and the file's key differs (case aside). Stores the file's version in
    // Version. A header that cannot be read leaves the texts empty (and so gives -114).
    virtual int ReadHeader(TValueReader& reader);

    // The year the chart's file belongs to: Year moved by options 14 and 15; -1 for none.
    int FileYear(const TOptionSet& options) const;
    // The plural noun of the chart's kind ("Accounts", "Standard Descriptions").
    QString KindNoun() const;

    // Save-blocked (see above). A clean load or a successful save lifts it.
    bool IsSaveBlocked() const { return SaveBlocked; }
    void BlockSave() { SaveBlocked = true; }

    // ---- Fields ---------------------------------------------------------------------------

    QString TypeName;         // "Chart of Accounts", "Std Descriptions", ...
    QString HeaderKey;        // the key the file must carry; empty: not checked
    QString Version;          // written in the header; after a load the file's own version
    int Kind = 0;             // TChartKind 0-4
    TChartEntity Entity;      // the client file
    int Year = -1;            // four-digit financial year; -1 for a chart of no year
    bool Saved = true;        // memory equals the file; editors clear it
    int CurrentIndex = -1;    // 0 after a load that found items, else -1
    QString FileNameOverride; // see SetFileName
    QString ExchangeError;    // why the last ExportItems or ImportItems returned -1

protected:
    // Writes the items between the list markers. Progress (may be nullptr) shows item number
    // x 100 / count (ReportWriteProgress).
    virtual void WriteItems(QIODevice& stream, TValueWriter& writer, IProgress* progress) = 0;
    // Reads items until the end of the list (reader.EndOfList()), filing each through
    // AddReadItem. Progress shows stream position x 100 / stream size (ReportReadProgress).
    virtual void ReadItems(QIODevice& stream, TValueReader& reader, IProgress* progress,
                           const TOptionSet& options) = 0;

    // The native path of the file a load reads (GetFileName's); empty when its drive is not
    // ready. Raises EQuilvaneError when no name can be built.
    virtual QString FileToLoad(const TOptionSet& options);
    // Whether the items of a file are read after its header gave headerResult (0 or -116).
    // A load that is declined returns headerResult and leaves the chart as it was.
    virtual bool AcceptHeader(int headerResult);

    // Files an item read from a file: a new key is added (AddItem). For a key already held the
    // read item is dropped; with option 28 the held item first takes its fields (MergeItem),
    // and when that gave it the code in other letter case its entry takes that text too.
    // Returns the index of the entry, -1 when the item could not be added.
    int AddReadItem(std::unique_ptr<TMasterChartItem> item, const TOptionSet& options);
    // Files an item under the key it gives (GetKey, worked out once by the caller): AddItem's
    // result. Charts that prepare their items call it once they are prepared.
    int AddKeyedItem(const QString& key, std::unique_ptr<TMasterChartItem> item);
    // Copies the stored fields of an item read from a file into the item held under its key
    // (option 28). The default copies nothing.
    virtual void MergeItem(TMasterChartItem& held, const TMasterChartItem& read);

    static void ReportReadProgress(IProgress* progress, const QIODevice& stream);
    static void ReportWriteProgress(IProgress* progress, int number, int count);

    TMasterChartStringList Items;
    bool SaveBlocked = false;

private:
    QString FailureText(const QString& verb, const TOptionSet& options, const QString& error) const;
    int LoadOnce(const QString& native, const TOptionSet& options, IProgress* progress, int& headerResult);
    void SaveOnce(const QString& native, IProgress* progress);
    bool ConfirmOverwriteUnread(const QString& native, const QString& caption);
};
