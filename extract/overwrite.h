// The rule on a file that already stands where an entry goes.
#pragma once
#include "base/text.h"

enum class OverwriteAnswer { Yes, No, Cancel };

// True when the entry may be written: no file stood there, or it was
// removed (OverWrite on, or the user said Yes).
bool ConfirmOverwrite(const Text& targetPath, bool overWrite);
OverwriteAnswer AskOverwrite(const Text& targetPath);
