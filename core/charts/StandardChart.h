#pragma once

#include <QString>
#include <QStringList>

// The standard chart of accounts the program ships for its own account format "QUILVANE": the
// accounts of a small business, in share/QUILVANE.ADF, an accounts chart file exactly as the
// chart writes one (header "Chart of Accounts", "V5.0", no file code, key "QUILVANE").
//
// A new client file names its default chart "<format base name>.<entity type>" ("QUILVANE.NSP"),
// a bare name looked up in the M_DETAIL folder of the data folder; a year without its own chart
// starts from it. The first run of the program installs the shipped chart there under that name
// for every entity type of the reference data, so that a new file of any type has accounts to
// post to. A practice may replace any of those files with its own chart: once there, a file is
// never installed over.
class TStandardChart {
public:
    // The account format the shipped chart is written in.
    static inline const QString FormatID = QStringLiteral("QUILVANE");
    // The shipped file's name in share/.
    static inline const QString ShippedFileName = QStringLiteral("QUILVANE.ADF");

    // The default chart a client file's record names: "QUILVANE.NSP".
    static QString DefaultChartName(const QString& formatBaseName, const QString& entityType);

    // Copies the shipped chart (native path) into <nativeDataFolder>/M_DETAIL as the default
    // chart of each entity type, creating the folder. A chart already there, whatever the letter
    // case of its name, is left as it is. Each copy is written beside its target and renamed
    // into place, so a failed copy leaves no partial chart behind. Never raises: returns one
    // line for each chart that could not be installed, empty when every chart is in place.
    static QStringList Install(const QString& shippedPath, const QString& nativeDataFolder,
                               const QString& formatBaseName, const QStringList& entityTypes);
};
