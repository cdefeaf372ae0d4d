#include <windows.h>

#include "archive/decimal_separator.h"
#include "archive/number_text.h"

void ReadDecimalSeparator() {
    char separator[8];
    if (GetLocaleInfoA(GetSystemDefaultLCID(), LOCALE_SDECIMAL, separator, sizeof separator) > 1)
        gNumberFormat.decimalSeparator = separator[0];
}
