#pragma once

#include "core/services/Progress.h"

#include <QDialog>

class QLabel;
class QPushButton;
class TdxfProgressBar;

// The window shown while a long operation runs: a caption, a message from the fixed table of
// progress messages, an optional bar and an optional Cancel button. Each update call lets the
// screen repaint and Cancel be pressed. Pressing Cancel (or Esc while Cancel is offered) tells
// the user the operation was cancelled and makes the next update call raise EOperationCancelled,
// once per press, so the operation unwinds through its own clean-up.
// While it is shown the rest of the program takes no input and the main window reads "Busy...".
class TfmProgress : public QDialog, public IProgress {
    Q_OBJECT
public:
    static constexpr int ClientWidth = 382;
    static constexpr int TextPanelHeight = 37;
    static constexpr int BarPanelHeight = 36;
    static constexpr int ButtonPanelHeight = 35;

    // The window's client height with or without the bar and the Cancel button.
    static constexpr int ClientHeight(bool showBar, bool showCancel) {
        return TextPanelHeight + (showBar ? BarPanelHeight : 0) + (showCancel ? ButtonPanelHeight : 0);
    }

    explicit TfmProgress(QWidget* parent = nullptr);
    ~TfmProgress() override;

    // Prepares the window for an operation or its next phase and shows it: clears the cancelled
    // flag, sets caption and message, shows or hides the bar and Cancel (the window grows or
    // shrinks by their panels only when their state changes).
    void Setup(const QString& caption, int kind, const QString& detail, bool showBar,
               bool showCancel) override;
    // Moves the bar when it is shown; the screen is brought up to date either way.
    void SetPosition(double percent) override;
    void SetMessage(int kind, const QString& detail) override;
    bool Cancelled() const override { return FCancelled; }

    bool BarShown() const { return FBarShown; }
    bool CancelShown() const { return FCancelShown; }

    QLabel* lblProgressText = nullptr;
    TdxfProgressBar* pgbProgress = nullptr;
    QPushButton* CancelBtn = nullptr;

public slots:
    // Esc: presses Cancel while it is offered; never closes the window by itself.
    void reject() override;

private slots:
    void CancelBtnClick();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ArrangePanels();
    void CentreOnScreen();
    // Lets the screen repaint and Cancel be pressed, then raises a pending cancel.
    void ProcessMessages();
    void RaisePendingCancel();
    void HostLeave() noexcept;

    QWidget* pnlProgressTxt = nullptr;
    QWidget* pnlProgress = nullptr;
    QWidget* pnlButtons = nullptr;
    bool FBarShown = true;
    bool FCancelShown = true;
    bool FCancelled = false;
    bool FCancelPending = false; // a press not yet raised out of an update call
    bool FInCancel = false;
    bool FHostEntered = false;
};
