#pragma once
// The number texts every part of the program uses to show or insert numbers.

#include <QString>
#include <optional>

namespace base {

// Rounded to six decimals, a half going to the even neighbour (judged on the
// value's 15-significant-digit decimal form, as the classic runtime sees it).
double roundSix(double x);

// Pattern "######.000000": integer digits without a leading zero (so .750000,
// .000000), exactly six decimals, a leading minus for a negative value.
QString sixDecimalText(double x);

// Pattern "#####0.000000": the same with at least one digit before the point.
QString sixDecimalTextWithZero(double x);

// The value's shortest decimal text, at most 15 significant digits, no
// exponent, no trailing zeros, a leading zero before the point (100.0125, 0.75).
QString plainText(double x);

// A blank for a value of 0 or more, a minus for a negative one; then the
// absolute value, at most 15 significant digits, no trailing zeros, no zero
// before the point below 1 (" .75", "-.3", " 37", " 0").
QString signSpacedText(double x);
// The number SQL reads back from the sign-spaced text of `x` (the nearest
// double to its 15-significant-digit decimal).
double signSpacedValue(double x);
// Sign-spaced text with as many digits as `x` needs to read back as itself:
// the same as signSpacedText for every number 15 digits hold (" .3"), more
// digits for one they do not (" .30000000000000004"). The edges of a record
// are written so into criteria that must find that very record.
QString exactSignSpacedText(double x);

// The number test: a plain decimal with an optional sign, an optional
// fraction and blanks around it ("1", " -2.5 ", "+.5", "3."); the value when
// it is one (and finite), nothing otherwise.
std::optional<double> numberValue(const QString& text);
inline bool isNumber(const QString& text) { return numberValue(text).has_value(); }

// Leading and trailing blanks removed (blanks only, as Trim does).
QString trimBlanks(const QString& text);

}  // namespace base
