#include <windows.h>

#include "extract/delete_list.h"
#include "extract/extensions.h"
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
    uint32_t exitCode = gExtraction.stopCode;
    if (!command.Empty()) {
        command = ExpandMacros(command);
        if (gExtensions.passArguments) {
            Text arguments = LauncherArguments();
            if (!arguments.Empty()) command.Append(' ').Append(arguments);
        }
        uint32_t programExit;
        LaunchProgram(command, false, true, gExtensions.ownFolder[0] ? gExtensions.ownFolder : nullptr, &programExit);
        if (gExtensions.exitCode) exitCode = programExit;
        // The own folder goes whole below; the list is in it.
        if (!gExtensions.ownFolder[0]) DeleteListedFiles(TempDir() + Text(kDeleteListName));
    }
    RemoveOwnFolder();
    return exitCode;
}
