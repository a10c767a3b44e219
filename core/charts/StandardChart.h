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
//
// Beside it the program ships the default tax codes of that format, share/QUILVANE.TXR, a tax
// chart file exactly as the tax chart writes one: the codes of a goods-and-services tax of 10 %,
// their tax accounts the standard chart's GST Collected and GST Paid. A file's tax chart that is
// empty takes the format's default codes from "<format base name>.TXR" in the M_DETAIL folder;
// the first run installs the shipped codes there under that name, in the same way and never over
// a practice's own.
class TStandardChart {
public:
    // The account format the shipped chart is written in.
    static inline const QString FormatID = QStringLiteral("QUILVANE");
    // The shipped file's name in share/.
    static inline const QString ShippedFileName = QStringLiteral("QUILVANE.ADF");
    // The shipped default tax codes' name in share/.
    static inline const QString ShippedTaxCodesFileName = QStringLiteral("QUILVANE.TXR");

    // The default chart a client file's record names: "QUILVANE.NSP".
    static QString DefaultChartName(const QString& formatBaseName, const QString& entityType);

    // Where a client's default chart (its record's AccDefault) lies, stored form: the name as
    // given when it is a full path (a drive or a leading backslash or slash), else inside the
    // client's data folder: a name with a folder part from the data folder, a bare name from
    // its M_DETAIL folder. Empty for an empty name.
    static QString DefaultChartPath(const QString& dataDir, const QString& name);
    // Whether a default chart name leads out of the client's data folder: a name with a ".."
    // part (between backslashes or slashes alike), or a name inside the data folder that a link
    // on the way leads out of it. A full path is a chart file the user chose and leads nowhere
    // else. Such a name is never read ("The default chart <name> lies outside the data folder.").
    static bool DefaultChartLeavesDataFolder(const QString& dataDir, const QString& name);
    static inline const QString DefaultChartOutsideText =
        QStringLiteral("The default chart %1 lies outside the data folder.");
    // Raises EQuilvaneError (StoredFileSizeInside's text) when a default chart inside the data
    // folder would be read through a link: its folder (M_DETAIL for a bare name) leads out of
    // the data folder, or the chart file is itself a link. A full path is a chart file the user
    // chose and is not looked at; nothing there, or an empty name, raises nothing.
    static void RefuseLinkedDefaultChart(const QString& dataDir, const QString& name);

    // Copies the shipped chart (native path) into <nativeDataFolder>/M_DETAIL as the default
    // chart of each entity type, creating the folder. A chart already there, whatever the letter
    // case of its name, is left as it is. Each copy is written beside its target and renamed
    // into place, so a failed copy leaves no partial chart behind. Never raises: returns one
    // line for each chart that could not be installed, empty when every chart is in place.
    static QStringList Install(const QString& shippedPath, const QString& nativeDataFolder,
                               const QString& formatBaseName, const QStringList& entityTypes);

    // The name of a format's default tax codes in the M_DETAIL folder: "QUILVANE.TXR".
    static QString DefaultTaxCodesName(const QString& formatBaseName);
    // Copies the shipped tax codes (native path) into <nativeDataFolder>/M_DETAIL as the
    // format's default tax codes, in the same way as Install: a file already there is left as it
    // is, a failed copy leaves nothing behind. Never raises: the line that tells why the codes
    // could not be installed, empty when they are in place.
    static QString InstallTaxCodes(const QString& shippedPath, const QString& nativeDataFolder,
                                   const QString& formatBaseName);
};
