#pragma once

#include <QString>

// A column title made from a field name: "_" becomes a blank; the first letter and every letter
// after a blank, ",", ".", ":", ";" or "_" is upper case and every other capital lower case. So
// "Tax_Code" reads "Tax Code", "BAS" reads "Bas" and "Account_Description_" keeps its trailing
// blank.
QString CapitaliseHeader(const QString& name);

// A number written by a picture format of up to three sections separated by ";": for positive
// values, for negative values (written without their sign) and for zero. A section without its
// own negative part writes "-" before the positive one. In a section, "0" is a digit always
// shown, "#" a digit shown when needed, "," anywhere among the whole digits groups them in
// thousands, "." marks the decimals; other characters before and after the digits are copied.
// Decimals round half away from zero. "#,##0.00;(#,##0.00)" writes -1234.5 as "(1,234.50)".
QString FormatNumber(double value, const QString& format);
