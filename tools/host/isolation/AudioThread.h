#pragma once
// Processes a clean signal on a thread of its own, block after block, until stopped; the
// validation sends opcodes from the main thread meanwhile, as a host's user interface does.

#include <atomic>
#include <cstddef>
#include <thread>

#include "Effect.h"

namespace vsthost {

class AudioThread {
public:
    AudioThread(Effect& effect, int sampleRate, int blockSize);
    AudioThread(const AudioThread&) = delete;
    AudioThread& operator=(const AudioThread&) = delete;
    ~AudioThread();

    // Blocks until the thread has processed at least `blocks` blocks.
    void waitForBlocks(std::size_t blocks) const;
    void stop();

    std::size_t blocks() const { return blocks_; }
    // True while every block so far came out finite, normal and inside its frame count.
    bool clean() const { return clean_; }

private:
    void run(int sampleRate, int blockSize);

    Effect& effect_;
    std::atomic<bool> stopping_ = false;
    std::atomic<std::size_t> blocks_ = 0;
    std::atomic<bool> clean_ = true;
    std::thread thread_;
};

}  // namespace vsthost
