// sfxpack: builds self-extracting setups and works with their codec.
#include <getopt.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/failure_native.h"
#include "lzh/encoder.h"
#include "pack/file_io.h"
#include "pack/stream_codec.h"

namespace {

const char kUsage[] =
    "usage: sfxpack COMMAND [OPTIONS] [ARGS]\n"
    "\n"
    "commands:\n"
    "  compress [--fast|--best] [IN [OUT]]   compress a raw stream\n"
    "  decompress [IN [OUT]]                 decompress a raw stream\n"
    "\n"
    "IN and OUT default to standard input and output.\n"
    "'sfxpack COMMAND --help' describes one command.\n";

const char kCompressUsage[] =
    "usage: sfxpack compress [--fast|--best] [IN [OUT]]\n"
    "Compresses IN (standard input by default) into one raw LZH stream\n"
    "written to OUT (standard output by default).\n"
    "  --fast   greedy parse with a short match search\n"
    "  --best   parse priced with the adaptive tree's code lengths\n";

const char kDecompressUsage[] =
    "usage: sfxpack decompress [IN [OUT]]\n"
    "Decompresses one raw LZH stream from IN to OUT (standard input and\n"
    "output by default).\n";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Parses the options of one command; returns the remaining arguments.
std::vector<std::string> ParseOptions(int argc, char** argv, const option* options, const char* usage,
                                      void (*onOption)(int code, const char* value, void* context), void* context) {
    optind = 1;
    opterr = 0;
    int code;
    while ((code = getopt_long(argc, argv, "+h", options, nullptr)) != -1) {
        if (code == 'h') {
            fputs(usage, stdout);
            exit(0);
        }
        if (code == '?') throw UsageError(std::string("unknown option '") + argv[optind - 1] + "'");
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
    std::vector<uint8_t> input = ReadWholeFile(Argument(args, 0));
    WriteWholeFile(Argument(args, 1), lzh::Compress(input.data(), input.size(), level));
    return 0;
}

int Decompress(int argc, char** argv) {
    static const option options[] = {{"help", no_argument, nullptr, 'h'}, {}};
    auto args = ParseOptions(argc, argv, options, kDecompressUsage, [](int, const char*, void*) {}, nullptr);
    if (args.size() > 2) throw UsageError("decompress takes at most IN and OUT");
    WriteWholeFile(Argument(args, 1), DecodeStream(ReadWholeFile(Argument(args, 0))));
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
    } commands[] = {{"compress", Compress}, {"decompress", Decompress}};
    for (const auto& command : commands) {
        if (strcmp(argv[1], command.name) != 0) continue;
        try {
            return command.run(argc - 1, argv + 1);
        } catch (const UsageError& error) {
            fprintf(stderr, "sfxpack %s: %s\n(see 'sfxpack %s --help')\n", command.name, error.what(), command.name);
            return 2;
        } catch (const std::exception& error) {
            fprintf(stderr, "sfxpack %s: %s\n", command.name, error.what());
            return 1;
        } catch (const Failure& failure) {
            fprintf(stderr, "sfxpack %s: %s: %s\n", command.name, FailureKindName(failure.kind), failure.message.CStr());
            return 1;
        }
    }
    fprintf(stderr, "sfxpack: unknown command '%s'\n%s", argv[1], kUsage);
    return 2;
}
