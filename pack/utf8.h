// UTF-8, as Linux names and command lines come, one code point at a time.
#pragma once
#include <cstdint>
#include <string>

// Reads the code point at `*i` and moves past it; false for bytes that are
// not well-formed UTF-8 (overlong forms and values beyond U+10FFFF too).
bool NextCodePoint(const std::string& utf8, size_t* i, uint32_t* code);
void AppendUtf8(std::string* out, uint32_t code);

// Between UTF-8 and UTF-16 (surrogate pairs beyond U+FFFF); throws
// std::runtime_error for text that is not UTF-8.
std::u16string Utf8ToUtf16(const std::string& utf8);
std::string Utf16ToUtf8(const std::u16string& utf16);
