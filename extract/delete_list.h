// The delete list: the file in the destination folder that names, one per
// line, every file the extraction run wrote, so that they can be deleted
// once the setup program has ended. The run writes it; the launcher reads
// it back; a run that stops early takes back what it wrote.
#pragma once
#include "base/text.h"

inline constexpr char kDeleteListName[] = "$d$e$l$.lst";

// Reading: a line runs to the next carriage return, Ctrl-Z or the end; one
// line feed after a carriage return is skipped; a Ctrl-Z ends the list.
using ListLineVisitor = void (*)(const Text& line, void* context);
void ForEachListLine(const Text& content, ListLineVisitor visit, void* context);

// Writing, during the run. The list is known to the extraction state while
// it is open, so that a failure report can take the run back; `path` must
// live until CloseDeleteList. Failures raise EInOutError.
void CreateDeleteList(const Text& path);
void AddDeleteListLine(const Text& line);
void CloseDeleteList();

// Deletes every file the list at `path` names (read-only ones too), then
// the list. A list that can't be opened or read raises EInOutError.
void DeleteListedFiles(const Text& path);

// Takes back an extraction run that stops early (cancelled, refused, or
// ended by a failure): the file being written, every listed file and the
// list itself. Never fails; does nothing outside a run.
void TakeBackRun();
