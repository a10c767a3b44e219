#pragma once

#include "shell/bringforward/BringForwardEngine.h"

#include <QString>

// What the bring-forward wizard offers and what it has chosen, without its widgets: the steps of
// the wizard and their texts, the choice of each master chart and opening entry, and the options
// block the engine runs with.
//
// The defaults follow the new year's chart files. When the new year's accounts file exists the
// new year was brought forward before (a redo): accounts and budgets keep their current data and
// the opening entries are left unchecked, so that a second run does not overwrite what the user
// has entered since. Otherwise last year's data are the default and "Retain Current" cannot be
// chosen, there being nothing to retain. The standard descriptions, tax rates and currency rates
// follow their own files the same way.
class TBringForwardChoices {
public:
    // The steps, in the order of the wizard's tree.
    enum TStep : int { Important, MasterDetails, OpeningEntries, BASIAS, RetainedProfits, StepCount };
    // The charts whose new-year files decide the defaults.
    enum TChart : int { Accounts, Budgets, StdDescriptions, TaxRates, CurrencyRates, ChartCount };

    static inline const QString Title = QStringLiteral("Bring Forward");
    static inline const QString RedoText =
        QStringLiteral("Master details / opening entries already exist in the current year.");

    // Which of the new year's chart files exist.
    struct TNewYearFiles {
        bool Accounts = false;
        bool StdDescriptions = false;
        bool TaxRates = false;
        bool CurrencyRates = false;
    };

    TBringForwardChoices() : TBringForwardChoices(TNewYearFiles{}) {}
    explicit TBringForwardChoices(const TNewYearFiles& files);

    // "Bring Forward - ABC123 (from 2005 to 2006 Financial Year)".
    static QString Caption(const QString& fileCode, int newYear);
    // The caption of a step's node and page; empty outside the steps.
    static QString StepCaption(int step);
    // "Step 2 of 5: Master Details"; empty outside the steps.
    static QString StepText(int step);
    // Navigation from a step: Back above the first, Next below the last, OK on the last only.
    static bool CanGoBack(int step) { return step > 0 && step < StepCount; }
    static bool CanGoNext(int step) { return step >= 0 && step < StepCount - 1; }
    static bool CanFinish(int step) { return step == StepCount - 1; }
    // The explanation on the first page, and for a redo what to do about the existing year.
    static QString InformationText();
    static QString RedoAdviceText();

    // The new year already has its accounts file.
    bool IsRedo() const { return Files.Accounts; }
    // Whether "Retain Current" may be chosen for a chart (its new-year file exists).
    bool CanRetain(int chart) const;

    // The choice of a chart (a TBringForwardOptions::TChartChoice). A choice the chart does not
    // offer is refused (false, nothing changes): "Default Chart" is for accounts only, "Last Year
    // Actual" for budgets only, and "Retain Current" only where it can be retained.
    int Choice(int chart) const;
    bool SetChoice(int chart, int choice);
    // The choices a chart offers, in the order its radio group shows them.
    static QList<int> ChoicesOf(int chart);
    // The caption of a choice's button.
    static QString ChoiceCaption(int choice);

    // The options block of the choices made.
    TBringForwardOptions Options() const { return Chosen; }
    void SetOpeningBalances(bool on) { Chosen.OpeningBalances = on; }
    void SetOpeningReconciliation(bool on) { Chosen.OpeningReconciliation = on; }
    void SetMemorisedPayments(bool on) { Chosen.MemorisedPayments = on; }
    void SetStandardBankTransactions(bool on) { Chosen.StandardBankTransactions = on; }
    void SetBASSetup(bool on) { Chosen.BASSetup = on; }

private:
    int* Slot(int chart);
    TNewYearFiles Files;
    TBringForwardOptions Chosen;
};
