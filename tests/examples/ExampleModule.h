#pragma once
// An example plug-in as a host meets it: its built module loaded from its file, its record,
// and the calls a host makes through the record.

#include "AEffect.h"
#include "Opcodes.h"
#include "PluginLibrary.h"
#include "RecordingHost.h"

#include <string>
#include <vector>

class ExampleModule {
public:
    explicit ExampleModule(const char* path) : library(path) {
        PluginEntry entry = library.isLoaded() ? library.entry("VSTPluginMain") : nullptr;
        record = entry ? entry(&RecordingHost::callback) : nullptr;
    }
    ~ExampleModule() {
        if (record) dispatch(effClose);
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }
    std::string text(VstInt32 opcode, VstInt32 index = 0) {
        char buffer[256] = "";
        dispatch(opcode, index, 0, buffer);
        return buffer;
    }
    // Left and right through processReplacing, in separate buffers or in place.
    void process(std::vector<float>& left, std::vector<float>& right, bool inPlace = false) {
        std::vector<float> outLeft(left.size()), outRight(right.size());
        float* in[] = {left.data(), right.data()};
        float* out[] = {outLeft.data(), outRight.data()};
        record->processReplacing(record, in, inPlace ? in : out,
                                 static_cast<VstInt32>(left.size()));
        if (!inPlace) {
            left = outLeft;
            right = outRight;
        }
    }

    RecordingHost host;
    PluginLibrary library;
    AEffect* record = nullptr;
};
