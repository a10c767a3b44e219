#pragma once

#include "core/charts/MasterChartItem.h"

#include <QString>

// A standard description: text the user calls up in descriptions by typing "~" and its
// abbreviation. Stored as two strings, the abbreviation and the description.
class TStandardDescription : public TMasterChartItem {
public:
    TStandardDescription() = default;
    TStandardDescription(const QString& abbreviation, const QString& description)
        : Abbreviation(abbreviation), Description(description) {}

    // The abbreviation is the key; any text that is not blank is one.
    QString GetKey() const override { return Abbreviation; }
    bool SetKey(const QString& key) override;

    QString Abbreviation; // the key
    QString Description;
};
