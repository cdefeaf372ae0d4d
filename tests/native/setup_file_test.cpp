#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <cmath>
#include <stdexcept>

#include "extract/dos_date_time.h"
#include "pack/catalog_writer.h"
#include "pack/file_io.h"
#include "pack/pe_image.h"
#include "pack/setup_builder.h"
#include "pack/setup_file.h"
#include "tests/native/temp_tree.h"

namespace {

// The stub the builder packs behind: the x86_64 launcher when it is built.
std::vector<uint8_t> LauncherStub() {
#ifdef SFX_LAUNCHER_DIR
    try {
        return ReadWholeFile(std::string(SFX_LAUNCHER_DIR) + "/launcher-x86_64.exe");
    } catch (const std::exception&) {
    }
#endif
    return {};
}

class SetupFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        stub_ = LauncherStub();
        if (stub_.empty()) GTEST_SKIP() << "the launcher is not built";
    }

    SetupFile Build(const std::vector<std::string>& paths, PackOptions options = {}) {
        std::vector<std::string> notes;
        return SetupFile(BuildSetup(stub_, CollectInputs(paths), options, &notes));
    }

    std::string Decoded(const SetupFile& setup, size_t index) {
        std::vector<uint8_t> bytes = setup.Decode(setup.Entries()[index]);
        return std::string(bytes.begin(), bytes.end());
    }

    std::vector<uint8_t> stub_;
    TempTree tree_;
};

TEST_F(SetupFileTest, NestedFoldersInSortedOrderWithTheConfigurationLast) {
    tree_.Write("dist/setup.exe", "MZ program");
    tree_.Write("dist/sub/deeper/a.txt", std::string(5000, 'a'));
    tree_.Write("dist/B.txt", "");
    tree_.MakeFolder("dist/empty/also-empty");
    tree_.Write("loose.dat", "loose");
    SetupFile setup = Build({tree_.Path() + "/dist", tree_.Path() + "/loose.dat"});

    std::vector<std::string> names;
    for (const SetupEntry& e : setup.Entries()) names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{"B.txt", "loose.dat", "setup.exe", "sub\\deeper\\a.txt", "sfxsetup.ini"}));
    EXPECT_EQ(Decoded(setup, 0), "");
    EXPECT_EQ(Decoded(setup, 3), std::string(5000, 'a'));
    EXPECT_EQ(setup.ArchiveOffset(), static_cast<int32_t>(stub_.size()));

    // Data back to back in catalog order, the last ending at the file's end.
    int32_t offset = 0;
    for (const SetupEntry& e : setup.Entries()) {
        EXPECT_EQ(e.offset, offset) << e.name;
        offset += e.packedSize;
        EXPECT_EQ(static_cast<size_t>(e.size), setup.Decode(e).size()) << e.name;
    }
}

TEST_F(SetupFileTest, EveryFieldAndOption) {
    std::string file = tree_.Write("in/locked.txt", "read me only");
    utimbuf times{936000000, 936000000};  // 1999-08-30 08:00:00 UTC
    utime(file.c_str(), &times);
    chmod(file.c_str(), 0444);
    tree_.Write("in/plain.txt", "plain");

    PackOptions options;
    options.configuration = {"setup.exe", "/q <TD>log.txt", false, false, false, false, false, {}};
    SetupFile setup = Build({tree_.Path() + "/in"}, options);
    const SetupEntry& locked = setup.Entries()[0];
    EXPECT_EQ(locked.name, "locked.txt");
    EXPECT_EQ(locked.size, 12);
    EXPECT_EQ(locked.attributes, 33);
    EXPECT_EQ(setup.Entries()[1].attributes, 32);
    CivilTime t;
    ASSERT_TRUE(CivilFromDayCount(locked.date, &t));
    EXPECT_EQ((std::vector<int>{t.year, t.month, t.day, t.hour, t.minute, t.second}),
              (std::vector<int>{1999, 8, 30, 8, 0, 0}));

    SetupConfiguration c = setup.Configuration();
    EXPECT_EQ(c.executable, "setup.exe");
    EXPECT_EQ(c.parameters, "/q <TD>log.txt");
    EXPECT_FALSE(c.useDirs || c.overWrite || c.attributes || c.fileDate);
    EXPECT_TRUE(Build({tree_.Path() + "/in"}).Configuration().useDirs);
}

TEST_F(SetupFileTest, SourceDateEpochClampsDatesAndBuildsRepeat) {
    tree_.Write("in/a.txt", "a");
    PackOptions options;
    options.sourceDateEpoch = 86400 * 365;
    std::vector<std::string> notes;
    auto first = BuildSetup(stub_, CollectInputs({tree_.Path() + "/in"}), options, &notes);
    auto second = BuildSetup(stub_, CollectInputs({tree_.Path() + "/in"}), options, &notes);
    EXPECT_EQ(first, second);
    EXPECT_DOUBLE_EQ(SetupFile(first).Entries()[0].date, 25569 + 365);
}

TEST_F(SetupFileTest, AThousandFiles) {
    for (int i = 0; i < 1000; ++i) tree_.Write("many/f" + std::to_string(i) + ".txt", std::to_string(i * i));
    SetupFile setup = Build({tree_.Path() + "/many"});
    ASSERT_EQ(setup.Entries().size(), 1001u);
    for (size_t i = 0; i < 1000; ++i) {
        const std::string& name = setup.Entries()[i].name;
        int n = std::stoi(name.substr(1));
        EXPECT_EQ(Decoded(setup, i), std::to_string(n * n)) << name;
    }
}

TEST_F(SetupFileTest, StubWithAStaleOffsetIsPatched) {
    StringResourceSlot slot;
    ASSERT_TRUE(FindStringResource(stub_.data(), stub_.size(), kArchiveOffsetString, &slot));
    WriteDecimalString(stub_.data(), slot, 1234);
    tree_.Write("a.txt", "a");
    std::vector<std::string> notes;
    SetupFile setup(BuildSetup(stub_, CollectInputs({tree_.Path() + "/a.txt"}), {}, &notes));
    EXPECT_EQ(setup.ArchiveOffset(), static_cast<int32_t>(stub_.size()));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("000001234"), std::string::npos);
}

TEST_F(SetupFileTest, AStubThatIsASetupIsRefused) {
    tree_.Write("a.txt", "a");
    std::vector<std::string> notes;
    std::vector<uint8_t> setup = BuildSetup(stub_, CollectInputs({tree_.Path() + "/a.txt"}), {}, &notes);
    try {
        BuildSetup(setup, CollectInputs({tree_.Path() + "/a.txt"}), {}, &notes);
        ADD_FAILURE() << "a setup was taken as the stub";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("archive at offset " + std::to_string(stub_.size())), std::string::npos)
            << error.what();
    }
}

TEST_F(SetupFileTest, DamagedSetupsAreRefused) {
    tree_.Write("a.txt", std::string(3000, 'x'));
    std::vector<std::string> notes;
    std::vector<uint8_t> good = BuildSetup(stub_, CollectInputs({tree_.Path() + "/a.txt"}), {}, &notes);
    std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(stub_.size() + 10));
    EXPECT_THROW(SetupFile{cut}, std::runtime_error);
    EXPECT_THROW(SetupFile{stub_}, std::runtime_error) << "a bare stub has no catalog";
    std::vector<uint8_t> shortData(good.begin(), good.end() - 5);
    SetupFile setup(shortData);  // the catalog is whole, the data is not
    EXPECT_THROW(setup.Decode(setup.Entries().back()), std::runtime_error);
}

TEST_F(SetupFileTest, ChecksumsCatchWhatSizesMiss) {
    tree_.Write("in/a=b;[c].txt", std::string(4000, 'a') + "tail");
    tree_.Write("in/b.txt", "bee");
    std::vector<std::string> notes;
    std::vector<uint8_t> good = BuildSetup(stub_, CollectInputs({tree_.Path() + "/in"}), {}, &notes);
    SetupConfiguration c = SetupFile(good).Configuration();
    ASSERT_TRUE(c.hasChecksums);
    ASSERT_EQ(c.checksums.size(), 2u) << "every entry but the configuration";
    EXPECT_EQ(c.checksums[1], 0x9140CC69u) << "CRC-32 of \"bee\"";

    // One flipped bit inside the first entry's data keeps its size in most
    // streams; the checksum tells.
    SetupFile setup(good);
    const SetupEntry& first = setup.Entries()[0];
    std::vector<uint8_t> damaged = good;
    damaged[static_cast<size_t>(setup.DataAreaStart() + first.offset + first.packedSize / 2)] ^= 0x10;
    SetupFile broken(damaged);
    const lzh::WriteOutput discard = [](const uint8_t*, size_t) {};
    EXPECT_NE(broken.DecodeChecked(0, c, discard), "");
    EXPECT_EQ(broken.DecodeChecked(1, c, discard), "");
    EXPECT_EQ(broken.DecodeChecked(2, c, discard), "") << "the configuration entry is checked by size only";

    SetupConfiguration sizesOnly = c;
    sizesOnly.hasChecksums = false;
    std::string fault = broken.DecodeChecked(0, sizesOnly, discard);
    EXPECT_TRUE(fault.empty() || fault.find("stored size") != std::string::npos) << fault;

    PackOptions without;
    without.checksums = false;
    EXPECT_FALSE(SetupFile(BuildSetup(stub_, CollectInputs({tree_.Path() + "/in"}), without, &notes))
                     .Configuration()
                     .hasChecksums);
}

TEST(Configuration, ChecksumSectionReadBack) {
    const struct {
        const char* text;
        bool hasChecksums;
        std::vector<std::optional<uint32_t>> checksums;
    } cases[] = {
        {"[VOLQ Configuration]\r\nExecutable=a\r\n", false, {}},
        {"[sfxpack]\r\nChecksums=2\r\nCRC1=$0000000A\r\nCRC2=$FFFFFFFF\r\n", true, {10u, 0xFFFFFFFFu}},
        {"[SFXPACK]\r\nchecksums=1\r\ncrc1=12\r\n", true, {12u}},
        {"[sfxpack]\r\nChecksums=2\r\nCRC2=x\r\n", true, {std::nullopt, std::nullopt}},
        {"[sfxpack]\r\nChecksums=2000000000\r\nCRC1=$1\r\n", true, {1u, std::nullopt}},
        {"[sfxpack]\r\nChecksums=-1\r\n", false, {}},
    };
    for (const auto& c : cases) {
        SetupConfiguration read = ReadConfiguration(c.text);
        EXPECT_EQ(read.hasChecksums, c.hasChecksums) << c.text;
        EXPECT_EQ(read.checksums, c.checksums) << c.text;
    }
    SetupConfiguration written;
    written.hasChecksums = true;
    written.checksums = {0xCBF43926u, 0u};
    EXPECT_EQ(ReadConfiguration(WriteConfiguration(written)).checksums, written.checksums);
}

// The opt-in switches live in the builder's section, written only when on.
TEST(Configuration, ExtensionsReadBack) {
    for (int mask = 0; mask < 8; ++mask) {
        SetupConfiguration written;
        written.exitCode = mask & 1;
        written.ownFolder = mask & 2;
        written.passArguments = mask & 4;
        std::string text = WriteConfiguration(written);
        SetupConfiguration read = ReadConfiguration(text);
        EXPECT_EQ(read.exitCode, written.exitCode) << text;
        EXPECT_EQ(read.ownFolder, written.ownFolder) << text;
        EXPECT_EQ(read.passArguments, written.passArguments) << text;
        EXPECT_FALSE(read.hasChecksums) << text;
        EXPECT_EQ(text.find("[sfxpack]") != std::string::npos, mask != 0) << text;
    }
    SetupConfiguration zero = ReadConfiguration("[sfxpack]\r\nExitCode=0\r\nOwnFolder=\r\nPassArguments=yes\r\n");
    EXPECT_FALSE(zero.exitCode || zero.ownFolder);
    EXPECT_TRUE(zero.passArguments);
}

// A hostile catalog's dates that are no number show as unknown; the other
// entries and fields still read.
TEST_F(SetupFileTest, DatesThatAreNoNumberReadAsNaN) {
    std::vector<uint8_t> file = stub_;
    std::vector<uint8_t> catalog = WriteCatalog({{"inf.txt", 1, 2, 0, 32, HUGE_VAL},
                                                 {"nan.txt", 3, 4, 2, 33, std::nan("")},
                                                 {"sfxsetup.ini", 5, 6, 6, 32, 36526}});
    file.insert(file.end(), catalog.begin(), catalog.end());
    SetupFile setup(file);
    ASSERT_EQ(setup.Entries().size(), 3u);
    EXPECT_TRUE(std::isnan(setup.Entries()[0].date));
    EXPECT_TRUE(std::isnan(setup.Entries()[1].date));
    EXPECT_EQ(setup.Entries()[1].attributes, 33);
    EXPECT_EQ(setup.Entries()[1].offset, 2);
    EXPECT_EQ(setup.Entries()[2].date, 36526);
}

TEST_F(SetupFileTest, ACatalogThatBreaksOffKeepsWhatWasRead) {
    tree_.Write("in/a.txt", "a");
    tree_.Write("in/b.txt", "b");
    std::vector<std::string> notes;
    std::vector<uint8_t> good = BuildSetup(stub_, CollectInputs({tree_.Path() + "/in"}), {}, &notes);
    SetupFile whole(good);
    // Cut inside the second entry of the catalog.
    std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(stub_.size() + 30));
    SetupFile setup(cut);
    EXPECT_FALSE(setup.CatalogComplete());
    ASSERT_EQ(setup.Entries().size(), 1u);
    EXPECT_EQ(setup.Entries()[0].name, "a.txt");
    EXPECT_FALSE(setup.HasData(setup.Entries()[0]));
    EXPECT_THROW(setup.Configuration(), std::runtime_error);
}

}  // namespace
