#pragma once

class QPrinter;

// The margins a page gets unless the user chooses others in the page setup, on every side.
inline constexpr double DefaultPrintMarginMm = 10.0;

// The one printer of the program: Printer Setup changes it, and every report and graph prints
// through it, so a choice made once holds for the rest of the run. It starts with the default
// margins.
QPrinter& ProgramPrinter();

// Gives a printer the default margins (a printer that cannot print as near to the edge keeps
// its own larger ones).
void UseDefaultMargins(QPrinter& printer);
