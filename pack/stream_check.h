// Decodes a stream on a second thread while the encoder writes it, so that
// the builder checks every stream it stores at no cost in time: the decoder
// is faster than the encoder and keeps up.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

class StreamCheck {
public:
    StreamCheck();
    // Joins the thread; a check that was not finished sees its stream end.
    ~StreamCheck();
    StreamCheck(const StreamCheck&) = delete;
    StreamCheck& operator=(const StreamCheck&) = delete;

    // The next bytes of the stream; waits while too much is queued.
    void Feed(const uint8_t* bytes, size_t count);

    struct Decoded {
        uint64_t size;
        uint32_t crc;
    };
    // Ends the stream and gives the size and CRC-32 of what it decoded to.
    Decoded Finish();

private:
    void Decode();
    size_t Take(uint8_t* buffer, size_t wanted);

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<uint8_t>> queue_;
    size_t queuedBytes_ = 0;
    size_t offset_ = 0;  // into the front piece
    bool ended_ = false;
    Decoded decoded_{0, 0};
    std::thread thread_;
};
