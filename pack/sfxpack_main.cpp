// sfxpack: builds self-extracting setups and works with their codec.
#include <getopt.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/failure_native.h"
#include "lzh/encoder.h"
#include "pack/file_io.h"
#include "pack/pack_inputs.h"
#include "pack/setup_builder.h"
#include "pack/setup_face.h"
#include "pack/setup_file.h"
#include "pack/stored_names.h"
#include "pack/stream_codec.h"
#include "extract/dos_date_time.h"
#include "extract/target_path.h"

namespace {

const char kUsage[] =
    "usage: sfxpack COMMAND [OPTIONS] [ARGS]\n"
    "\n"
    "commands:\n"
    "  build -o SETUP.exe --run PROGRAM [OPTIONS] PATH...   pack files into a setup\n"
    "  list SETUP.exe                 show the configuration and the entries\n"
    "  test SETUP.exe                 decode every entry and check its content\n"
    "  extract SETUP.exe [-C DIR]     unpack the entries here or into DIR\n"
    "  compress [--fast|--best] [IN [OUT]]   compress a raw stream\n"
    "  decompress [IN [OUT]]                 decompress a raw stream\n"
    "'sfxpack COMMAND --help' describes one command.\n";

const char kCompressUsage[] =
    "usage: sfxpack compress [--fast|--best] [IN [OUT]]\n"
    "Compresses IN (standard input by default) into one raw LZH stream\n"
    "written to OUT (standard output by default).\n"
    "  --fast   greedy parse with a short match search\n"
    "  --best   parse priced with the adaptive tree's code lengths\n";

const char kBuildUsage[] =
    "usage: sfxpack build -o SETUP.exe --run PROGRAM [OPTIONS] PATH...\n"
    "Packs files and folders (folders recursively, stored relative to the\n"
    "folder itself) behind the launcher stub. The launcher unpacks them into\n"
    "the temporary folder, runs PROGRAM from there, waits, and deletes them.\n"
    "  -o, --output FILE     the setup to write\n"
    "  --run PROGRAM         program to run, relative to the extraction folder\n"
    "  --args TEXT           its parameters; <AD> <WD> <SD> <TD> name the\n"
    "                        setup's, Windows, system and temporary folders\n"
    "  --flat                put every file straight into the extraction folder\n"
    "  --ask-overwrite       ask before replacing a file that exists\n"
    "  --no-attributes       do not give files their stored attributes\n"
    "  --no-dates            do not give files their stored dates\n"
    "  --stub LAUNCHER.exe   the stub (default: launcher-i686.exe beside sfxpack)\n"
    "  --fast, --best        compression effort (default: between the two)\n"
    "  --no-checksums        leave out the CRC-32 of every file, with which\n"
    "                        the launcher refuses to run a damaged setup\n"
    "  --quiet               no progress and no summary\n"
    "  --exit-code           the launcher ends with the program's exit code\n"
    "                        (and codes of its own when it ran nothing)\n"
    "  --own-folder          extract into a new folder of its own, removed\n"
    "                        whole afterwards; <TD> names that folder\n"
    "  --pass-arguments      the launcher's own arguments follow --args\n"
    "  --icon FILE.ico       the setup's icon (every image of the file)\n"
    "  --version-info KEY=VALUE   version information (repeatable): FileVersion,\n"
    "                        ProductVersion, ProductName, CompanyName,\n"
    "                        FileDescription, LegalCopyright, OriginalFilename;\n"
    "                        the rest from the output's name, versions 1.0.0.0\n"
    "  --manifest LEVEL      none (default), as-invoker, require-admin or\n"
    "                        highest-available: a manifest with that\n"
    "                        execution level and the supported Windows versions\n"
    "Dates are the files' modification times in UTC, clamped to\n"
    "SOURCE_DATE_EPOCH when it is set; a file without write permission is\n"
    "stored read-only. The same inputs give the same bytes.\n";

const char kListUsage[] =
    "usage: sfxpack list SETUP.exe\n"
    "Shows the configuration and every entry: name, size, packed size, ratio,\n"
    "attributes (R read-only, H hidden, S system, A archive) and date.\n";

const char kTestUsage[] =
    "usage: sfxpack test SETUP.exe\n"
    "Decodes every entry and checks that it yields its stored size and, when\n"
    "the setup carries them, its stored checksum.\n"
    "Exit code 0 when all do.\n";

const char kExtractUsage[] =
    "usage: sfxpack extract SETUP.exe [-C DIR]\n"
    "Unpacks the entries into DIR (default: the current folder) by the\n"
    "launcher's rules: stored folders unless the setup is flat, existing\n"
    "files kept when the setup asks before overwriting. An entry whose size\n"
    "or checksum differs from the stored one is not written; exit code 1.\n";

const char kDecompressUsage[] =
    "usage: sfxpack decompress [IN [OUT]]\n"
    "Decompresses one raw LZH stream from IN to OUT (standard input and\n"
    "output by default).\n";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Parses the options of one command; returns the remaining arguments.
// `shortOptions` lists the one-letter forms besides -h, getopt style.
std::vector<std::string> ParseOptions(int argc, char** argv, const option* options, const char* usage,
                                      void (*onOption)(int code, const char* value, void* context), void* context,
                                      const char* shortOptions = "") {
    optind = 1;
    opterr = 0;
    int code;
    // The leading colon makes a missing value its own answer.
    std::string letters = std::string(":h") + shortOptions;
    while ((code = getopt_long(argc, argv, letters.c_str(), options, nullptr)) != -1) {
        if (code == 'h') {
            fputs(usage, stdout);
            exit(0);
        }
        if (code == '?') throw UsageError(std::string("unknown option '") + argv[optind - 1] + "'");
        if (code == ':') throw UsageError(std::string("option ") + argv[optind - 1] + " needs a value");
        onOption(code, optarg, context);
    }
    return std::vector<std::string>(argv + optind, argv + argc);
}

std::string Argument(const std::vector<std::string>& args, size_t index) {
    return index < args.size() ? args[index] : std::string("-");
}

int Compress(int argc, char** argv) {
    static const option options[] = {
        {"fast", no_argument, nullptr, 'f'}, {"best", no_argument, nullptr, 'b'}, {"help", no_argument, nullptr, 'h'}, {}};
    lzh::EncoderSettings level = lzh::kDefault;
    auto args = ParseOptions(argc, argv, options, kCompressUsage, [](int code, const char*, void* context) {
        *static_cast<lzh::EncoderSettings*>(context) = code == 'f' ? lzh::kFast : lzh::kBest;
    }, &level);
    if (args.size() > 2) throw UsageError("compress takes at most IN and OUT");
    InputFile input(Argument(args, 0));
    OutputFile output(Argument(args, 1));
    lzh::ReadInput read = [&](uint8_t* buffer, size_t wanted) { return input.Read(buffer, wanted); };
    lzh::WriteOutput write = [&](const uint8_t* bytes, size_t count) { output.Write(bytes, count); };
    lzh::CompressStream(input.Remaining(), read, write, level);
    output.Commit();
    return 0;
}

std::string DefaultStub() {
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return "launcher-i686.exe";
    std::string path(self, static_cast<size_t>(length));
    return path.substr(0, path.rfind('/') + 1) + "launcher-i686.exe";
}

double Megabytes(uint64_t bytes) { return bytes / 1e6; }

std::string SizeText(uint64_t bytes) {
    char text[32];
    if (bytes < 1000000) snprintf(text, sizeof text, "%llu bytes", static_cast<unsigned long long>(bytes));
    else snprintf(text, sizeof text, "%.1f MB", Megabytes(bytes));
    return text;
}

double SecondsSince(const timespec& start) {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - start.tv_sec) + (now.tv_nsec - start.tv_nsec) / 1e9;
}

// One line on the terminal, written over: bytes done of the total, the
// rate and the file at hand.
struct ProgressLine {
    timespec start;
    void Show(uint64_t done, uint64_t total, const std::string& file) {
        double seconds = SecondsSince(start);
        std::string shown = Printable(file);
        if (shown.size() > 40) shown = "..." + shown.substr(shown.size() - 37);
        fprintf(stderr, "\r%8.1f of %.1f MB %3d%% %6.1f MB/s  %-40s", Megabytes(done), Megabytes(total),
                total ? static_cast<int>(100 * done / total) : 100, seconds > 0 ? Megabytes(done) / seconds : 0.0,
                shown.c_str());
        if (file.empty()) fputc('\n', stderr);
    }
};

// The launcher replaces only the first of each macro.
void WarnOfRepeatedMacros(const std::string& parameters) {
    std::string upper = parameters;
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    for (const char* macro : {"<AD>", "<WD>", "<SD>", "<TD>"}) {
        size_t first = upper.find(macro);
        if (first != std::string::npos && upper.find(macro, first + 1) != std::string::npos)
            fprintf(stderr, "sfxpack build: warning: --args holds %s more than once; the launcher replaces only the first\n",
                    macro);
    }
}

// The output's folder must take the setup before any compressing starts.
void CheckOutputFolder(const std::string& output) {
    std::string folder = FolderOf(output);
    struct stat info;
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        throw std::runtime_error(output + ": the folder " + folder + " does not exist");
    if (access(folder.c_str(), W_OK | X_OK) != 0)
        throw std::runtime_error(output + ": the folder " + folder + " can't be written");
    if (stat(output.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        throw std::runtime_error(output + ": is a folder");
}

struct BuildArguments {
    std::string output, stub = DefaultStub();
    PackOptions options;
    bool runGiven = false;
    bool quiet = false;
    SetupFace face;
};

int Build(int argc, char** argv) {
    static const option options[] = {{"output", required_argument, nullptr, 'o'},
                                     {"run", required_argument, nullptr, 'r'},
                                     {"args", required_argument, nullptr, 'a'},
                                     {"flat", no_argument, nullptr, 'F'},
                                     {"ask-overwrite", no_argument, nullptr, 'O'},
                                     {"no-attributes", no_argument, nullptr, 'A'},
                                     {"no-dates", no_argument, nullptr, 'D'},
                                     {"stub", required_argument, nullptr, 's'},
                                     {"fast", no_argument, nullptr, 'f'},
                                     {"best", no_argument, nullptr, 'b'},
                                     {"no-checksums", no_argument, nullptr, 'C'},
                                     {"quiet", no_argument, nullptr, 'q'},
                                     {"exit-code", no_argument, nullptr, 'E'},
                                     {"own-folder", no_argument, nullptr, 'W'},
                                     {"pass-arguments", no_argument, nullptr, 'P'},
                                     {"icon", required_argument, nullptr, 'I'},
                                     {"version-info", required_argument, nullptr, 'V'},
                                     {"manifest", required_argument, nullptr, 'M'},
                                     {"help", no_argument, nullptr, 'h'},
                                     {}};
    BuildArguments build;
    auto paths = ParseOptions(argc, argv, options, kBuildUsage, [](int code, const char* value, void* context) {
        auto& b = *static_cast<BuildArguments*>(context);
        SetupConfiguration& c = b.options.configuration;
        switch (code) {
            case 'o': b.output = value; break;
            case 'r': c.executable = value; b.runGiven = true; break;
            case 'a': c.parameters = value; break;
            case 'F': c.useDirs = false; break;
            case 'O': c.overWrite = false; break;
            case 'A': c.attributes = false; break;
            case 'D': c.fileDate = false; break;
            case 's': b.stub = value; break;
            case 'f': b.options.level = lzh::kFast; break;
            case 'b': b.options.level = lzh::kBest; break;
            case 'C': b.options.checksums = false; break;
            case 'q': b.quiet = true; break;
            case 'E': c.exitCode = true; break;
            case 'W': c.ownFolder = true; break;
            case 'P': c.passArguments = true; break;
            case 'I': b.face.icon = value; break;
            case 'V': {
                std::string pair = value;
                size_t equals = pair.find('=');
                if (equals == std::string::npos || !IsVersionKey(pair.substr(0, equals)))
                    throw UsageError("--version-info takes KEY=VALUE with KEY one of FileVersion, ProductVersion, "
                                     "ProductName, CompanyName, FileDescription, LegalCopyright, OriginalFilename");
                b.face.versionInfo.push_back({pair.substr(0, equals), pair.substr(equals + 1)});
                break;
            }
            case 'M':
                if (!IsManifestLevel(value))
                    throw UsageError("--manifest takes none, as-invoker, require-admin or highest-available");
                b.face.manifest = value;
                break;
        }
    }, &build, "o:");
    if (build.output.empty()) throw UsageError("no output: give -o SETUP.exe");
    if (!build.runGiven) throw UsageError("no program: give --run PROGRAM");
    if (paths.empty()) throw UsageError("nothing to pack: give files or folders");
    for (std::string* text : {&build.options.configuration.executable, &build.options.configuration.parameters}) {
        std::string ansi;
        if (!Utf8ToWindows1252(*text, &ansi)) throw UsageError("'" + *text + "' has characters Windows-1252 lacks");
        std::string problem = ValueProblem(ansi);
        if (!problem.empty()) throw UsageError("'" + *text + "': " + problem);
        *text = ansi;
    }
    if (const char* epoch = getenv("SOURCE_DATE_EPOCH")) {
        char* end;
        long long value = strtoll(epoch, &end, 10);
        if (*epoch == 0 || *end != 0 || value < 0) throw UsageError("SOURCE_DATE_EPOCH is not a number of seconds");
        build.options.sourceDateEpoch = value;
    }
    timespec start;
    clock_gettime(CLOCK_MONOTONIC, &start);
    ProgressLine line{start};
    if (isatty(2) && !build.quiet) {
        build.options.progress = [&](uint64_t done, uint64_t total, const std::string& file) { line.Show(done, total, file); };
    }
    WarnOfRepeatedMacros(build.options.configuration.parameters);
    CheckOutputFolder(build.output);

    std::vector<PackInput> inputs = CollectInputs(paths, build.output);
    CheckInputs(inputs, build.options.configuration);
    std::vector<uint8_t> stub;
    try {
        stub = ReadWholeFile(build.stub);
    } catch (const std::exception& error) {
        throw std::runtime_error(std::string("stub ") + error.what());
    }
    std::vector<std::string> notes;
    build.face.outputName = BaseName(build.output);
    build.options.wholeFileChecksum = DressStub(&stub, build.face);
    build.options.spoolFolder = FolderOf(build.output);
    OutputFile output(build.output, true);
    uint64_t written = 0;
    uint64_t packed = BuildSetup(stub, inputs, build.options, &notes, [&](const uint8_t* bytes, size_t count) {
        output.Write(bytes, count);
        written += count;
    });
    output.Commit();
    for (const std::string& note : notes) fprintf(stderr, "sfxpack build: note: %s\n", note.c_str());
    if (!build.quiet) {
        uint64_t size = 0;
        for (const PackInput& input : inputs) size += static_cast<uint64_t>(input.size);
        fprintf(stderr, "sfxpack build: %s: %zu files, %s packed to %s (%.1f%%), setup %s, in %.1f s\n",
                Printable(build.output).c_str(), inputs.size(), SizeText(size).c_str(), SizeText(packed).c_str(),
                size ? 100.0 * packed / size : 0.0, SizeText(written).c_str(), SecondsSince(start));
    }
    return 0;
}

std::string OneSetupArgument(int argc, char** argv, const char* usage) {
    static const option options[] = {{"help", no_argument, nullptr, 'h'}, {}};
    auto args = ParseOptions(argc, argv, options, usage, [](int, const char*, void*) {}, nullptr);
    if (args.size() != 1) throw UsageError("give one SETUP.exe");
    return args[0];
}

std::string DateText(double days) {
    CivilTime t;
    if (!CivilFromDayCount(days, &t)) return "unknown";
    char text[32];
    snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
    return text;
}

std::string AttributeText(int32_t attributes) {
    std::string text;
    for (auto [bit, letter] : {std::pair{1, 'R'}, {2, 'H'}, {4, 'S'}, {32, 'A'}}) text += attributes & bit ? letter : '.';
    return text;
}

// The stub's icon, version strings and manifest level, when it has them.
void ShowFace(const std::vector<uint8_t>& image) {
    FaceSummary face;
    try {
        face = ReadFace(image);
    } catch (const std::exception& error) {
        printf("Stub:  its resources can't be read: %s\n", Printable(error.what()).c_str());
        return;
    }
    auto joined = [](const std::vector<std::string>& parts) {
        std::string text;
        for (const std::string& part : parts) text += (text.empty() ? "" : "; ") + Printable(part);
        return text;
    };
    if (!face.iconSizes.empty()) printf("Icon:  %s\n", joined(face.iconSizes).c_str());
    for (const auto& [key, value] : face.versionStrings) printf("Version: %s = %s\n", Printable(key).c_str(), Printable(value).c_str());
    if (!face.manifestLevel.empty()) printf("Manifest: %s\n", Printable(face.manifestLevel).c_str());
}

int List(int argc, char** argv) {
    std::string path = OneSetupArgument(argc, argv, kListUsage);
    SetupFile setup(path);
    printf("Setup: %s (archive at %d, data at %d)\n", Printable(path).c_str(), setup.ArchiveOffset(),
           setup.DataAreaStart());
    bool faults = false;
    try {
        SetupConfiguration c = setup.Configuration();
        printf("Runs:  %s%s%s\n", c.executable.empty() ? "(nothing)" : ShownName(c.executable).c_str(),
               c.parameters.empty() ? "" : " ", ShownName(c.parameters).c_str());
        printf("Options: folders %s, overwrite %s, attributes %s, dates %s\n", c.useDirs ? "kept" : "flattened",
               c.overWrite ? "without asking" : "after asking", c.attributes ? "set" : "not set",
               c.fileDate ? "set" : "not set");
        if (c.hasChecksums) {
            printf("Checksums: CRC-32 of %zu entries\n", c.checksums.size());
        } else {
            printf("Checksums: none (only sizes can be checked)\n");
        }
        std::string extensions;
        for (auto [on, text] : {std::pair{c.exitCode, "the program's exit code"}, {c.ownFolder, "a folder of its own"},
                                {c.passArguments, "arguments passed on"}}) {
            if (on) extensions += std::string(extensions.empty() ? "" : ", ") + text;
        }
        printf("Extensions: %s\n", extensions.empty() ? "none" : extensions.c_str());
        ShowFace(setup.StubImage());
        printf("\n");
    } catch (const std::exception& error) {
        printf("Runs:  (the configuration can't be read: %s)\n\n", Printable(error.what()).c_str());
        faults = true;
    }
    printf("%10s %10s %6s %-5s %-19s  %s\n", "Size", "Packed", "Ratio", "Attr", "Date", "Name");
    printf("---------- ---------- ------ ----- -------------------  ----\n");
    int64_t size = 0, packed = 0;
    for (const SetupEntry& e : setup.Entries()) {
        size += e.size;
        packed += e.packedSize;
        // What the launcher would trip over is marked where it shows.
        const char* mark = HoldsControlBytes(e.name) ? "   <- a control character: the launcher refuses this name"
                           : !setup.HasData(e)       ? "   <- its data lies beyond the end of the file"
                                                     : "";
        faults = faults || *mark;
        printf("%10d %10d %5.1f%% %-5s %-19s  %s%s\n", e.size, e.packedSize, e.size ? 100.0 * e.packedSize / e.size : 0.0,
               AttributeText(e.attributes).c_str(), DateText(e.date).c_str(), ShownName(e.name).c_str(), mark);
    }
    printf("---------- ---------- ------                            ----\n");
    printf("%10lld %10lld %5.1f%%                            %zu entries\n", static_cast<long long>(size),
           static_cast<long long>(packed), size ? 100.0 * packed / size : 0.0, setup.Entries().size());
    if (!setup.CatalogComplete()) {
        printf("The catalog breaks off after these entries: the setup is damaged.\n");
        faults = true;
    }
    return faults ? 1 : 0;
}

int Test(int argc, char** argv) {
    std::string path = OneSetupArgument(argc, argv, kTestUsage);
    SetupFile setup(path);
    SetupConfiguration c;
    try {
        c = setup.Configuration();
    } catch (const std::exception&) {
        // The configuration entry fails below like any other.
    }
    int bad = 0;
    for (size_t i = 0; i < setup.Entries().size(); ++i) {
        std::string name = ShownName(setup.Entries()[i].name);
        std::string fault;
        try {
            fault = setup.DecodeChecked(i, c, [](const uint8_t*, size_t) {});
        } catch (const std::exception& error) {
            fault = error.what();
        }
        if (fault.empty() && HoldsControlBytes(setup.Entries()[i].name))
            fault = "its name holds a control character, which the launcher refuses";
        if (fault.empty()) {
            printf("OK     %s\n", name.c_str());
        } else {
            printf("FAILED %s: %s\n", name.c_str(), Printable(fault).c_str());
            ++bad;
        }
    }
    if (!setup.CatalogComplete()) {
        printf("FAILED the catalog breaks off after %zu entries\n", setup.Entries().size());
        ++bad;
    }
    printf("%s: %zu entries, %d failed%s\n", Printable(path).c_str(), setup.Entries().size(), bad,
           c.hasChecksums ? "" : " (the setup carries no checksums: sizes checked only)");
    return bad ? 1 : 0;
}

struct ExtractArguments {
    std::string directory = ".";
};

// Makes `root` and the folders of `relative` below it. A symbolic link
// among the latter is refused: it could lead out of the root.
void MakeDirectories(const std::string& root, const std::string& relative) {
    std::string whole = root + "/";
    for (size_t slash = whole.find('/', 1); slash != std::string::npos; slash = whole.find('/', slash + 1)) {
        std::string folder = whole.substr(0, slash);
        if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
            throw std::runtime_error(Printable(folder) + ": " + strerror(errno));
    }
    for (size_t slash = relative.find('/'); slash != std::string::npos; slash = relative.find('/', slash + 1)) {
        std::string folder = root + "/" + relative.substr(0, slash);
        struct stat info;
        if (lstat(folder.c_str(), &info) == 0 && S_ISLNK(info.st_mode))
            throw std::runtime_error(Printable(folder) + ": a symbolic link; extract writes only below the folder");
        if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
            throw std::runtime_error(Printable(folder) + ": " + strerror(errno));
    }
}

int Extract(int argc, char** argv) {
    static const option options[] = {{"directory", required_argument, nullptr, 'C'}, {"help", no_argument, nullptr, 'h'}, {}};
    ExtractArguments extract;
    auto args = ParseOptions(argc, argv, options, kExtractUsage, [](int code, const char* value, void* context) {
        if (code == 'C') static_cast<ExtractArguments*>(context)->directory = value;
    }, &extract, "C:");
    if (args.size() != 1) throw UsageError("give one SETUP.exe");
    SetupFile setup(args[0]);
    SetupConfiguration c = setup.Configuration();
    const std::vector<SetupEntry>& entries = setup.Entries();
    std::string root = extract.directory;
    int bad = 0;
    for (size_t i = 0; i + 1 < entries.size(); ++i) {
        const SetupEntry& e = entries[i];
        Text relative = StoredRelativePart(Text(e.name.data(), e.name.size()), c.useDirs);
        std::string part(relative.Data(), relative.Length());
        if (part.empty() || !IsWritableRelativePart(relative))
            throw std::runtime_error(ShownName(e.name) + ": This is not a valid directory name");
        for (char& ch : part) ch = ch == '\\' ? '/' : ch;
        part = Windows1252ToUtf8(part);
        std::string target = root + "/" + part;
        MakeDirectories(root, part);
        struct stat existing;
        if (!c.overWrite && lstat(target.c_str(), &existing) == 0) {
            printf("kept       %s\n", Printable(target).c_str());
            continue;
        }
        // A damaged entry is never committed: its temporary goes.
        OutputFile output(target);
        std::string fault;
        try {
            fault = setup.DecodeChecked(i, c, [&](const uint8_t* bytes, size_t count) { output.Write(bytes, count); });
        } catch (const std::exception& error) {
            fault = error.what();
        }
        if (!fault.empty()) {
            fprintf(stderr, "sfxpack extract: %s: %s; not written\n", ShownName(e.name).c_str(), Printable(fault).c_str());
            ++bad;
            continue;
        }
        output.Commit();
        if (c.fileDate && PackDosDateTime(e.date) != 0) {
            utimbuf times;
            times.actime = times.modtime = static_cast<time_t>(UnixTimeFromDayCount(e.date));
            utime(target.c_str(), &times);
        }
        if (c.attributes && (e.attributes & 1)) chmod(target.c_str(), 0444);
        printf("extracted  %s\n", Printable(target).c_str());
    }
    return bad ? 1 : 0;
}

int Decompress(int argc, char** argv) {
    static const option options[] = {{"help", no_argument, nullptr, 'h'}, {}};
    auto args = ParseOptions(argc, argv, options, kDecompressUsage, [](int, const char*, void*) {}, nullptr);
    if (args.size() > 2) throw UsageError("decompress takes at most IN and OUT");
    InputFile input(Argument(args, 0));
    OutputFile output(Argument(args, 1));
    DecodeStream([&](uint8_t* buffer, size_t wanted) { return input.Read(buffer, wanted); },
                 [&](const uint8_t* bytes, size_t count) { output.Write(bytes, count); });
    output.Commit();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !strcmp(argv[1], "--help") || !strcmp(argv[1], "-h")) {
        fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const struct {
        const char* name;
        int (*run)(int, char**);
    } commands[] = {{"build", Build},       {"list", List},          {"test", Test},
                    {"extract", Extract},   {"compress", Compress},  {"decompress", Decompress}};
    for (const auto& command : commands) {
        if (strcmp(argv[1], command.name) != 0) continue;
        try {
            return command.run(argc - 1, argv + 1);
        } catch (const InputProblems& problems) {
            std::string lines = problems.what();
            for (size_t start = 0; start <= lines.size();) {
                size_t end = lines.find('\n', start);
                if (end == std::string::npos) end = lines.size();
                fprintf(stderr, "sfxpack %s: %s\n", command.name, Printable(lines.substr(start, end - start)).c_str());
                start = end + 1;
            }
            return 1;
        } catch (const UsageError& error) {
            fprintf(stderr, "sfxpack %s: %s\n(see 'sfxpack %s --help')\n", command.name, Printable(error.what()).c_str(),
                    command.name);
            return 2;
        } catch (const std::exception& error) {
            fprintf(stderr, "sfxpack %s: %s\n", command.name, Printable(error.what()).c_str());
            return 1;
        } catch (const Failure& failure) {
            fprintf(stderr, "sfxpack %s: %s: %s\n", command.name, FailureKindName(failure.kind),
                    ShownName(std::string(failure.message.Data(), failure.message.Length())).c_str());
            return 1;
        }
    }
    fprintf(stderr, "sfxpack: unknown command '%s'\n%s", argv[1], kUsage);
    return 2;
}
