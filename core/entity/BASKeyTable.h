#pragma once

#include <QString>
#include <QtGlobal>
#include <array>
#include <variant>
#include <vector>

class TEntityDetail;
class TIniFile;

// The keys of a year's BAS/IAS section ("BAS" up to 2001, "BAS <year>" from 2002), in the order
// they are stored, each with the field of the record that holds it. Byte fields are stored as
// integers and held to 0..255 on reading; flags are stored as "1"/"0".
struct TBASKey {
    using TMember =
        std::variant<quint8 TEntityDetail::*, int TEntityDetail::*, bool TEntityDetail::*,
                     double TEntityDetail::*, QString TEntityDetail::*,
                     std::array<QString, 21> TEntityDetail::*, std::array<double, 5> TEntityDetail::*>;
    QString Name;
    TMember Member;
    // The element of an array member (GSTGroupFile1..20, the four quarters); unused otherwise.
    int Index = 0;
    enum TRole {
        Plain,
        // One of the ten account-range lists that a year set up for the first time takes from
        // the account format's master BAS file.
        FromMaster,
        // A folder that a load keeping the folders in memory (option 21) does not read.
        Folder,
    };
    TRole Role = Plain;
};

// Which keys a read takes.
enum class TBASKeySelection { All, ExceptFolders, FromMaster };

// The table, in stored order.
const std::vector<TBASKey>& BASKeys();

// Clears every field of the table: zero, false or empty.
void ClearBASFields(TEntityDetail& detail);

// Reads the selected keys of the section into the fields; a missing or malformed key leaves
// its field as it is.
void ReadBASFields(const TIniFile& file, const QString& section, TEntityDetail& detail,
                   TBASKeySelection selection);

// Writes every field under its key into the section (the ABN trimmed).
void WriteBASFields(TIniFile& file, const QString& section, const TEntityDetail& detail);
