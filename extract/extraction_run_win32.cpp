#include "extract/extraction_run.h"

#include "archive/entry_list.h"
#include "archive/number_text.h"
#include "base/in_out_error.h"
#include "extract/archive_io.h"
#include "extract/configuration_keys.h"
#include "extract/entry_extraction.h"
#include "extract/extraction_state.h"
#include "extract/target_path.h"
#include "lzh/block_io.h"
#include "progress/progress_update.h"

namespace {

constexpr int kConfigValueSize = 260;

// The delete list: one written target path per line, CR LF. Released on
// every path, also when a failure passes through.
class DeleteList {
public:
    explicit DeleteList(const Text& path) {
        file_ = CreateFileA(path.CStr(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file_ == INVALID_HANDLE_VALUE) RaiseInOutError(GetLastError());
    }
    ~DeleteList() {
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    DeleteList(const DeleteList&) = delete;
    DeleteList& operator=(const DeleteList&) = delete;
    void AddLine(const Text& line) {
        Text withEnd = line;
        withEnd.Append("\r\n");
        DWORD written;
        if (!WriteFile(file_, withEnd.Data(), static_cast<DWORD>(withEnd.Length()), &written, nullptr) ||
            written != withEnd.Length())
            RaiseInOutError(GetLastError());
    }
    void Close() {
        HANDLE file = file_;
        file_ = INVALID_HANDLE_VALUE;
        if (!CloseHandle(file)) RaiseInOutError(GetLastError());
    }

private:
    HANDLE file_;
};

bool OptionOn(const Text& value) { return !(value == "0"); }

// The archive stays open for the run and the entry list filled; both are
// given back however the run ends.
struct RunResources {
    bool archiveOpen = false;
    ~RunResources() {
        if (archiveOpen) CloseArchive();
        ClearEntries();
    }
};

}  // namespace

Text ReadConfigValue(const char* section, const char* key, const char* fallback, const Text& path) {
    char value[kConfigValueSize];
    DWORD length = GetPrivateProfileStringA(section, key, fallback, value, sizeof value, path.CStr());
    return Text(value, length);
}

Text ExtractArchive(HWND progressDialog, const Text& destination, bool (*readCatalog)()) {
    gExtraction.cancelRequested = false;
    StartProgressRun(progressDialog);
    Text command;

    ResetEntries();
    RunResources resources;
    // Without entries there is no configuration: nothing to extract or run.
    if (!readCatalog() || EntryCount() == 0) return command;
    lzh::SetInputBufferSize(4096);
    lzh::SetOutputBufferSize(4096);
    lzh::gBlockSlots.ReadBlock = ReadArchiveBlock;
    lzh::gBlockSlots.WriteBlock = WriteTargetBlock;

    gExtraction.runBytesRead = 0;
    gExtraction.runCompressedTotal = 0;
    for (int32_t i = 0; i < EntryCount(); ++i)
        gExtraction.runCompressedTotal += TextToInteger(GetField(GetEntry(i), Text("\t"), kFieldPackedSize));
    if (!OpenArchive()) return command;
    resources.archiveOpen = true;

    Text configurationPath;
    const int32_t configurationIndex = EntryCount() - 1;
    ExtractEntry(configurationIndex, destination, {false, true, false, false}, &configurationPath);
    auto value = [&](const char* key) { return ReadConfigValue(kConfigSection, key, "", configurationPath); };
    Text executable = value(kKeyExecutable);
    if (!executable.Empty()) command = IncludeBackslash(destination) + executable;
    Text parameters = value(kKeyParameters);
    if (!parameters.Empty() && !command.Empty()) command.Append(' ').Append(parameters);
    ExtractionOptions options;
    options.useDirs = OptionOn(value(kKeyUseDirs));
    options.overWrite = OptionOn(value(kKeyOverWrite));
    options.attributes = OptionOn(value(kKeyAttributes));
    options.fileDate = OptionOn(value(kKeyFileDate));
    DeleteFileA(configurationPath.CStr());

    DeleteList deleteList(IncludeBackslash(destination) + Text(kDeleteListName));
    for (int32_t i = 0; i < configurationIndex && !gExtraction.cancelRequested; ++i) {
        Text targetPath;
        if (ExtractEntry(i, destination, options, &targetPath)) deleteList.AddLine(targetPath);
    }
    deleteList.Close();

    if (gExtraction.cancelRequested) command = Text();
    gExtraction.cancelRequested = false;
    return command;
}
