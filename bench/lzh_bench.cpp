// Speed and size of the LZH codec on a fixed corpus, beside zlib (what
// gzip uses) on the same bytes. Run: build/native/lzh_bench
#include <zlib.h>

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

// The gzip command on the same bytes, decompressing to /dev/null.
double GzipDecodeSeconds(const Bytes& input) {
    const std::string plain = "/tmp/lzh_bench_input", packed = plain + ".gz";
    WriteWholeFile(plain, input);
    if (system(("gzip -9 -c " + plain + " > " + packed).c_str()) != 0) return 0;
    double seconds = TimePerRun([&] {
        if (system(("gzip -dc " + packed + " > /dev/null").c_str()) != 0) fprintf(stderr, "gzip -d failed\n");
    });
    remove(plain.c_str());
    remove(packed.c_str());
    return seconds;
}

}  // namespace

int main() {
    size_t totalInput = 0, totalDeflate = 0;
    double totalOurs = 0, totalGzip = 0;
    size_t totalLevel[4] = {};
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

        // Into the same buffer every run: gzip -d writes to /dev/null, so the
        // figure is the decoder's work, not the page faults of fresh memory.
        Bytes decoded;
        decoded.reserve(input.size());
        double ours = TimePerRun([&] { DecodeStreamInto(defaultStream, &decoded); });
        if (decoded != input) printf("  DECODED BYTES DIFFER\n");
        Bytes inflated(input.size());
        double zlib = TimePerRun([&] { Inflate(deflated, &inflated); });
        double gzip = GzipDecodeSeconds(input);
        printf("  decode: ours %7.1f MB/s; gzip -d %7.1f MB/s, ratio %.2f (target 0.50); zlib inflate %7.1f MB/s, ratio %.2f\n",
               MegabytesPerSecond(input.size(), ours), MegabytesPerSecond(input.size(), gzip), gzip / ours,
               MegabytesPerSecond(input.size(), zlib), zlib / ours);
        totalOurs += ours;
        totalGzip += gzip;
    }
    printf("\ntotal: %zu bytes; gzip -9 %zu\n", totalInput, totalDeflate);
    for (int i = 0; i < 4; ++i) printf("  %-34s %10zu bytes\n", kLevels[i].name, totalLevel[i]);
    printf("decode over the whole corpus: ours %.1f MB/s, gzip -d %.1f MB/s, ratio %.2f (target 0.50)\n",
           MegabytesPerSecond(totalInput, totalOurs), MegabytesPerSecond(totalInput, totalGzip), totalGzip / totalOurs);
    printf("best against the greedy whole-window parse: %.2f%% smaller (target 3%%)\n",
           100.0 * (1.0 - static_cast<double>(totalLevel[2]) / totalLevel[3]));
    return 0;
}
