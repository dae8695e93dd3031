#include "CheckContext.h"

#include "ChildChannel.h"
#include "EffectState.h"

namespace vsthost {

void CheckContext::send(char kind, const std::string& name, const std::string& detail) {
    given_.insert(name);
    ChildChannel::send(static_cast<ChildChannel::Kind>(kind), name, detail);
}

void CheckContext::step(const std::string& text) { ChildChannel::send(ChildChannel::kStep, text); }

void CheckContext::pass(const std::string& name, const std::string& detail) {
    send(ChildChannel::kPass, name, detail);
}

void CheckContext::fail(const std::string& name, const std::string& detail) {
    anyFailed_ = true;
    send(ChildChannel::kFail, name, detail);
}

void CheckContext::skip(const std::string& name, const std::string& reason) {
    send(ChildChannel::kSkip, name, reason);
}

void CheckContext::warn(const std::string& name, const std::string& detail) {
    ChildChannel::send(ChildChannel::kWarn, name, detail);
}

bool CheckContext::check(const std::string& name, bool ok, const std::string& failDetail,
                         const std::string& passDetail) {
    if (ok) pass(name, passDetail);
    else fail(name, failDetail);
    return ok;
}

void CheckContext::skipRest(const std::string& reason) {
    for (const auto& name : verdicts_) {
        if (!given_.count(name)) skip(name, reason);
    }
}

Expected<Effect> CheckContext::fresh() {
    step("a new instance");
    auto effect = Effect::create(library_);
    if (!effect) {
        for (const auto& name : verdicts_) {
            if (!given_.count(name)) fail(name, effect.error());
        }
        return effect;
    }
    // Taken already by the entry point check, which stops the run when the plug-in refuses it.
    if (options_.preset) effect->whenOpened([this](Effect& opened) { EffectState::apply(opened, *options_.preset); });
    return effect;
}

}  // namespace vsthost
