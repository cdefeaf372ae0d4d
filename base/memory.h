// Heap access for the core. Both return null on failure; AllocateOrFail
// ends the program through the failure report instead.
#pragma once
#include <cstddef>

void* TryAllocate(size_t size);
void* TryReallocate(void* block, size_t size);
void Release(void* block);
void* AllocateOrFail(size_t size);
void* ReallocateOrFail(void* block, size_t size);
