#pragma once

// Reads the decimal separator of the system's default locale into
// gNumberFormat; keeps "." when the setting can't be read.
void ReadDecimalSeparator();
