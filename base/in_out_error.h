#pragma once
#include <cstdint>

// Raises EInOutError with the message for a system error code.
[[noreturn]] void RaiseInOutError(uint32_t errorCode);
