// Reading the delete list: a line runs to the next carriage return, Ctrl-Z
// or the end; one line feed after a carriage return is skipped; a Ctrl-Z
// ends the list.
#pragma once
#include "base/text.h"

using ListLineVisitor = void (*)(const Text& line, void* context);
void ForEachListLine(const Text& content, ListLineVisitor visit, void* context);

// Deletes every file the list at `path` names, then the list. A list that
// can't be opened or read raises EInOutError.
void DeleteListedFiles(const Text& path);
