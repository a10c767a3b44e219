#pragma once

#include <QDialog>
#include <QString>

#include <optional>

class QLabel;
class QLineEdit;
class TEntityDetail;

// The prompt for a file's password: the typed characters show as "*".
class TPasswordDlg : public QDialog {
    Q_OBJECT

public:
    // What the password is asked for.
    enum TKind : int { Access = 1, Import = 2 };

    explicit TPasswordDlg(QWidget* parent = nullptr);

    // The caption: "Access " or "Import ", then "password for : " and the file code.
    void Setup(const TEntityDetail& detail, int kind);
    static QString CaptionFor(const QString& fileCode, int kind);
    // The text typed.
    void GetPassword(QString& text) const;
    QLineEdit* PasswordEdit() const { return Password; }

    // Asks for the password of a file; nothing when the user cancelled.
    static std::optional<QString> Ask(const TEntityDetail& detail, int kind, QWidget* parent);

private:
    QLabel* Label;
    QLineEdit* Password;
};
