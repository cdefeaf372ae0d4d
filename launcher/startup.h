#pragma once

// What the program does before anything else: where DLLs may come from,
// the x87 precision, the failure report and the decimal separator.
void StartUp();
