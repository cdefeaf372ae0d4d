// Natively a failure is a C++ exception, so the tools can report it and the
// tests can inspect it.
#include "base/failure_native.h"

void RaiseFailure(FailureKind kind, const Text& message) { throw Failure{kind, message}; }
