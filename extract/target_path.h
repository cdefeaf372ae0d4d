// Where an entry lands: the path rules of extraction, without the file
// system, so the builder's extract command and the tests share them.
#pragma once
#include "base/text.h"

// Appends a backslash to a non-empty text that does not end in one.
Text IncludeBackslash(const Text& text);

// The part of a stored name that is appended to the destination: with
// directories, the name without one leading backslash; without them, the
// file-name part after the last backslash or colon.
Text StoredRelativePart(const Text& storedName, bool useDirs);

// False when a component of the part would make Windows step out of the
// destination: a component that, with the trailing dots and blanks that
// Windows drops removed, is nothing but dots ("..", ".", "...", ".. ").
// Backslashes and slashes both separate components.
bool StaysInsideDestination(const Text& relativePart);

// Whether an entry may land at the part: it stays inside the destination and
// holds no colon and no byte below 32. A colon (a drive or a stream name) fails as Windows fails
// to make such a directory, also where a file system allows it.
bool IsWritableRelativePart(const Text& relativePart);
