#include "shell/bringforward/BringForwardChoices.h"

namespace {

using TChoice = TBringForwardOptions::TChartChoice;

const char* const StepCaptions[TBringForwardChoices::StepCount] = {
    "Important !", "Master Details", "Opening Entries", "BAS/IAS", "Retained Profits"};

} // namespace

TBringForwardChoices::TBringForwardChoices(const TNewYearFiles& files) : Files(files) {
    // Accounts and budgets go together: both follow the accounts file.
    const int accounts = Files.Accounts ? TChoice::RetainCurrent : TChoice::LastYears;
    Chosen.Accounts = accounts;
    Chosen.Budgets = accounts;
    Chosen.StdDescriptions = Files.StdDescriptions ? TChoice::RetainCurrent : TChoice::LastYears;
    Chosen.TaxRates = Files.TaxRates ? TChoice::RetainCurrent : TChoice::LastYears;
    Chosen.CurrencyRates = Files.CurrencyRates ? TChoice::RetainCurrent : TChoice::LastYears;
    const bool fresh = !IsRedo();
    Chosen.OpeningBalances = fresh;
    Chosen.OpeningReconciliation = fresh;
    Chosen.MemorisedPayments = fresh;
    Chosen.StandardBankTransactions = fresh;
    Chosen.BASSetup = fresh;
}

QString TBringForwardChoices::Caption(const QString& fileCode, int newYear) {
    return QStringLiteral("%1 - %2 (from %3 to %4 Financial Year)")
        .arg(Title, fileCode, QString::number(newYear - 1), QString::number(newYear));
}

QString TBringForwardChoices::StepCaption(int step) {
    if (step < 0 || step >= StepCount)
        return {};
    return QString::fromLatin1(StepCaptions[step]);
}

QString TBringForwardChoices::StepText(int step) {
    if (step < 0 || step >= StepCount)
        return {};
    return QStringLiteral("Step %1 of %2: %3").arg(step + 1).arg(int(StepCount)).arg(StepCaption(step));
}

QString TBringForwardChoices::InformationText() {
    return QStringLiteral(
        "The bring forward procedure starts a new financial year from the year before it.\n\n"
        "It establishes the new year's master details (accounts, budgets, standard descriptions, tax "
        "rates and currency rates), generates the opening general ledger balances and the opening "
        "cashbook reconciliation from last year's final figures, copies the memorised payments and "
        "standard bank transactions forward, carries the BAS/IAS setup over and distributes each bank "
        "account's retained profit to the accounts chosen on the last page.\n\n"
        "Make a backup of the file before you continue. Use Next and Back to check each step, then "
        "press OK on the last step to start.");
}

QString TBringForwardChoices::RedoAdviceText() {
    return RedoText +
           QStringLiteral(
               "\n\nThe procedure has been run for this year before. \"Retain Current\" keeps the master "
               "details of the current year, and the opening entries are only generated again where you "
               "check them: existing opening balances and opening reconciliation entries are replaced "
               "after you confirm it.");
}

bool TBringForwardChoices::CanRetain(int chart) const {
    switch (chart) {
    case Accounts:
    case Budgets:
        return Files.Accounts;
    case StdDescriptions:
        return Files.StdDescriptions;
    case TaxRates:
        return Files.TaxRates;
    case CurrencyRates:
        return Files.CurrencyRates;
    default:
        return false;
    }
}

int* TBringForwardChoices::Slot(int chart) {
    switch (chart) {
    case Accounts:
        return &Chosen.Accounts;
    case Budgets:
        return &Chosen.Budgets;
    case StdDescriptions:
        return &Chosen.StdDescriptions;
    case TaxRates:
        return &Chosen.TaxRates;
    case CurrencyRates:
        return &Chosen.CurrencyRates;
    default:
        return nullptr;
    }
}

int TBringForwardChoices::Choice(int chart) const {
    switch (chart) {
    case Accounts:
        return Chosen.Accounts;
    case Budgets:
        return Chosen.Budgets;
    case StdDescriptions:
        return Chosen.StdDescriptions;
    case TaxRates:
        return Chosen.TaxRates;
    case CurrencyRates:
        return Chosen.CurrencyRates;
    default:
        return -1;
    }
}

QList<int> TBringForwardChoices::ChoicesOf(int chart) {
    switch (chart) {
    case Accounts:
        return {TChoice::RetainCurrent, TChoice::LastYears, TChoice::DefaultChart, TChoice::Clear};
    case Budgets:
        return {TChoice::RetainCurrent, TChoice::LastYears, TChoice::LastYearActual, TChoice::Clear};
    case StdDescriptions:
        return {TChoice::RetainCurrent, TChoice::LastYears, TChoice::Clear};
    case TaxRates:
        return {TChoice::LastYears, TChoice::Clear, TChoice::RetainCurrent};
    case CurrencyRates:
        return {TChoice::LastYears, TChoice::RetainCurrent, TChoice::Clear};
    default:
        return {};
    }
}

bool TBringForwardChoices::SetChoice(int chart, int choice) {
    int* slot = Slot(chart);
    if (!slot || !ChoicesOf(chart).contains(choice))
        return false;
    if (choice == TChoice::RetainCurrent && !CanRetain(chart))
        return false;
    *slot = choice;
    return true;
}

QString TBringForwardChoices::ChoiceCaption(int choice) {
    switch (choice) {
    case TChoice::RetainCurrent:
        return QStringLiteral("Retain Current");
    case TChoice::LastYears:
        return QStringLiteral("Last Year's");
    case TChoice::DefaultChart:
        return QStringLiteral("Default Chart");
    case TChoice::Clear:
        return QStringLiteral("Clear");
    case TChoice::LastYearActual:
        return QStringLiteral("Last Year Actual");
    default:
        return {};
    }
}
