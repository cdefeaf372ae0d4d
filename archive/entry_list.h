// The catalog held in memory: one tab-separated entry line per catalog
// entry, in catalog order.
#pragma once
#include <cstdint>

#include "base/text.h"

struct TStringItem {
    Text line;
};

struct EntryList {
    TStringItem* storage = nullptr;
    int32_t count = 0;
    int32_t capacity = 0;
};
extern EntryList gEntries;

void ResetEntries();
void AddEntry(const Text& line);
int32_t EntryCount();
const Text& GetEntry(int32_t index);
void ClearEntries();
void SetEntryCapacity(int32_t slots);

// The n-th field (1-based) of `text`, or the empty text when there is none.
Text GetField(const Text& text, const Text& separator, int n);

// The entry line's fields, numbered as GetField counts them. Note the order
// differs from the catalog's: the data offset comes last.
enum EntryField { kFieldName = 1, kFieldSize, kFieldPackedSize, kFieldAttributes, kFieldDate, kFieldOffset };

struct CatalogEntry {
    Text name;
    int32_t size = 0;
    int32_t packedSize = 0;
    int32_t offset = 0;
    int32_t attributes = 0;
    double date = 0;  // day count from 30 December 1899
};

Text FormatEntryLine(const CatalogEntry& entry);
// Converts every field back; a field that is not a number raises EConvertError.
CatalogEntry ParseEntryLine(const Text& line);
