#pragma once

// The program: starts up, runs until the main window closes, and returns the exit code.
int ProgramMain(int& argc, char** argv);
