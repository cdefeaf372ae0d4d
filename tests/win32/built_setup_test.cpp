#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

#include "archive/catalog_file.h"
#include "archive/entry_list.h"

namespace {

// A setup that sfxpack built with this launcher as its stub: the launcher's
// own catalog reader finds the archive through the setup's string resource
// 1 and reads every entry.
TEST(BuiltSetup, LauncherReadsTheCatalogThatSfxpackWrote) {
    const char* path = getenv("SFX_TEST_SETUP");
    if (!path) GTEST_SKIP() << "SFX_TEST_SETUP names no setup";
    HMODULE image = LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr) << path;
    char offset[32] = {};
    EXPECT_EQ(LoadStringA(image, 1, offset, sizeof offset), 9);
    FreeLibrary(image);

    ResetEntries();
    ASSERT_TRUE(ReadCatalogFile(Text(offset), Text(path)));
    ASSERT_EQ(EntryCount(), 4);
    const Text tab("\t");
    EXPECT_EQ(GetField(GetEntry(0), tab, 1), "readme.txt");
    EXPECT_EQ(GetField(GetEntry(0), tab, 2), "16");
    EXPECT_EQ(GetField(GetEntry(1), tab, 1), "setup.exe");
    EXPECT_EQ(GetField(GetEntry(2), tab, 1), "sub\\notes.txt");
    EXPECT_EQ(GetField(GetEntry(3), tab, 1), "sfxsetup.ini");
    EXPECT_EQ(GetField(GetEntry(0), tab, 5), "36526");  // SOURCE_DATE_EPOCH: 1 January 2000
    ClearEntries();
}

}  // namespace
