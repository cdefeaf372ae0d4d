#pragma once
#include <cstdint>

#include "base/text.h"

// Starts the command line as a new process (no quoting added) and, with
// `wait`, blocks until it has ended. True when the process was created.
// The process starts in `folder`, or in the launcher's current folder when
// that is null. `exitCode` receives the process's exit code after a wait,
// or the system's reason why it could not be started.
bool LaunchProgram(const Text& commandLine, bool hidden, bool wait, const char* folder = nullptr,
                   uint32_t* exitCode = nullptr);
