#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extract/delete_list.h"
#include "launcher/directory_macros.h"

namespace {

const MacroDirectories kDirectories = {Text("C:\\Setup\\"), Text("C:\\WINDOWS\\"), Text("C:\\WINDOWS\\SYSTEM\\"),
                                       Text("C:\\TEMP\\")};

TEST(ExpandMacros, FirstOccurrenceOfEachInFixedOrder) {
    const struct {
        const char* text;
        const char* expanded;
    } cases[] = {
        {"<TD>$d$e$l$.lst", "C:\\TEMP\\$d$e$l$.lst"},
        {"<td>x <TD>y", "C:\\TEMP\\x <TD>y"},
        {"<aD>Setup.exe /Q", "C:\\Setup\\Setup.exe /Q"},
        {"<SD>|<WD>|<AD>|<TD>", "C:\\WINDOWS\\SYSTEM\\|C:\\WINDOWS\\|C:\\Setup\\|C:\\TEMP\\"},
        {"no macros", "no macros"},
        {"", ""},
        {"<TD", "<TD"},
        {"<T D>", "<T D>"},
    };
    for (const auto& c : cases) EXPECT_EQ(ExpandMacros(Text(c.text), kDirectories), c.expanded) << c.text;
}

TEST(ExpandMacros, LaterSearchesSeeEarlierReplacements) {
    // The Windows folder's expansion brings a "<SD>" that the system
    // folder's search then finds first.
    MacroDirectories odd = kDirectories;
    odd.windowsDir = Text("W<sd>\\");
    EXPECT_EQ(ExpandMacros(Text("<WD> <SD>"), odd), "WC:\\WINDOWS\\SYSTEM\\\\ <SD>");
}

std::vector<std::string> Lines(const char* content, size_t length) {
    std::vector<std::string> lines;
    ForEachListLine(Text(content, length), [](const Text& line, void* out) {
        static_cast<std::vector<std::string>*>(out)->emplace_back(line.Data(), line.Length());
    }, &lines);
    return lines;
}

TEST(DeleteListLines, ReadByTheTextFileRules) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Lines("a\r\nb\r\n", 6), (V{"a", "b"}));
    EXPECT_EQ(Lines("a\r\nb", 4), (V{"a", "b"})) << "last line without its end";
    EXPECT_EQ(Lines("a\r\n\r\nb\r\n", 8), (V{"a", "", "b"}));
    EXPECT_EQ(Lines("a\rb\r\n", 5), (V{"a", "b"})) << "a lone carriage return ends a line";
    EXPECT_EQ(Lines("a\nb\r\n", 5), (V{"a\nb"})) << "a lone line feed does not";
    EXPECT_EQ(Lines("a\r\n\x1A" "b\r\n", 7), (V{"a"})) << "Ctrl-Z ends the list";
    EXPECT_EQ(Lines("", 0), V{});
}

}  // namespace
