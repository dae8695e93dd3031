#include "InfoJson.h"

#include <cstring>

#include "InfoTables.h"
#include "Opcodes.h"
#include "PropertyRecords.h"
#include "RecordText.h"
#include "ShellChoice.h"

namespace vsthost {

namespace {

using Int = std::int64_t;

template <class Record>
struct PropertyBuffer {
    Record record{};
    char spare[1024]{};
};

std::string fixed(const char* text, std::size_t size) { return std::string(text, strnlen(text, size)); }

void suppliedText(JsonWriter& json, const char* key, Effect& effect, VstInt32 opcode) {
    char buffer[Effect::kTextBufferSize * 2] = {};
    const VstIntPtr answer = effect.dispatch(opcode, 0, 0, buffer);
    buffer[Effect::kTextBufferSize - 1] = '\0';
    json.key(key);
    if (answer == 0 && buffer[0] == '\0') json.null();
    else json.string(buffer);
}

void writeId(JsonWriter& json, const char* key, VstInt32 id) {
    json.key(key).number(static_cast<Int>(static_cast<std::uint32_t>(id)));
    const std::string text = ShellChoice::idText(id);
    json.key((std::string(key) + "Text").c_str());
    if (text.front() == '\'') json.string(text.substr(1, 4));
    else json.null();
}

void writeRecord(JsonWriter& json, const AEffect& record) {
    json.key("record").beginObject();
    writeId(json, "magic", record.magic);
    writeId(json, "uniqueId", record.uniqueID);
    json.key("version").number(static_cast<Int>(record.version));
    json.key("versionText").string(productVersionText(record.version));
    json.key("numPrograms").number(static_cast<Int>(record.numPrograms));
    json.key("numParams").number(static_cast<Int>(record.numParams));
    json.key("numInputs").number(static_cast<Int>(record.numInputs));
    json.key("numOutputs").number(static_cast<Int>(record.numOutputs));
    json.key("flags").number(static_cast<Int>(record.flags));
    json.key("flagsText").string(flagsText(record.flags));
    json.key("initialDelay").number(static_cast<Int>(record.initialDelay));
    json.key("realQualities").number(static_cast<Int>(record.realQualities));
    json.key("offQualities").number(static_cast<Int>(record.offQualities));
    json.key("ioRatio").number(static_cast<double>(record.ioRatio));
    json.key("entries").beginObject();
    json.key("dispatcher").boolean(record.dispatcher != nullptr);
    json.key("process").boolean(record.process != nullptr);
    json.key("setParameter").boolean(record.setParameter != nullptr);
    json.key("getParameter").boolean(record.getParameter != nullptr);
    json.key("processReplacing").boolean(record.processReplacing != nullptr);
    json.key("processDoubleReplacing").boolean(record.processDoubleReplacing != nullptr);
    json.endObject().endObject();
}

void writeAnswers(JsonWriter& json, Effect& effect) {
    suppliedText(json, "effectName", effect, effGetEffectName);
    suppliedText(json, "vendor", effect, effGetVendorString);
    suppliedText(json, "product", effect, effGetProductString);
    const VstIntPtr vendorVersion = effect.dispatch(effGetVendorVersion);
    json.key("vendorVersion").number(static_cast<Int>(vendorVersion));
    json.key("vendorVersionText").string(productVersionText(vendorVersion));
    const VstIntPtr interfaceVersion = effect.dispatch(effGetVstVersion);
    json.key("vstVersion").number(static_cast<Int>(interfaceVersion));
    json.key("vstVersionText").string(interfaceVersionText(interfaceVersion));
    const VstIntPtr category = effect.dispatch(effGetPlugCategory);
    json.key("category").number(static_cast<Int>(category));
    json.key("categoryName").string(InfoTables::categoryName(category));
    json.key("tailSize").number(static_cast<Int>(effect.dispatch(effGetTailSize)));
    json.key("currentProgram").number(static_cast<Int>(effect.dispatch(effGetProgram)));
}

void writePins(JsonWriter& json, Effect& effect, VstInt32 opcode, const char* key, VstInt32 count) {
    static const char* const flagNames[] = {"active", "stereo", "useSpeaker"};
    json.key(key).beginArray();
    for (VstInt32 pin = 0; pin < count && pin < InfoTables::kListLimit; ++pin) {
        PropertyBuffer<PinProperties> buffer;
        json.beginObject().key("index").number(static_cast<Int>(pin));
        if (effect.dispatch(opcode, pin, 0, &buffer.record) == 0) {
            json.key("properties").null().endObject();
            continue;
        }
        const PinProperties& p = buffer.record;
        json.key("label").string(fixed(p.label, sizeof p.label));
        json.key("shortLabel").string(fixed(p.shortLabel, sizeof p.shortLabel));
        json.key("flags").string(bitNames(p.flags, flagNames, 3));
        json.key("arrangement").number(static_cast<Int>(p.arrangementType));
        json.endObject();
    }
    json.endArray();
}

void writePrograms(JsonWriter& json, Effect& effect) {
    const VstInt32 count = effect.record().numPrograms;
    json.key("programs").beginArray();
    for (VstInt32 program = 0; program < count && program < InfoTables::kListLimit; ++program) {
        json.beginObject().key("index").number(static_cast<Int>(program));
        json.key("name").string(InfoJson::programName(effect, program)).endObject();
    }
    json.endArray();
}

void writeParameterProperties(JsonWriter& json, Effect& effect, VstInt32 index) {
    static const char* const flagNames[] = {"isSwitch", "usesIntegerMinMax", "usesFloatStep", "usesIntStep",
                                            "supportsDisplayIndex", "supportsDisplayCategory", "canRamp"};
    PropertyBuffer<ParameterProperties> buffer;
    json.key("properties");
    if (effect.dispatch(effGetParameterProperties, index, 0, &buffer.record) == 0) {
        json.null();
        return;
    }
    const ParameterProperties& p = buffer.record;
    json.beginObject();
    json.key("label").string(fixed(p.label, sizeof p.label));
    json.key("shortLabel").string(fixed(p.shortLabel, sizeof p.shortLabel));
    json.key("flags").string(bitNames(p.flags, flagNames, 7));
    if (p.flags & ParameterProperties::kUsesFloatStep) {
        json.key("steps").beginArray().number(static_cast<double>(p.stepFloat));
        json.number(static_cast<double>(p.smallStepFloat)).number(static_cast<double>(p.largeStepFloat)).endArray();
    }
    if (p.flags & ParameterProperties::kUsesIntegerMinMax) {
        json.key("range").beginArray().number(static_cast<Int>(p.minInteger)).number(static_cast<Int>(p.maxInteger));
        json.endArray();
    }
    if (p.flags & ParameterProperties::kUsesIntStep) {
        json.key("integerSteps").beginArray().number(static_cast<Int>(p.stepInteger));
        json.number(static_cast<Int>(p.largeStepInteger)).endArray();
    }
    if (p.flags & ParameterProperties::kSupportsDisplayIndex) json.key("displayIndex").number(static_cast<Int>(p.displayIndex));
    if (p.flags & ParameterProperties::kSupportsDisplayCategory) {
        json.key("category").number(static_cast<Int>(p.category));
        json.key("categoryLabel").string(fixed(p.categoryLabel, sizeof p.categoryLabel));
        json.key("parametersInCategory").number(static_cast<Int>(p.numParametersInCategory));
    }
    json.endObject();
}

void writeParameters(JsonWriter& json, Effect& effect) {
    const VstInt32 count = effect.record().numParams;
    json.key("parameters").beginArray();
    for (VstInt32 index = 0; index < count && index < InfoTables::kListLimit; ++index) {
        json.beginObject().key("index").number(static_cast<Int>(index));
        json.key("name").string(effect.text(effGetParamName, index));
        json.key("label").string(effect.text(effGetParamLabel, index));
        json.key("display").string(effect.text(effGetParamDisplay, index));
        json.key("value").number(static_cast<double>(effect.getParameter(index)));
        json.key("automatable").boolean(effect.dispatch(effCanBeAutomated, index) != 0);
        writeParameterProperties(json, effect, index);
        json.endObject();
    }
    json.endArray();
}

void writeCapabilities(JsonWriter& json, Effect& effect) {
    json.key("canDo").beginObject();
    for (const char* capability : InfoTables::kCapabilities) {
        char text[64] = {};
        std::strncpy(text, capability, sizeof text - 1);
        json.key(capability).number(static_cast<Int>(effect.dispatch(effCanDo, 0, 0, text)));
    }
    json.endObject();
}

}  // namespace

std::string InfoJson::programName(Effect& effect, VstInt32 program) {
    // Twice the size the plug-in is told of: some write past it.
    char buffer[Effect::kTextBufferSize * 2] = {};
    if (effect.dispatch(effGetProgramNameIndexed, program, -1, buffer) != 0) {
        buffer[Effect::kTextBufferSize - 1] = '\0';
        return buffer;
    }
    // Older plug-ins only name the current program.
    const VstIntPtr current = effect.dispatch(effGetProgram);
    effect.dispatch(effSetProgram, 0, program);
    std::string name = effect.text(effGetProgramName);
    effect.dispatch(effSetProgram, 0, current);
    return name;
}

std::string InfoJson::document(const PluginLibrary& library, Effect& effect) {
    JsonWriter json;
    json.beginObject();
    json.key("path").string(library.path()).key("entryPoint").string(library.entryName());
    writeRecord(json, effect.record());
    writeAnswers(json, effect);
    const bool shell = ShellChoice::chosen() == 0 && ShellChoice::isShell(effect);
    writePins(json, effect, effGetInputProperties, "inputPins", effect.record().numInputs);
    writePins(json, effect, effGetOutputProperties, "outputPins", effect.record().numOutputs);
    writePrograms(json, effect);
    writeParameters(json, effect);
    writeCapabilities(json, effect);
    json.key("shellMembers");
    if (!shell) {
        json.null();
    } else {
        json.beginArray();
        for (const auto& member : ShellChoice::members(effect)) {
            json.beginObject();
            writeId(json, "uniqueId", member.id);
            json.key("name").string(member.name).endObject();
        }
        json.endArray();
    }
    return json.endObject().text();
}

}  // namespace vsthost
