#pragma once

#include <QString>

// Help > About: the start-up window with its OK button, showing the version of this build and
// that of the reference data, modally.
class TAboutBox {
public:
    // The version line the box shows.
    static QString VersionText(const QString& dataVersion);
    static void Show(const QString& dataVersion);
};
