#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "extract/extraction_run.h"
#include "pack/configuration.h"
#include "tests/win32/temp_folder.h"

namespace {

// The builder writes the configuration and reads setups with its own
// profile reader; the launcher reads it with the system's. These tables run
// both against the real GetPrivateProfileStringA, so that they can't drift.
class ProfileValues : public ::testing::Test {
protected:
    // What the launcher's reader returns for Parameters in this file text.
    std::string LauncherReads(const std::string& text) {
        std::string path = folder_.Path() + "\\setup.ini";
        std::ofstream(path, std::ios::binary) << text;
        Text value = ReadConfigValue("VOLQ Configuration", "Parameters", "", Text(path.c_str()));
        return std::string(value.Data(), value.Length());
    }
    TempFolder folder_;
};

TEST_F(ProfileValues, TheBuildersReaderReadsAsTheSystemDoes) {
    const std::string raw[] = {
        "plain", "  padded  ", "\t tabbed \t", "\"quoted\"", "'single'", "\"unbalanced", "unbalanced\"",
        "\"a\" b \"c\"", "\"\"", "\"", "'", "\"'", " \"inner\" ", "; not a comment", "a = b", "",
        std::string(300, 'x'), "\"" + std::string(258, 'y') + "\"", "\"" + std::string(259, 'y') + "\"",
        "\"" + std::string(260, 'y') + "\"", std::string(259, 'z'), std::string(260, 'z'),
    };
    for (const std::string& value : raw) {
        std::string text = "[VOLQ Configuration]\r\nParameters=" + value + "\r\n";
        EXPECT_EQ(ReadConfiguration(text).parameters, LauncherReads(text)) << "Parameters=" << value;
    }
}

TEST_F(ProfileValues, WhatTheBuilderWritesArrivesAsGiven) {
    const std::string values[] = {
        "\"<TD>a b\" /q \"c d\"", "/q", " leading", "trailing ", "\"enclosed\"", "'enclosed'", "\"", "\"\"",
        "\"one", "two\"", "", std::string(259, 'm'), "\"" + std::string(255, 'n') + "\"", " " + std::string(256, 'o'),
    };
    for (const std::string& value : values) {
        ASSERT_EQ(ValueProblem(value), "") << value;
        SetupConfiguration c;
        c.parameters = value;
        EXPECT_EQ(LauncherReads(WriteConfiguration(c)), value);
    }
    for (const std::string& tooLong : {std::string(260, 'm'), " " + std::string(257, 'o'), "\"" + std::string(256, 'p') + "\""})
        EXPECT_NE(ValueProblem(tooLong), "") << tooLong.size();
}

}  // namespace
