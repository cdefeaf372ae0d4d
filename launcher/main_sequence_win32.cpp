#include <windows.h>

#include "extract/delete_list.h"
#include "extract/extraction_run.h"
#include "extract/extraction_state.h"
#include "launcher/directory_macros.h"
#include "launcher/main_sequence.h"
#include "launcher/program_launch.h"
#include "progress/progress_dialog.h"

unsigned RunLauncher() {
    HWND progressDialog =
        CreateDialogParamA(GetModuleHandleA(nullptr), "VXProgressClass", nullptr, ProgressDialogProc, 0);
    ShowWindow(progressDialog, SW_SHOW);
    Text command = ExtractArchive(progressDialog, TempDir());
    DestroyWindow(progressDialog);
    if (!command.Empty()) {
        LaunchProgram(ExpandMacros(command), false, true);
        DeleteListedFiles(ExpandMacros(Text("<TD>") + Text(kDeleteListName)));
    }
    // 0, or why a damaged setup was not run.
    return gExtraction.stopCode;
}
