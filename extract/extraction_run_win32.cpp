#include "extract/extraction_run.h"

#include "archive/entry_list.h"
#include "archive/number_text.h"
#include "base/memory.h"
#include "extract/archive_io.h"
#include "extract/configuration_keys.h"
#include "extract/delete_list.h"
#include "extract/entry_extraction.h"
#include "extract/extensions.h"
#include "extract/extraction_state.h"
#include "extract/target_path.h"
#include "lzh/block_io.h"
#include "progress/progress_update.h"

namespace {

constexpr int kConfigValueSize = 260;


// The archive stays open for the run, the entry list filled and the
// checksums read; all are given back however the run ends.
struct RunResources {
    bool archiveOpen = false;
    ~RunResources() {
        if (archiveOpen) CloseArchive();
        ClearEntries();
        Release(gExtraction.checksums);
        gExtraction.checksums = nullptr;
    }
};

// The builder's checksums, one for each of the first `count` entries; read
// before the configuration file is deleted. Setups without them are checked
// by size only.
void ReadChecksums(const Text& configurationPath, int32_t count) {
    if (count <= 0 || ReadConfigValue(kBuilderSection, kKeyChecksums, "", configurationPath).Empty()) return;
    gExtraction.checksums = static_cast<uint64_t*>(AllocateOrFail(static_cast<size_t>(count) * sizeof(uint64_t)));
    for (int32_t i = 0; i < count; ++i) {
        Text key(kKeyCrcPrefix);
        key.Append(IntegerToText(i + 1));
        int32_t crc;
        gExtraction.checksums[i] = TryParseInteger(ReadConfigValue(kBuilderSection, key.CStr(), "", configurationPath), &crc)
                                       ? static_cast<uint32_t>(crc)
                                       : kMissingChecksum;
    }
}

// Every name is checked before the first file is written, so that a hostile
// one leaves nothing behind.
void CheckStoredNames(int32_t count, bool useDirs) {
    for (int32_t i = 0; i < count; ++i) {
        if (!IsWritableRelativePart(StoredRelativePart(ParseEntryLine(GetEntry(i)).name, useDirs)))
            RaiseInvalidDirectory();
    }
}

// The program path, quoted when it names an extracted file and holds a
// blank: CreateProcessA would otherwise try its shorter prefixes first (for
// a temporary folder "C:\My Temp\", a "C:\My.exe"). An executable that
// carries its own arguments names no file and stays as it is.
Text ProgramCommand(const Text& destination, const Text& executable, const Text& parameters) {
    Text program = IncludeBackslash(destination) + executable;
    bool quoted = program.Find(' ') != kNotFound && IsFile(program);
    Text command(quoted ? "\"" : "");
    command.Append(program);
    if (quoted) command.Append('"');
    if (!parameters.Empty()) command.Append(' ').Append(parameters);
    return command;
}

}  // namespace

Text ReadConfigValue(const char* section, const char* key, const char* fallback, const Text& path) {
    char value[kConfigValueSize];
    DWORD length = GetPrivateProfileStringA(section, key, fallback, value, sizeof value, path.CStr());
    return Text(value, length);
}

bool ReadConfigSwitch(const char* section, const char* key, bool missing, const Text& path) {
    Text value = ReadConfigValue(section, key, "", path);
    return value.Empty() ? missing : !(value == "0");
}

Text ExtractArchive(HWND progressDialog, const Text& destination, bool (*readCatalog)()) {
    gExtraction.cancelRequested = false;
    gExtraction.stopCode = 0;
    ResetExtensions();
    StartProgressRun(progressDialog);
    Text command;

    ResetEntries();
    RunResources resources;
    // Without entries there is no configuration: nothing to extract or run.
    if (!readCatalog() || EntryCount() == 0) {
        gExtraction.stopCode = ERROR_FILE_CORRUPT;
        return command;
    }
    lzh::SetInputBufferSize(4096);
    lzh::SetOutputBufferSize(4096);
    lzh::gBlockSlots.ReadBlock = ReadArchiveBlock;
    lzh::gBlockSlots.WriteBlock = WriteTargetBlock;

    gExtraction.runBytesRead = 0;
    gExtraction.runCompressedTotal = 0;
    for (int32_t i = 0; i < EntryCount(); ++i) gExtraction.runCompressedTotal += ParseEntryLine(GetEntry(i)).packedSize;
    if (!OpenArchive()) {
        gExtraction.stopCode = ERROR_OPEN_FAILED;
        return command;
    }
    resources.archiveOpen = true;

    Text configurationPath;
    const int32_t configurationIndex = EntryCount() - 1;
    ExtractEntry(configurationIndex, destination, {false, true, false, false}, &configurationPath);
    auto value = [&](const char* key) { return ReadConfigValue(kConfigSection, key, "", configurationPath); };
    Text executable = value(kKeyExecutable);
    Text parameters = value(kKeyParameters);
    ExtractionOptions options;
    options.useDirs = ReadConfigSwitch(kConfigSection, kKeyUseDirs, true, configurationPath);
    options.overWrite = ReadConfigSwitch(kConfigSection, kKeyOverWrite, true, configurationPath);
    options.attributes = ReadConfigSwitch(kConfigSection, kKeyAttributes, true, configurationPath);
    options.fileDate = ReadConfigSwitch(kConfigSection, kKeyFileDate, true, configurationPath);
    ReadChecksums(configurationPath, configurationIndex);
    ReadExtensions(configurationPath);
    DeleteFileA(configurationPath.CStr());
    if (!gExtraction.cancelRequested) CheckStoredNames(configurationIndex, options.useDirs);

    const Text folder = gExtensions.wantsOwnFolder ? MakeOwnFolder(destination) : destination;
    Text deleteListPath = IncludeBackslash(folder) + Text(kDeleteListName);
    CreateDeleteList(deleteListPath);
    for (int32_t i = 0; i < configurationIndex && !gExtraction.cancelRequested; ++i) {
        Text targetPath;
        if (ExtractEntry(i, folder, options, &targetPath)) AddDeleteListLine(targetPath);
    }
    // A run that stopped early, cancelled or on a damaged file, leaves
    // nothing behind.
    if (gExtraction.cancelRequested) {
        TakeBackRun();
        if (gExtraction.stopCode == 0 && gExtensions.exitCode) gExtraction.stopCode = ERROR_CANCELLED;
    } else {
        CloseDeleteList();
        if (!executable.Empty()) command = ProgramCommand(folder, executable, parameters);
    }
    gExtraction.cancelRequested = false;
    return command;
}
