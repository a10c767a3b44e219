#include "platform/prompt/QtUserPrompt.h"

#include "core/services/Services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <array>
#include <utility>

namespace {

// The program's buttons beside the box's, in the order a box lays them out.
const std::array<std::pair<TMessageButton, QMessageBox::StandardButton>, 9> ButtonTable{{
    {TMessageButton::Yes, QMessageBox::Yes},
    {TMessageButton::All, QMessageBox::YesToAll},
    {TMessageButton::No, QMessageBox::No},
    {TMessageButton::OK, QMessageBox::Ok},
    {TMessageButton::Retry, QMessageBox::Retry},
    {TMessageButton::Ignore, QMessageBox::Ignore},
    {TMessageButton::Abort, QMessageBox::Abort},
    {TMessageButton::Cancel, QMessageBox::Cancel},
    {TMessageButton::Help, QMessageBox::Help},
}};

QString TitleFor(TMessageKind kind) {
    switch (kind) {
    case TMessageKind::Error:
        return QStringLiteral("Error");
    case TMessageKind::Warning:
        return QStringLiteral("Warning");
    case TMessageKind::Question:
        return QStringLiteral("Confirm");
    case TMessageKind::Information:
        return QStringLiteral("Information");
    }
    return {};
}

// A box must offer a way out: with no answer button, it offers OK.
TMessageButtons WithAnswer(TMessageButtons buttons) {
    if ((buttons & ~TMessageButtons(TMessageButton::Help)) == TMessageButtons())
        buttons |= TMessageButton::OK;
    return buttons;
}

} // namespace

void TQtUserPrompt::Beep(TBeep) {
    QApplication::beep();
}

QMessageBox::Icon TQtUserPrompt::IconFor(TMessageKind kind) {
    switch (kind) {
    case TMessageKind::Error:
        return QMessageBox::Critical;
    case TMessageKind::Warning:
        return QMessageBox::Warning;
    case TMessageKind::Question:
        return QMessageBox::Question;
    case TMessageKind::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons TQtUserPrompt::StandardButtonsFor(TMessageButtons buttons) {
    QMessageBox::StandardButtons result;
    for (const auto& [ours, box] : ButtonTable)
        if (buttons.testFlag(ours))
            result |= box;
    return result;
}

TMessageButton TQtUserPrompt::AnswerFor(QMessageBox::StandardButton clicked, TMessageButtons offered) {
    for (const auto& [ours, box] : ButtonTable)
        if (box == clicked && ours != TMessageButton::Help && offered.testFlag(ours))
            return ours;
    if (offered.testFlag(TMessageButton::Cancel))
        return TMessageButton::Cancel;
    for (const auto& [ours, box] : ButtonTable)
        if (ours != TMessageButton::Help && offered.testFlag(ours))
            return ours;
    return TMessageButton::None;
}

std::unique_ptr<QMessageBox> TQtUserPrompt::BuildBox(TMessageKind kind, const QString& text,
                                                     TMessageButtons buttons, int helpContext,
                                                     QWidget* parent) {
    buttons = WithAnswer(buttons);
    auto box = std::make_unique<QMessageBox>(IconFor(kind), TitleFor(kind), text, StandardButtonsFor(buttons),
                                             parent);
    if (QAbstractButton* help = box->button(QMessageBox::Help)) {
        // The box closes on any of its buttons; cut the Help button loose from it so a click
        // opens help and the question stays on screen.
        QObject::disconnect(help, &QAbstractButton::clicked, nullptr, nullptr);
        QObject::connect(help, &QAbstractButton::clicked, box.get(),
                         [helpContext] { TServices::Help().ShowContext(helpContext); });
    }
    if (buttons.testFlag(TMessageButton::Cancel))
        box->setEscapeButton(QMessageBox::Cancel);
    return box;
}

TMessageButton TQtUserPrompt::ShowMessage(TMessageKind kind, const QString& text, TMessageButtons buttons,
                                          int helpContext) {
    auto box = BuildBox(kind, text, buttons, helpContext, QApplication::activeWindow());
    box->exec();
    const auto clicked = box->standardButton(box->clickedButton());
    return AnswerFor(clicked, WithAnswer(buttons));
}

bool TQtUserPrompt::InputText(const QString& caption, const QString& prompt, QString& value) {
    bool accepted = false;
    const QString typed = QInputDialog::getText(QApplication::activeWindow(), caption, prompt,
                                                QLineEdit::Normal, value, &accepted);
    if (accepted)
        value = typed;
    return accepted;
}
