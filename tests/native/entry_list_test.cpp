#include <gtest/gtest.h>

#include <string>

#include "archive/entry_list.h"
#include "archive/number_text.h"
#include "base/failure_native.h"

namespace {

TEST(GetField, PicksTheNthField) {
    const struct {
        const char* text;
        const char* separator;
        int n;
        const char* field;
    } cases[] = {
        {"a\tb", "\t", 1, "a"},      {"a\tb", "\t", 2, "b"},      {"a\tb", "\t", 3, ""},
        {"a\tb", "\t", 0, ""},       {"a\tb", "\t", -1, ""},      {"abc", "\t", 1, "abc"},
        {"abc", "\t", 2, ""},        {"a\t", "\t", 2, ""},        {"a\t", "\t", 3, ""},
        {"a\t\tc", "\t", 2, ""},     {"a\t\tc", "\t", 3, "c"},    {"a\tb", "", 1, "a\tb"},
        {"a\tb", "", 2, ""},         {"", "\t", 1, ""},           {"x--y--z", "--", 3, "z"},
        {"\ta", "\t", 1, ""},        {"\ta", "\t", 2, "a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(GetField(Text(c.text), Text(c.separator), c.n), c.field)
            << "field " << c.n << " of \"" << c.text << '"';
    }
}

class EntryListTest : public ::testing::Test {
protected:
    void SetUp() override { ResetEntries(); }
    void TearDown() override { ClearEntries(); }
};

TEST_F(EntryListTest, GrowsByEightSlots) {
    EXPECT_EQ(gEntries.capacity, 0);
    AddEntry(Text("first"));
    EXPECT_EQ(gEntries.capacity, 8);
    for (int i = 1; i < 8; ++i) AddEntry(IntegerToText(i));
    EXPECT_EQ(gEntries.capacity, 8);
    AddEntry(Text("ninth"));
    EXPECT_EQ(gEntries.capacity, 16);
    for (int i = 9; i < 47; ++i) AddEntry(IntegerToText(i));
    EXPECT_EQ(EntryCount(), 47);
    EXPECT_EQ(gEntries.capacity, 48);
    EXPECT_EQ(GetEntry(0), "first");
    EXPECT_EQ(GetEntry(8), "ninth");
    EXPECT_EQ(GetEntry(46), "46");
}

TEST_F(EntryListTest, ClearingStartsOverAtEightSlots) {
    for (int i = 0; i < 10; ++i) AddEntry(Text("x"));
    ClearEntries();
    EXPECT_EQ(EntryCount(), 0);
    EXPECT_EQ(gEntries.capacity, 0);
    EXPECT_EQ(gEntries.storage, nullptr);
    AddEntry(Text("again"));
    EXPECT_EQ(gEntries.capacity, 8);
    EXPECT_EQ(GetEntry(0), "again");
}

TEST_F(EntryListTest, AddedLineIsKeptWhenTheCallerChangesItsOwn) {
    Text line("name\t1");
    AddEntry(line);
    line.Append("changed");
    EXPECT_EQ(GetEntry(0), "name\t1");
}

CatalogEntry WorkedExample() {
    CatalogEntry entry;
    entry.name = Text("HELLO.TXT");
    entry.size = 16288;
    entry.packedSize = 16409;
    entry.offset = 0;
    entry.attributes = 32;
    entry.date = 36273.7614583333;
    return entry;
}

TEST(EntryLine, FieldOrderMovesTheOffsetLast) {
    EXPECT_EQ(FormatEntryLine(WorkedExample()), "HELLO.TXT\t16288\t16409\t32\t36273.7614583333\t0");
}

TEST(EntryLine, DateUsesTheLocaleSeparatorAndWholeDaysHaveNone) {
    CatalogEntry entry = WorkedExample();
    gNumberFormat.decimalSeparator = ',';
    Text withComma = FormatEntryLine(entry);
    CatalogEntry back = ParseEntryLine(withComma);
    entry.date = 36273;
    Text wholeDay = FormatEntryLine(entry);
    gNumberFormat.decimalSeparator = '.';
    EXPECT_EQ(withComma, "HELLO.TXT\t16288\t16409\t32\t36273,7614583333\t0");
    EXPECT_DOUBLE_EQ(back.date, 36273.7614583333);
    EXPECT_EQ(wholeDay, "HELLO.TXT\t16288\t16409\t32\t36273\t0");
}

TEST(EntryLine, ParsesBackEveryField) {
    CatalogEntry entry = WorkedExample();
    entry.name = Text("sub\\dir\\a.txt");
    entry.offset = 16409;
    entry.size = -5;
    CatalogEntry back = ParseEntryLine(FormatEntryLine(entry));
    EXPECT_EQ(back.name, entry.name);
    EXPECT_EQ(back.size, -5);
    EXPECT_EQ(back.packedSize, 16409);
    EXPECT_EQ(back.attributes, 32);
    EXPECT_EQ(back.offset, 16409);
    EXPECT_EQ(back.date, 36273.7614583333);
}

// A stored name may hold any byte. Its tabs must not shift its tail into
// the number fields, or a hostile name could override its real sizes.
TEST(EntryLine, NamesWithTabsAndControlBytesKeepTheirNumbers) {
    const std::string names[] = {"x\t99\t99\t1\t1\t0", "\t", "a\tb", std::string("x.txt\0\r\nC:\\MARKER", 19), ""};
    for (const std::string& raw : names) {
        CatalogEntry entry = WorkedExample();
        entry.name = Text(raw.data(), raw.size());
        CatalogEntry back = ParseEntryLine(FormatEntryLine(entry));
        EXPECT_EQ(back.name, entry.name) << raw;
        EXPECT_EQ(back.size, 16288) << raw;
        EXPECT_EQ(back.packedSize, 16409) << raw;
        EXPECT_EQ(back.offset, 0) << raw;
    }
}

TEST(EntryLine, FieldThatIsNoNumberRaisesConvertError) {
    const struct {
        const char* line;
        const char* message;
    } cases[] = {
        {"a\tx\t1\t32\t1\t0", "'x' ist kein g\374ltiger Integerwert"},
        {"a\t1\t1\t32\t1", "'a' ist kein g\374ltiger Integerwert"},
        {"a\t1\t1\t32\tday\t0", "'day' ist kein g\374ltiger Gleitkommawert"},
    };
    for (const auto& c : cases) {
        try {
            ParseEntryLine(Text(c.line));
            ADD_FAILURE() << "no failure for " << c.line;
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.kind, FailureKind::EConvertError);
            EXPECT_EQ(failure.message, c.message);
        }
    }
}

}  // namespace
