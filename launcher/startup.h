#pragma once

// What the program does before anything else: where DLLs may come from,
// the x87 precision, the failure report and the decimal separator.
void StartUp();

// Without the C runtime's start-up the x87 unit keeps Windows' 53-bit
// precision; this sets the 64 bits the progress arithmetic needs.
void UseExtendedPrecision();
