#pragma once

#include <QString>
#include <stdexcept>

// Failures travel as exceptions carrying the text the user is shown. Callers catch them around
// whole operations and show the text in an error box.
class EQuilvaneError : public std::runtime_error {
public:
    explicit EQuilvaneError(const QString& message)
        : std::runtime_error(message.toStdString()), Message(message) {}
    const QString& message() const noexcept { return Message; }

private:
    QString Message;
};

// An operation that has already told the user what went wrong ends with this; callers catch it
// without showing anything.
class EAbort : public EQuilvaneError {
public:
    EAbort() : EQuilvaneError(QStringLiteral("Operation aborted")) {}
};

// Raised out of a progress update after the user pressed Cancel.
class EOperationCancelled : public EQuilvaneError {
public:
    EOperationCancelled() : EQuilvaneError(QStringLiteral("Operation cancelled by user")) {}
};

// A transaction names an account that the accounts chart no longer holds: the balances of the
// run cannot be trusted until the data-integrity check has repaired the transaction files.
class EChangeInAccountsChart : public EQuilvaneError {
public:
    explicit EChangeInAccountsChart(const QString& message) : EQuilvaneError(message) {}
};

// The text to show for any failure: an own error's message, else the system's text.
QString ErrorText(const std::exception& error);
