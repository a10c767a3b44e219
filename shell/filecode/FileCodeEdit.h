#pragma once

#include <QLineEdit>

// The edit of a file code: upper case, at most six characters, and the characters a code may not
// hold are dropped as they are typed or pasted.
class TFileCodeEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TFileCodeEdit(QWidget* parent = nullptr);

    // The code typed: blanks and the mask's blank character trimmed away.
    QString Code() const;
};
