#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <iterator>
#include <string>

#include "archive/entry_list.h"
#include "base/failure.h"
#include "extract/entry_extraction.h"
#include "extract/extraction_run.h"
#include "extract/extraction_state.h"
#include "tests/win32/setup_builder.h"
#include "tests/win32/temp_folder.h"
#include "tests/win32/test_seams.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

const char kConfig[] = "[VOLQ Configuration]\r\nExecutable=setup.exe\r\nParameters=/q <TD>\r\n";

class ExtractionTest : public ::testing::Test {
protected:
    std::string Run(const std::vector<TestEntry>& entries, const std::string& configuration = kConfig) {
        std::string archive = archives_.Path() + "\\setup.exe";
        UseTestArchive(archive, WriteTestArchive(archive, entries, configuration));
        Text command = ExtractArchive(nullptr, Text(out_.Path().c_str()), ReadTestCatalog);
        return std::string(command.Data(), command.Length());
    }
    std::string Out(const std::string& relative) const { return out_.Path() + "\\" + relative; }
    std::string DeleteList() const { return ReadAll(Out("$d$e$l$.lst")); }

    // The failure report, caught by the seams: returns its message line.
    template <class Work>
    std::string ReportOf(Work work) {
        try {
            work();
        } catch (const ProcessExit&) {
            const std::string& text = seams_.Boxes().back().text;
            return text.substr(text.find('\n') + 1);
        }
        return "no failure";
    }

    TempFolder archives_, out_;
    SeamScope seams_;
};

TEST_F(ExtractionTest, ExtractsEveryEntryAndListsIt) {
    std::string command = Run({{"a.txt", "alpha"}, {"sub\\dir\\b.txt", std::string(10000, 'b')}, {"empty.txt", ""}});
    EXPECT_EQ(command, out_.Path() + "\\setup.exe /q <TD>");
    EXPECT_EQ(ReadAll(Out("a.txt")), "alpha");
    EXPECT_EQ(ReadAll(Out("sub\\dir\\b.txt")), std::string(10000, 'b'));
    EXPECT_TRUE(Exists(Out("empty.txt")));
    EXPECT_EQ(ReadAll(Out("empty.txt")), "");
    EXPECT_FALSE(Exists(Out("setup.ini"))) << "the configuration is deleted once read";
    EXPECT_EQ(DeleteList(), Out("a.txt") + "\r\n" + Out("sub\\dir\\b.txt") + "\r\n" + Out("empty.txt") + "\r\n");
}

TEST_F(ExtractionTest, ConfigurationValues) {
    const struct {
        const char* configuration;
        const char* command;  // with %s for the destination
    } cases[] = {
        {"[VOLQ Configuration]\r\nExecutable=x.exe\r\n", "%s\\x.exe"},
        {"[VOLQ Configuration]\r\nExecutable=x.exe\r\nParameters=\r\n", "%s\\x.exe"},
        {"[VOLQ Configuration]\r\nParameters=/q\r\n", ""},
        {"[volq configuration]\r\nexecutable=x.exe\r\n", "%s\\x.exe"},
        {"[Other]\r\nExecutable=x.exe\r\n", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        std::string expected = c.command;
        size_t mark = expected.find("%s");
        if (mark != std::string::npos) expected.replace(mark, 2, out_.Path());
        EXPECT_EQ(Run({{"a.txt", "a"}}, c.configuration), expected) << c.configuration;
        EXPECT_EQ(DeleteList(), Out("a.txt") + "\r\n") << "listed even when nothing runs";
    }
}

TEST_F(ExtractionTest, OnlyZeroTurnsAnOptionOff) {
    for (const char* value : {"00", "no", "false", ""}) {
        std::string configuration = std::string("[VOLQ Configuration]\r\nUseDirs=") + value + "\r\n";
        Run({{"sub\\a.txt", "a"}}, configuration);
        EXPECT_TRUE(Exists(Out("sub\\a.txt"))) << "UseDirs=" << value;
    }
    Run({{"deep\\b.txt", "b"}}, "[VOLQ Configuration]\r\nUseDirs=0\r\n");
    EXPECT_TRUE(Exists(Out("b.txt")));
    EXPECT_FALSE(Exists(Out("deep")));
    EXPECT_EQ(DeleteList(), Out("b.txt") + "\r\n");
}

TEST_F(ExtractionTest, DatesAndAttributes) {
    Run({{"dated.txt", "d", 33, 36273.7614583333}, {"old.txt", "o", 32, 29000.5}});
    HANDLE file = CreateFileA(Out("dated.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME written, local;
    GetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    FileTimeToLocalFileTime(&written, &local);
    SYSTEMTIME t;
    FileTimeToSystemTime(&local, &t);
    EXPECT_EQ((std::vector<int>{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond}),
              (std::vector<int>{1999, 4, 23, 18, 16, 30}));
    EXPECT_EQ(GetFileAttributesA(Out("dated.txt").c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE), 33u);

    // A date before 1980 leaves the time of writing.
    file = CreateFileA(Out("old.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    GetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    FileTimeToSystemTime(&written, &t);
    EXPECT_GE(t.wYear, 2020);
    SetFileAttributesA(Out("dated.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ExtractionTest, OverwriteOnReplacesReadOnlyFilesWithoutAsking) {
    Run({{"a.txt", "old"}});
    SetFileAttributesA(Out("a.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    Run({{"a.txt", "new"}});
    EXPECT_EQ(ReadAll(Out("a.txt")), "new");
    EXPECT_TRUE(seams_.Boxes().empty());
}

TEST_F(ExtractionTest, OverwritePromptAnswers) {
    const std::string askFirst = std::string(kConfig) + "OverWrite=0\r\n";
    Run({{"a.txt", "old"}, {"b.txt", "old"}, {"c.txt", "old"}});

    seams_.Answer({IDYES, IDNO});
    Run({{"a.txt", "yes"}, {"b.txt", "no"}}, askFirst);
    ASSERT_EQ(seams_.Boxes().size(), 2u);
    EXPECT_EQ(seams_.Boxes()[0].text, Out("a.txt") + " exists. Overwrite?");
    EXPECT_EQ(seams_.Boxes()[0].caption, "File Exists");
    EXPECT_EQ(seams_.Boxes()[0].type, 0x23u);
    EXPECT_EQ(ReadAll(Out("a.txt")), "yes");
    EXPECT_EQ(ReadAll(Out("b.txt")), "old");
    EXPECT_EQ(DeleteList(), Out("a.txt") + "\r\n") << "a kept file is not listed";

    seams_.Answer({IDCANCEL});
    std::string command = Run({{"c.txt", "cancel"}, {"d.txt", "never"}}, askFirst);
    EXPECT_EQ(command, "") << "a cancelled run runs nothing";
    EXPECT_EQ(ReadAll(Out("c.txt")), "old");
    EXPECT_FALSE(Exists(Out("d.txt")));
    EXPECT_EQ(DeleteList(), "");
    EXPECT_FALSE(gExtraction.cancelRequested) << "the run clears the flag at its end";

    seams_.Answer({0});  // a box that could not be shown
    Run({{"c.txt", "unasked"}}, askFirst);
    EXPECT_EQ(ReadAll(Out("c.txt")), "old");
}

TEST_F(ExtractionTest, HostileNamesNeverLeaveTheDestination) {
    for (const char* name : {"..\\..\\evil.dll", "sub\\..\\..\\evil.dll", "..", "a\\.. \\evil.dll", "a/../../evil.dll"}) {
        std::string message = ReportOf([&] { Run({{name, "x"}}); });
        EXPECT_EQ(message, "This is not a valid directory name.") << name;
    }
    EXPECT_FALSE(Exists(archives_.Path() + "\\..\\evil.dll"));
    EXPECT_FALSE(Exists(out_.Path() + "\\..\\evil.dll"));
}

TEST_F(ExtractionTest, DirectoryFailures) {
    Run({{"file", "x"}});
    EXPECT_EQ(ReportOf([&] { Run({{"file\\inside.txt", "x"}}); }), "This is not a valid directory name.");
    EXPECT_EQ(ReportOf([&] { Run({{"a:b\\c.txt", "x"}}); }), "This is not a valid directory name.");
    EXPECT_EQ(ReportOf([&] { CreateDirectoryPath(Text("")); }), "This is not a valid directory name.");
}

TEST_F(ExtractionTest, TargetPaths) {
    const struct {
        const char* stored;
        bool useDirs;
        const char* relative;
    } cases[] = {
        {"sub\\dir\\a.txt", true, "sub\\dir\\a.txt"}, {"sub\\dir\\a.txt", false, "a.txt"},
        {"\\root.txt", true, "root.txt"},             {"\\\\two.txt", true, "\\two.txt"},
    };
    for (const auto& c : cases) {
        Text target = BuildTargetPath(Text(out_.Path().c_str()), Text(c.stored), c.useDirs);
        EXPECT_EQ(std::string(target.Data(), target.Length()), out_.Path() + "\\" + c.relative) << c.stored;
    }
    EXPECT_TRUE(IsDirectory(Text(Out("sub\\dir").c_str())));
    Text withBackslash = BuildTargetPath(Text((out_.Path() + "\\").c_str()), Text("x.txt"), true);
    EXPECT_EQ(std::string(withBackslash.CStr()), out_.Path() + "\\x.txt");
}

TEST_F(ExtractionTest, TargetThatCantBeCreatedIsSkippedAndTheNextEntryStillReads) {
    CreateDirectoryA(Out("taken").c_str(), nullptr);
    Run({{"taken", "x"}, {"next.txt", "next"}});
    EXPECT_TRUE(IsDirectory(Text(Out("taken").c_str())));
    EXPECT_EQ(ReadAll(Out("next.txt")), "next");
    EXPECT_EQ(DeleteList(), Out("next.txt") + "\r\n");
}

TEST_F(ExtractionTest, InvalidCatalogAndEmptyCatalog) {
    std::string archive = archives_.Path() + "\\bad.exe";
    std::ofstream(archive, std::ios::binary) << "MZ not an archive";
    UseTestArchive(archive, "2");
    EXPECT_EQ(ExtractArchive(nullptr, Text(out_.Path().c_str()), ReadTestCatalog), "");
    EXPECT_EQ(seams_.Boxes().back().caption, "Archive read error");
    EXPECT_EQ(EntryCount(), 0);

    std::ofstream(archive, std::ios::binary) << std::string("\x01\x00", 2);
    UseTestArchive(archive, "0");
    EXPECT_EQ(ExtractArchive(nullptr, Text(out_.Path().c_str()), ReadTestCatalog), "");
    EXPECT_FALSE(Exists(Out("$d$e$l$.lst"))) << "an empty catalog touches nothing";
}

}  // namespace
