// A session reopened in a host: the plug-in's bank and program, as its chunks or its parameter
// values, taken and given back, through a written file and into a new instance, must bring back
// every parameter of every program, the program and its names, the same sound, and the same
// chunk. A strict host also hands it damaged chunks, which it must refuse without a trace or
// take whole.
#include <algorithm>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "CheckContext.h"
#include "CheckRegistry.h"
#include "CheckTools.h"
#include "EffectState.h"
#include "FileName.h"
#include "Opcodes.h"
#include "PresetFile.h"
#include "RecordText.h"
#include "TestSignal.h"

namespace vsthost {

namespace {

constexpr int kRate = 44100;
constexpr VstInt32 kBlock = 512;
// Values kept as text or in fewer bits come back this close; a setting that is lost does not.
constexpr float kValueTolerance = 1e-5f;
constexpr float kSampleTolerance = 1e-4f;  // -80 dBFS
// The leading bytes every chunk of a plug-in shares, its format's mark, are damaged up to here.
constexpr std::size_t kMarkBytes = 8;

const char* const kBank = "bank restored through a written file";
const char* const kProgram = "program restored";
const char* const kNewInstance = "bank carried into a new instance";
const char* const kSameChunk = "chunk carried whole into a new instance";
const char* const kRefused = "damaged chunks refused without a trace";
const char* const kFiniteAfter = "finite audio after damaged chunks";

std::vector<std::string> verdicts(const ValidationOptions&) {
    return {kBank, kProgram, kNewInstance, kSameChunk, kRefused, kFiniteAfter};
}

// What a host shows of a plug-in's state: the program, every program's name, and the current
// program's parameter values; read without selecting programs, which may load presets over
// it. `programValues` holds every program's values, each selected in turn, where it is taken.
struct Snapshot {
    VstIntPtr program = 0;
    std::vector<std::string> names;
    std::vector<float> values;
    std::vector<std::vector<float>> programValues;
};

std::vector<float> values(Effect& effect) {
    std::vector<float> read;
    for (VstInt32 index = 0; index < std::min(effect.record().numParams, kWalkLimit); ++index) {
        read.push_back(effect.getParameter(index));
    }
    return read;
}

std::vector<std::vector<float>> everyProgramsValues(Effect& effect) {
    const VstIntPtr current = effect.dispatch(effGetProgram);
    std::vector<std::vector<float>> read;
    for (VstInt32 program = 0; program < std::min(effect.record().numPrograms, kWalkLimit); ++program) {
        effect.dispatch(effSetProgram, 0, program);
        read.push_back(values(effect));
    }
    effect.dispatch(effSetProgram, 0, current);
    return read;
}

Snapshot snapshot(Effect& effect, bool everyProgram = false) {
    Snapshot taken;
    taken.program = effect.dispatch(effGetProgram);
    for (VstInt32 index = 0; index < std::min(effect.record().numPrograms, kWalkLimit); ++index) {
        taken.names.push_back(effect.text(effGetProgramNameIndexed, index, -1));
    }
    taken.names.push_back(effect.text(effGetProgramName));
    taken.values = values(effect);
    if (everyProgram) taken.programValues = everyProgramsValues(effect);
    return taken;
}

// The first of `now` that is not `before`'s, as "parameter 3 "Cutoff" is 0.5, was 0.25".
std::string valueDifference(Effect& effect, const std::vector<float>& before, const std::vector<float>& now) {
    for (std::size_t index = 0; index < before.size(); ++index) {
        const bool bothNaN = std::isnan(before[index]) && std::isnan(now[index]);
        if (!bothNaN && !(std::fabs(before[index] - now[index]) <= kValueTolerance)) {
            return parameterName(effect, static_cast<VstInt32>(index)) + " is " + valueText(now[index]) + ", was " +
                   valueText(before[index]);
        }
    }
    return {};
}

std::string programsDifference(Effect& effect, const std::vector<std::vector<float>>& before,
                               const std::vector<std::vector<float>>& now) {
    for (std::size_t program = 0; program < std::min(before.size(), now.size()); ++program) {
        const std::string changed = valueDifference(effect, before[program], now[program]);
        if (!changed.empty()) return "program " + std::to_string(program) + "'s " + changed;
    }
    return {};
}

// How `now` differs from `before`, the first difference named; empty when it does not.
std::string difference(Effect& effect, const Snapshot& before, const Snapshot& now) {
    if (std::string changed = valueDifference(effect, before.values, now.values); !changed.empty()) return changed;
    if (std::string changed = programsDifference(effect, before.programValues, now.programValues); !changed.empty()) {
        return changed;
    }
    if (before.program != now.program) {
        return "program " + std::to_string(now.program) + " is current, " + std::to_string(before.program) +
               " was";
    }
    for (std::size_t index = 0; index < before.names.size(); ++index) {
        if (before.names[index] != now.names[index]) {
            const bool current = index + 1 == before.names.size();
            return (current ? "the current program's" : "program " + std::to_string(index) + "'s") + " name is " +
                   quoted(now.names[index]) + ", was " + quoted(before.names[index]);
        }
    }
    return {};
}

// Half a range away from the current value, so that a switch flips and a knob moves far.
float moved(float value) { return value < 0.5f ? value + 0.5f : value - 0.5f; }

void moveParameters(Effect& effect) {
    for (VstInt32 index = 0; index < std::min(effect.record().numParams, kWalkLimit); ++index) {
        effect.setParameter(index, moved(effect.getParameter(index)));
    }
}

void rename(Effect& effect, const std::string& name) {
    char text[PresetFile::kNameBytes] = {};
    std::snprintf(text, sizeof text, "%s", name.c_str());
    effect.dispatch(effSetProgramName, 0, 0, text);
}

// Every program renamed and its parameters moved, and another program left current.
void changeEverything(Effect& effect) {
    const VstInt32 programs = std::min(effect.record().numPrograms, kWalkLimit);
    const auto current = static_cast<VstInt32>(effect.dispatch(effGetProgram));
    for (VstInt32 program = 0; program < programs; ++program) {
        effect.dispatch(effSetProgram, 0, program);
        rename(effect, "vsthost " + std::to_string(program));
        moveParameters(effect);
    }
    if (programs > 1) effect.dispatch(effSetProgram, 0, (current + 1) % programs);
    if (programs == 0) moveParameters(effect);
}

// The file as a host would keep it: written out and read back.
Expected<PresetFile> throughFile(const PresetFile& file) {
    std::error_code error;
    const auto folder = std::filesystem::temp_directory_path(error);
    if (error) return Error{"vsthost has no folder for temporary files: " + error.message()};
    const std::string path =
        FileName::text(folder / ("vsthost-state-" + std::to_string(std::random_device{}()) + ".fxb"));
    const std::string bytes = file.bytes();
    if (auto written = FileName::write(path, bytes.data(), bytes.size()); !written) {
        return Error{"vsthost could not write '" + path + "': " + written.error()};
    }
    auto read = PresetFile::read(path);
    FileName::remove(path);
    return read;
}

// What a state sounds like, and whether the plug-in renders it alike twice.
struct Sound {
    AudioData audio;
    bool repeatable = false;
};

Sound listen(Effect& effect, const AudioData& signal) {
    Sound sound{renderFromReset(effect, signal, kBlock), false};
    sound.repeatable = sameBits(sound.audio, renderFromReset(effect, signal, kBlock));
    return sound;
}

// Gives the verdict on a restored state: its snapshot, then its sound, then the values of every
// program where `before` holds them; selecting programs comes last, as it may load presets.
void judge(CheckContext& context, const char* verdict, Effect& effect, const Snapshot& before,
           const Sound& sound, const AudioData& signal) {
    std::string changed = difference(effect, before, snapshot(effect));
    std::string note;
    if (changed.empty() && !sound.repeatable) {
        note = "the sound not compared: the plug-in does not render alike twice";
    } else if (changed.empty()) {
        const std::string sounds = firstDifference(sound.audio, renderFromReset(effect, signal, kBlock), kSampleTolerance);
        if (!sounds.empty()) changed = "the sound differs, " + sounds;
    }
    if (changed.empty() && !before.programValues.empty()) {
        changed = programsDifference(effect, before.programValues, everyProgramsValues(effect));
    }
    if (!changed.empty()) context.fail(verdict, changed);
    else context.pass(verdict, note);
}

bool applied(CheckContext& context, const char* verdict, Effect& effect, const Expected<PresetFile>& file) {
    if (!file) {
        context.fail(verdict, file.error());
        return false;
    }
    const auto taken = EffectState::apply(effect, *file);
    if (!taken) context.fail(verdict, "the state " + taken.error());
    return static_cast<bool>(taken);
}

struct Damage {
    std::string what;
    std::string chunk;
    bool mustRefuse = false;  // not a chunk the plug-in could have written
};

// The plug-in's own bank chunk damaged the ways files and hosts damage them. `other` is a
// chunk of another state: the bytes both start with mark the format.
std::vector<Damage> damages(const std::string& chunk, const std::string& other) {
    std::vector<Damage> list = {
        {"cut to half its length", chunk.substr(0, chunk.size() / 2)},
        {"of zeros", std::string(chunk.size(), '\0')},
        {"of random bytes", std::string(chunk.size(), '\0')},
        {"of no bytes", {}},
        {"with its last 4 bytes set to 0xFF", chunk},
    };
    std::mt19937 random(2400);
    for (char& byte : list[2].chunk) byte = static_cast<char>(random());
    for (std::size_t i = chunk.size() - std::min<std::size_t>(4, chunk.size()); i < chunk.size(); ++i) {
        list[4].chunk[i] = '\xFF';
    }
    for (std::size_t i = 0; i < kMarkBytes && i < chunk.size() && i < other.size() && chunk[i] == other[i]; ++i) {
        Damage marked{"with byte " + std::to_string(i) + " of the mark all its chunks start with changed", chunk, true};
        marked.chunk[i] = static_cast<char>(~chunk[i]);
        list.push_back(marked);
    }
    return list;
}

Expected<std::string> bankChunk(Effect& effect) {
    auto file = EffectState::capture(effect, PresetFile::Kind::bank);
    if (!file) return Error{file.error()};
    return file->chunk;
}

// Where two chunks part, as "from byte 40 on" or "in size: 96 bytes, was 100".
std::string whereChunksDiffer(const std::string& was, const std::string& is) {
    if (was.size() != is.size()) {
        return "in size: " + std::to_string(is.size()) + " bytes, was " + std::to_string(was.size());
    }
    const auto parted = std::mismatch(was.begin(), was.end(), is.begin()).first - was.begin();
    return "from byte " + std::to_string(parted) + " on";
}

// What a plug-in keeps only in its chunk (its editor's page or size, a setting that is no
// parameter) shows nowhere else: the new instance must give back the chunk it was given. A
// chunk may also hold a stamp of its own on purpose, so a difference fails only a strict run.
void sameChunk(CheckContext& context, Effect& effect, const std::string& given) {
    context.step("reading the new instance's bank back");
    const auto first = bankChunk(effect);
    const auto again = bankChunk(effect);
    if (!first || !again) {
        context.fail(kSameChunk, first ? again.error() : first.error());
    } else if (*first != *again) {
        context.pass(kSameChunk, "not compared: the plug-in's chunk differs between two readings");
    } else if (*first == given) {
        context.pass(kSameChunk);
    } else if (context.atLeast(Level::strict)) {
        context.fail(kSameChunk, "its chunk differs from the one it was given " + whereChunksDiffer(given, *first));
    } else {
        context.warn(kSameChunk, "its chunk differs from the one it was given " + whereChunksDiffer(given, *first) +
                                     "; a setting kept only there is lost, or the chunk holds a stamp");
        context.pass(kSameChunk, "differs, reported above");
    }
}

void damagedChunks(CheckContext& context, Effect& effect, const std::string& chunk, const AudioData& signal) {
    changeEverything(effect);
    const auto other = bankChunk(effect);
    if (!other) {
        context.fail(kRefused, other.error());
        return;
    }
    std::string trace;
    std::string nonFinite;
    for (const Damage& damage : damages(chunk, *other)) {
        context.step("a bank chunk " + damage.what);
        const Snapshot before = snapshot(effect, true);
        std::string copy = damage.chunk;
        char none = 0;
        const VstIntPtr taken = effect.dispatch(effSetChunk, 0, static_cast<VstIntPtr>(copy.size()),
                                                copy.empty() ? &none : copy.data());
        const std::string changed = difference(effect, before, snapshot(effect, true));
        if (trace.empty() && !changed.empty() && (taken == 0 || damage.mustRefuse)) {
            trace = (taken == 0 ? "refused" : "took") + std::string(" a bank chunk ") + damage.what + ", and " + changed;
        }
        const SampleFault fault = firstNonFinite(renderFromReset(effect, signal, kBlock));
        if (fault && nonFinite.empty()) nonFinite = fault.text() + " after a bank chunk " + damage.what;
        if (taken != 0) changeEverything(effect);
    }
    context.check(kRefused, trace.empty(), trace);
    context.check(kFiniteAfter, nonFinite.empty(), nonFinite);
}

void run(CheckContext& context) {
    auto effect = context.fresh();
    if (!effect) return;
    effect->start(static_cast<float>(kRate), kBlock);
    const AudioData signal = TestSignal::clean(kRate, 4 * kBlock, std::max(effect->record().numInputs, 1));

    context.step("taking the bank");
    // Without programs or chunks, a plug-in's whole state is its one program.
    const bool banks = effect->record().numPrograms > 0 || effect->hasFlag(effFlagsProgramChunks);
    auto bank = EffectState::capture(*effect, banks ? PresetFile::Kind::bank : PresetFile::Kind::program);
    Snapshot original = snapshot(*effect);
    const Sound sound = listen(*effect, signal);
    original.programValues = everyProgramsValues(*effect);
    if (!bank) {
        context.fail(kBank, bank.error());
        context.skipRest("there is no state to give back");
        return;
    }

    context.step("changing every program and giving the bank back");
    changeEverything(*effect);
    if (applied(context, kBank, *effect, throughFile(*bank))) judge(context, kBank, *effect, original, sound, signal);

    context.step("changing the program and giving it back");
    const auto program = EffectState::capture(*effect, PresetFile::Kind::program);
    const Snapshot beforeProgram = snapshot(*effect);
    const Sound programSound = listen(*effect, signal);
    moveParameters(*effect);
    rename(*effect, "vsthost changed");
    if (applied(context, kProgram, *effect, program)) {
        judge(context, kProgram, *effect, beforeProgram, programSound, signal);
    }

    auto second = context.fresh();
    if (!second) return;
    context.step("giving the bank to a new instance");
    second->start(static_cast<float>(kRate), kBlock);
    if (applied(context, kNewInstance, *second, *bank)) judge(context, kNewInstance, *second, original, sound, signal);

    if (!bank->opaque) {
        context.skipRest("the plug-in keeps no chunks");
        return;
    }
    sameChunk(context, *second, bank->chunk);
    if (!context.atLeast(Level::strict)) {
        context.skipRest("needs " + levelText(Level::strict));
    } else {
        damagedChunks(context, *effect, bank->chunk, signal);
    }
}

[[maybe_unused]] const bool registered =
    CheckRegistry::add({105, "state", Level::normal, verdicts, run, false, nullptr});

}  // namespace

}  // namespace vsthost
