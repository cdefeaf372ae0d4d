#include "progress/progress_math.h"

// Both x87 builds and the native one use the 64-bit significand here; the
// launcher sets that precision at start-up.
static_assert(sizeof(long double) >= 10, "long double must be the x87 extended type");

int32_t ProgressPercentage(int32_t read, int32_t total) {
    if (total == 0) return 100;
    volatile long double quotient = static_cast<long double>(read) / static_cast<long double>(total);
    volatile long double scaled = quotient * 100.0L;
    return static_cast<int32_t>(scaled);
}

int32_t BarSplit(int32_t percent, int32_t width) {
    volatile long double fraction = static_cast<long double>(percent) * 0.01L;
    volatile long double pixels = fraction * static_cast<long double>(width);
    int32_t split = static_cast<int32_t>(pixels);
    return split > width ? width : split;
}

void ShortenDirectory(Text& p) {
    if (p == "\\") {
        p = Text();
        return;
    }
    bool leadingBackslash = p.StartsWith('\\');
    if (leadingBackslash) p = p.Sub(1);
    if (p.StartsWith('.')) p = p.Sub(4);
    size_t slash = p.Find('\\');
    p = slash == kNotFound ? Text() : Text("...\\") + p.Sub(slash + 1);
    if (leadingBackslash) p = Text("\\") + p;
}

Text FitFileName(const Text& path, WidthTest tooWide, void* context) {
    Text result = path;
    Text directory = DirectoryPart(path);
    Text fileName = FileNamePart(path).Sub(0, 255);
    Text drive;
    if (directory.Length() >= 2 && directory[1] == ':') {
        drive = directory.Sub(0, 2);
        directory = directory.Sub(2, 255);
    }
    while ((!directory.Empty() || !drive.Empty()) && tooWide(result, context)) {
        if (directory == "\\...\\") {
            drive = Text();
            directory = Text("...\\");
        } else if (directory.Empty()) {
            drive = Text();
        } else {
            ShortenDirectory(directory);
        }
        result = drive + directory + fileName;
    }
    return result;
}
