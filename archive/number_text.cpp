#include "archive/number_text.h"

#include <cstring>

#include "base/failure.h"

NumberFormat gNumberFormat;

bool TryParseInteger(const Text& text, int32_t* value) {
    const char* p = text.Data();
    const char* end = p + text.Length();
    while (p < end && *p == ' ') ++p;
    if (p < end && *p == '$') {
        ++p;
        if (p == end) return false;
        uint32_t result = 0;
        for (; p < end; ++p) {
            unsigned digit;
            if (*p >= '0' && *p <= '9') digit = *p - '0';
            else if (*p >= 'a' && *p <= 'f') digit = *p - 'a' + 10;
            else if (*p >= 'A' && *p <= 'F') digit = *p - 'A' + 10;
            else return false;
            if (result > 0x0FFFFFFFu) return false;
            result = result << 4 | digit;
        }
        *value = static_cast<int32_t>(result);
        return true;
    }
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    if (p == end) return false;
    uint64_t magnitude = 0;
    const uint64_t limit = negative ? 2147483648u : 2147483647u;
    for (; p < end; ++p) {
        if (*p < '0' || *p > '9') return false;
        magnitude = magnitude * 10 + static_cast<unsigned>(*p - '0');
        if (magnitude > limit) return false;
    }
    *value = static_cast<int32_t>(negative ? 0 - magnitude : magnitude);
    return true;
}

int32_t TextToInteger(const Text& text) {
    int32_t value;
    if (!TryParseInteger(text, &value)) RaiseInvalidInteger(text);
    return value;
}

Text IntegerToText(int32_t value) {
    char digits[12];
    char* p = digits + sizeof digits;
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value < 0) *--p = '-';
    return Text(p, static_cast<size_t>(digits + sizeof digits - p));
}

// The exact decimal expansion of a positive finite double: value = m * 2^e
// becomes the integer m * 2^e (e >= 0) or m * 5^-e scaled by 10^e (e < 0),
// written out in base 10^4. 84 limbs hold the largest case, 2^1024 and
// 2^53 * 5^1074.
namespace {

struct ExactDecimal {
    char digits[800];
    int count = 0;          // significant digits, no leading zeros
    int pointPosition = 0;  // value = 0.digits * 10^pointPosition
};

struct BigNumber {
    uint32_t limbs[84];
    int size = 0;

    void MultiplyAdd(uint32_t factor, uint32_t addend) {
        uint64_t carry = addend;
        for (int i = 0; i < size; ++i) {
            uint64_t product = static_cast<uint64_t>(limbs[i]) * factor + carry;
            limbs[i] = static_cast<uint32_t>(product);
            carry = product >> 32;
        }
        if (carry) limbs[size++] = static_cast<uint32_t>(carry);
    }
    // Divides by 10000 in 16-bit steps: 32-bit arithmetic only, so the
    // 32-bit launcher needs no 64-bit division helpers.
    uint32_t DivideBy10000() {
        uint32_t remainder = 0;
        for (int i = size - 1; i >= 0; --i) {
            uint32_t high = remainder << 16 | limbs[i] >> 16;
            remainder = high % 10000;
            uint32_t low = remainder << 16 | (limbs[i] & 0xFFFF);
            remainder = low % 10000;
            limbs[i] = (high / 10000) << 16 | low / 10000;
        }
        while (size > 0 && limbs[size - 1] == 0) --size;
        return remainder;
    }
};

void ExpandExactly(double value, ExactDecimal* out) {
    uint64_t bits;
    memcpy(&bits, &value, sizeof bits);
    int biased = static_cast<int>(bits >> 52 & 0x7FF);
    uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
    int exponent;
    if (biased == 0) {
        exponent = -1074;
    } else {
        mantissa |= uint64_t{1} << 52;
        exponent = biased - 1075;
    }
    while ((mantissa & 1) == 0) {
        mantissa >>= 1;
        ++exponent;
    }
    BigNumber big;
    big.limbs[0] = static_cast<uint32_t>(mantissa);
    big.limbs[1] = static_cast<uint32_t>(mantissa >> 32);
    big.size = big.limbs[1] ? 2 : 1;
    int decimalShift = 0;
    for (; exponent >= 31; exponent -= 31) big.MultiplyAdd(1u << 31, 0);
    if (exponent > 0) big.MultiplyAdd(1u << exponent, 0);
    for (; exponent <= -13; exponent += 13, decimalShift -= 13) big.MultiplyAdd(1220703125u, 0);
    for (; exponent < 0; ++exponent, --decimalShift) big.MultiplyAdd(5, 0);

    char reversed[800];
    int length = 0;
    while (big.size > 0) {
        uint32_t chunk = big.DivideBy10000();
        for (int i = 0; i < 4; ++i, chunk /= 10) reversed[length++] = static_cast<char>('0' + chunk % 10);
    }
    while (length > 0 && reversed[length - 1] == '0') --length;
    for (int i = 0; i < length; ++i) out->digits[i] = reversed[length - 1 - i];
    out->count = length;
    out->pointPosition = length + decimalShift;
}

void AppendZeros(Text* text, int count) {
    for (; count > 0; --count) text->Append('0');
}

}  // namespace

Text RealToText(double value, char separator) {
    if (value != value) return Text("NAN");
    Text result;
    if (value < 0) {
        result.Append('-');
        value = -value;
    }
    if (value == 0) return Text("0");
    if (value > 1.7976931348623157e308) return result.Append("INF");

    ExactDecimal exact;
    ExpandExactly(value, &exact);
    char* d = exact.digits;
    int count = exact.count;
    if (count > 15) {
        bool roundUp = d[15] >= '5';
        count = 15;
        for (int i = count - 1; roundUp && i >= 0; --i) {
            roundUp = d[i] == '9';
            d[i] = roundUp ? '0' : static_cast<char>(d[i] + 1);
        }
        if (roundUp) {
            d[0] = '1';
            ++exact.pointPosition;
        }
    }
    while (count > 1 && d[count - 1] == '0') --count;

    int point = exact.pointPosition;
    if (point <= 15 && point >= -3) {
        if (point <= 0) {
            result.Append('0').Append(separator);
            AppendZeros(&result, -point);
            result.Append(d, static_cast<size_t>(count));
        } else if (count <= point) {
            result.Append(d, static_cast<size_t>(count));
            AppendZeros(&result, point - count);
        } else {
            result.Append(d, static_cast<size_t>(point)).Append(separator);
            result.Append(d + point, static_cast<size_t>(count - point));
        }
    } else {
        result.Append(d[0]);
        if (count > 1) result.Append(separator).Append(d + 1, static_cast<size_t>(count - 1));
        result.Append('E');
        int decimalExponent = point - 1;
        if (decimalExponent < 0) result.Append('-');
        result.Append(IntegerToText(decimalExponent < 0 ? -decimalExponent : decimalExponent));
    }
    return result;
}

bool TryParseReal(const Text& text, char separator, double* value) {
    const char* p = text.Data();
    const char* end = p + text.Length();
    while (p < end && *p == ' ') ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';

    // Up to 19 significant digits are kept exactly; further ones only move
    // the decimal exponent.
    uint64_t mantissa = 0;
    int kept = 0, decimalExponent = 0, digitCount = 0;
    bool afterSeparator = false;
    for (; p < end; ++p) {
        if (*p >= '0' && *p <= '9') {
            ++digitCount;
            if (kept < 19) {
                if (mantissa || *p != '0') ++kept;
                mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
                if (afterSeparator) --decimalExponent;
            } else if (!afterSeparator) {
                ++decimalExponent;
            }
        } else if (*p == separator && !afterSeparator) {
            afterSeparator = true;
        } else {
            break;
        }
    }
    if (digitCount == 0) return false;
    if (p < end && (*p == 'E' || *p == 'e')) {
        ++p;
        bool negativeExponent = false;
        if (p < end && (*p == '+' || *p == '-')) negativeExponent = *p++ == '-';
        if (p == end || *p < '0' || *p > '9') return false;
        int written = 0;
        for (; p < end && *p >= '0' && *p <= '9'; ++p) {
            if (written < 100000) written = written * 10 + (*p - '0');
        }
        decimalExponent += negativeExponent ? -written : written;
    }
    while (p < end && *p == ' ') ++p;
    if (p != end) return false;

    double result;
    if (mantissa == 0) {
        result = 0;
    } else if (mantissa < (uint64_t{1} << 53) && decimalExponent >= -22 && decimalExponent <= 22) {
        // Both operands are exact doubles, so one rounding gives the
        // correctly rounded value.
        double scale = 1;
        for (int i = 0; i < (decimalExponent < 0 ? -decimalExponent : decimalExponent); ++i) scale *= 10;
        result = decimalExponent < 0 ? static_cast<double>(mantissa) / scale
                                     : static_cast<double>(mantissa) * scale;
    } else {
        long double scaled = static_cast<long double>(mantissa);
        long double power = 10;
        for (int e = decimalExponent < 0 ? -decimalExponent : decimalExponent; e > 0; e >>= 1, power *= power) {
            if (e & 1) scaled = decimalExponent < 0 ? scaled / power : scaled * power;
        }
        result = static_cast<double>(scaled);
        if (result > 1.7976931348623157e308) return false;
    }
    *value = negative ? -result : result;
    return true;
}

static char DecimalSeparator() { return gNumberFormat.decimalSeparator ? gNumberFormat.decimalSeparator : '.'; }

Text RealToText(double value) { return RealToText(value, DecimalSeparator()); }

double TextToReal(const Text& text) {
    double value;
    if (!TryParseReal(text, DecimalSeparator(), &value)) RaiseInvalidReal(text);
    return value;
}
