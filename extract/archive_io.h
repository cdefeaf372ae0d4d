// The archive source and the file sink between the decoder and the files.
#pragma once
#include <cstdint>

// Opens the archive for the run; false after "Error opening archive file."
bool OpenArchive();
void CloseArchive();

// The decoder's read procedure: never more than what is left of the entry,
// nothing once cancelled.
void ReadArchiveBlock(uint8_t* buffer, uint16_t wanted, uint16_t* delivered);
// The decoder's write procedure: writes the block, counts and checksums
// it, then updates the progress window.
void WriteTargetBlock(const uint8_t* buffer, uint16_t count, uint16_t* written);
