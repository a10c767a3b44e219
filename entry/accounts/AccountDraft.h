#pragma once

#include "core/accounts/AccountCode.h"

#include <QString>
#include <QStringList>

#include <memory>

class TAccountDetail;
class TAccountsChart;

// A new account as the user types it into the account window, checked and built without the
// window. It holds what a usable account of the chart needs: its code in the file's account
// format, a description, and a posting type the code allows (an ordinary account, a bank account
// inside the balance-sheet range, or a suspense account inside the suspense range), with the bank
// details of a bank account. Headings, totals and control accounts carry no transactions: they
// are made in the chart of accounts itself, not here.
class TAccountDraft {
public:
    // What stands in the way of adding the draft; None when it can be added.
    enum TFault { None, BlankCode, InvalidCode, DuplicateCode, BlankDescription };

    // The draft of an account for the chart (which must outlive the draft).
    explicit TAccountDraft(TAccountsChart& chart);

    // ---- What the user typed ----------------------------------------------------------------

    QString CodeText;
    QString Description;
    // "ACC", "BNK" or "SUS"; a type the code does not allow is replaced by the code's own
    // default type when the account is built.
    QString AccountType;
    // The bank details, used for a bank account only.
    QString BankName;
    QString BSBNumber;
    QString AccountNumber;
    QString AccountName;

    // ---- Rules -------------------------------------------------------------------------------

    // Reads CodeText with the chart's account format, silently; false when it is no code of
    // the format, names no account number or leaves out a part that every account of the
    // format has (TAccountFormat::HasEveryPart).
    bool ParseCode(TAccountCode& code) const;
    // The posting types the typed code may take, in the order offered: "SUS" inside the
    // suspense range; else "ACC", and "BNK" inside the balance-sheet range. A text that is no
    // code yet is offered "ACC" and "BNK" (the check refuses the code on OK).
    QStringList AllowedTypes() const;
    // The first allowed type: what the code becomes unless the user picks another.
    QString DefaultType() const;
    // The type the account will be built with: AccountType when allowed, else DefaultType.
    QString EffectiveType() const;
    // The account-type list's description of a type ("Ordinary", "Bank"); the code itself when
    // the program's list does not hold it.
    static QString TypeDescription(const QString& type);
    // The range of codes the format allows, as "<first> to <last>"; empty without an "ALL" range.
    QString AllowedRangeText() const;

    // The first fault of the draft, in the order code, description; message says it to the user.
    TFault Check(QString& message) const;
    // The account the draft describes, not yet in any chart; nullptr when Check finds a fault.
    std::unique_ptr<TAccountDetail> Build() const;
    // Checks the draft and adds the account to the chart (which becomes unsaved, and gains the
    // standard descriptions of a new branch or division): its index. -1, the chart unchanged
    // and message set, on a fault.
    int Add(QString& message) const;

    // Messages.
    static inline const QString BlankCodeMessage = QStringLiteral("Please enter an account code.");
    static inline const QString InvalidCodeMessage = QStringLiteral("\"%1\" is not a valid account code.");
    static inline const QString RangeMessage = QStringLiteral(" Account codes must lie in the range %1.");
    static inline const QString DuplicateCodeMessage =
        QStringLiteral("Account %1 already exists in the chart of accounts.");
    static inline const QString BlankDescriptionMessage =
        QStringLiteral("Please enter a description for the account.");

private:
    TAccountsChart& Chart;
};
