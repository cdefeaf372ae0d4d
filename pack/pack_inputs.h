// What goes into a setup: the files found under the paths given, and the
// checks that catch, on the builder's machine, the mistakes that would
// otherwise show only on the customer's.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "pack/configuration.h"

struct PackInput {
    std::string source;  // path on this machine
    std::string stored;  // stored name, Windows-1252, backslashes
    int64_t size = 0;
    int64_t modified = 0;  // seconds since 1970, UTC
    bool readOnly = false;
};

// Every problem of a run at once, one per line.
struct InputProblems : std::runtime_error {
    explicit InputProblems(const std::vector<std::string>& problems);
};

// Files and folders (recursively, following symbolic links, stored relative
// to the folder itself; empty folders add nothing) sorted by stored name.
// The setup being written, `output`, is left out, and so are its
// temporaries. Throws InputProblems naming each path that can't be stored
// and why.
std::vector<PackInput> CollectInputs(const std::vector<std::string>& paths, const std::string& output = "");

// Throws InputProblems for what the launcher would trip over: two files that
// land at the same place (naming both), a file where the launcher's own
// files go, and a program to run that is not among the files.
void CheckInputs(const std::vector<PackInput>& inputs, const SetupConfiguration& configuration);

// A Windows-1252 name as Windows compares names: without regard to case.
std::string FoldCase(const std::string& ansi);
