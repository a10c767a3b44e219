#pragma once

// The result with which a button ends its dialog: QDialog::exec() returns it. mrOk is
// QDialog::Accepted; mrNone ends nothing.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
};
