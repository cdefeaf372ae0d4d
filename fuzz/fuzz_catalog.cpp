// The catalog reader on any bytes: it must end, stay in bounds, and every
// entry line it forms must read back to the same values.
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "archive/catalog_reader.h"
#include "archive/entry_list.h"
#include "archive/memory_source.h"
#include "archive/number_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first two bytes choose the archive offset, as string resource 1
    // would; the rest is the file.
    if (size < 2) return 0;
    int32_t offset = static_cast<int16_t>(data[0] | data[1] << 8);
    MemorySource source(data + 2, size - 2);
    ResetEntries();
    int32_t dataAreaStart = 0;
    bool valid = WalkCatalog(source, offset, &dataAreaStart);
    if (valid && (dataAreaStart < 2 || static_cast<size_t>(dataAreaStart) > size - 2)) __builtin_trap();
    for (int32_t i = 0; i < EntryCount(); ++i) {
        const Text& line = GetEntry(i);
        // A name holding tabs shifts the fields; extraction then fails on the
        // conversion, which is the report's business, not the reader's.
        size_t tabs = 0;
        for (size_t k = 0; k < line.Length(); ++k) tabs += line[k] == '\t';
        if (tabs != 5) continue;
        double date = 0;
        bool parsed = TryParseReal(GetField(line, Text("\t"), 5), '.', &date);
        Text field = GetField(line, Text("\t"), 5);
        // NaN and infinities have no number form; every finite date must
        // come back to the same text.
        if (parsed && !(RealToText(date, '.') == field)) __builtin_trap();
        for (int n : {2, 3, 4, 6}) {
            int32_t value;
            if (!TryParseInteger(GetField(line, Text("\t"), n), &value)) __builtin_trap();
        }
    }
    ClearEntries();
    return 0;
}
