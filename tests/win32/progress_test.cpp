#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "extract/extraction_state.h"
#include "launcher/startup.h"
#include "progress/progress_dialog.h"
#include "progress/progress_math.h"
#include "progress/progress_update.h"

namespace {

// The dialog template as the resource compiler wrote it.
TEST(ProgressTemplate, HeaderItemsStylesAndTexts) {
    HRSRC resource = FindResourceA(nullptr, "VXPROGRESSCLASS", MAKEINTRESOURCEA(5));
    ASSERT_NE(resource, nullptr);
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(nullptr, resource)));
    size_t size = SizeofResource(nullptr, resource);
    auto u16 = [&](size_t at) { return static_cast<unsigned>(bytes[at] | bytes[at + 1] << 8); };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    auto text = [&](size_t* at) {
        std::string s;
        for (; u16(*at); *at += 2) s += static_cast<char>(u16(*at));
        *at += 2;
        return s;
    };
    EXPECT_EQ(u32(0), 0x90C000C0u);
    EXPECT_EQ(u32(4), 0u);
    EXPECT_EQ(u16(8), 4u);
    EXPECT_EQ((std::vector<unsigned>{u16(10), u16(12), u16(14), u16(16)}), (std::vector<unsigned>{15, 57, 207, 66}));
    size_t at = 18;
    EXPECT_EQ(u16(at), 0u);  // no menu
    EXPECT_EQ(u16(at + 2), 0u);  // the default dialog class
    at += 4;
    EXPECT_EQ(text(&at), "Varimo Setup");
    EXPECT_EQ(u16(at), 8u);
    at += 2;
    EXPECT_EQ(text(&at), "MS Sans Serif");

    const struct {
        uint32_t style;
        int x, y, cx, cy;
        unsigned id, classAtom;
        const char* title;
    } items[] = {
        {0x50010000, 67, 49, 65, 14, 3, 0x80, "cancel | Abbruch"},
        {0x50020000, 6, 18, 195, 9, 1, 0x82, ""},
        {0x5000000B, 5, 27, 196, 14, 2, 0x80, ""},
        {0x50020000, 6, 6, 198, 8, 0xFFFF, 0x82, "Preparing Setup .... | Setup wird vorbereitet ...."},
    };
    for (const auto& item : items) {
        at = (at + 3) & ~size_t{3};
        EXPECT_EQ(u32(at), item.style) << item.id;
        EXPECT_EQ(u32(at + 4), 0u);
        EXPECT_EQ((std::vector<unsigned>{u16(at + 8), u16(at + 10), u16(at + 12), u16(at + 14), u16(at + 16)}),
                  (std::vector<unsigned>{static_cast<unsigned>(item.x), static_cast<unsigned>(item.y),
                                         static_cast<unsigned>(item.cx), static_cast<unsigned>(item.cy), item.id}));
        EXPECT_EQ(u16(at + 18), 0xFFFFu) << "class as an atom";
        EXPECT_EQ(u16(at + 20), item.classAtom);
        at += 22;
        EXPECT_EQ(text(&at), item.title);
        EXPECT_EQ(u16(at), 0u) << "no creation data";
        at += 2;
    }
    EXPECT_EQ(at, size);
}

BOOL CALLBACK RecordLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR found) {
    reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
    return TRUE;
}

// The template is language neutral, once.
TEST(ProgressTemplate, IsLanguageNeutral) {
    std::vector<WORD> languages;
    EnumResourceLanguagesA(nullptr, MAKEINTRESOURCEA(5), "VXPROGRESSCLASS", RecordLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    EXPECT_EQ(languages, std::vector<WORD>{MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)});
}

// The launcher starts with Windows' control word; the difference between 53
// and 64 bits of precision shows in 53 of 100.
TEST(ExtendedPrecision, LauncherStartUpGivesTheExtendedResults) {
    unsigned short saved;
    __asm__ volatile("fnstcw %0" : "=m"(saved));
    unsigned short windowsDefault = 0x27F;
    __asm__ volatile("fldcw %0" : : "m"(windowsDefault));
    int32_t withDoublePrecision = ProgressPercentage(53, 100);
    UseExtendedPrecision();
    EXPECT_EQ(withDoublePrecision, 53) << "53-bit precision rounds 0.53 * 100 up to 53";
    EXPECT_EQ(ProgressPercentage(53, 100), 52);
    EXPECT_EQ(ProgressPercentage(59, 100), 58);
    EXPECT_EQ(BarSplit(10, 300), 29);
    EXPECT_EQ(BarSplit(20, 300), 59);
    EXPECT_EQ(BarSplit(70, 300), 210);
    EXPECT_EQ(BarSplit(80, 300), 239);
    __asm__ volatile("fldcw %0" : : "m"(saved));
}

class ProgressDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), "VXProgressClass", nullptr, ProgressDialogProc, 0);
        ASSERT_NE(dialog_, nullptr);
        ShowWindow(dialog_, SW_SHOW);
        StartProgressRun(dialog_);
        gExtraction.cancelRequested = false;
    }
    void TearDown() override {
        DestroyWindow(dialog_);
        gExtraction.cancelRequested = false;
    }
    std::string ControlText(int id) {
        char text[300];
        GetDlgItemTextA(dialog_, id, text, sizeof text);
        return text;
    }
    HWND dialog_ = nullptr;
};

TEST_F(ProgressDialogTest, CentredOnTheScreen) {
    RECT window;
    GetWindowRect(dialog_, &window);
    EXPECT_EQ(window.left, CentredOrigin(GetSystemMetrics(SM_CXSCREEN), window.right - window.left));
    EXPECT_EQ(window.top, CentredOrigin(GetSystemMetrics(SM_CYSCREEN), window.bottom - window.top));
    EXPECT_EQ(CentredOrigin(1024, 421), 301);
    EXPECT_EQ(CentredOrigin(1024, 1027), -1);
}

TEST_F(ProgressDialogTest, CancelButtonSetsTheFlag) {
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(2, BN_CLICKED), 0);
    EXPECT_FALSE(gExtraction.cancelRequested) << "identifier 2 changes nothing";
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(3, 0x1234), 0);
    EXPECT_TRUE(gExtraction.cancelRequested);
}

TEST_F(ProgressDialogTest, ShowProgressWritesFileAndPercentage) {
    EXPECT_EQ(ControlText(kProgressBar), "");
    ShowProgress(Text("C:\\TEMP\\a.txt"), 0, 100);
    EXPECT_EQ(ControlText(kFileNameLine), "C:\\TEMP\\a.txt");
    EXPECT_EQ(ControlText(kProgressBar), "") << "0 % leaves the empty text, which reads as 0";
    ShowProgress(Text("C:\\TEMP\\a.txt"), 53, 100);
    EXPECT_EQ(ControlText(kProgressBar), "52");
    ShowProgress(Text("c:\\temp\\A.TXT"), 100, 100);
    EXPECT_EQ(ControlText(kFileNameLine), "C:\\TEMP\\a.txt") << "a change of case alone is not written";
    EXPECT_EQ(ControlText(kProgressBar), "100");
    ShowProgress(Text("x"), 0, 0);
    EXPECT_EQ(ControlText(kProgressBar), "100") << "an empty run shows 100";
}

TEST_F(ProgressDialogTest, LongPathIsFittedToTheLine) {
    std::string path = "C:\\" + std::string(60, 'd') + "\\" + std::string(60, 'e') + "\\file.txt";
    ShowProgress(Text(path.c_str()), 1, 2);
    std::string shown = ControlText(kFileNameLine);
    EXPECT_LT(shown.size(), path.size());
    EXPECT_EQ(shown.substr(shown.size() - 9), "\\file.txt");
    EXPECT_NE(shown.find("..."), std::string::npos) << shown;
}

// The painted bar, read back pixel by pixel: frame, filled part up to the
// split in the highlight colour, the rest in the button face.
TEST_F(ProgressDialogTest, BarIsPaintedUpToTheSplit) {
    HWND bar = GetDlgItem(dialog_, kProgressBar);
    RECT client;
    GetClientRect(bar, &client);
    for (int percent : {0, 10, 53, 100}) {
        SetDlgItemTextA(dialog_, kProgressBar, std::to_string(percent).c_str());
        RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        HDC dc = GetDC(bar);
        int width = client.right - client.left - 2;
        int boundary = 1 + BarSplit(percent, width);
        int y = 3;  // above the centred label
        if (boundary > 1) {
            EXPECT_EQ(GetPixel(dc, boundary - 1, y), GetSysColor(COLOR_HIGHLIGHT)) << percent;
        }
        if (boundary < client.right - 1) {
            EXPECT_EQ(GetPixel(dc, boundary, y), GetSysColor(COLOR_BTNFACE)) << percent;
        }
        EXPECT_NE(GetPixel(dc, 0, y), GetSysColor(COLOR_BTNFACE)) << "the frame";
        ReleaseDC(bar, dc);
    }
}

// At 50 % the centred label straddles the split: its left part is drawn in
// the highlight-text colour over the filled part, its right part in the
// highlight colour over the button face.
TEST_F(ProgressDialogTest, LabelChangesColourAtTheSplit) {
    HWND bar = GetDlgItem(dialog_, kProgressBar);
    RECT client;
    GetClientRect(bar, &client);
    SetDlgItemTextA(dialog_, kProgressBar, "50");
    RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(bar);
    int boundary = 1 + BarSplit(50, client.right - client.left - 2);
    int textOnFilled = 0, textOnFace = 0;
    for (int y = client.top + 2; y < client.bottom - 2; ++y) {
        for (int x = boundary - 20; x < boundary + 20; ++x) {
            COLORREF pixel = GetPixel(dc, x, y);
            if (x < boundary && pixel == GetSysColor(COLOR_HIGHLIGHTTEXT)) ++textOnFilled;
            if (x >= boundary && pixel == GetSysColor(COLOR_HIGHLIGHT)) ++textOnFace;
        }
    }
    ReleaseDC(bar, dc);
    EXPECT_GT(textOnFilled, 0);
    EXPECT_GT(textOnFace, 0);
}

TEST_F(ProgressDialogTest, QuitMessageIsDroppedAndTheRunGoesOn) {
    PostQuitMessage(3);
    PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(3, 0), 0);
    PumpMessages();
    EXPECT_TRUE(gExtraction.cancelRequested) << "messages after the quit are still dispatched";
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    PumpMessages();  // an empty queue returns at once
}

}  // namespace
