#include "tests/win32/test_seams.h"

#include "base/win32_seams.h"

namespace {

std::vector<ShownBox> gShown;
std::vector<int> gAnswers;

int WINAPI FakeMessageBox(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    gShown.push_back({text, caption, type});
    if (gAnswers.empty()) return IDOK;
    int answer = gAnswers.front();
    gAnswers.erase(gAnswers.begin());
    return answer;
}

void WINAPI FakeExitProcess(UINT code) { throw ProcessExit{code}; }

}  // namespace

SeamScope::SeamScope() {
    gShown.clear();
    gAnswers.clear();
    gSeams = {FakeMessageBox, FakeExitProcess};
}

SeamScope::~SeamScope() { InstallSystemSeams(); }

// Outside a scope the tests see the system's functions, as the launcher does.
static const bool gSystemSeamsInstalled = (InstallSystemSeams(), true);

void SeamScope::Answer(std::vector<int> answers) { gAnswers = std::move(answers); }

const std::vector<ShownBox>& SeamScope::Boxes() const { return gShown; }
