// Numbers as text: the one integer rule used everywhere, and the general
// 15-significant-digit form of reals with the locale's decimal separator.
#pragma once
#include <cstdint>

#include "base/text.h"

struct NumberFormat {
    // The first character of the default locale's decimal separator, read
    // once at start. 0 until then (process-wide state starts as zero bytes,
    // which cost the stub no file space) or when it can't be read: ".".
    char decimalSeparator;
};
extern NumberFormat gNumberFormat;

// Optional blanks (spaces only), then either an optional sign and decimal
// digits within the signed 32-bit range, or "$" and hexadecimal digits that
// fit 32 bits. Nothing may follow the digits.
bool TryParseInteger(const Text& text, int32_t* value);
// The same, raising EConvertError for text that breaks the rule.
int32_t TextToInteger(const Text& text);
Text IntegerToText(int32_t value);

// General form with at most 15 significant digits: fixed notation for
// magnitudes from 0.0001 with at most 15 integer digits, exponent form
// (1E-5, 1.5E20) otherwise.
Text RealToText(double value, char separator);
bool TryParseReal(const Text& text, char separator, double* value);
// Both directions with gNumberFormat's separator; TextToReal raises
// EConvertError for text that is not a number.
Text RealToText(double value);
double TextToReal(const Text& text);
