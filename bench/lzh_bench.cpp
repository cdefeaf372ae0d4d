// Speed and size of the LZH codec on a fixed corpus, beside zlib (what
// gzip uses) on the same bytes, like for like: our decoder against zlib's
// inflate, both in this process; `sfxpack decompress` against `gzip -dc`,
// both as whole processes. Then the peak memory of sfxpack on a 1 GiB
// payload and a 200 MB stream. Run: build/native/lzh_bench
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "lzh/encoder.h"
#include "pack/file_io.h"
#include "pack/stream_codec.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

// Real files from the packages the bootstrap installs, named one by one so
// every run measures the same bytes.
const char* const kWineDlls = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/";
const char* const kHeaders = "/usr/share/mingw-w64/include/";
const struct {
    const char* group;
    const char* folder;
    std::vector<const char*> files;
} kCorpus[] = {
    {"Windows DLLs", kWineDlls, {"shell32.dll", "user32.dll"}},
    {"C headers", kHeaders,
     {"shobjidl.h", "strmif.h", "msxml2.h", "dwrite_3.h", "iads.h", "wmsdkidl.h", "winnt.h", "winuser.h",
      "winbase.h", "commctrl.h"}},
    {"compressed (.gz)", "/usr/share/doc/",
     {"gcc-mingw-w64-base/changelog.gz", "imagemagick-6-common/changelog.gz", "libwine/AUTHORS.gz",
      "xdotool/changelog.gz", "libwine/changelog.Debian.gz"}},
};

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// Runs `work` until a second has passed (at least three times); returns the
// seconds of the fastest run, the one least disturbed by the rest of the
// machine.
template <class Work>
double TimePerRun(Work work) {
    double fastest = 1e30;
    int runs = 0;
    auto start = Clock::now();
    do {
        auto runStart = Clock::now();
        work();
        double seconds = Seconds(runStart);
        if (seconds < fastest) fastest = seconds;
        ++runs;
    } while (runs < 3 || Seconds(start) < 1.0);
    return fastest;
}

Bytes Deflate(const Bytes& input) {
    uLongf size = compressBound(input.size());
    Bytes out(size);
    compress2(out.data(), &size, input.data(), input.size(), 9);
    out.resize(size);
    return out;
}

void Inflate(const Bytes& stream, Bytes* output) {
    uLongf size = output->size();
    uncompress(output->data(), &size, stream.data(), stream.size());
}

struct Level {
    const char* name;
    lzh::EncoderSettings settings;
};

const Level kLevels[] = {
    {"fast", lzh::kFast},
    {"default", lzh::kDefault},
    {"best", lzh::kBest},
    {"greedy, whole window (reference)", {4096, lzh::EncoderSettings::Greedy}},
};

double MegabytesPerSecond(size_t bytes, double seconds) { return bytes / seconds / 1e6; }

// sfxpack, beside this program.
std::string Sfxpack() {
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path(self, length > 0 ? static_cast<size_t>(length) : 0);
    return path.substr(0, path.rfind('/') + 1) + "sfxpack";
}

// Runs a command as a whole process (no shell), its output going to
// `output`; false when it failed.
bool RunProcess(const std::vector<std::string>& command, const std::string& output) {
    // The child must not write out this process's pending output again.
    fflush(stdout);
    fflush(stderr);
    pid_t child = fork();
    if (child == 0) {
        FILE* out = freopen(output.c_str(), "wb", stdout);
        if (!out) _exit(127);
        std::vector<char*> argv;
        for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The peak resident memory of a command in MiB, as /usr/bin/time reports
// it (the kernel's figure for a child of this large process would count the
// pages it shared before exec); -1 when it failed.
double PeakMebibytes(const std::vector<std::string>& command) {
    const std::string report = "/tmp/lzh_bench_peak";
    std::vector<std::string> timed{"/usr/bin/time", "-f", "%M", "-o", report};
    timed.insert(timed.end(), command.begin(), command.end());
    if (!RunProcess(timed, "/dev/null")) return -1;
    FILE* file = fopen(report.c_str(), "r");
    long kibibytes = -1;
    if (file && fscanf(file, "%ld", &kibibytes) != 1) kibibytes = -1;
    if (file) fclose(file);
    remove(report.c_str());
    return kibibytes < 0 ? -1 : kibibytes / 1024.0;
}

// Fastest run of a whole process decoding to /dev/null.
double ProcessSeconds(const std::vector<std::string>& command) {
    return TimePerRun([&] {
        if (!RunProcess(command, "/dev/null")) fprintf(stderr, "failed: %s\n", command[0].c_str());
    });
}

struct ProcessFigures {
    double ours, gzip;
};

// `sfxpack decompress` and `gzip -dc` on the same bytes, as whole processes.
ProcessFigures DecodeProcesses(const Bytes& input, const Bytes& stream) {
    const std::string plain = "/tmp/lzh_bench_input", packed = plain + ".gz", ours = plain + ".lzh";
    WriteWholeFile(plain, input);
    WriteWholeFile(ours, stream);
    ProcessFigures figures{0, 0};
    if (system(("gzip -9 -c " + plain + " > " + packed).c_str()) == 0) {
        figures.gzip = ProcessSeconds({"gzip", "-dc", packed});
        figures.ours = ProcessSeconds({Sfxpack(), "decompress", ours});
    }
    remove(plain.c_str());
    remove(packed.c_str());
    remove(ours.c_str());
    return figures;
}

// Writes `bytes` of `sample` repeated to `path`.
void WriteRepeated(const std::string& path, const Bytes& sample, uint64_t bytes) {
    OutputFile out(path);
    for (uint64_t written = 0; written < bytes;) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(sample.size(), bytes - written));
        out.Write(sample.data(), n);
        written += n;
    }
    out.Commit();
}

// Build against compress on the same bytes at the default level, and the
// peak memory of sfxpack on a 1 GiB payload (at --fast, to keep the run
// short: memory does not depend on the level) and on a 200 MB stream.
void ToolFigures(const Bytes& sample) {
    const std::string folder = "/tmp/lzh_bench_payload", payload = folder + "/payload.bin";
    const std::string setup = "/tmp/lzh_bench_setup.exe", stream = "/tmp/lzh_bench_stream.lzh";
    const std::string stub = Sfxpack().substr(0, Sfxpack().rfind('/')) + "/../bin/launcher-i686.exe";
    if (system(("mkdir -p " + folder).c_str()) != 0) return;
    auto buildArguments = [&](const char* level) {
        std::vector<std::string> arguments{Sfxpack(), "build", "--quiet", "-o", setup, "--run", "payload.bin",
                                           "--stub", stub, folder};
        if (*level) arguments.insert(arguments.begin() + 2, level);
        return arguments;
    };

    WriteRepeated(payload, sample, sample.size());
    double build = TimePerRun([&] { RunProcess(buildArguments(""), "/dev/null"); });
    double compress = TimePerRun([&] { RunProcess({Sfxpack(), "compress", payload, stream}, "/dev/null"); });
    printf("\nsfxpack build against compress, default level, %zu bytes: %.2f s against %.2f s: %.2f (target 1.20)\n",
           sample.size(), build, compress, build / compress);

    WriteRepeated(payload, sample, 1ull << 30);
    double buildPeak = PeakMebibytes(buildArguments("--fast"));
    double listPeak = PeakMebibytes({Sfxpack(), "list", setup});
    double testPeak = PeakMebibytes({Sfxpack(), "test", setup});
    double extractPeak = PeakMebibytes({Sfxpack(), "extract", setup, "-C", folder + "/out"});
    printf("1 GiB payload, peak memory: build %.1f MiB, list %.1f MiB, test %.1f MiB, extract %.1f MiB (target 64 MiB)\n",
           buildPeak, listPeak, testPeak, extractPeak);
    if (truncate(payload.c_str(), 200000000) == 0) {
        double compressPeak = PeakMebibytes({Sfxpack(), "compress", "--fast", payload, stream});
        double decompressPeak = PeakMebibytes({Sfxpack(), "decompress", stream, "/dev/null"});
        printf("200 MB stream, peak memory: compress %.1f MiB, decompress %.1f MiB (target 64 MiB)\n", compressPeak,
               decompressPeak);
    }
    if (system(("rm -rf " + folder + " " + setup + " " + stream).c_str()) != 0) fprintf(stderr, "clean-up failed\n");
}

}  // namespace

int main() {
    size_t totalInput = 0, totalDeflate = 0;
    double totalOurs = 0, totalZlib = 0, totalProcess = 0, totalGzip = 0;
    size_t totalLevel[4] = {};
    Bytes memorySample;
    for (const auto& group : kCorpus) {
        Bytes input;
        for (const char* file : group.files) {
            try {
                Bytes bytes = ReadWholeFile(std::string(group.folder) + file);
                input.insert(input.end(), bytes.begin(), bytes.end());
            } catch (const std::exception& error) {
                fprintf(stderr, "skipped: %s\n", error.what());
            }
        }
        printf("\n%s: %zu files, %zu bytes\n", group.group, group.files.size(), input.size());
        totalInput += input.size();

        Bytes deflated = Deflate(input);
        totalDeflate += deflated.size() + 18;  // gzip's header and trailer
        Bytes defaultStream;
        for (int i = 0; i < 4; ++i) {
            Bytes stream;
            auto start = Clock::now();
            stream = lzh::Compress(input.data(), input.size(), kLevels[i].settings);
            double seconds = Seconds(start);
            totalLevel[i] += stream.size();
            printf("  encode %-34s %10zu bytes (%5.1f%%)  %7.1f MB/s\n", kLevels[i].name, stream.size(),
                   100.0 * stream.size() / input.size(), MegabytesPerSecond(input.size(), seconds));
            if (i == 1) defaultStream = stream;
        }
        printf("  gzip -9 (zlib level 9)                    %10zu bytes (%5.1f%%)\n", deflated.size() + 18,
               100.0 * (deflated.size() + 18) / input.size());

        // In this process, each into memory already touched.
        Bytes decoded;
        decoded.reserve(input.size());
        double ours = TimePerRun([&] { DecodeStreamInto(defaultStream, &decoded); });
        if (decoded != input) printf("  DECODED BYTES DIFFER\n");
        Bytes inflated(input.size());
        double zlib = TimePerRun([&] { Inflate(deflated, &inflated); });
        printf("  decode in process: ours %7.1f MB/s, zlib inflate %7.1f MB/s: ratio %.2f\n",
               MegabytesPerSecond(input.size(), ours), MegabytesPerSecond(input.size(), zlib), zlib / ours);
        // As whole processes, each writing to /dev/null.
        ProcessFigures process = DecodeProcesses(input, defaultStream);
        printf("  decode as processes: sfxpack decompress %7.1f MB/s, gzip -dc %7.1f MB/s: ratio %.2f; "
               "sfxpack decompress at %.2f of the in-process figure (target 0.90)\n",
               MegabytesPerSecond(input.size(), process.ours), MegabytesPerSecond(input.size(), process.gzip),
               process.gzip / process.ours, ours / process.ours);
        totalOurs += ours;
        totalZlib += zlib;
        totalProcess += process.ours;
        totalGzip += process.gzip;
        if (memorySample.empty()) memorySample = input;
    }
    printf("\ntotal: %zu bytes; gzip -9 %zu\n", totalInput, totalDeflate);
    for (int i = 0; i < 4; ++i) printf("  %-34s %10zu bytes\n", kLevels[i].name, totalLevel[i]);
    printf("decode over the whole corpus, in process: ours %.1f MB/s, zlib inflate %.1f MB/s: ratio %.2f\n",
           MegabytesPerSecond(totalInput, totalOurs), MegabytesPerSecond(totalInput, totalZlib), totalZlib / totalOurs);
    printf("decode over the whole corpus, as processes: sfxpack decompress %.1f MB/s, gzip -dc %.1f MB/s: ratio %.2f; "
           "sfxpack decompress at %.2f of in process (target 0.90)\n",
           MegabytesPerSecond(totalInput, totalProcess), MegabytesPerSecond(totalInput, totalGzip),
           totalGzip / totalProcess, totalOurs / totalProcess);
    printf("best against the greedy whole-window parse: %.2f%% smaller (target 3%%)\n",
           100.0 * (1.0 - static_cast<double>(totalLevel[2]) / totalLevel[3]));
    ToolFigures(memorySample);
    return 0;
}
