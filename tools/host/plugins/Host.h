#pragma once
// The host side of the interface: the callback every plug-in instance talks to. It answers
// like a real host (version 2400, vendor and product, capabilities, sample rate and block
// size, window sizing) and can trace every call to stderr.

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "AEffect.h"
#include "EventRecords.h"
#include "Transport.h"

namespace vsthost {

class Host {
public:
    static constexpr VstIntPtr kVersion = 2400;
    static constexpr const char* kVendor = "Lanter5 Project";
    static constexpr const char* kProduct = "vsthost";
    static constexpr VstIntPtr kVendorVersion = 1000;

    // One host per process: the callback carries no context of its own, and the entry point's
    // first call comes before any record exists.
    static Host& instance();
    static VstIntPtr VST_CALL callback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                       VstIntPtr value, void* ptr, float opt);

    void setTrace(bool on) { trace_ = on; }
    // Where trace lines go instead of stderr: a child's stderr is the plug-in's.
    void setTraceSink(std::function<void(const std::string&)> sink) { traceSink_ = std::move(sink); }
    bool tracing() const { return trace_; }
    void setSampleRate(float rate) { sampleRate_ = rate; }
    void setBlockSize(VstInt32 frames) { blockSize_ = frames; }
    float sampleRate() const { return sampleRate_; }
    VstInt32 blockSize() const { return blockSize_; }
    void setPluginDirectory(std::string directory);
    // The unique id a shell's entry point is told to open; 0 for the shell itself.
    void setCurrentId(VstInt32 id) { currentId_ = id; }

    // The editor's window, resized when the plug-in asks for "sizeWindow"; empty: no window.
    void setWindowSizer(std::function<bool(int width, int height)> sizer);

    // Opcodes the plug-in sends from now until stopRecording, in order, from any thread.
    void startRecording();
    std::vector<VstInt32> stopRecording();

    // The transport audioMasterGetTime reports, standing at frame `samplePos`; without one the
    // host answers that it has no time.
    void setTransport(const Transport* transport);
    void setTransportPosition(double samplePos);

    // Marks the calling thread as the audio thread, for the process-level query.
    static void markAudioThread();

private:
    Host() = default;
    VstIntPtr timeInfo(VstInt32 filter);
    VstIntPtr answer(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt);
    void traceCall(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                   float opt, VstIntPtr result);

    std::atomic<bool> trace_ = false;
    std::function<void(const std::string&)> traceSink_;
    std::atomic<float> sampleRate_ = 44100.0f;
    std::atomic<VstInt32> blockSize_ = 512;
    std::atomic<VstInt32> currentId_ = 0;
    std::mutex mutex_;
    std::string pluginDirectory_;
    std::function<bool(int, int)> windowSizer_;
    bool recording_ = false;
    std::vector<VstInt32> recorded_;
    const Transport* transport_ = nullptr;
    double transportPosition_ = 0;
    VstTimeInfo timeInfo_{};  // the record last answered; valid until the next query
};

}  // namespace vsthost
