#include <gtest/gtest.h>

#include <windows.h>

#include <imagehlp.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A setup that sfxpack built with an icon, version information and a
// manifest, read back with Windows' own functions; and the plain setup, whose
// stub resources the edit must leave as they were.
class SetupFace : public ::testing::Test {
protected:
    void SetUp() override {
        const char* dressed = getenv("SFX_FACE_SETUP");
        const char* plain = getenv("SFX_TEST_SETUP");
        if (!dressed || !plain) GTEST_SKIP() << "SFX_FACE_SETUP or SFX_TEST_SETUP names no setup";
        dressed_ = dressed;
        plain_ = plain;
    }

    static std::string Version(const std::string& path, const char* key) {
        DWORD handle = 0, size = GetFileVersionInfoSizeA(path.c_str(), &handle);
        if (size == 0) return "(no version information)";
        std::vector<char> block(size);
        if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return "(unreadable)";
        char* value = nullptr;
        UINT length = 0;
        std::string query = std::string("\\StringFileInfo\\040904B0\\") + key;
        if (!VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length)) return "(missing)";
        return std::string(value, length ? length - 1 : 0);
    }

    static std::vector<char> Resource(HMODULE module, LPCSTR name, LPCSTR type) {
        HRSRC found = FindResourceA(module, name, type);
        if (!found) return {};
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
        return std::vector<char>(bytes, bytes + SizeofResource(module, found));
    }

    std::string dressed_, plain_;
};

TEST_F(SetupFace, VersionStringsReadBackWithWindowsOwnFunctions) {
    const struct {
        const char* key;
        const char* value;
    } cases[] = {
        {"FileVersion", "2.5.1.7"},          {"ProductVersion", "2.5"},     {"ProductName", "Sample Product"},
        {"CompanyName", "Example Ltd"},      {"FileDescription", "face-setup"},
        {"LegalCopyright", "(c) 2026 Example"}, {"OriginalFilename", "face-setup.exe"},
    };
    for (const auto& c : cases) EXPECT_EQ(Version(dressed_, c.key), c.value) << c.key;

    DWORD handle = 0, size = GetFileVersionInfoSizeA(dressed_.c_str(), &handle);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoA(dressed_.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00020005u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00010007u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00020005u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
}

TEST_F(SetupFace, IconAndManifestAreFound) {
    EXPECT_EQ(ExtractIconExA(dressed_.c_str(), -1, nullptr, nullptr, 0), 1u) << "one icon group";
    HICON large = nullptr;
    EXPECT_EQ(ExtractIconExA(dressed_.c_str(), 0, &large, nullptr, 1), 1u);
    EXPECT_NE(large, nullptr);
    if (large) DestroyIcon(large);

    HMODULE module = LoadLibraryExA(dressed_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    std::vector<char> manifest = Resource(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    std::string xml(manifest.begin(), manifest.end());
    EXPECT_NE(xml.find("level=\"asInvoker\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("supportedOS"), std::string::npos);
    FreeLibrary(module);
}

// The checksum in the header is the one Windows computes for the whole file.
TEST_F(SetupFace, ChecksumCoversTheWholeSetup) {
    DWORD header = 0, computed = 0;
    ASSERT_EQ(MapFileAndCheckSumA(dressed_.c_str(), &header, &computed), static_cast<DWORD>(CHECKSUM_SUCCESS));
    EXPECT_NE(header, 0u);
    EXPECT_EQ(header, computed);
}

// The dialog template and every string but the archive offset are the plain
// stub's, byte for byte.
TEST_F(SetupFace, TheStubsOwnResourcesStayAsTheyWere) {
    HMODULE dressed = LoadLibraryExA(dressed_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HMODULE plain = LoadLibraryExA(plain_.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(dressed, nullptr);
    ASSERT_NE(plain, nullptr);
    std::vector<char> dialog = Resource(dressed, "VXPROGRESSCLASS", MAKEINTRESOURCEA(5));
    EXPECT_FALSE(dialog.empty());
    EXPECT_EQ(dialog, Resource(plain, "VXPROGRESSCLASS", MAKEINTRESOURCEA(5)));
    for (UINT id = 65408; id <= 65439; ++id) {
        char a[512] = "", b[512] = "";
        EXPECT_EQ(LoadStringA(dressed, id, a, sizeof a), LoadStringA(plain, id, b, sizeof b)) << id;
        EXPECT_STREQ(a, b) << id;
    }
    char offset[32] = "";
    EXPECT_EQ(LoadStringA(dressed, 1, offset, sizeof offset), 9);
    FreeLibrary(dressed);
    FreeLibrary(plain);
}

}  // namespace
