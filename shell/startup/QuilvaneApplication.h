#pragma once

#include <QApplication>

// The application object. Every event goes through one guard: an exception that escapes an
// event handler is shown in an error box with its message and the program carries on; a silent
// abort (EAbort) has already been reported and shows nothing.
class TQuilvaneApplication : public QApplication {
    Q_OBJECT
public:
    TQuilvaneApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the error box for an exception caught at the top of an event; used by the guard.
    static void ReportException(std::exception_ptr failure) noexcept;
};
