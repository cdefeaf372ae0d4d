#include <gtest/gtest.h>

#include <string>

#include "progress/progress_math.h"

namespace {

TEST(ProgressPercentage, ExtendedPrecisionCases) {
    const struct {
        int32_t read, total, percent;
    } cases[] = {{53, 100, 52}, {59, 100, 58}, {50, 100, 50}, {1, 3, 33},      {999, 1000, 99},
                 {7, 7, 100},   {0, 5, 0},     {0, 0, 100},   {2147483647, 2147483647, 100}};
    for (const auto& c : cases) EXPECT_EQ(ProgressPercentage(c.read, c.total), c.percent) << c.read << "/" << c.total;
}

TEST(BarSplit, ExtendedPrecisionCases) {
    const struct {
        int32_t percent, width, split;
    } cases[] = {{10, 300, 29}, {20, 300, 59}, {50, 300, 150}, {70, 300, 210}, {80, 300, 239}, {90, 300, 270},
                 {10, 10, 0},   {25, 292, 73}, {50, 292, 146}, {75, 292, 219}, {0, 292, 0},    {100, 292, 292},
                 {100, 1, 1},   {100, 7, 7},   {150, 10, 10}};
    for (const auto& c : cases) EXPECT_EQ(BarSplit(c.percent, c.width), c.split) << c.percent << "% of " << c.width;
}

// A control that fits `limit` characters: the width test counts bytes.
bool LongerThan(const Text& text, void* limit) { return text.Length() > *static_cast<size_t*>(limit); }

// The successive results in a control too narrow for all but the last: every
// text the width test sees, then the result.
bool RecordAndRefuse(const Text& text, void* steps) {
    static_cast<std::vector<std::string>*>(steps)->emplace_back(text.Data(), text.Length());
    return true;
}

std::vector<std::string> FittingSteps(const char* path) {
    std::vector<std::string> steps;
    Text last = FitFileName(Text(path), RecordAndRefuse, &steps);
    steps.emplace_back(last.Data(), last.Length());
    return steps;
}

TEST(FitFileName, ShortensByWholeDirectoryLevels) {
    const struct {
        const char* path;
        std::vector<std::string> steps;
    } cases[] = {
        {"C:\\WINDOWS\\TEMP\\disk1\\data\\readme.txt",
         {"C:\\WINDOWS\\TEMP\\disk1\\data\\readme.txt", "C:\\...\\TEMP\\disk1\\data\\readme.txt",
          "C:\\...\\disk1\\data\\readme.txt", "C:\\...\\data\\readme.txt", "C:\\...\\readme.txt", "...\\readme.txt",
          "readme.txt"}},
        {"C:\\readme.txt", {"C:\\readme.txt", "C:readme.txt", "readme.txt"}},
        {"D:readme.txt", {"D:readme.txt", "readme.txt"}},
        {"readme.txt", {"readme.txt"}},  // never measured: nothing to shorten
        {"\\\\server\\share\\dir\\f.txt",
         {"\\\\server\\share\\dir\\f.txt", "\\...\\server\\share\\dir\\f.txt", "\\...\\share\\dir\\f.txt",
          "\\...\\dir\\f.txt", "\\...\\f.txt", "...\\f.txt", "f.txt"}},
        {"C:\\.ab\\dir\\x\\f.txt", {"C:\\.ab\\dir\\x\\f.txt", "C:\\...\\x\\f.txt", "C:\\...\\f.txt", "...\\f.txt", "f.txt"}},
        {"C:\\TEMP\\setup.exe.manifest",
         {"C:\\TEMP\\setup.exe.manifest", "C:\\...\\setup.exe.manifest", "...\\setup.exe.manifest",
          "setup.exe.manifest"}},
    };
    for (const auto& c : cases) EXPECT_EQ(FittingSteps(c.path), c.steps) << c.path;
}

TEST(FitFileName, PathThatFitsIsUnchanged) {
    size_t limit = 1000;
    EXPECT_EQ(FitFileName(Text("C:\\a\\b.txt"), LongerThan, &limit), "C:\\a\\b.txt");
}

}  // namespace
