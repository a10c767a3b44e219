#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// The BAS totals of an open file. The open file makes them empty, keeps them while it is open and
// frees them on close; only the activity-statement functions fill and read them.
class TBASTotals {
public:
    // The totals' own text list; empty when made.
    QStringList Lines;

    // The total of a label: 0 until the activity-statement functions set one.
    double LabelTotal(const QString& label) const { return Totals.value(label, 0.0); }
    void SetLabelTotal(const QString& label, double total) { Totals.insert(label, total); }

private:
    QMap<QString, double> Totals;
};
