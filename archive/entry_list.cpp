#include "archive/entry_list.h"

#include <new>

#include "archive/number_text.h"
#include "base/memory.h"

EntryList gEntries;

void ResetEntries() { ClearEntries(); }

void SetEntryCapacity(int32_t slots) {
    for (int32_t i = slots; i < gEntries.count; ++i) gEntries.storage[i].~TStringItem();
    if (gEntries.count > slots) gEntries.count = slots;
    if (slots == 0) {
        Release(gEntries.storage);
        gEntries.storage = nullptr;
    } else {
        // Texts own only a pointer, so slots can move bytewise.
        gEntries.storage = static_cast<TStringItem*>(
            ReallocateOrFail(gEntries.storage, static_cast<size_t>(slots) * sizeof(TStringItem)));
    }
    gEntries.capacity = slots;
}

void AddEntry(const Text& line) {
    if (gEntries.count == gEntries.capacity) SetEntryCapacity(gEntries.count + 8);
    new (&gEntries.storage[gEntries.count]) TStringItem{line};
    ++gEntries.count;
}

int32_t EntryCount() { return gEntries.count; }

const Text& GetEntry(int32_t index) { return gEntries.storage[index].line; }

void ClearEntries() { SetEntryCapacity(0); }

Text GetField(const Text& text, const Text& separator, int n) {
    size_t start = 0;
    auto next = [&](size_t from) {
        return separator.Empty() ? kNotFound : text.Find(separator.Data(), separator.Length(), from);
    };
    size_t p = next(start);
    int k = 1;
    while (p != kNotFound && k < n) {
        ++k;
        start = p + separator.Length();
        p = next(start);
    }
    if (k != n) return Text();
    return p != kNotFound ? text.Sub(start, p - start) : text.Sub(start);
}

Text FormatEntryLine(const CatalogEntry& entry) {
    Text line(entry.name);
    line.Append('\t').Append(IntegerToText(entry.size));
    line.Append('\t').Append(IntegerToText(entry.packedSize));
    line.Append('\t').Append(IntegerToText(entry.attributes));
    line.Append('\t').Append(RealToText(entry.date));
    line.Append('\t').Append(IntegerToText(entry.offset));
    return line;
}

CatalogEntry ParseEntryLine(const Text& line) {
    // The five number fields are the last five: a tab inside the stored name
    // stays in the name, where the path rules refuse it, instead of shifting
    // its text into the numbers.
    const int numberFields = kFieldOffset - kFieldName;
    size_t nameEnd = line.Length();
    int tabs = 0;
    while (tabs < numberFields && nameEnd > 0) {
        if (line[--nameEnd] == '\t') ++tabs;
    }
    // A line with fewer fields has no name; its first field fails as a number.
    CatalogEntry entry;
    size_t at = 0;
    if (tabs == numberFields) {
        entry.name = line.Sub(0, nameEnd);
        at = nameEnd + 1;
    }
    auto next = [&] {
        size_t end = line.Find('\t', at);
        if (end == kNotFound) end = line.Length();
        Text field = line.Sub(at, end - at);
        at = end + 1;
        return field;
    };
    entry.size = TextToInteger(next());
    entry.packedSize = TextToInteger(next());
    entry.attributes = TextToInteger(next());
    entry.date = TextToReal(next());
    entry.offset = TextToInteger(next());
    return entry;
}
