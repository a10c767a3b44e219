#pragma once

#include <QLineEdit>

// The edit of a file's access password: at most six characters, kept in upper case, shown as
// "*"; a double click shows the characters, a second one hides them again.
class TPasswordEdit : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int MaxLength = 6;

    explicit TPasswordEdit(QWidget* parent = nullptr);

    bool Revealed() const { return echoMode() == QLineEdit::Normal; }
    void ToggleReveal();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};
