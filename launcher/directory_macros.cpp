#include "launcher/directory_macros.h"

static Text UpperAsciiCopy(const Text& text) {
    Text upper = text;
    char* p = upper.Data();
    for (size_t i = 0; i < upper.Length(); ++i) {
        if (p[i] >= 'a' && p[i] <= 'z') p[i] = static_cast<char>(p[i] - 32);
    }
    return upper;
}

Text ExpandMacros(const Text& text, const MacroDirectories& directories) {
    const struct {
        const char* macro;
        const Text* expansion;
    } macros[] = {{"<AD>", &directories.appDir},
                  {"<WD>", &directories.windowsDir},
                  {"<SD>", &directories.systemDir},
                  {"<TD>", &directories.tempDir}};
    Text result = text;
    for (const auto& m : macros) {
        size_t at = UpperAsciiCopy(result).Find(m.macro, 4);
        if (at != kNotFound) result = result.Sub(0, at) + *m.expansion + result.Sub(at + 4);
    }
    return result;
}
