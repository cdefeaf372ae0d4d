// Answers message boxes and catches the failure report's process exit, so
// the launcher's Win32 code runs for real inside a test program.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct ShownBox {
    std::string text;
    std::string caption;
    UINT type;
};

struct ProcessExit {
    UINT code;
};

class SeamScope {
public:
    SeamScope();
    ~SeamScope();
    // The answers the next boxes give, in order; IDOK once they run out.
    void Answer(std::vector<int> answers);
    const std::vector<ShownBox>& Boxes() const;
};
