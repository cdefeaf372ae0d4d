// Post-link step of the launcher: writes the executable's own length into
// string resource 1, so the bare stub names the offset at which an archive
// appended to it begins.
#include <cstdio>
#include <vector>

#include "pack/pe_image.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: stamp-stub LAUNCHER.exe\n");
        return 2;
    }
    const char* path = argv[1];
    FILE* file = fopen(path, "r+b");
    if (!file) {
        perror(path);
        return 1;
    }
    std::vector<uint8_t> image;
    uint8_t block[65536];
    for (size_t got; (got = fread(block, 1, sizeof block, file)) > 0;) image.insert(image.end(), block, block + got);

    StringResourceSlot slot;
    if (!FindStringResource(image.data(), image.size(), kArchiveOffsetString, &slot) ||
        slot.length != kArchiveOffsetDigits) {
        fprintf(stderr, "%s: no nine-digit string resource 1 to hold the archive offset\n", path);
        fclose(file);
        return 1;
    }
    if (!WriteDecimalString(image.data(), slot, image.size())) {
        fprintf(stderr, "%s: %zu bytes does not fit nine digits\n", path, image.size());
        fclose(file);
        return 1;
    }
    bool written = fseek(file, static_cast<long>(slot.offset), SEEK_SET) == 0 &&
                   fwrite(image.data() + slot.offset, 2, slot.length, file) == slot.length;
    if (fclose(file) != 0 || !written) {
        fprintf(stderr, "%s: could not write the archive offset\n", path);
        return 1;
    }
    return 0;
}
