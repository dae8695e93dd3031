#include "AudioThread.h"

#include <chrono>

#include "ChannelBuffers.h"
#include "Host.h"
#include "TestSignal.h"

namespace vsthost {

AudioThread::AudioThread(Effect& effect, int sampleRate, int blockSize)
    : effect_(effect), thread_([this, sampleRate, blockSize] { run(sampleRate, blockSize); }) {}

AudioThread::~AudioThread() { stop(); }

void AudioThread::waitForBlocks(std::size_t blocks) const {
    while (blocks_ < blocks && !stopping_) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void AudioThread::stop() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
}

void AudioThread::run(int sampleRate, int blockSize) {
    Host::markAudioThread();
    const auto frames = static_cast<std::size_t>(blockSize);
    const AudioData signal = TestSignal::clean(sampleRate, frames * 8, 2);
    ChannelBuffers inputs(effect_.record().numInputs, frames);
    ChannelBuffers outputs(effect_.record().numOutputs, frames);
    for (std::size_t block = 0; !stopping_; ++block) {
        inputs.load(signal, (block % 8) * frames, frames);
        outputs.mark();
        effect_.process(inputs.pointers(), outputs.pointers(), blockSize);
        if (!outputs.clean(frames) || !outputs.guardsIntact(frames)) clean_ = false;
        ++blocks_;
    }
}

}  // namespace vsthost
