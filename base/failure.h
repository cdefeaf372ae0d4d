// How a failure travels. Every failure that no catching place handles goes
// through RaiseFailure, which never returns: in the launcher it shows the
// failure report and ends the process with exit code 1; in the native tools
// and the tests it throws a Failure. Only the catalog reader, the archive
// opener and the decoding loop turn failures into results instead, and they
// do so by checking results before anything is raised.
#pragma once
#include "base/text.h"

enum class FailureKind {
    Exception,      // the program's own failures
    EConvertError,  // number conversions
    EInOutError,    // text-file input and output
    EOutOfMemory,
    EAccessViolation,
    EExternalException,  // any other fault of the operating system
};

// The name the failure report shows for a kind.
const char* FailureKindName(FailureKind kind);

[[noreturn]] void RaiseFailure(FailureKind kind, const Text& message);

// Conversion failures, with the message from the string table.
[[noreturn]] void RaiseInvalidInteger(const Text& text);
[[noreturn]] void RaiseInvalidReal(const Text& text);
