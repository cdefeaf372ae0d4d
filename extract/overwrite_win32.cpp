#include <windows.h>

#include "base/win32_seams.h"
#include "extract/entry_extraction.h"
#include "extract/extraction_state.h"
#include "extract/overwrite.h"

OverwriteAnswer AskOverwrite(const Text& targetPath) {
    Text question = targetPath;
    question.Append(" exists. Overwrite?");
    switch (gSeams.messageBox(nullptr, question.CStr(), "File Exists", MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES: return OverwriteAnswer::Yes;
        case IDCANCEL: return OverwriteAnswer::Cancel;
        // A box that could not be shown (0) replaces nothing.
        default: return OverwriteAnswer::No;
    }
}

bool ConfirmOverwrite(const Text& targetPath, bool overWrite) {
    if (!IsFile(targetPath)) return true;
    if (!overWrite) {
        OverwriteAnswer answer = AskOverwrite(targetPath);
        if (answer == OverwriteAnswer::Cancel) RequestCancel();
        if (answer != OverwriteAnswer::Yes) return false;
    }
    SetFileAttributesA(targetPath.CStr(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(targetPath.CStr());
    return true;
}
