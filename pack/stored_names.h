// Names as the archive stores them: relative, backslash-separated, in the
// Windows-1252 code page that the launcher's ANSI calls use.
#pragma once
#include <string>

// Converts UTF-8 (as Linux file names come) to Windows-1252. Returns false
// when a character has no Windows-1252 form or the text is not UTF-8.
bool Utf8ToWindows1252(const std::string& utf8, std::string* ansi);
std::string Windows1252ToUtf8(const std::string& ansi);

// Why Windows could not hold `relative` (a path with "/" separators) as a
// stored name, or the empty text when it can; on success `stored` is its
// Windows-1252 form with backslashes.
std::string CheckStoredName(const std::string& relative, std::string* stored);
