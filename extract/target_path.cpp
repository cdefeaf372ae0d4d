#include "extract/target_path.h"

Text IncludeBackslash(const Text& text) {
    Text result(text);
    if (!result.Empty() && !result.EndsWith('\\')) result.Append('\\');
    return result;
}

Text StoredRelativePart(const Text& storedName, bool useDirs) {
    if (!useDirs) return FileNamePart(storedName);
    return storedName.StartsWith('\\') ? storedName.Sub(1) : storedName;
}

// A component of dots and blanks only, which Windows trims to "." or "..".
// An empty one (doubled separators) collapses harmlessly; one of blanks only
// is no name at all.
static bool StepsOut(const char* component, size_t length) {
    if (length == 0) return false;
    for (size_t i = 0; i < length; ++i) {
        if (component[i] != '.' && component[i] != ' ') return false;
    }
    return true;
}

bool StaysInsideDestination(const Text& relativePart) {
    const char* p = relativePart.Data();
    size_t start = 0;
    for (size_t i = 0; i <= relativePart.Length(); ++i) {
        if (i == relativePart.Length() || p[i] == '\\' || p[i] == '/') {
            if (StepsOut(p + start, i - start)) return false;
            start = i + 1;
        }
    }
    return true;
}

// Windows would cut the path at a NUL and keep the rest out of sight, and a
// line break or a tab would split the delete list's lines and the entry
// line's fields.
static bool HoldsControlByte(const Text& text) {
    for (size_t i = 0; i < text.Length(); ++i) {
        if (static_cast<unsigned char>(text[i]) < 32) return true;
    }
    return false;
}

bool IsWritableRelativePart(const Text& relativePart) {
    return StaysInsideDestination(relativePart) && relativePart.Find(':') == kNotFound && !HoldsControlByte(relativePart);
}
