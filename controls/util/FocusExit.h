#pragma once

class QFocusEvent;

// Whether losing the focus leaves the control. Another window coming to the front or a pop-up
// opening (a drop-down, a menu) takes the keyboard for a while but does not leave the control,
// so the checks and rewrites that run on leaving must not run then.
bool IsControlExit(const QFocusEvent* event);
