#pragma once
#include "base/failure.h"

struct Failure {
    FailureKind kind;
    Text message;
};
