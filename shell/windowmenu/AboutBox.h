#pragma once

#include <QString>

#include <functional>

class QDialog;

// Help > About: the start-up window with its OK button, showing the version of this build and
// that of the reference data, modally.
class TAboutBox {
public:
    // The version line the box shows.
    static QString VersionText(const QString& dataVersion);
    // Shows the box modally, through run when one is given (the main window's dialog runner).
    static void Show(const QString& dataVersion, const std::function<int(QDialog&)>& run = {});
};
