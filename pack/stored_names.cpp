#include "pack/stored_names.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "pack/utf8.h"

namespace {

// Windows-1252 bytes 0x80..0x9F; 0 where the code page has no character.
const uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

bool IsReservedDeviceName(std::string component) {
    size_t dot = component.find('.');
    if (dot != std::string::npos) component.resize(dot);
    for (char& c : component) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    while (!component.empty() && component.back() == ' ') component.pop_back();
    for (const char* name : {"CON", "PRN", "AUX", "NUL"}) {
        if (component == name) return true;
    }
    return component.size() == 4 && (component.compare(0, 3, "COM") == 0 || component.compare(0, 3, "LPT") == 0) &&
           component[3] >= '1' && component[3] <= '9';
}

}  // namespace

bool Utf8ToWindows1252(const std::string& utf8, std::string* ansi) {
    ansi->clear();
    for (size_t i = 0; i < utf8.size();) {
        uint32_t code;
        if (!NextCodePoint(utf8, &i, &code)) return false;
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            *ansi += static_cast<char>(code);
            continue;
        }
        const uint16_t* found = std::find(kHighControls, kHighControls + 32, code);
        if (code == 0 || found == kHighControls + 32) return false;
        *ansi += static_cast<char>(0x80 + (found - kHighControls));
    }
    return true;
}

std::string Windows1252ToUtf8(const std::string& ansi) {
    std::string utf8;
    for (char c : ansi) {
        uint8_t byte = static_cast<uint8_t>(c);
        bool high = byte >= 0x80 && byte < 0xA0;
        // The five bytes the code page leaves undefined show as U+FFFD.
        uint32_t code = !high ? byte : kHighControls[byte - 0x80] ? kHighControls[byte - 0x80] : 0xFFFD;
        AppendUtf8(&utf8, code);
    }
    return utf8;
}

std::string Printable(const std::string& utf8) {
    std::string shown;
    for (char c : utf8) {
        uint8_t byte = static_cast<uint8_t>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            shown += c;
            continue;
        }
        char escaped[8];
        snprintf(escaped, sizeof escaped, "\\x%02X", byte);
        shown += escaped;
    }
    return shown;
}

std::string ShownName(const std::string& ansi) { return Printable(Windows1252ToUtf8(ansi)); }

bool HoldsControlBytes(const std::string& ansi) {
    return std::any_of(ansi.begin(), ansi.end(), [](char c) { return static_cast<uint8_t>(c) < 0x20; });
}

std::string CheckStoredName(const std::string& relative, std::string* stored) {
    if (relative.empty()) return "an empty name";
    if (relative[0] == '/') return "a name that starts with a separator";
    std::string ansi;
    if (!Utf8ToWindows1252(relative, &ansi)) return "a character that Windows-1252 can't represent";
    size_t start = 0;
    for (size_t i = 0; i <= ansi.size(); ++i) {
        if (i < ansi.size() && ansi[i] != '/') {
            uint8_t c = static_cast<uint8_t>(ansi[i]);
            if (c < 0x20 || strchr("\\:*?\"<>|", c)) {
                return c == ':' ? "a colon (a drive or stream name on Windows)"
                                : "a character that Windows does not allow in file names";
            }
            continue;
        }
        std::string component = ansi.substr(start, i - start);
        if (component.empty()) return "an empty path component";
        if (component == "..") return "a \"..\" component";
        if (component.back() == '.' || component.back() == ' ')
            return "a component ending in a dot or a blank, which Windows drops";
        if (IsReservedDeviceName(component)) return "a device name that Windows reserves (" + component + ")";
        if (i < ansi.size()) ansi[i] = '\\';
        start = i + 1;
    }
    *stored = ansi;
    return "";
}
