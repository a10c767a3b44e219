#pragma once

// Money. Amounts are kept as doubles holding cents, as the stored files hold them; these are the
// only rules by which the program rounds, compares and adds them.

// Two amounts within this of each other are the same money: less than a cent, more than any
// rounding noise of a double.
inline constexpr double MoneyTolerance = 0.009;

// The amount to the nearest cent, halves going to the even cent (0.125 -> 0.12, 0.135 -> 0.14
// as far as the double holds them). Infinities and not-a-number pass unchanged.
double RoundToCent(double amount);

// Whether two amounts are the same money (within MoneyTolerance).
bool SameMoney(double a, double b);
// Whether an amount is no money at all (within MoneyTolerance of 0).
bool IsZeroMoney(double amount);

// An amount in another currency converted to the file's own at a rate (units of the currency per
// unit of the file's), to the cent; a rate of 0 or below converts nothing.
double LocalAmount(double amount, double rate);

// A running total of money amounts. The amounts are added with compensated (Neumaier) summation,
// so a total over a year of entries does not drift: a million amounts of whole cents give their
// exact sum to the cent.
class TMoneyTotal {
public:
    TMoneyTotal() = default;
    explicit TMoneyTotal(double start) : Sum(start) {}
    void Add(double amount);
    double Value() const { return Sum + Compensation; }

private:
    double Sum = 0.0;
    double Compensation = 0.0;
};
