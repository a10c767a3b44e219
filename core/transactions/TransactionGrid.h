#pragma once

#include "core/vocab/Colours.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <cstdint>

class TTransactionDetail;
class TTransactionList;

// The grid side of a transaction list: what each column of a row shows, how typed text goes back
// into an entry, the checks a field passes when it is left, the colours of a cell, and the paste
// of copied records. It holds nothing of its own: every call reads or changes the list it was
// made over, so a window's model can ask it for any row at any time without copying lines.
//
// Rows: every operation takes a 0-based entry index; a window that shows a title row adds one.
class TTransactionGrid {
public:
    // The grid's columns, in the order the page shows them.
    enum TColumn : int {
        colDate = 0,
        colReference = 1,
        colAccount = 2,
        colAmount = 3,
        colQuantity = 4,
        colTaxCodes = 5,
        colRate = 6,
        colDetails = 7,
        colCapitalAcquisition = 8,
        colNonCash = 9,
        colBankAccount = 10,
    };
    static constexpr int ColumnCount = 11;
    static constexpr int MonthSlots = 12;

    explicit TTransactionGrid(TTransactionList& list) : Rows(list) {}

    TTransactionList& List() const { return Rows; }

    // Whether a column is shown on this page: the quantity, tax and rate columns follow the
    // list's column switches; the posting account is not kept on bank-statement pages.
    bool ColumnShown(int column) const;

    // The text of a cell; forDisplay gives the amount with its currency symbol (negatives in
    // parentheses) and the bank account with its currency, else the editable forms. A blank line
    // shows an empty date mask, its yes/no flags and (for editing) its bank account. Empty for an
    // index outside the list.
    QString GetCellText(int index, int column, bool forDisplay) const;
    // Parses the trimmed text into the entry's field; returns 1. Unreadable dates and amounts keep
    // the old value; quantity, tax codes and rate change only while their columns are on.
    int SetCellText(int index, int column, const QString& text);
    struct TCellColours {
        bool HasBackground = false;
        TRgbColour Background = 0;
        bool HasText = false;
        TRgbColour Text = 0;
    };
    // What the grid paints a cell in: reconciled entries in blue text; highlighted entries, bank
    // postings that are no contra and contra lines on their backgrounds; dissections and tax lines
    // on theirs.
    TCellColours GetCellColours(int index, int column) const;

    // Each rewrites text into its normal form and returns whether the value is valid; message is
    // filled when it is not (the account checks may also decline without a message). The posting-
    // account check warns (information beep, OK box) of a non-contra posting to a bank account on
    // payments, receipts, memorised payments, standard bank transactions and deleted transactions;
    // an account the chart lacks is offered for adding (TServices::AddAccountOffer).
    bool ValidateDate(QString& text, QString& message) const;
    bool ValidateReference(QString& text, QString& message) const;
    bool ValidateAccount(QString& text, QString& message, qint32 reference) const;
    bool ValidateAmount(QString& text, QString& message) const;
    bool ValidateQuantity(QString& text, QString& message) const;
    bool ValidateTaxCode(QString& text, QString& message) const;
    // The rate is judged as written with four decimals, so a rate that shows as 0.0000 is refused.
    bool ValidateCurrencyRate(QString& text, QString& message) const;
    bool ValidateDetails(QString& text, QString& message, double date) const;
    bool ValidateBankAccount(QString& text, QString& message) const;
    // The check of a column for the entry at the index: the account check with the entry's
    // reference, the details with its date; the yes/no columns accept anything. Rewrites text.
    bool ValidateField(int index, int column, QString& text, QString& message) const;

    // Whether the entry posts to its own bank account; requireBankAccount: one with bank details or
    // of type "SUS"; requireContraReference: with the reference Contra.
    bool IsBankContraEntry(int index, bool requireBankAccount, bool requireContraReference) const;

    // What a paste batch remembers per month slot: the dissection number the last pasted member
    // came with (-1 before the first) and the number it was given here. Make one per batch.
    struct TLastDissections {
        std::array<qint32, MonthSlots> Source;
        std::array<qint32, MonthSlots> Given;
        TLastDissections() {
            Source.fill(-1);
            Given.fill(-1);
        }
    };
    // Turns one 125-byte body into an entry of this page inserted at index, with its tax lines;
    // index moves past them. Header, blank, dissection-total and tax-line bodies are ignored.
    // Adjacent members of one dissection in a batch share one new dissection number.
    void PasteTransaction(int& index, TLastDissections& lastDissections, const std::uint8_t* body);

private:
    // The account a typed text names: by code or description, then as a code of the account
    // format, then by the add-account offer; -1 when none (declined offers included).
    int LookUpTypedAccount(const QString& text) const;

    TTransactionList& Rows;
};
