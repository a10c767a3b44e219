#pragma once

#include <QString>
#include <QStringView>

// Who the program is: the product name and the year that names this edition. The application
// title is what backup and transfer texts quote.
inline constexpr QStringView ProductName = u"Quilvane";
inline constexpr QStringView ProductVersionYear = u"2006";
inline constexpr QStringView ApplicationTitle = u"Quilvane 2006";
// The title of the main window and of the application as the desktop shows it.
inline constexpr QStringView MainWindowTitle = u"QUILVANE 2006";

// The version of this build, as the about box and the start-up screen show it. The build system
// stamps it into the library, so it is known before any window or settings object exists.
QString ProgramVersionText();
