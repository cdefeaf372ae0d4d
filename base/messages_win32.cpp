#include <windows.h>

#include "base/messages.h"

Text LoadMessage(MessageId id) {
    char buffer[256];
    int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return Text(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}
