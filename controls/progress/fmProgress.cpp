#include "controls/progress/fmProgress.h"

#include "controls/progress/ProgressHost.h"
#include "controls/progress/dxfProgressBar.h"
#include "core/common/Exceptions.h"
#include "core/vocab/ProgressMessages.h"
#include "core/services/Services.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int TextBorder = 6;
constexpr QPoint BarAt(6, 6);
constexpr QSize BarSize(368, 22);
constexpr QPoint CancelAt(153, 5);
constexpr QSize CancelSize(75, 25);

} // namespace

TfmProgress::TfmProgress(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("fmProgress"));
    setWindowModality(Qt::ApplicationModal);
    setCursor(Qt::WaitCursor);

    pnlProgressTxt = new QWidget(this);
    pnlProgressTxt->setObjectName(QStringLiteral("pnlProgressTxt"));
    lblProgressText = new QLabel(pnlProgressTxt);
    lblProgressText->setObjectName(QStringLiteral("lblProgressText"));
    lblProgressText->setTextFormat(Qt::PlainText);
    lblProgressText->setWordWrap(true);
    lblProgressText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblProgressText->setGeometry(TextBorder, TextBorder, ClientWidth - 2 * TextBorder,
                                 TextPanelHeight - 2 * TextBorder);

    pnlProgress = new QWidget(this);
    pnlProgress->setObjectName(QStringLiteral("pnlProgress"));
    pgbProgress = new TdxfProgressBar(pnlProgress);
    pgbProgress->setObjectName(QStringLiteral("pgbProgress"));
    pgbProgress->setGeometry(QRect(BarAt, BarSize));
    pgbProgress->SetStyle(TdxfPBStyle::sExSolid);

    pnlButtons = new QWidget(this);
    pnlButtons->setObjectName(QStringLiteral("pnlButtons"));
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), pnlButtons);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(QRect(CancelAt, CancelSize));
    CancelBtn->setCursor(Qt::ArrowCursor);
    connect(CancelBtn, &QPushButton::clicked, this, &TfmProgress::CancelBtnClick);

    ArrangePanels();
}

TfmProgress::~TfmProgress() {
    HostLeave();
}

void TfmProgress::Setup(const QString& caption, int kind, const QString& detail, bool showBar,
                        bool showCancel) {
    // A press not yet raised ends the operation before it starts its next phase.
    RaisePendingCancel();
    FCancelled = false;
    setWindowTitle(caption);
    lblProgressText->setText(TProgressMessages::Text(kind, detail));
    FBarShown = showBar;
    FCancelShown = showCancel;
    ArrangePanels();
    if (!isVisible()) {
        CentreOnScreen();
        show();
    }
    ProcessMessages();
}

void TfmProgress::SetPosition(double percent) {
    if (FBarShown)
        pgbProgress->SetPosition(TProgressMessages::RoundPercent(percent));
    ProcessMessages();
}

void TfmProgress::SetMessage(int kind, const QString& detail) {
    lblProgressText->setText(TProgressMessages::Text(kind, detail));
    ProcessMessages();
}

void TfmProgress::ArrangePanels() {
    int y = 0;
    pnlProgressTxt->setGeometry(0, y, ClientWidth, TextPanelHeight);
    y += TextPanelHeight;
    pnlProgress->setVisible(FBarShown);
    if (FBarShown) {
        pnlProgress->setGeometry(0, y, ClientWidth, BarPanelHeight);
        y += BarPanelHeight;
    }
    pnlButtons->setVisible(FCancelShown);
    if (FCancelShown) {
        pnlButtons->setGeometry(0, y, ClientWidth, ButtonPanelHeight);
        y += ButtonPanelHeight;
    }
    setFixedSize(ClientWidth, y);
}

void TfmProgress::CentreOnScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void TfmProgress::ProcessMessages() {
    QCoreApplication::processEvents();
    RaisePendingCancel();
}

void TfmProgress::RaisePendingCancel() {
    if (!FCancelPending)
        return;
    FCancelPending = false;
    throw EOperationCancelled();
}

void TfmProgress::CancelBtnClick() {
    // Runs inside the event loop: it only records the press and tells the user; the operation
    // learns of it from its next update call. A second press before that adds nothing.
    if (FInCancel || FCancelPending)
        return;
    FInCancel = true;
    FCancelled = true;
    try {
        QCoreApplication::processEvents();
        MessageBeepAndShow(TServices::Prompt(), TMessageKind::Information,
                           QStringLiteral("Operation cancelled."), TMessageButton::OK);
    } catch (...) {
        // The box could not be shown; the operation is cancelled all the same.
    }
    FCancelPending = true;
    FInCancel = false;
}

void TfmProgress::reject() {
    if (isVisible() && FCancelShown && CancelBtn->isEnabled())
        CancelBtn->click();
}

void TfmProgress::closeEvent(QCloseEvent* event) {
    // The window closes when its operation ends, never at the user's hand.
    event->ignore();
}

void TfmProgress::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (FHostEntered)
        return;
    FHostEntered = true;
    try {
        TProgressHost::Enter();
    } catch (...) {
        // The main window's hint is a courtesy; the operation goes on without it.
    }
}

void TfmProgress::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    HostLeave();
}

void TfmProgress::HostLeave() noexcept {
    if (!FHostEntered)
        return;
    FHostEntered = false;
    try {
        TProgressHost::Leave();
    } catch (...) {
    }
}
