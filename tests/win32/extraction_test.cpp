#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "archive/entry_list.h"
#include "base/crc32.h"
#include "base/failure.h"
#include "extract/delete_list.h"
#include "extract/extensions.h"
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

// Every file below `folder`, folders left out: what a run left behind.
void CollectFiles(const std::string& folder, std::vector<std::string>* files) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        std::string name = found.cFileName, path = folder + "\\" + name;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) CollectFiles(path, files);
        else files->push_back(path);
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> files;
    CollectFiles(folder, &files);
    return files;
}

uint32_t CrcOf(const std::string& content) {
    return UpdateCrc32(0, reinterpret_cast<const uint8_t*>(content.data()), content.size());
}

// The builder's section for these entries, in the builder's own form.
std::string ChecksumSection(const std::vector<TestEntry>& entries) {
    std::string section = "[sfxpack]\r\nChecksums=" + std::to_string(entries.size()) + "\r\n";
    for (size_t i = 0; i < entries.size(); ++i) {
        char line[32];
        snprintf(line, sizeof line, "CRC%zu=$%08X\r\n", i + 1, CrcOf(entries[i].content));
        section += line;
    }
    return section;
}

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
    EXPECT_FALSE(Exists(Out("$d$e$l$.lst"))) << "a cancelled run takes back its list";
    EXPECT_FALSE(gExtraction.cancelRequested) << "the run clears the flag at its end";
    EXPECT_EQ(gExtraction.stopCode, 0u) << "a cancel is no damage";

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

// Names as a hostile catalog would hold them, in both folder modes. A
// refused one leaves nothing at all: every name is checked before the first
// file is written. An accepted one is written inside the destination, and
// the delete list names only what was written there.
TEST_F(ExtractionTest, HostileNamesNeverReachTheDeleteList) {
    const std::string marker = archives_.Path() + "\\marker.txt";
    const struct {
        std::string name;
        bool refusedWithDirs, refusedFlat;
    } cases[] = {
        // Flat, only the part after the last backslash counts: marker.txt.
        {std::string("x.txt\0\r\n", 8) + marker, true, false},
        {std::string("x.txt\0", 6), true, true},
        {"x.txt\r\n" + marker, true, false},
        {std::string("sub\\x.txt\0\r\n", 12) + "..\\..\\marker.txt", true, false},
        {"x\t1\t1\t32\t1\t0", true, true},
        {"a\x1A.txt", true, true},
        {"\x1B[2J\x07.txt", true, true},
        {"sub\x01\\a.txt", true, false},
        {"..\\marker.txt", true, false},
        {"c:\\marker.txt", true, false},
        {"sub\\:x", true, false},
    };
    for (const auto& c : cases) {
        for (bool useDirs : {true, false}) {
            for (const std::string& file : FilesIn(out_.Path())) DeleteFileA(file.c_str());
            std::ofstream(marker) << "keep";
            std::string configuration = std::string(kConfig) + (useDirs ? "" : "UseDirs=0\r\n");
            std::string message =
                ReportOf([&] { Run({{"good.txt", "g"}, {c.name, "hostile"}, {"last.txt", "l"}}, configuration); });
            bool refused = useDirs ? c.refusedWithDirs : c.refusedFlat;
            SCOPED_TRACE(testing::PrintToString(c.name) + (useDirs ? " with folders" : " flat"));
            EXPECT_EQ(ReadAll(marker), "keep");
            if (refused) {
                EXPECT_EQ(message, "This is not a valid directory name.");
                EXPECT_EQ(FilesIn(out_.Path()), std::vector<std::string>{});
                continue;
            }
            EXPECT_EQ(message, "no failure");
            std::string list = DeleteList();
            for (size_t at = 0; at < list.size();) {
                size_t end = list.find("\r\n", at);
                ASSERT_NE(end, std::string::npos);
                std::string line = list.substr(at, end - at);
                EXPECT_EQ(line.rfind(out_.Path() + "\\", 0), 0u) << line;
                EXPECT_EQ(line.find(".."), std::string::npos) << line;
                EXPECT_TRUE(Exists(line)) << line;
                at = end + 2;
            }
        }
    }
}

// A content that is not what the setup stored never runs: the box names the
// file, the exit code says why, and nothing written stays behind.
TEST_F(ExtractionTest, DamagedContentStopsTheRun) {
    const std::vector<TestEntry> entries = {{"a.txt", "alpha"}, {"sub\\b.txt", std::string(9000, 'b')}, {"c.txt", "c"}};
    std::string wrongCrc = ChecksumSection(entries);
    wrongCrc.replace(wrongCrc.find("CRC2=$") + 6, 1, "0");  // its first digit is not 0: asserted below
    std::string missingCrc = ChecksumSection(entries);
    missingCrc.erase(missingCrc.find("CRC2="), missingCrc.find("CRC3=") - missingCrc.find("CRC2="));
    std::vector<TestEntry> shortOne = entries;
    shortOne[1].storedSize = 9001;
    std::vector<TestEntry> negative = entries;
    negative[1].storedSize = -2;
    const struct {
        const char* what;
        std::vector<TestEntry> entries;
        std::string section;
        uint32_t exitCode;
    } cases[] = {
        {"checksum differs", entries, wrongCrc, ERROR_CRC},
        {"checksum missing", entries, missingCrc, ERROR_CRC},
        {"size differs, no checksums", shortOne, "", ERROR_FILE_CORRUPT},
        {"size differs, checksums right", shortOne, ChecksumSection(entries), ERROR_FILE_CORRUPT},
        {"size negative", negative, "", ERROR_FILE_CORRUPT},
    };
    ASSERT_NE(CrcOf(entries[1].content) >> 28, 0u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        seams_.Answer({});
        size_t boxesBefore = seams_.Boxes().size();
        EXPECT_EQ(Run(c.entries, kConfig + c.section), "");
        EXPECT_EQ(gExtraction.stopCode, c.exitCode);
        ASSERT_EQ(seams_.Boxes().size(), boxesBefore + 1);
        const ShownBox& box = seams_.Boxes().back();
        EXPECT_EQ(box.caption, "Setup stopped");
        EXPECT_EQ(box.text.rfind(Out("sub\\b.txt") + "\r\n\r\nDamaged file: the setup will not run.", 0), 0u) << box.text;
        EXPECT_NE(box.text.find("Besch\344digte Datei"), std::string::npos);
        EXPECT_EQ(FilesIn(out_.Path()), std::vector<std::string>{}) << "the first file and the damaged one are gone";
    }

    // The same setups whole run as before, with or without checksums.
    EXPECT_EQ(Run(entries, kConfig + ChecksumSection(entries)), out_.Path() + "\\setup.exe /q <TD>");
    EXPECT_EQ(gExtraction.stopCode, 0u);
    EXPECT_EQ(ReadAll(Out("sub\\b.txt")), entries[1].content);
    EXPECT_EQ(gExtraction.checksums, nullptr) << "released with the run";
}

TEST_F(ExtractionTest, ArchiveCutShortInItsData) {
    const std::vector<TestEntry> entries = {{"a.txt", std::string(30000, 'a') + "end"}, {"b.txt", "b"}};
    std::string archive = archives_.Path() + "\\setup.exe";
    UseTestArchive(archive, WriteTestArchive(archive, entries, kConfig));
    HANDLE file = CreateFileA(archive.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFilePointer(file, -40, nullptr, FILE_END);
    SetEndOfFile(file);
    CloseHandle(file);
    EXPECT_EQ(ExtractArchive(nullptr, Text(out_.Path().c_str()), ReadTestCatalog), "");
    EXPECT_EQ(gExtraction.stopCode, static_cast<uint32_t>(ERROR_FILE_CORRUPT));
    EXPECT_EQ(seams_.Boxes().back().text.rfind(Out("setup.ini"), 0), 0u) << "the configuration comes last and is cut";
    EXPECT_EQ(FilesIn(out_.Path()), std::vector<std::string>{});
}

TEST_F(ExtractionTest, UnwritableFileStopsASetupWithChecksums) {
    const std::vector<TestEntry> entries = {{"a.txt", "a"}, {"taken", "x"}};
    CreateDirectoryA(Out("taken").c_str(), nullptr);
    EXPECT_EQ(Run(entries, kConfig + ChecksumSection(entries)), "");
    EXPECT_EQ(gExtraction.stopCode, static_cast<uint32_t>(ERROR_WRITE_FAULT));
    EXPECT_EQ(seams_.Boxes().back().text.rfind(Out("taken") + "\r\n\r\nUnwritable file: the setup will not run.", 0), 0u);
    EXPECT_EQ(FilesIn(out_.Path()), std::vector<std::string>{});
}

// A failure report in the middle of the run takes back what was written.
TEST_F(ExtractionTest, FailureReportTakesBackTheRun) {
    std::string message = ReportOf([&] {
        Run({{"a.txt", "a"}, {"file", std::string(5000, 'f')}, {"file\\inside.txt", "x"}});
    });
    EXPECT_EQ(message, "This is not a valid directory name.");
    EXPECT_EQ(FilesIn(out_.Path()), std::vector<std::string>{});
    EXPECT_EQ(gExtraction.deleteListPath, nullptr);
}

// Windows would try "C:\My.exe" first for "C:\My Temp\setup.exe /q": the
// program's path is quoted when it names an extracted file.
TEST_F(ExtractionTest, ProgramPathWithABlankIsQuoted) {
    const std::string blank = out_.Path() + "\\with blank";
    CreateDirectoryA(blank.c_str(), nullptr);
    const struct {
        const char* executable;
        const char* command;  // after the destination
    } cases[] = {
        {"setup.exe", "\"%s\\setup.exe\" /q"},
        {"my setup.exe", "\"%s\\my setup.exe\" /q"},
        {"setup.exe /x", "%s\\setup.exe /x /q"},  // carries its own arguments: no such file
        {"missing.exe", "%s\\missing.exe /q"},
    };
    for (const auto& c : cases) {
        std::string archive = archives_.Path() + "\\setup.exe";
        UseTestArchive(archive, WriteTestArchive(archive, {{"setup.exe", "MZ"}, {"my setup.exe", "MZ"}},
                                                 std::string("[VOLQ Configuration]\r\nParameters=/q\r\nExecutable=") +
                                                     c.executable + "\r\n"));
        Text command = ExtractArchive(nullptr, Text(blank.c_str()), ReadTestCatalog);
        std::string expected = c.command;
        expected.replace(expected.find("%s"), 2, blank);
        EXPECT_EQ(std::string(command.CStr()), expected) << c.executable;
    }
}

// A setup that asks for its own folder is extracted into a new one below
// the destination, which goes whole afterwards, read-only files and
// folders included.
TEST_F(ExtractionTest, OwnFolderIsNewAndGoesWhole) {
    const std::string configuration = std::string(kConfig) + "[sfxpack]\r\nOwnFolder=1\r\n";
    std::string command = Run({{"setup.exe", "MZ"}, {"sub\\locked.txt", "r", FILE_ATTRIBUTE_READONLY}}, configuration);
    std::string own = gExtensions.ownFolder;
    ASSERT_EQ(own.rfind(out_.Path() + "\\sfx-", 0), 0u) << own;
    EXPECT_EQ(command, own + "setup.exe /q <TD>");
    EXPECT_EQ(ReadAll(own + "sub\\locked.txt"), "r");
    EXPECT_EQ(DeleteList(), "") << "the list is in the own folder, not in the destination";
    EXPECT_EQ(ReadAll(own + "$d$e$l$.lst"), own + "setup.exe\r\n" + own + "sub\\locked.txt\r\n");

    // A second run never takes the first one's folder.
    Run({{"setup.exe", "MZ"}}, configuration);
    std::string second = gExtensions.ownFolder;
    EXPECT_NE(second, own);
    RemoveOwnFolder();
    EXPECT_FALSE(Exists(second));
    strcpy(gExtensions.ownFolder, own.c_str());
    RemoveOwnFolder();
    EXPECT_FALSE(Exists(own));
    EXPECT_EQ(FilesIn(out_.Path()), std::vector<std::string>{});

    Run({{"setup.exe", "MZ"}});
    EXPECT_EQ(gExtensions.ownFolder[0], 0) << "a setup without the switch has no folder of its own";
}

TEST_F(ExtractionTest, ListedReadOnlyFilesAreDeleted) {
    Run({{"locked.txt", "r", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE}, {"plain.txt", "p"}});
    ASSERT_TRUE(GetFileAttributesA(Out("locked.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    DeleteListedFiles(Text(Out("$d$e$l$.lst").c_str()));
    EXPECT_EQ(FilesIn(out_.Path()), std::vector<std::string>{});
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
