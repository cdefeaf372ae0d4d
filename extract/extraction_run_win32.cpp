#include "extract/extraction_run.h"

#include "archive/catalog_file.h"
#include "archive/entry_list.h"
#include "archive/number_text.h"
#include "base/in_out_error.h"
#include "extract/archive_io.h"
#include "extract/entry_extraction.h"
#include "extract/extraction_state.h"
#include "extract/target_path.h"
#include "lzh/block_io.h"
#include "progress/progress_update.h"

namespace {

const char kSection[] = "VOLQ Configuration";
constexpr int kConfigValueSize = 260;

// The delete list: one written target path per line, CR LF.
class DeleteList {
public:
    explicit DeleteList(const Text& path) {
        file_ = CreateFileA(path.CStr(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file_ == INVALID_HANDLE_VALUE) RaiseInOutError(GetLastError());
    }
    void AddLine(const Text& line) {
        Text withEnd = line;
        withEnd.Append("\r\n");
        DWORD written;
        if (!WriteFile(file_, withEnd.Data(), static_cast<DWORD>(withEnd.Length()), &written, nullptr) ||
            written != withEnd.Length())
            RaiseInOutError(GetLastError());
    }
    void Close() {
        if (!CloseHandle(file_)) RaiseInOutError(GetLastError());
    }

private:
    HANDLE file_;
};

bool OptionOn(const Text& value) { return !(value == "0"); }

}  // namespace

Text ReadConfigValue(const char* section, const char* key, const char* fallback, const Text& path) {
    char value[kConfigValueSize];
    DWORD length = GetPrivateProfileStringA(section, key, fallback, value, sizeof value, path.CStr());
    return Text(value, length);
}

Text ExtractArchive(HWND progressDialog, const Text& destination) {
    gExtraction.cancelRequested = false;
    StartProgressRun(progressDialog);
    Text command;

    ResetEntries();
    if (!ReadCatalog()) {
        ClearEntries();
        return command;
    }
    // Without entries there is no configuration: nothing to extract or run.
    if (EntryCount() == 0) {
        ClearEntries();
        return command;
    }
    lzh::SetInputBufferSize(4096);
    lzh::SetOutputBufferSize(4096);
    lzh::gBlockSlots.ReadBlock = ReadArchiveBlock;
    lzh::gBlockSlots.WriteBlock = WriteTargetBlock;

    gExtraction.runBytesRead = 0;
    gExtraction.runCompressedTotal = 0;
    for (int32_t i = 0; i < EntryCount(); ++i)
        gExtraction.runCompressedTotal += TextToInteger(GetField(GetEntry(i), Text("\t"), kFieldPackedSize));
    if (!OpenArchive()) {
        ClearEntries();
        return command;
    }

    Text configurationPath;
    const int32_t configurationIndex = EntryCount() - 1;
    ExtractEntry(configurationIndex, destination, {false, true, false, false}, &configurationPath);
    Text executable = ReadConfigValue(kSection, "Executable", "", configurationPath);
    if (!executable.Empty()) command = IncludeBackslash(destination) + executable;
    Text parameters = ReadConfigValue(kSection, "Parameters", "", configurationPath);
    if (!parameters.Empty() && !command.Empty()) command.Append(' ').Append(parameters);
    ExtractionOptions options;
    options.useDirs = OptionOn(ReadConfigValue(kSection, "UseDirs", "", configurationPath));
    options.overWrite = OptionOn(ReadConfigValue(kSection, "OverWrite", "", configurationPath));
    options.attributes = OptionOn(ReadConfigValue(kSection, "Attributes", "", configurationPath));
    options.fileDate = OptionOn(ReadConfigValue(kSection, "FileDate", "", configurationPath));
    DeleteFileA(configurationPath.CStr());

    DeleteList deleteList(IncludeBackslash(destination) + Text(kDeleteListName));
    for (int32_t i = 0; i < configurationIndex && !gExtraction.cancelRequested; ++i) {
        Text targetPath;
        if (ExtractEntry(i, destination, options, &targetPath)) deleteList.AddLine(targetPath);
    }
    deleteList.Close();
    CloseArchive();
    ClearEntries();

    if (gExtraction.cancelRequested) command = Text();
    gExtraction.cancelRequested = false;
    return command;
}
