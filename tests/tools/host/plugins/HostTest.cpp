#include <gtest/gtest.h>

#include <cstring>

#include "CommandLine.h"
#include "Host.h"
#include "Opcodes.h"

using vsthost::CommandLine;
using vsthost::Host;

namespace {

VstIntPtr call(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr) {
    return Host::callback(nullptr, opcode, index, value, ptr, 0.0f);
}

}  // namespace

TEST(HostCallback, AnswersLikeARealHost) {
    EXPECT_EQ(call(audioMasterVersion), 2400);
    char text[64];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(call(audioMasterGetVendorString, 0, 0, text), 1);
    EXPECT_STREQ(text, Host::kVendor);
    EXPECT_EQ(call(audioMasterGetProductString, 0, 0, text), 1);
    EXPECT_STREQ(text, "vsthost");
    EXPECT_EQ(call(audioMasterGetVendorString), 0) << "a null buffer gets no text";

    char sizeWindow[] = "sizeWindow";
    char timeInfo[] = "sendVstTimeInfo";
    char receive[] = "receiveVstEvents";
    char unknown[] = "fly";
    EXPECT_EQ(call(audioMasterCanDo, 0, 0, sizeWindow), 1);
    EXPECT_EQ(call(audioMasterCanDo, 0, 0, timeInfo), 1);
    EXPECT_EQ(call(audioMasterCanDo, 0, 0, receive), -1);
    EXPECT_EQ(call(audioMasterCanDo, 0, 0, unknown), 0);
    EXPECT_EQ(call(audioMasterCanDo), 0);

    Host::instance().setSampleRate(96000.0f);
    Host::instance().setBlockSize(64);
    EXPECT_EQ(call(audioMasterGetSampleRate), 96000);
    EXPECT_EQ(call(audioMasterGetBlockSize), 64);
    EXPECT_EQ(call(audioMasterGetCurrentProcessLevel), 1);
    EXPECT_EQ(call(5000), 0);
}

TEST(HostCallback, AnswersTheTimeOfItsTransportWithTheFieldsAskedFor) {
    EXPECT_EQ(call(audioMasterGetTime, 0, kVstTempoValid), 0) << "no transport, no time";
    const auto transport = vsthost::Transport::steady(90, 3, 4, 48000);
    Host::instance().setTransport(&transport);
    Host::instance().setTransportPosition(48000);
    const auto* info = reinterpret_cast<const VstTimeInfo*>(call(audioMasterGetTime, 0, kVstTempoValid | kVstBarsValid));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->samplePos, 48000);
    EXPECT_EQ(info->sampleRate, 48000);
    EXPECT_EQ(info->tempo, 90);
    EXPECT_EQ(info->barStartPos, 0);
    EXPECT_EQ(info->ppqPos, 0) << "not asked for";
    EXPECT_EQ(info->flags, kVstTransportPlaying | kVstTempoValid | kVstBarsValid);
    Host::instance().setTransport(nullptr);
}

TEST(HostCallback, ResizesTheEditorWindowOnlyWhenThereIsOne) {
    EXPECT_EQ(call(audioMasterSizeWindow, 300, 200), 0);
    int width = 0;
    int height = 0;
    Host::instance().setWindowSizer([&](int w, int h) {
        width = w;
        height = h;
        return true;
    });
    EXPECT_EQ(call(audioMasterSizeWindow, 300, 200), 1);
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 200);
    Host::instance().setWindowSizer({});
}

TEST(HostCallback, RecordsTheOpcodesItReceivesInOrder) {
    Host::instance().startRecording();
    call(audioMasterVersion);
    call(audioMasterGetSampleRate);
    const auto calls = Host::instance().stopRecording();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], audioMasterVersion);
    EXPECT_EQ(calls[1], audioMasterGetSampleRate);
    call(audioMasterIdle);
    EXPECT_TRUE(Host::instance().stopRecording().empty());
}

TEST(CommandLine, SeparatesCommandArgumentsAndOptions) {
    char* argv[] = {const_cast<char*>("vsthost"), const_cast<char*>("--trace"),
                    const_cast<char*>("process"), const_cast<char*>("p.so"),
                    const_cast<char*>("--block"), const_cast<char*>("64"),
                    const_cast<char*>("in.wav"), const_cast<char*>("out.wav")};
    auto line = CommandLine::parse(8, argv);
    ASSERT_TRUE(line) << line.error();
    EXPECT_EQ(line->command, "process");
    EXPECT_EQ(line->arguments, (std::vector<std::string>{"p.so", "in.wav", "out.wav"}));
    EXPECT_TRUE(line->has("--trace"));
    auto block = line->positive("--block", 512, 1 << 20);
    ASSERT_TRUE(block);
    EXPECT_EQ(*block, 64);
    EXPECT_EQ(*line->positive("--rate", 7, 10), 7);
}

TEST(CommandLine, RejectsBadOptions) {
    char* missingValue[] = {const_cast<char*>("vsthost"), const_cast<char*>("process"),
                            const_cast<char*>("--block")};
    EXPECT_FALSE(CommandLine::parse(3, missingValue));
    char* unknown[] = {const_cast<char*>("vsthost"), const_cast<char*>("info"),
                       const_cast<char*>("--fast")};
    EXPECT_FALSE(CommandLine::parse(3, unknown));
    for (const char* bad : {"0", "-3", "12x", "99999999999999999999"}) {
        char* argv[] = {const_cast<char*>("vsthost"), const_cast<char*>("process"),
                        const_cast<char*>("--block"), const_cast<char*>(bad)};
        auto line = CommandLine::parse(4, argv);
        ASSERT_TRUE(line);
        EXPECT_FALSE(line->positive("--block", 512, 1 << 20)) << bad;
    }
}
