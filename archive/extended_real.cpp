#include <cfloat>
#include <cstring>

#include "archive/catalog_format.h"

// Every build of this program targets x86, whose long double is the x87
// extended type, so the hardware does the conversions and their rounding.
static_assert(LDBL_MANT_DIG == 64, "long double must be the x87 extended type");

double ExtendedToDouble(const uint8_t bytes[kExtendedSize]) {
    long double value = 0;
    memcpy(&value, bytes, kExtendedSize);
    return static_cast<double>(value);
}

void DoubleToExtended(double value, uint8_t bytes[kExtendedSize]) {
    long double extended = value;
    memcpy(bytes, &extended, kExtendedSize);
}
