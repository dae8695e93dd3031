// The built DLL as a host meets it: loaded from disk by the Windows loader, entered through
// its exported entry point, driven through the record it returns.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "AEffect.h"
#include "Opcodes.h"

namespace {

VstIntPtr VST_CALL answeringHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

VstIntPtr VST_CALL silentHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) {
    return 0;
}

std::string besideThisProgram(const char* fileName) {
    std::array<char, MAX_PATH> path{};
    DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::string folder(path.data(), length);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + fileName;
}

class LoadedPlugin : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryA(besideThisProgram("Lanter5.dll").c_str());
        ASSERT_NE(module, nullptr) << "LoadLibraryA failed with " << GetLastError();
        entry = reinterpret_cast<Entry>(
            reinterpret_cast<void*>(GetProcAddress(module, "VSTPluginMain")));
        ASSERT_NE(entry, nullptr);
    }
    void TearDown() override {
        if (module != nullptr) {
            EXPECT_TRUE(FreeLibrary(module));
        }
    }

    using Entry = AEffect*(VST_CALL*)(HostCallback);
    HMODULE module = nullptr;
    Entry entry = nullptr;
};

TEST_F(LoadedPlugin, RefusesHostsThatDoNotAnswer) {
    EXPECT_EQ(entry(nullptr), nullptr);
    EXPECT_EQ(entry(silentHost), nullptr);
}

TEST_F(LoadedPlugin, ProcessesAndClosesThroughItsRecord) {
    AEffect* effect = entry(answeringHost);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->magic, kEffectMagic);
    ASSERT_EQ(effect->numInputs, 2);
    ASSERT_EQ(effect->numOutputs, 2);
    ASSERT_NE(effect->processReplacing, nullptr);

    constexpr int frames = 64;
    std::array<std::array<float, frames>, 2> in{};
    std::array<std::array<float, frames>, 2> out{};
    for (int i = 0; i < frames; ++i) {
        in[0][i] = 0.25f * static_cast<float>(i);
        in[1][i] = -1.0f / static_cast<float>(i + 1);
    }
    std::array<float*, 2> inputs{in[0].data(), in[1].data()};
    std::array<float*, 2> outputs{out[0].data(), out[1].data()};
    effect->processReplacing(effect, inputs.data(), outputs.data(), frames);
    EXPECT_EQ(out, in);

    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

}  // namespace
