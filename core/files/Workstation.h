#pragma once

#include <QString>

// The workstation's computer name, trimmed: it names the user in logs and in the lock of a
// client file when the program does not run in terminal mode.
QString GetComputerNameText();

// The program's product version text.
QString GetProductVersion();
