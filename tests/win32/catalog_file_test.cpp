#include <gtest/gtest.h>

#include "archive/catalog_file.h"
#include "archive/catalog_reader.h"
#include "archive/entry_list.h"
#include "pack/catalog_writer.h"
#include "tests/win32/temp_folder.h"
#include "tests/win32/test_seams.h"

namespace {

class CatalogFileTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEntries(); }
    void TearDown() override { ClearEntries(); }

    // A file of `imageSize` stand-in image bytes, then `catalog`, then data.
    std::string WriteArchive(size_t imageSize, const std::vector<uint8_t>& catalog) {
        std::vector<uint8_t> file(imageSize, 0x4D);
        file.insert(file.end(), catalog.begin(), catalog.end());
        file.insert(file.end(), {1, 2, 3});
        return folder_.Write("setup.exe", file);
    }

    TempFolder folder_;
    SeamScope seams_;
};

TEST_F(CatalogFileTest, ReadsTheCatalogAtTheResourceOffset) {
    std::vector<CatalogRecord> records = {{"HELLO.TXT", 16288, 16409, 0, 32, 36273.7614583333},
                                          {"setup.ini", 60, 40, 16409, 32, 36273.5}};
    std::vector<uint8_t> catalog = WriteCatalog(records);
    std::string path = WriteArchive(47616, catalog);
    for (const char* offsetText : {"000047616", " 000047616", "$BA00"}) {
        ResetEntries();
        ASSERT_TRUE(ReadCatalogFile(Text(offsetText), Text(path.c_str()))) << offsetText;
        ASSERT_EQ(EntryCount(), 2);
        EXPECT_EQ(GetEntry(0), "HELLO.TXT\t16288\t16409\t32\t36273.7614583333\t0");
        EXPECT_EQ(gArchive.dataAreaStart, static_cast<int32_t>(47616 + catalog.size()));
        EXPECT_STREQ(gArchive.path, path.c_str());
    }
    EXPECT_TRUE(seams_.Boxes().empty());
}

TEST_F(CatalogFileTest, DamagedCatalogShowsTheArchiveReadErrorBox) {
    std::vector<uint8_t> catalog = WriteCatalog({{"a.txt", 1, 1, 0, 32, 36273}});
    catalog.back() = 7;  // no end tag
    std::string path = WriteArchive(100, catalog);
    gArchive.dataAreaStart = -5;
    EXPECT_FALSE(ReadCatalogFile(Text("100"), Text(path.c_str())));
    EXPECT_EQ(EntryCount(), 1);  // the caller clears what was read
    EXPECT_EQ(gArchive.dataAreaStart, -5);
    ASSERT_EQ(seams_.Boxes().size(), 1u);
    EXPECT_EQ(seams_.Boxes()[0].text, "This is not a valid archive");
    EXPECT_EQ(seams_.Boxes()[0].caption, "Archive read error");
    EXPECT_EQ(seams_.Boxes()[0].type, 48u);
}

TEST_F(CatalogFileTest, UnopenableFileCountsAsDamaged) {
    std::string missing = folder_.Path() + "\\missing.exe";
    EXPECT_FALSE(ReadCatalogFile(Text("0"), Text(missing.c_str())));
    ASSERT_EQ(seams_.Boxes().size(), 1u);
    EXPECT_EQ(seams_.Boxes()[0].caption, "Archive read error");
}

TEST_F(CatalogFileTest, OffsetTextThatIsNoIntegerEndsInTheFailureReport) {
    std::string path = WriteArchive(10, WriteCatalog({}));
    try {
        ReadCatalogFile(Text("000047616 "), Text(path.c_str()));
        FAIL() << "the failure report did not end the program";
    } catch (const ProcessExit& exit) {
        EXPECT_EQ(exit.code, 1u);
    }
    ASSERT_EQ(seams_.Boxes().size(), 1u);
    const ShownBox& report = seams_.Boxes()[0];
    EXPECT_EQ(report.caption, "Anwendungsfehler");
    EXPECT_EQ(report.type, static_cast<UINT>(MB_OK | MB_ICONHAND | MB_TASKMODAL));
    EXPECT_EQ(report.text.rfind("Exception EConvertError im Modul win32_tests.exe bei ", 0), 0u) << report.text;
    EXPECT_NE(report.text.find(".\n'000047616 ' ist kein g\374ltiger Integerwert."), std::string::npos)
        << report.text;
}

}  // namespace
