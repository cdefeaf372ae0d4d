#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "pack/pack_inputs.h"
#include "pack/stored_names.h"
#include "tests/native/temp_tree.h"

namespace {

class PackInputsTest : public ::testing::Test {
protected:
    // Every problem CollectInputs and CheckInputs find, one per line, or "".
    std::string Problems(const std::vector<std::string>& relativePaths, const SetupConfiguration& configuration) {
        std::vector<std::string> paths;
        for (const std::string& path : relativePaths) paths.push_back(tree_.Path() + "/" + path);
        try {
            CheckInputs(CollectInputs(paths), configuration);
        } catch (const InputProblems& problems) {
            return problems.what();
        }
        return "";
    }
    static SetupConfiguration Runs(const char* program, bool useDirs = true) {
        SetupConfiguration c;
        c.executable = program;
        c.useDirs = useDirs;
        return c;
    }
    TempTree tree_;
};

// Each case names what must appear in the report (all of it, for several
// problems of one run); empty: accepted.
TEST_F(PackInputsTest, Refusals) {
    tree_.Write("twice/Setup.exe", "1");
    tree_.Write("twice/B.txt", "2");
    tree_.Write("twice/setup.EXE", "3");
    tree_.Write("flat/a/readme.txt", "1");
    tree_.Write("flat/b/README.txt", "2");
    tree_.Write("flat/setup.exe", "x");
    tree_.Write("colon/a:b.txt", "x");
    tree_.Write("device/con.txt", "x");
    tree_.Write("dotted/name.", "x");
    tree_.Write("euro/\xE2\x82\xAC.txt", "x");  // in Windows-1252
    tree_.Write("greek/\xCE\xA9.txt", "x");     // not in Windows-1252
    tree_.Write("config/SFXSETUP.ini", "x");
    tree_.Write("list/$D$E$L$.LST", "x");
    tree_.Write("list/sub/$d$e$l$.lst", "deeper: no clash");
    tree_.Write("many/a:1", "x");
    tree_.Write("many/b:2", "x");
    tree_.Write("many/ok.txt", "x");
    tree_.Write("program/sub/Install.exe", "MZ");
    tree_.Write("accented/\xC3\x89t\xC3\xA9.exe", "MZ");  // Été.exe
    const struct {
        std::vector<std::string> paths;
        SetupConfiguration configuration;
        std::vector<std::string> expected;
    } cases[] = {
        {{"twice"}, Runs("setup.exe"), {"twice/Setup.exe and ", "twice/setup.EXE both land as setup.EXE"}},
        {{"flat"}, Runs("setup.exe", false), {"flat/a/readme.txt and ", "flat/b/README.txt both land as", "--flat"}},
        {{"flat"}, Runs("setup.exe"), {}},
        {{"colon"}, Runs(""), {"a colon"}},
        {{"device"}, Runs(""), {"device name"}},
        {{"dotted"}, Runs(""), {"ending in a dot"}},
        {{"euro"}, Runs(""), {}},
        {{"greek"}, Runs(""), {"Windows-1252 can't represent"}},
        {{"config"}, Runs(""), {"needs the name sfxsetup.ini"}},
        {{"list"}, Runs(""), {"list/$D$E$L$.LST: the launcher needs the name $d$e$l$.lst"}},
        {{"many"}, Runs(""), {"many/a:1: can't be stored", "\n", "many/b:2: can't be stored"}},
        {{"missing"}, Runs(""), {"missing: No such file"}},
        {{"program"}, Runs("install.exe"), {"the program to run, install.exe, is not among the packed files"}},
        {{"program"}, Runs("SUB/install.EXE"), {}},
        {{"program"}, Runs("\\sub\\install.exe"), {}},
        {{"program"}, Runs("install.exe", false), {}},
        {{"program"}, Runs("sub\\install.exe /q"), {"(its parameters go in --args)"}},
        {{"accented"}, Runs("\xC9T\xC9.EXE"), {}},  // ÉTÉ.EXE, as Windows compares
    };
    for (const auto& c : cases) {
        std::string report = Problems(c.paths, c.configuration);
        SCOPED_TRACE(c.paths[0] + " running " + c.configuration.executable + ": " + report);
        EXPECT_EQ(report.empty(), c.expected.empty());
        for (const std::string& part : c.expected) EXPECT_NE(report.find(part), std::string::npos) << part;
    }
}

TEST_F(PackInputsTest, SymbolicLinksAreFollowed) {
    tree_.Write("real/file.txt", "x");
    tree_.MakeFolder("in");
    ASSERT_EQ(symlink((tree_.Path() + "/real/file.txt").c_str(), (tree_.Path() + "/in/link.txt").c_str()), 0);
    ASSERT_EQ(symlink((tree_.Path() + "/real").c_str(), (tree_.Path() + "/in/folder").c_str()), 0);
    std::vector<PackInput> inputs = CollectInputs({tree_.Path() + "/in"});
    ASSERT_EQ(inputs.size(), 2u);
    EXPECT_EQ(inputs[0].stored, "folder\\file.txt");
    EXPECT_EQ(inputs[1].stored, "link.txt");
    EXPECT_EQ(inputs[1].size, 1);

    tree_.MakeFolder("broken");
    ASSERT_EQ(symlink("nowhere", (tree_.Path() + "/broken/gone.txt").c_str()), 0);
    EXPECT_NE(Problems({"broken"}, Runs("")).find("broken/gone.txt: a broken symbolic link"), std::string::npos);

    tree_.MakeFolder("loop/inner");
    ASSERT_EQ(symlink("..", (tree_.Path() + "/loop/inner/up").c_str()), 0);
    EXPECT_NE(Problems({"loop"}, Runs("")).find("loop/inner/up: a symbolic link loop"), std::string::npos);
    ASSERT_EQ(symlink("self", (tree_.Path() + "/loop/self").c_str()), 0);
    EXPECT_NE(Problems({"loop"}, Runs("")).find("loop/self: a symbolic link loop"), std::string::npos);
}

// Building into a packed folder must not pack the earlier setup.
TEST_F(PackInputsTest, TheOutputAndItsTemporaryAreLeftOut) {
    tree_.Write("small/a.txt", "a");
    std::string output = tree_.Write("small/setup-out.exe", "an earlier setup");
    tree_.Write("small/setup-out.exe.partial-x1Y2z3", "a stale temporary");
    tree_.Write("small/sub/setup-out.exe.partial-x1Y2z3", "not a temporary of it: another folder");
    std::vector<PackInput> inputs = CollectInputs({tree_.Path() + "/small"}, output);
    ASSERT_EQ(inputs.size(), 2u);
    EXPECT_EQ(inputs[0].stored, "a.txt");
    EXPECT_EQ(inputs[1].stored, "sub\\setup-out.exe.partial-x1Y2z3");
    EXPECT_EQ(CollectInputs({tree_.Path() + "/small"}, tree_.Path() + "/small/not-yet.exe").size(), 4u);
}

// Names and texts reach the terminal in UTF-8 with their control bytes
// escaped: a name can't move the cursor, ring or retitle the window.
TEST(ShownName, ControlBytesEscapedAndWindows1252Converted) {
    const struct {
        std::string ansi, shown;
    } cases[] = {
        {"plain.txt", "plain.txt"},
        {"\x1B]0;owned\x07.txt", "\\x1B]0;owned\\x07.txt"},
        {std::string("x\0\r\n\t\x7F", 6), "x\\x00\\x0D\\x0A\\x09\\x7F"},
        {"'x' ist kein g\xFCltiger Integerwert", "'x' ist kein g\xC3\xBCltiger Integerwert"},
        {"\x80 \x9F", "\xE2\x82\xAC \xC5\xB8"},
    };
    for (const auto& c : cases) EXPECT_EQ(ShownName(c.ansi), c.shown) << c.shown;
    EXPECT_TRUE(HoldsControlBytes("a\tb"));
    EXPECT_FALSE(HoldsControlBytes("\xE9t\xE9"));
}

}  // namespace
