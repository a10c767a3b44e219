#pragma once

class QPrinter;

// The one printer of the program: Printer Setup changes it, and every report and graph prints
// through it, so a choice made once holds for the rest of the run.
QPrinter& ProgramPrinter();
