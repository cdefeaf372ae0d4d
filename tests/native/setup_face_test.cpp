#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "pack/file_io.h"
#include "pack/pe_image.h"
#include "pack/pe_resources.h"
#include "pack/setup_face.h"
#include "tests/native/temp_tree.h"

namespace {

std::vector<uint8_t> Launcher(const char* name) {
#ifdef SFX_LAUNCHER_DIR
    try {
        return ReadWholeFile(std::string(SFX_LAUNCHER_DIR) + "/" + name);
    } catch (const std::exception&) {
    }
#endif
    return {};
}

// An .ico file of `count` images of `bytes` bytes each, bitmap headers.
std::vector<uint8_t> Ico(int count, uint32_t bytes) {
    std::vector<uint8_t> ico = {0, 0, 1, 0, static_cast<uint8_t>(count), 0};
    for (int i = 0; i < count; ++i) {
        uint32_t offset = 6 + 16 * count + bytes * i;
        std::vector<uint8_t> entry = {16, 16, 0, 0, 1, 0, 32, 0};
        for (uint32_t v : {bytes, offset})
            for (int k = 0; k < 4; ++k) entry.push_back(static_cast<uint8_t>(v >> (8 * k)));
        ico.insert(ico.end(), entry.begin(), entry.end());
    }
    for (int i = 0; i < count; ++i) {
        std::vector<uint8_t> image(bytes, static_cast<uint8_t>(i));
        image[0] = 40, image[1] = image[2] = image[3] = 0;  // BITMAPINFOHEADER size
        ico.insert(ico.end(), image.begin(), image.end());
    }
    return ico;
}

TEST(SetupFace, DamagedIconsGetAClearError) {
    std::vector<uint8_t> good = Ico(2, 64);
    std::vector<uint8_t> cut(good.begin(), good.end() - 10);
    std::vector<uint8_t> noImages = Ico(0, 0);
    std::vector<uint8_t> cursor = good;
    cursor[2] = 2;
    std::vector<uint8_t> outside = good;
    outside[6 + 12] = 0xF0;  // first image's offset far beyond the end
    std::vector<uint8_t> garbage = good;
    garbage[6 + 32] = 'X';  // the first image's header is no bitmap header
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        const char* reason;  // empty: accepted
    } cases[] = {
        {"good", good, ""},
        {"empty", {}, "no icon header"},
        {"a cursor", cursor, "no icon header"},
        {"no images", noImages, "holds no image"},
        {"cut short", cut, "image 2 lies outside the file"},
        {"offset outside", outside, "image 1 lies outside the file"},
        {"not a bitmap", garbage, "image 1 is neither a bitmap nor PNG"},
        {"directory cut", std::vector<uint8_t>(good.begin(), good.begin() + 12), "directory is cut short"},
    };
    for (const auto& c : cases) {
        ResourceTree tree;
        try {
            AddIcon(&tree, c.bytes);
            EXPECT_STREQ(c.reason, "") << c.what;
            EXPECT_EQ(tree.size(), 3u) << "two images and their group";
        } catch (const std::runtime_error& error) {
            EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << c.what << ": " << error.what();
            EXPECT_NE(*c.reason, 0) << c.what << ": " << error.what();
        }
    }
}

// The writer gives back what the reader took, for both launchers, with the
// section grown; the image stays one a loader can map (checked under Wine).
TEST(SetupFace, ResourcesReadBackAfterTheSectionGrows) {
    for (const char* name : {"launcher-i686.exe", "launcher-x86_64.exe"}) {
        std::vector<uint8_t> stub = Launcher(name);
        if (stub.empty()) GTEST_SKIP() << "the launchers are not built";
        ResourceTree tree = ReadResources(stub);
        ASSERT_GE(tree.size(), 2u) << name;
        AddIcon(&tree, Ico(3, 5000));
        std::vector<uint8_t> edited = stub;
        ReplaceResources(&edited, tree);
        EXPECT_GT(edited.size(), stub.size() + 14000) << name;
        EXPECT_EQ(ReadResources(edited), tree) << name;
        StringResourceSlot slot;
        EXPECT_TRUE(FindStringResource(edited.data(), edited.size(), kArchiveOffsetString, &slot)) << name;
        // Written twice, the same bytes.
        std::vector<uint8_t> again = edited;
        ReplaceResources(&again, tree);
        EXPECT_EQ(again, edited) << name;
    }
}

TEST(SetupFace, ImagesThatCantBeEditedAreRefused) {
    std::vector<uint8_t> stub = Launcher("launcher-i686.exe");
    if (stub.empty()) GTEST_SKIP() << "the launchers are not built";
    ResourceTree tree = ReadResources(stub);
    std::vector<uint8_t> withArchive = stub;
    withArchive.push_back(0x01);
    EXPECT_THROW(ReplaceResources(&withArchive, tree), std::runtime_error) << "bytes after the last section";
    std::vector<uint8_t> notAnImage(stub.begin(), stub.begin() + 100);
    EXPECT_THROW(ReadResources(notAnImage), std::runtime_error);
    SetupFace face;
    face.versionInfo = {{"FileVersion", "1.2.3.4.5"}};
    EXPECT_THROW(DressStub(&stub, face), std::runtime_error);
    face.versionInfo = {{"FileVersion", "70000"}};
    EXPECT_THROW(DressStub(&stub, face), std::runtime_error);
    face.versionInfo = {{"FileVersion", "1..2"}};
    EXPECT_THROW(DressStub(&stub, face), std::runtime_error);
}

}  // namespace
