#pragma once

#include <QString>
#include <QStringView>

// The value of the longest leading part of text that reads as a decimal number (optional blanks,
// optional sign, digits, optional point and digits); 0 when there is none. "12", "012" and "12A"
// all have the value 12; "A1" has the value 0.
double NumericValue(QStringView text);

// The length of the decimal number text starts with (optional sign, digits, optional point and
// digits, at least one digit); 0 when it starts with none. A text is a plain number when this is its
// whole length.
qsizetype DecimalNumberLength(QStringView text);

// A number written in its shortest decimal form: 7 rather than 007 or 7.0, 12.5 rather than 12.50;
// at most 15 significant digits, never an exponent.
QString ShortestDecimal(double value);

// The same into out, which has room for kShortestDecimalMaxLength characters; returns the length.
// For writing a million numbers without a string each.
constexpr qsizetype kShortestDecimalMaxLength = 340; // the largest double in full, with sign and point
qsizetype WriteShortestDecimal(double value, char *out);

// The numeric value of text written in its shortest form into out, as
// WriteShortestDecimal(NumericValue(text), out) writes it. A number of 15 digits or fewer is taken
// from its own digits without going through a double: a million-point drawing writes three a row.
qsizetype WriteShortestValue(QStringView text, char *out);

// The decimal digits of a row number (0 or more), written so that they end just before end; returns
// where they begin. For numbering a million rows without a string each.
constexpr qsizetype kRowNumberMaxLength = 10;
char16_t *WriteRowNumber(int number, char16_t *end);
