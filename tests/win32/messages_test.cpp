#include <gtest/gtest.h>

#include <windows.h>

#include "base/messages.h"

namespace {

// The resource compiler must turn every text of the table into exactly the
// bytes the native build uses.
TEST(StringTable, ResourcesHoldTheTableTextsByteForByte) {
    const struct {
        MessageId id;
        const char* text;
    } table[] = {
#define MESSAGE(number, name, text) {name, text},
#include "base/messages.inc"
#undef MESSAGE
    };
    for (const auto& entry : table) EXPECT_EQ(LoadMessage(entry.id), entry.text) << entry.id;
    EXPECT_EQ(LoadMessage(kMsgFailureReport), "Exception %s im Modul %s bei %p.\n%s%s");
}

TEST(StringTable, ArchiveOffsetIsNineDigits) {
    char text[32];
    int length = LoadStringA(GetModuleHandleA(nullptr), 1, text, sizeof text);
    EXPECT_EQ(length, 9);
}

}  // namespace
