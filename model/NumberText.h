#pragma once
#include <cstddef>

// The program's own number syntax, the same in every build and on every C
// runtime: the data file reader and the dialog's fields share it.

// Leading white space, optional sign, digits with an optional "." fraction and
// an optional exponent (e, E, d or D, optional sign, digits). Stops at the
// first character that does not fit; no number at all gives 0.0. Never gives
// infinity or not-a-number: an overflowing exponent saturates to the largest
// finite double of that sign.
double ParseDouble(const char* text);

// Leading white space, optional sign, decimal digits; saturates at the int range.
int ParseInt(const char* text);

// The same syntaxes where the whole text must be the number: no blanks, no
// rest. False when it is not; *value is then unspecified.
bool ParseWholeDouble(const char* text, double* value);
bool ParseWholeInt(const char* text, int* value);

// "%g" with six significant digits and an exponent of a sign and at least
// three digits (1e-005, 1.23457e+006), as the Windows C runtime writes it.
// Not-a-number and infinities come out as "nan", "inf" and "-inf".
// Returns the length written; the text is always NUL-terminated when size > 0.
int FormatG(double value, char* out, size_t size);

// Truncation toward zero, saturating at the int range; not-a-number gives 0.
int TruncToInt(double value);
