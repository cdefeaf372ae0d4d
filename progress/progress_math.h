// The arithmetic of the progress window, in 80-bit extended precision as
// the window has always shown it (53 of 100 shows 52), and the fitting of
// a long path into the file-name line.
#pragma once
#include <cstdint>

#include "base/text.h"

// The integer part of 100 * read / total, computed as (read / total) * 100
// in extended precision; 100 for a total of 0 (a run of empty entries).
int32_t ProgressPercentage(int32_t read, int32_t total);

// The pixels of a bar `width` wide filled at `percent`: percent times the
// extended value nearest 0.01, times the width, truncated; at most width.
int32_t BarSplit(int32_t percent, int32_t width);

// Replaces the first remaining directory level by "...\", keeping a leading
// backslash; "\" becomes empty.
void ShortenDirectory(Text& directory);

// Shortens `path` by whole directory levels, then drops the drive, while
// `tooWide` says the text does not fit; the bare file name is the last step.
using WidthTest = bool (*)(const Text& text, void* context);
Text FitFileName(const Text& path, WidthTest tooWide, void* context);
