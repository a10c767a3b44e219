#pragma once

#include <QtGlobal>

// Rounds to the nearest whole number, or to the given number of decimals, with halves going to
// the even neighbour (2.5 -> 2, 3.5 -> 4), as every "round to the nearest" of the program does.
double RoundHalfEven(double value, int decimals = 0);

inline int MaxInt(int a, int b) {
    return a > b ? a : b;
}
inline int MinInt(int a, int b) {
    return a < b ? a : b;
}

// Base to the power N by repeated squaring; a negative N gives 1 / Base^|N| (infinity for a
// base of 0).
double IntPower(double base, int n);

// Common logarithm (not a number for values below 0, minus infinity for 0).
double Log10(double x);

// Whether an amount meets a search criterion against a target: 0 any amount, 1 the same
// amount, 2 more than the target, 3 less than the target, 4 to 8 within 10, 100, 1000, 5000
// or 10000 of the target (each with the money tolerance added). Other criteria match nothing.
bool AmountMatchesCriterion(double amount, double target, int criterion);

// Whether two amounts look alike digit by digit, for finding likely matches in a bank
// reconciliation: both are written with two decimals and no sign, aligned at the right (the
// longer loses its extra leading characters) and compared position by position. True when at
// most N positions differ and at least N agree.
bool AmountDigitsMatch(double a, double b, int n);

// A round number at least as large as X for the scale of a graph axis: 12 -> 20, 250 -> 300,
// 1000 -> 1000, 0 -> 0. Negative values are scaled by their size (-12 -> -20).
double RoundUpToScale(double x);
