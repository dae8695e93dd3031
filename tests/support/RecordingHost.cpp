#include "RecordingHost.h"

namespace {

RecordingHost* current = nullptr;

}  // namespace

RecordingHost::RecordingHost() : answers{{1, 2400}}, previous(current) { current = this; }

RecordingHost::~RecordingHost() { current = previous; }

VstIntPtr VST_CALL RecordingHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                           VstIntPtr value, void* ptr, float opt) {
    if (current == nullptr) return 0;
    current->calls.push_back({effect, opcode, index, value, ptr, opt});
    const auto found = current->answers.find(opcode);
    return found != current->answers.end() ? found->second : 0;
}
