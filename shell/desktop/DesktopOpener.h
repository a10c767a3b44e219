#pragma once

#include "shell/desktop/Desktop.h"

#include <QPointer>
#include <QWidget>

// The program's way of opening a file on the desktop: the file's own object, its year loaded,
// the password asked in the password prompt over the main window.
class TDesktopOpener : public IDesktopOpener {
public:
    explicit TDesktopOpener(QWidget* parent = nullptr) : Parent(parent) {}

    std::unique_ptr<TEntityInfo> Create(const QString& fileCode, const TOptionSet& options) override;
    void OpenYear(TEntityInfo& file) override;
    std::optional<QString> AskPassword(const TEntityDetail& detail) override;

private:
    QPointer<QWidget> Parent;
};
