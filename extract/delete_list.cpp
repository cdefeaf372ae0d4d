#include "extract/delete_list.h"

void ForEachListLine(const Text& content, ListLineVisitor visit, void* context) {
    const char* p = content.Data();
    size_t end = content.Length(), i = 0;
    while (i < end && p[i] != 26) {
        size_t start = i;
        while (i < end && p[i] != '\r' && p[i] != 26) ++i;
        visit(content.Sub(start, i - start), context);
        if (i < end && p[i] == '\r') {
            ++i;
            if (i < end && p[i] == '\n') ++i;
        }
    }
}
