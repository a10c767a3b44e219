#pragma once

#include <QtGlobal>

// What the main window asks of its child windows, and of the data-entry window in particular.
// The windows live in the libraries above the data model; the frame reaches them only through
// these calls, made at once (never queued), in place of the messages it once sent them.

// A child window that follows the active file.
class IChildWindow {
public:
    virtual ~IChildWindow() = default;
    // The active file changed: its index in the desktop list, -1 when no file is open.
    virtual void ActiveFileChanged(int activeIndex) = 0;
};

// What the data-entry window is told when the active file's options change in its properties.
enum TDataEntryNotice : int {
    dnQuantityOrCurrencyChanged = 1525,
    dnTaxesChanged = 1526,
    dnContraIntervalChanged = 1537,
};

// The data-entry window's commands that the main window's Edit menu runs.
enum TDataEntryCommand : int {
    decCopyTransactions = 0,
    decPasteTransactions = 1,
    decInsertTransaction = 2,
    decDeleteTransactions = 3,
    decCreateDissection = 4,
    decRemoveDissection = 5,
    decGenerateContras = 6,
};
inline constexpr int DataEntryCommandCount = 7;

// What the frame asks of the data-entry window (a child of kind wkDataEntry).
class IDataEntryWindow {
public:
    static constexpr int PagesCancelled = 2;

    virtual ~IDataEntryWindow() = default;
    // Closes the pages of the desktop file at fileIndex (minimising the window first when asked,
    // recording the pages for reopening when asked). 1 when all closed, PagesCancelled when the
    // user cancelled at one of them.
    virtual int CloseAllPages(int fileIndex, bool minimise, bool record) = 0;
    // Opens (or finds) the active file's page of a kind for a period of its current year with
    // the default page options; the page's index in the file, -1 when it could not be opened.
    virtual int OpenPage(int pageKind, int period) = 0;
    // The page's current row changed: scrolls it into view and repaints the page.
    virtual void ShowCurrentRow(int pageIndex) = 0;
    // The active file's options changed (a TDataEntryNotice): the pages follow them.
    virtual void FileOptionsChanged(int /*notice*/) {}
    // The page kind of the page in front; -1 when the window shows no page.
    virtual int CurrentPageKind() const { return -1; }
    // Whether the window's own button of a command is enabled (create and remove dissection,
    // generate contras); the other commands answer whether a page is in front.
    virtual bool CommandEnabled(TDataEntryCommand /*command*/) const { return false; }
    // Runs a command on the page in front, as its button or menu item does.
    virtual void RunCommand(TDataEntryCommand /*command*/) {}
};

// The transaction a report line stands for: located by its second identifier when that is at
// least 1, otherwise by its first.
struct TLocateTarget {
    qint32 FirstID = 0;
    qint32 SecondID = 0;
};

// The choice made in the open-page dialog of the data-entry library.
struct TDataEntryPageChoice {
    int PageKind = 0;
    int Period = 0;
    bool MakeDefault = false;
};
