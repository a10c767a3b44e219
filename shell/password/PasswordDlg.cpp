#include "shell/password/PasswordDlg.h"

#include "core/entity/EntityDetail.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

TPasswordDlg::TPasswordDlg(QWidget* parent)
    : QDialog(parent), Label(new QLabel(QStringLiteral("&Password :"), this)), Password(new QLineEdit(this)) {
    Password->setObjectName(QStringLiteral("Password"));
    Password->setEchoMode(QLineEdit::Password);
    Label->setBuddy(Password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label);
    layout->addWidget(Password);
    layout->addWidget(buttons);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

QString TPasswordDlg::CaptionFor(const QString& fileCode, int kind) {
    return (kind == Import ? QStringLiteral("Import ") : QStringLiteral("Access ")) +
           QStringLiteral("password for : ") + fileCode;
}

void TPasswordDlg::Setup(const TEntityDetail& detail, int kind) {
    setWindowTitle(CaptionFor(detail.FileCode, kind));
}

void TPasswordDlg::GetPassword(QString& text) const {
    text = Password->text();
}

std::optional<QString> TPasswordDlg::Ask(const TEntityDetail& detail, int kind, QWidget* parent) {
    TPasswordDlg dialog(parent);
    dialog.Setup(detail, kind);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    QString text;
    dialog.GetPassword(text);
    return text;
}
