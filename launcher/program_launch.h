#pragma once
#include "base/text.h"

// Starts the command line as a new process (no quoting added) and, with
// `wait`, blocks until it has ended. True when the process was created.
bool LaunchProgram(const Text& commandLine, bool hidden, bool wait);
