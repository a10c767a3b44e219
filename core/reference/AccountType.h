#pragma once

#include <QString>

// A kind of account ("BNK" bank, "SUS" suspense, "BSH" balance sheet, "PRL" profit and loss,
// ...): one row of the "ACCOUNT TYPES" table, stored as "description,flag". The flag is set
// exactly when the second field is "N"; the accounts chart reads it for every account of the
// type.
class TAccountType {
public:
    TAccountType(QString description, bool flag);

    static TAccountType FromValue(const QString& value);

    QString Description;
    bool Flag = false;
};
