#include "Effect.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "Host.h"
#include "Opcodes.h"
#include "ShellChoice.h"

namespace vsthost {

Expected<Effect> Effect::create(const PluginLibrary& library, Shells shells) {
    const VstInt32 member = ShellChoice::chosen();
    if (member != 0) {
        if (auto confirmed = ShellChoice::confirm(library); !confirmed) return Error{confirmed.error()};
    }
    auto effect = enter(library, member);
    if (!effect) return effect;
    if (member != 0 && ShellChoice::isShell(*effect)) {
        return Error{"the shell answered itself instead of its plug-in " + ShellChoice::idText(member)};
    }
    if (member == 0 && shells == Shells::refused && ShellChoice::isShell(*effect)) {
        return Error{ShellChoice::refusal(*effect, library.path())};
    }
    return effect;
}

AEffect* Effect::callEntry(const PluginLibrary& library, VstInt32 currentId) {
    Host::instance().setCurrentId(currentId);
    AEffect* record = library.entryPoint()(Host::callback);
    Host::instance().setCurrentId(0);
    return record;
}

Expected<Effect> Effect::enter(const PluginLibrary& library, VstInt32 currentId) {
    const std::string& path = library.path();
    const auto slash = path.find_last_of("/\\");
    Host::instance().setPluginDirectory(slash == std::string::npos ? "." : path.substr(0, slash));
    AEffect* record = callEntry(library, currentId);
    if (record == nullptr) return Error{"the plug-in's entry point answered null"};
    if (record->magic != kEffectMagic || record->dispatcher == nullptr) {
        return Error{"the plug-in's entry point answered a record that is not an effect"};
    }
    return Effect(record);
}

Expected<LoadedEffect> LoadedEffect::load(const std::string& path) {
    auto library = PluginLibrary::load(path);
    if (!library) return Error{library.error()};
    auto effect = Effect::create(*library);
    if (!effect) return Error{effect.error()};
    return LoadedEffect{std::move(*library), std::move(*effect)};
}

Effect::Effect(Effect&& other) noexcept
    : record_(std::exchange(other.record_, nullptr)),
      running_(std::exchange(other.running_, false)),
      opened_(std::move(other.opened_)) {}

Effect& Effect::operator=(Effect&& other) noexcept {
    if (this != &other) {
        close();
        record_ = std::exchange(other.record_, nullptr);
        running_ = std::exchange(other.running_, false);
        opened_ = std::move(other.opened_);
    }
    return *this;
}

Effect::~Effect() { close(); }

VstIntPtr Effect::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                           float opt) {
    return record_->dispatcher(record_, opcode, index, value, ptr, opt);
}

std::string Effect::text(VstInt32 opcode, VstInt32 index, VstIntPtr value) {
    // Twice the size the plug-in is told of: some write past it.
    std::array<char, kTextBufferSize * 2> buffer{};
    dispatch(opcode, index, value, buffer.data());
    buffer[kTextBufferSize - 1] = '\0';
    return std::string(buffer.data());
}

void Effect::setParameter(VstInt32 index, float value) {
    if (record_->setParameter) record_->setParameter(record_, index, value);
}

float Effect::getParameter(VstInt32 index) {
    return record_->getParameter ? record_->getParameter(record_, index) : 0.0f;
}

void Effect::start(float sampleRate, VstInt32 blockSize) {
    Host::instance().setSampleRate(sampleRate);
    Host::instance().setBlockSize(blockSize);
    dispatch(effOpen);
    if (opened_) opened_(*this);
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, blockSize);
    resume();
}

void Effect::resume() {
    dispatch(effMainsChanged, 0, 1);
    dispatch(effStartProcess);
    running_ = true;
}

void Effect::stop() {
    if (!running_) return;
    dispatch(effStopProcess);
    dispatch(effMainsChanged, 0, 0);
    running_ = false;
}

void Effect::process(float** inputs, float** outputs, VstInt32 frames) {
    if (hasFlag(effFlagsCanReplacing) && record_->processReplacing) {
        record_->processReplacing(record_, inputs, outputs, frames);
        return;
    }
    for (VstInt32 channel = 0; channel < record_->numOutputs; ++channel) {
        std::fill_n(outputs[channel], std::max<VstInt32>(frames, 0), 0.0f);
    }
    if (record_->process) record_->process(record_, inputs, outputs, frames);
}

void Effect::close() {
    if (record_ == nullptr) return;
    stop();
    dispatch(effClose);
    record_ = nullptr;
}

}  // namespace vsthost
