#pragma once

#include <QIcon>

// The program's own icon, drawn at the sizes the window system asks for: a ledger page in the
// program's green with a gold "Q". The main window sets it for the whole program, so its child
// windows and dialogs show it too.
QIcon ProgramIcon();
