#pragma once

// A running total of money amounts held as doubles. The amounts are added with compensated
// (Neumaier) summation, so a total over a year of entries does not drift: a million amounts of
// whole cents give their exact sum to the cent.
class TMoneyTotal {
public:
    void Add(double amount);
    double Value() const { return Sum + Compensation; }

private:
    double Sum = 0.0;
    double Compensation = 0.0;
};

// Whether two money amounts are equal to the cent (each taken to the nearest cent, halves to
// even).
bool SameMoney(double a, double b);
