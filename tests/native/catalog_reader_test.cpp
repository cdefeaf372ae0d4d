#include <gtest/gtest.h>

#include <vector>

#include "archive/catalog_reader.h"
#include "archive/entry_list.h"
#include "archive/memory_source.h"
#include "pack/catalog_writer.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The first entry of a catalog as the format describes it, byte by byte.
const Bytes kWorkedExampleEntry = {
    0x06, 0x09, 'H', 'E', 'L', 'L', 'O', '.', 'T', 'X', 'T',  // name, tag 6, length 9
    0x03, 0xA0, 0x3F,                                         // size 16288
    0x03, 0x19, 0x40,                                         // packed size 16409
    0x02, 0x00,                                               // offset 0
    0x02, 0x20,                                               // attributes 32
    0x05, 0x00, 0xC8, 0xEE, 0xEE, 0xEE, 0xC2, 0xB1, 0x8D, 0x0E, 0x40,  // date, extended
};

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// An executable image stand-in: the catalog follows these bytes.
const Bytes kImage = {'M', 'Z', 0x90, 0x00, 0x03, 0x00};

class CatalogReaderTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEntries(); }
    void TearDown() override { ClearEntries(); }

    bool Walk(const Bytes& file, int32_t offset) {
        MemorySource source(file.data(), file.size());
        dataAreaStart_ = -1;
        return WalkCatalog(source, offset, &dataAreaStart_);
    }

    int32_t dataAreaStart_ = -1;
};

TEST_F(CatalogReaderTest, WriterProducesTheWorkedExampleBytes) {
    CatalogRecord record{"HELLO.TXT", 16288, 16409, 0, 32, 36273.7614583333};
    Bytes written;
    WriteCatalogEntry(written, record);
    EXPECT_EQ(written, kWorkedExampleEntry);
}

TEST_F(CatalogReaderTest, ReadsTheWorkedExample) {
    Bytes second;
    WriteCatalogEntry(second, {std::string(300, 'n'), 154, 1, 16409, 154, 36273});
    Bytes file = Concat({kImage, {0x01}, kWorkedExampleEntry, second, {0x00}, {0xAA, 0xBB}});
    ASSERT_TRUE(Walk(file, static_cast<int32_t>(kImage.size())));
    ASSERT_EQ(EntryCount(), 2);
    EXPECT_EQ(GetEntry(0), "HELLO.TXT\t16288\t16409\t32\t36273.7614583333\t0");
    EXPECT_EQ(GetEntry(1), Text((std::string(300, 'n') + "\t154\t1\t154\t36273\t16409").c_str()));
    EXPECT_EQ(dataAreaStart_, static_cast<int32_t>(file.size() - 2));
}

TEST_F(CatalogReaderTest, EmptyCatalogEndsTwoBytesOn) {
    Bytes file = Concat({kImage, {0x01, 0x00}});
    ASSERT_TRUE(Walk(file, static_cast<int32_t>(kImage.size())));
    EXPECT_EQ(EntryCount(), 0);
    EXPECT_EQ(dataAreaStart_, static_cast<int32_t>(kImage.size()) + 2);
}

TEST_F(CatalogReaderTest, ValueTagsAndTheirRanges) {
    const struct {
        Bytes entry;
        const char* line;
    } cases[] = {
        // Integer tags are signed: 0xFF under tag 2 and 0xFFFF under tag 3 are -1.
        {{0x06, 0x01, 'a', 0x02, 0xFF, 0x03, 0xFF, 0xFF, 0x04, 0x00, 0x00, 0x00, 0x80, 0x02, 0x80, 0x02, 0x05},
         "a\t-1\t-1\t-128\t5\t-2147483648"},
        // An empty name under tag 6; a date under an integer tag is whole days.
        {{0x06, 0x00, 0x02, 0x00, 0x02, 0x00, 0x02, 0x00, 0x02, 0x20, 0x04, 0x71, 0x8D, 0x00, 0x00},
         "\t0\t0\t32\t36209\t0"},
        // A name under tag 12.
        {{0x0C, 0x02, 0x00, 0x00, 0x00, 'o', 'k', 0x02, 0x01, 0x02, 0x01, 0x02, 0x00, 0x03, 0x9A, 0x00, 0x02, 0x00},
         "ok\t1\t1\t154\t0\t0"},
    };
    for (const auto& c : cases) {
        ResetEntries();
        Bytes file = Concat({{0x01}, c.entry, {0x00}});
        ASSERT_TRUE(Walk(file, 0)) << c.line;
        ASSERT_EQ(EntryCount(), 1);
        EXPECT_EQ(GetEntry(0), c.line);
    }
}

TEST_F(CatalogReaderTest, DamagedCatalogsAreRefusedKeepingEarlierEntries) {
    Bytes good = kWorkedExampleEntry;
    const struct {
        const char* what;
        Bytes catalog;
        int entriesBefore;
    } cases[] = {
        {"missing start tag", Concat({good, {0x00}}), 0},
        {"tag 7 for a name", Concat({{0x01}, good, {0x07, 0x01, 'a'}}), 1},
        {"tag 5 for a size", Concat({{0x01}, good, {0x06, 0x01, 'a', 0x05}}), 1},
        {"tag 6 for a date", Concat({{0x01}, {0x06, 0x01, 'a', 0x02, 0, 0x02, 0, 0x02, 0, 0x02, 0, 0x06, 0x00}}), 0},
        {"cut inside a value", Concat({{0x01}, good, Bytes(good.begin(), good.begin() + 20)}), 1},
        {"cut before the end tag", Concat({{0x01}, good}), 1},
        {"text longer than the file", Concat({{0x01}, {0x0C, 0x10, 0x00, 0x00, 0x00, 'a', 'b'}}), 0},
        {"text length with its top bit set", Concat({{0x01}, {0x0C, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}}), 0},
        {"short text cut short", Concat({{0x01}, {0x06, 0x05, 'a', 'b'}}), 0},
        {"empty file", Bytes{}, 0},
    };
    for (const auto& c : cases) {
        ResetEntries();
        EXPECT_FALSE(Walk(c.catalog, 0)) << c.what;
        EXPECT_EQ(EntryCount(), c.entriesBefore) << c.what;
        EXPECT_EQ(dataAreaStart_, -1) << c.what;
    }
}

TEST_F(CatalogReaderTest, OffsetsOutsideTheCatalogAreRefused) {
    Bytes file = Concat({kImage, {0x01, 0x00}});
    EXPECT_FALSE(Walk(file, -1));  // reads from the start: "MZ" is no start tag
    EXPECT_FALSE(Walk(file, static_cast<int32_t>(file.size())));
    EXPECT_FALSE(Walk(file, INT32_MAX));
    EXPECT_FALSE(Walk(file, 1));
}

}  // namespace
