#include <gtest/gtest.h>

#include "base/text.h"

namespace {

TEST(PathParts, SplitAtTheLastBackslashOrColon) {
    const struct {
        const char* path;
        const char* directory;
        const char* file;
    } cases[] = {
        {"C:\\T\\sub\\a.txt", "C:\\T\\sub\\", "a.txt"},
        {"D:readme.txt", "D:", "readme.txt"},
        {"readme.txt", "", "readme.txt"},
        {"\\\\server\\share\\f", "\\\\server\\share\\", "f"},
        {"dir\\", "dir\\", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DirectoryPart(Text(c.path)), c.directory) << c.path;
        EXPECT_EQ(FileNamePart(Text(c.path)), c.file) << c.path;
    }
}

TEST(TextType, KeepsBytesIncludingZeros) {
    Text text("a\0b", 3);
    text.Append(Text("\xFC"));
    EXPECT_EQ(text.Length(), 4u);
    EXPECT_EQ(text, Text("a\0b\xFC", 4));
    EXPECT_EQ(text.Sub(1, 2), Text("\0b", 2));
    EXPECT_EQ(text.Sub(9), "");
    EXPECT_EQ(text.Find('b'), 2u);
    EXPECT_EQ(text.Find('z'), kNotFound);
    EXPECT_EQ(text.CStr()[4], 0);
}

}  // namespace
