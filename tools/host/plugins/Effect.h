#pragma once
// One live plug-in instance, reached only through its record; closed when it goes away.

#include <functional>
#include <string>

#include "AEffect.h"
#include "Expected.h"
#include "PluginLibrary.h"

namespace vsthost {

class Effect {
public:
    // Size of the zeroed buffer handed to the plug-in for every text it writes.
    static constexpr std::size_t kTextBufferSize = 1024;

    // Whether a shell itself may come back from create, for the commands that list members.
    enum class Shells { refused, allowed };
    // Calls the entry point with the host's callback; fails when it answers null or hands back
    // a record without the interface's magic number or dispatcher. Opens the member of a shell
    // that --shell chose, and refuses a shell opened without one unless `shells` allows it.
    static Expected<Effect> create(const PluginLibrary& library, Shells shells = Shells::refused);
    // The entry point alone, told `currentId` when it asks which plug-in to open.
    static Expected<Effect> enter(const PluginLibrary& library, VstInt32 currentId);
    // The entry point's answer as it is, for a shell the member --shell chose.
    static AEffect* callEntry(const PluginLibrary& library, VstInt32 currentId);
    // Takes over a record that the entry point answered.
    static Effect adopt(AEffect* record) { return Effect(record); }

    Effect(Effect&& other) noexcept;
    Effect& operator=(Effect&& other) noexcept;
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;
    ~Effect();

    AEffect& record() { return *record_; }
    const AEffect& record() const { return *record_; }
    bool hasFlag(VstInt32 flag) const { return (record_->flags & flag) != 0; }
    // Hosts take a plug-in without inputs for an instrument as well as one that says it is.
    bool isInstrument() const { return record_->numInputs == 0 || hasFlag(effFlagsIsSynth); }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);
    // A text the plug-in writes for `opcode` into a zeroed buffer; cut at the buffer's end.
    std::string text(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0);
    void setParameter(VstInt32 index, float value);
    float getParameter(VstInt32 index);

    // The start-up sequence of a host: open, sample rate, block size, resume, start.
    void start(float sampleRate, VstInt32 blockSize);
    // Runs in start once the instance is open, before its rate and size: where a host gives a
    // plug-in its saved state.
    void whenOpened(std::function<void(Effect&)> action) { opened_ = std::move(action); }
    // Stop and suspend, the reverse of start.
    void stop();
    // Resume and start again after stop, with the rate and size set meanwhile.
    void resume();
    // Processes through processReplacing, or, for a plug-in without it, through the legacy
    // accumulating entry into cleared outputs.
    void process(float** inputs, float** outputs, VstInt32 frames);
    // Through processDoubleReplacing, for a plug-in that says it has it.
    bool canProcessDoubles() const {
        return hasFlag(effFlagsCanDoubleReplacing) && record_->processDoubleReplacing != nullptr;
    }
    void processDoubles(double** inputs, double** outputs, VstInt32 frames) {
        record_->processDoubleReplacing(record_, inputs, outputs, frames);
    }

    // Sends effClose; the record is gone afterwards.
    void close();

private:
    explicit Effect(AEffect* record) : record_(record) {}

    AEffect* record_ = nullptr;
    bool running_ = false;
    std::function<void(Effect&)> opened_;
};

// A plug-in loaded from its file with one instance of it, for the commands that need no more;
// the instance closes before its library goes.
struct LoadedEffect {
    PluginLibrary library;
    Effect effect;

    static Expected<LoadedEffect> load(const std::string& path);
};

}  // namespace vsthost
