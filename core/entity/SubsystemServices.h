#pragma once

#include "core/services/Services.h"

#include <QString>

#include <functional>
#include <utility>

class TDesktopFiles;
class TEntityDetail;
class TEntityInfo;
class TReportSetup;

// What the data model and the shell ask of the data-entry, reporting and banking libraries.
// Core never includes those libraries: each one fills its slots here when the program starts,
// and a slot left empty answers as described beside it, so that core and its tests run without
// them. The data-entry window's offer to add a missing account is TServices::AddAccountOffer
// (core/services/Services.h), where the grid's checks already find it.
struct TSubsystemServices {
    // --- data entry ----------------------------------------------------------------------------
    // Closes the data-entry pages of the desktop file at fileIndex: minimises the window first
    // when asked, records the open pages for reopening (TEntityInfo::RecordOpenPages) when
    // `record` is set or else empties the file's page history, then closes the pages one by one,
    // each of which may ask about unsaved work. 1 when the file had no pages or all were closed,
    // 2 when the user cancelled. Empty: 1.
    std::function<int(TDesktopFiles& desktop, int fileIndex, bool minimise, bool record)> CloseAllPages;

    // --- reporting -----------------------------------------------------------------------------
    // Drops every report of a file that is closing from the report window. Empty: nothing.
    std::function<void(TEntityInfo& file)> DetachEntity;
    // Produces the activity-statement report or lodgement export 69 to 79 of the active file.
    std::function<void(TDesktopFiles& desktop, int activeIndex, int reportNumber)> BASReports;

    // --- banking, tax and data interchange -------------------------------------------------------
    // Fills and shows the BAS / IAS set-up window for the active file.
    std::function<void(TDesktopFiles& desktop, int activeIndex)> LoadBASSettings;
    // Creates journals in the active file from the workpapers: kind 0 member and tax-note
    // journals, 1 NMV journals.
    std::function<void(TDesktopFiles& desktop, int activeIndex, int kind)> CreateJournalsFromWorkpapers;
    // Writes the export chosen in the run parameters of process 1.
    std::function<void(TReportSetup& setup)> ExportData;
    // Runs the bank-statement import of process 2; true when it ran (the block then tells
    // whether entries came in and their date range). Empty: false.
    std::function<bool(TReportSetup& setup)> ImportBankStatement;
    // Imports transactions into the file (process 22).
    std::function<void(TReportSetup& setup)> ImportTransactions;
    // The name (no folder) of the file that the import of process 2 (bank statements) or 22
    // (transactions) reads for a file, as its import format names it; the run parameters put it
    // in the file's data folder. Empty when no format names one. Empty slot: no name, so the run
    // offers the folder alone.
    std::function<QString(const TEntityDetail& detail, int processKind)> ImportFileName;
    // Prepares and shows the reconciliation window for process 4 or 5, or for report 53 to 55.
    std::function<void(TReportSetup& setup)> PerformBankReconciliation;

    // The slots the libraries filled; Install replaces them all, Reset (and the services'
    // reset, TServices::Reset) empties them.
    static TSubsystemServices& Installed() {
        static TSubsystemServices services = [] {
            TServices::AtReset([] { Reset(); });
            return TSubsystemServices();
        }();
        return services;
    }
    static void Install(TSubsystemServices services) { Installed() = std::move(services); }
    static void Reset() { Installed() = TSubsystemServices(); }
};
