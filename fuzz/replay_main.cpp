// Without a fuzzing engine, a fuzz target replays every file of its corpus
// folders, so the findings kept there stay regression tests.
#include <dirent.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

static bool Replay(const std::string& path) {
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return false;
    std::vector<uint8_t> bytes;
    for (int c; (c = fgetc(file)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
    fclose(file);
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

int main(int argc, char** argv) {
    int replayed = 0;
    for (int i = 1; i < argc; ++i) {
        DIR* folder = opendir(argv[i]);
        if (!folder) {
            replayed += Replay(argv[i]);
            continue;
        }
        while (dirent* entry = readdir(folder)) {
            if (entry->d_name[0] != '.') replayed += Replay(std::string(argv[i]) + "/" + entry->d_name);
        }
        closedir(folder);
    }
    printf("replayed %d inputs\n", replayed);
    return replayed > 0 ? 0 : 1;
}
