// A test instrument that writes down, as audio, the musical time the host tells it: in every
// block it asks audioMasterGetTime and fills each output channel with one field of the answer,
// so a test reads the transport back from the file the host writes. The last channel marks
// each note-on at its frame with its key.
#include <cstring>
#include <vector>

#include "AEffect.h"
#include "EventRecords.h"
#include "Opcodes.h"

#include "TestExport.h"

namespace {

enum ProbeChannel {
    kSamplePos,
    kPpqPos,
    kTempo,
    kBarStartPos,
    kNumerator,
    kDenominator,
    kFlags,
    kNoteOns,
    kChannelCount
};

constexpr VstInt32 kAskedFields = kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;

struct NoteOn {
    VstInt32 frame;
    int key;
};

struct Probe {
    AEffect record{};
    HostCallback host = nullptr;
    std::vector<NoteOn> pending;  // from the events of the block about to be processed
};

Probe& probeOf(AEffect* record) { return *static_cast<Probe*>(record->object); }

void keepNoteOns(Probe& probe, const VstEvents& list) {
    for (VstInt32 i = 0; i < list.numEvents; ++i) {
        const VstEvent& event = *list.events[i];
        if (event.type != kVstMidiType) continue;
        const auto& midi = reinterpret_cast<const VstMidiEvent&>(event);
        const auto status = static_cast<unsigned char>(midi.midiData[0]) & 0xF0;
        if (status == 0x90 && midi.midiData[2] != 0) probe.pending.push_back({midi.deltaFrames, midi.midiData[1]});
    }
}

VstIntPtr VST_CALL dispatch(AEffect* record, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float) {
    Probe& probe = probeOf(record);
    switch (opcode) {
    case effClose: delete &probe; return 1;
    case effProcessEvents:
        if (ptr) keepNoteOns(probe, *static_cast<const VstEvents*>(ptr));
        return 1;
    case effCanDo:
        return ptr && (std::strcmp(static_cast<const char*>(ptr), "receiveVstMidiEvent") == 0 ||
                       std::strcmp(static_cast<const char*>(ptr), "receiveVstTimeInfo") == 0);
    default: return 0;
    }
}

void fill(float* channel, VstInt32 frames, double value) {
    for (VstInt32 i = 0; i < frames; ++i) channel[i] = static_cast<float>(value);
}

void VST_CALL processReplacing(AEffect* record, float**, float** outputs, VstInt32 frames) {
    Probe& probe = probeOf(record);
    const auto answer = probe.host(record, audioMasterGetTime, 0, kAskedFields, nullptr, 0.0f);
    // No answer shows as -1 everywhere, which no transport field can be.
    VstTimeInfo none{};
    none.samplePos = none.ppqPos = none.tempo = none.barStartPos = -1;
    none.timeSigNumerator = none.timeSigDenominator = none.flags = -1;
    const VstTimeInfo& time = answer ? *reinterpret_cast<const VstTimeInfo*>(answer) : none;
    fill(outputs[kSamplePos], frames, time.samplePos);
    fill(outputs[kPpqPos], frames, time.ppqPos);
    fill(outputs[kTempo], frames, time.tempo);
    fill(outputs[kBarStartPos], frames, time.barStartPos);
    fill(outputs[kNumerator], frames, time.timeSigNumerator);
    fill(outputs[kDenominator], frames, time.timeSigDenominator);
    fill(outputs[kFlags], frames, time.flags);
    fill(outputs[kNoteOns], frames, 0);
    for (const NoteOn& note : probe.pending) {
        if (note.frame >= 0 && note.frame < frames) outputs[kNoteOns][note.frame] = static_cast<float>(note.key);
    }
    probe.pending.clear();
}

}  // namespace

extern "C" TEST_EXPORT AEffect* VST_CALL VSTPluginMain(HostCallback host) {
    auto* probe = new Probe;
    probe->host = host;
    AEffect& record = probe->record;
    record.magic = kEffectMagic;
    record.dispatcher = dispatch;
    record.processReplacing = processReplacing;
    record.numInputs = 0;
    record.numOutputs = kChannelCount;
    record.flags = effFlagsCanReplacing | effFlagsIsSynth;
    record.ioRatio = 1.0f;
    record.object = probe;
    record.uniqueID = fourCharacters('t', 'T', 'm', 'P');
    record.version = 1;
    return &record;
}
