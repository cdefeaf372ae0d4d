#include <gtest/gtest.h>

#include <string>

#include "extract/dos_date_time.h"
#include "extract/target_path.h"

namespace {

TEST(TargetPath, RelativePartOfTheStoredName) {
    const struct {
        const char* stored;
        bool useDirs;
        const char* part;
    } cases[] = {
        {"sub\\dir\\a.txt", false, "a.txt"},  {"sub\\dir\\a.txt", true, "sub\\dir\\a.txt"},
        {"\\a.txt", true, "a.txt"},           {"\\\\a.txt", true, "\\a.txt"},
        {"a.txt", true, "a.txt"},             {"C:x.txt", false, "x.txt"},
        {"", true, ""},                       {"dir\\", false, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StoredRelativePart(Text(c.stored), c.useDirs), c.part) << c.stored << " useDirs " << c.useDirs;
    }
    EXPECT_EQ(IncludeBackslash(Text("C:\\T")), "C:\\T\\");
    EXPECT_EQ(IncludeBackslash(Text("C:\\T\\")), "C:\\T\\");
    EXPECT_EQ(IncludeBackslash(Text("")), "");
}

// Names built the way a hostile archive would, to climb out of the folder.
TEST(TargetPath, ComponentsThatLeaveTheDestination) {
    const struct {
        const char* part;
        bool inside;
    } cases[] = {
        {"a.txt", true},          {"sub\\a.txt", true},       {"\\a.txt", true},
        {"a\\\\b", true},         {"..a\\b..", true},         {"a.b.c", true},
        {"..\\..\\x.dll", false}, {"sub\\..\\..\\x", false},  {"..", false},
        {"a\\..", false},         {"a/../../x", false},       {"...\\x", false},
        {".. \\x", false},        {". \\x", false},           {"x\\.\\y", false},
    };
    for (const auto& c : cases) EXPECT_EQ(StaysInsideDestination(Text(c.part)), c.inside) << c.part;
}

// Where an entry may land: inside, no colon, and no byte below 32, which
// would cut the path short for Windows (NUL) or split the delete list's
// lines (CR, LF, Ctrl-Z) and the entry line's fields (tab).
TEST(TargetPath, WritableParts) {
    const struct {
        std::string part;
        bool writable;
    } cases[] = {
        {"a.txt", true},
        {"sub\\\xE9t\xE9.txt", true},
        {"a:b", false},
        {"..\\x", false},
        {std::string("x.txt\0\r\nC:\\MARKER.txt", 23), false},
        {std::string("x\0", 2), false},
        {"x\ty", false},
        {"x\ry", false},
        {"x\ny", false},
        {"x\x1A", false},
        {"\x1B[31m.txt", false},
        {"\x1F", false},
        {" x", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsWritableRelativePart(Text(c.part.data(), c.part.size())), c.writable) << c.part;
}

TEST(DosDateTime, PacksByTheCalendar) {
    uint32_t packed = PackDosDateTime(36273.7614583333);  // 23 April 1999, 18:16:30
    EXPECT_EQ(packed >> 16, 0x2697u);
    EXPECT_EQ(packed & 0xFFFF, 0x920Fu);
    EXPECT_EQ(PackDosDateTime(29220.99999), 0u);        // 31 December 1979
    EXPECT_EQ(PackDosDateTime(29221.0), 0x210000u);     // 1 January 1980, midnight
    EXPECT_NE(PackDosDateTime(73050.99999), 0u);        // 31 December 2099
    EXPECT_EQ(PackDosDateTime(73051.0), 0u);            // 1 January 2100
    EXPECT_EQ(PackDosDateTime(1e300), 0u);
    EXPECT_EQ(PackDosDateTime(36585.0) >> 16, static_cast<uint32_t>(29 | 2 << 5 | 20 << 9));  // 29 February 2000
}

}  // namespace
