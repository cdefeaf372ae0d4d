#include "launcher/failure_report.h"

#include <windows.h>

#include "base/messages.h"
#include "base/win32_seams.h"
#include "extract/delete_list.h"
#include "extract/extensions.h"

static Text AddressToText(const void* address) {
    char digits[2 * sizeof(void*)];
    uintptr_t value = reinterpret_cast<uintptr_t>(address);
    for (size_t i = sizeof digits; i > 0; --i, value >>= 4) digits[i - 1] = kHexDigits[value & 15];
    return Text(digits, sizeof digits);
}

Text FormatFailureReport(FailureKind kind, const Text& moduleName, const void* address, const Text& message) {
    bool needsStop = !message.Empty() && !message.EndsWith('.');
    const Text arguments[] = {Text(FailureKindName(kind)), moduleName.Sub(0, 63), AddressToText(address), message,
                              Text(needsStop ? "." : "")};
    return FormatMessageText(LoadMessage(kMsgFailureReport), arguments, 5);
}

void ShowFailureReport(FailureKind kind, const void* address, const Text& message) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    Text moduleName = FileNamePart(Text(path, length < sizeof path ? length : 0));
    Text text = FormatFailureReport(kind, moduleName, address, message);
    gSeams.messageBox(nullptr, text.CStr(), LoadMessage(kMsgFailureCaption).CStr(),
                      MB_OK | MB_ICONHAND | MB_TASKMODAL);
    // A failure during extraction takes back what the run had written.
    TakeBackRun();
    RemoveOwnFolder();
    gSeams.exitProcess(1);
    ExitProcess(1);
}

void RaiseFailure(FailureKind kind, const Text& message) {
    ShowFailureReport(kind, __builtin_return_address(0), message);
}

static LONG WINAPI ReportSystemFault(EXCEPTION_POINTERS* pointers) {
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    if (record->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && record->NumberParameters >= 2) {
        Text faultAddress = AddressToText(reinterpret_cast<const void*>(record->ExceptionInformation[1]));
        ShowFailureReport(FailureKind::EAccessViolation, record->ExceptionAddress,
                          FormatMessageText(LoadMessage(kMsgAccessViolation), &faultAddress, 1));
    }
    Text code = AddressToText(reinterpret_cast<const void*>(static_cast<uintptr_t>(record->ExceptionCode)));
    ShowFailureReport(FailureKind::EExternalException, record->ExceptionAddress,
                      FormatMessageText(LoadMessage(kMsgExternalException), &code, 1));
}

void InstallFailureReport() { SetUnhandledExceptionFilter(ReportSystemFault); }
