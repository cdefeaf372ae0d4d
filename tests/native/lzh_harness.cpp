#include "tests/native/lzh_harness.h"

#include <cstring>

#include "lzh/block_io.h"

namespace {

struct Feed {
    const std::vector<uint8_t>* stream;
    size_t next;
    unsigned chunk;
    uint32_t random;
    bool ended;
    DecodeRun* run;
} gFeed;

void ReadFromFeed(uint8_t* buffer, uint16_t count, uint16_t* actual) {
    Feed& f = gFeed;
    ++f.run->readCalls;
    if (f.ended) ++f.run->readCallsAfterEnd;
    size_t left = f.stream->size() - f.next;
    size_t n = count < left ? count : left;
    if (f.chunk && n > f.chunk) n = f.chunk;
    if (f.random && n > 1) {
        f.random = f.random * 1103515245u + 12345u;
        n = 1 + (f.random >> 16) % n;
    }
    if (n) memcpy(buffer, f.stream->data() + f.next, n);
    f.next += n;
    if (n == 0) f.ended = true;
    *actual = static_cast<uint16_t>(n);
}

void WriteToRun(const uint8_t* buffer, uint16_t count, uint16_t* written) {
    gFeed.run->writeCounts.push_back(count);
    gFeed.run->output.insert(gFeed.run->output.end(), buffer, buffer + count);
    *written = count;
}

}  // namespace

DecodeRun DecodeThroughSlots(const std::vector<uint8_t>& stream, unsigned chunk, uint32_t chunkSeed) {
    DecodeRun run;
    gFeed = {&stream, 0, chunk, chunkSeed, false, &run};
    lzh::gBlockSlots.ReadBlock = ReadFromFeed;
    lzh::gBlockSlots.WriteBlock = WriteToRun;
    lzh::Decompress();
    return run;
}
