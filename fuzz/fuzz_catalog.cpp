// The catalog reader on any bytes: it must end, stay in bounds, and every
// entry line it forms must read back to the same values.
#include <cstdint>
#include <cstring>

#include "archive/catalog_reader.h"
#include "archive/entry_list.h"
#include "archive/memory_source.h"
#include "archive/number_text.h"
#include "base/failure_native.h"

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
        // Every line reads back to itself, whatever its name holds (tabs
        // included); only a date with no number form (NaN, infinities)
        // fails to convert.
        CatalogEntry entry;
        try {
            entry = ParseEntryLine(line);
        } catch (const Failure& failure) {
            if (failure.kind != FailureKind::EConvertError) __builtin_trap();
            continue;
        }
        if (!(FormatEntryLine(entry) == line)) __builtin_trap();
    }
    ClearEntries();
    return 0;
}
