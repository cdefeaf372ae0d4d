#include "base/memory.h"

#include <cstdlib>

#include "base/failure.h"
#include "base/messages.h"

void* TryAllocate(size_t size) { return malloc(size ? size : 1); }

void* TryReallocate(void* block, size_t size) { return realloc(block, size ? size : 1); }

void Release(void* block) { free(block); }

[[noreturn]] static void RaiseOutOfMemory() {
    RaiseFailure(FailureKind::EOutOfMemory, LoadMessage(kMsgOutOfMemory));
}

void* AllocateOrFail(size_t size) {
    void* block = TryAllocate(size);
    if (!block) RaiseOutOfMemory();
    return block;
}

void* ReallocateOrFail(void* block, size_t size) {
    void* grown = TryReallocate(block, size);
    if (!grown) RaiseOutOfMemory();
    return grown;
}
