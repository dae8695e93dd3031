#include "Host.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "AudioCallWatch.h"
#include "OpcodeNames.h"
#include "Opcodes.h"

namespace vsthost {

namespace {

// Longest vendor or product text a plug-in's buffer is expected to hold, terminator included.
constexpr std::size_t kHostTextSize = 64;

// Process levels of the host interface: user interface thread and real-time audio thread.
constexpr VstIntPtr kProcessLevelUser = 1;
constexpr VstIntPtr kProcessLevelRealtime = 2;

// What a plug-in may ask from inside an audio call: its time, events for the host, automation,
// and facts a host answers without waiting. Windows, edits, files and the rest belong to other
// threads.
bool isForAudioThread(VstInt32 opcode) {
    switch (opcode) {
    case audioMasterAutomate: case audioMasterVersion: case audioMasterCurrentId: case audioMasterGetTime:
    case audioMasterProcessEvents: case audioMasterGetSampleRate: case audioMasterGetBlockSize:
    case audioMasterGetInputLatency: case audioMasterGetOutputLatency:
    case audioMasterLegacyWillReplaceOrAccumulate: case audioMasterGetCurrentProcessLevel:
    case audioMasterGetAutomationState:
        return true;
    default:
        return false;
    }
}
constexpr VstIntPtr kAutomationOff = 1;
constexpr VstIntPtr kLanguageEnglish = 1;

thread_local bool onAudioThread = false;

VstIntPtr canDoAnswer(const char* text) {
    if (text == nullptr) return 0;
    const std::string_view capability(text, strnlen(text, 256));
    for (std::string_view yes : {"sizeWindow", "supplyIdle", "startStopProcess", "sendVstEvents",
                                 "sendVstMidiEvent", "sendVstTimeInfo"}) {
        if (capability == yes) return 1;
    }
    for (std::string_view no : {"receiveVstEvents",
                                "receiveVstMidiEvent", "offline", "openFileSelector",
                                "closeFileSelector", "editFile", "shellCategory"}) {
        if (capability == no) return -1;
    }
    return 0;
}

bool writeText(void* ptr, const char* text) {
    if (ptr == nullptr) return false;
    auto* destination = static_cast<char*>(ptr);
    std::strncpy(destination, text, kHostTextSize - 1);
    destination[kHostTextSize - 1] = '\0';
    return true;
}

// Host opcodes whose ptr carries a text from the plug-in, and those whose ptr receives one.
bool sendsText(VstInt32 opcode) { return opcode == audioMasterCanDo; }
bool receivesText(VstInt32 opcode) {
    return opcode == audioMasterGetVendorString || opcode == audioMasterGetProductString;
}

}  // namespace

Host& Host::instance() {
    static Host host;
    return host;
}

VstIntPtr VST_CALL Host::callback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                  VstIntPtr value, void* ptr, float opt) {
    if (AudioCallWatch::inAudioCall() && !isForAudioThread(opcode)) {
        AudioCallWatch::heard(hostOpcodeLiteral(opcode), CallKind::hostCall);
    }
    // What the host does to answer is its own work, not the plug-in's.
    const AudioCallWatch::Pause hostsOwn;
    Host& host = instance();
    const VstIntPtr result = host.answer(effect, opcode, index, value, ptr, opt);
    if (host.trace_) host.traceCall(effect, opcode, index, value, ptr, opt, result);
    return result;
}

void Host::setPluginDirectory(std::string directory) {
    std::lock_guard lock(mutex_);
    pluginDirectory_ = std::move(directory);
}

void Host::setWindowSizer(std::function<bool(int, int)> sizer) {
    std::lock_guard lock(mutex_);
    windowSizer_ = std::move(sizer);
}

void Host::startRecording() {
    std::lock_guard lock(mutex_);
    recorded_.clear();
    recording_ = true;
}

std::vector<VstInt32> Host::stopRecording() {
    std::lock_guard lock(mutex_);
    recording_ = false;
    return std::move(recorded_);
}

void Host::setTransport(const Transport* transport) {
    std::lock_guard lock(mutex_);
    transport_ = transport;
    transportPosition_ = 0;
}

void Host::setTransportPosition(double samplePos) {
    std::lock_guard lock(mutex_);
    transportPosition_ = samplePos;
}

VstIntPtr Host::timeInfo(VstInt32 filter) {
    std::lock_guard lock(mutex_);
    if (transport_ == nullptr) return 0;
    timeInfo_ = transport_->at(transportPosition_, filter);
    return reinterpret_cast<VstIntPtr>(&timeInfo_);
}

void Host::markAudioThread() { onAudioThread = true; }

VstIntPtr Host::answer(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                       float) {
    {
        std::lock_guard lock(mutex_);
        if (recording_) recorded_.push_back(opcode);
    }
    switch (opcode) {
    case audioMasterVersion: return kVersion;
    case audioMasterCurrentId: return currentId_;
    case audioMasterIOChanged: return 1;
    case audioMasterSizeWindow: {
        std::function<bool(int, int)> sizer;
        {
            std::lock_guard lock(mutex_);
            sizer = windowSizer_;
        }
        return sizer && sizer(index, static_cast<int>(value)) ? 1 : 0;
    }
    case audioMasterGetTime: return timeInfo(static_cast<VstInt32>(value));
    case audioMasterGetSampleRate: return static_cast<VstIntPtr>(sampleRate_.load());
    case audioMasterGetBlockSize: return blockSize_;
    case audioMasterGetCurrentProcessLevel:
        return onAudioThread ? kProcessLevelRealtime : kProcessLevelUser;
    case audioMasterGetAutomationState: return kAutomationOff;
    case audioMasterGetVendorString: return writeText(ptr, kVendor) ? 1 : 0;
    case audioMasterGetProductString: return writeText(ptr, kProduct) ? 1 : 0;
    case audioMasterGetVendorVersion: return kVendorVersion;
    case audioMasterCanDo: return canDoAnswer(static_cast<const char*>(ptr));
    case audioMasterGetLanguage: return kLanguageEnglish;
    case audioMasterGetDirectory: {
        std::lock_guard lock(mutex_);
        return reinterpret_cast<VstIntPtr>(pluginDirectory_.c_str());
    }
    case audioMasterUpdateDisplay:
    case audioMasterBeginEdit:
    case audioMasterEndEdit: return 1;
    default: return 0;
    }
}

void Host::traceCall(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float opt, VstIntPtr result) {
    std::string text;
    if (ptr != nullptr && (sendsText(opcode) || (receivesText(opcode) && result != 0))) {
        const auto* chars = static_cast<const char*>(ptr);
        text = " \"" + std::string(chars, strnlen(chars, 256)) + "\"";
    }
    char line[1024];
    std::snprintf(line, sizeof line, "trace: %s(%d) effect=%p index=%d value=%" PRIdPTR " ptr=%p%s opt=%g -> %" PRIdPTR,
                  hostOpcodeName(opcode).c_str(), static_cast<int>(opcode), static_cast<void*>(effect),
                  static_cast<int>(index), value, ptr, text.c_str(), static_cast<double>(opt), result);
    std::lock_guard lock(mutex_);
    if (traceSink_) traceSink_(line);
    else std::fprintf(stderr, "%s\n", line);
}

}  // namespace vsthost
