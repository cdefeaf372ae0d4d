// The system-wide failure report: every failure that no catching place
// handles ends here, in a task-modal box and exit code 1.
#pragma once
#include "base/failure.h"

// The report's text for a failure raised at `address` in the module whose
// file name is `moduleName`.
Text FormatFailureReport(FailureKind kind, const Text& moduleName, const void* address, const Text& message);

// Shows the report and ends the process with exit code 1.
[[noreturn]] void ShowFailureReport(FailureKind kind, const void* address, const Text& message);

// Routes faults of the operating system (access violations and the like)
// to the same report.
void InstallFailureReport();
