// Names as the archive stores them: relative, backslash-separated, in the
// Windows-1252 code page that the launcher's ANSI calls use.
#pragma once
#include <string>

// Converts UTF-8 (as Linux file names come) to Windows-1252. Returns false
// when a character has no Windows-1252 form or the text is not UTF-8.
bool Utf8ToWindows1252(const std::string& utf8, std::string* ansi);
std::string Windows1252ToUtf8(const std::string& ansi);

// Text for a terminal: control bytes (below 32, and 127) as \xNN, so that a
// name can't move the cursor, ring or retitle the window.
std::string Printable(const std::string& utf8);
// A stored name or a text of the launcher, in the terminal's UTF-8.
std::string ShownName(const std::string& ansi);
// Whether a stored name holds a byte below 32, which the launcher refuses.
bool HoldsControlBytes(const std::string& ansi);

// Why Windows could not hold `relative` (a path with "/" separators) as a
// stored name, or the empty text when it can; on success `stored` is its
// Windows-1252 form with backslashes.
std::string CheckStoredName(const std::string& relative, std::string* stored);
