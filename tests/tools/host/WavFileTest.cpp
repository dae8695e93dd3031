#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "WavReader.h"
#include "WavWriter.h"

using vsthost::AudioData;
using vsthost::WavReader;
using vsthost::WavWriter;

namespace {

// Builds WAV bytes field by field, so each test can break exactly one thing.
struct WavBytes {
    std::uint16_t tag = 1;
    std::uint16_t channels = 2;
    std::uint32_t sampleRate = 48000;
    std::uint16_t bits = 16;
    std::int64_t blockAlignOverride = -1;
    std::int64_t dataSizeOverride = -1;
    std::int64_t riffSizeOverride = -1;
    bool extensible = false;
    std::vector<std::uint8_t> samples;

    std::vector<std::uint8_t> build() const {
        std::vector<std::uint8_t> out;
        auto put = [&](std::uint32_t value, int bytes) {
            for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        };
        auto tagText = [&](const char* text) {
            for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(text[i]));
        };
        const std::uint16_t blockAlign = blockAlignOverride >= 0
                                             ? static_cast<std::uint16_t>(blockAlignOverride)
                                             : static_cast<std::uint16_t>(channels * bits / 8);
        tagText("RIFF");
        put(0, 4);
        tagText("WAVE");
        tagText("LIST");  // an unknown chunk of odd size, padded, before the format
        put(3, 4);
        put(0x414141, 3);
        out.push_back(0);
        tagText("fmt ");
        put(extensible ? 40 : 16, 4);
        put(extensible ? 0xFFFE : tag, 2);
        put(channels, 2);
        put(sampleRate, 4);
        put(sampleRate * blockAlign, 4);
        put(blockAlign, 2);
        put(bits, 2);
        if (extensible) {
            put(22, 2);
            put(bits, 2);
            put(3, 4);
            put(tag, 2);
            for (int i = 0; i < 14; ++i) out.push_back(0);
        }
        tagText("data");
        put(dataSizeOverride >= 0 ? static_cast<std::uint32_t>(dataSizeOverride)
                                  : static_cast<std::uint32_t>(samples.size()),
            4);
        for (const std::uint8_t byte : samples) out.push_back(byte);
        const std::uint32_t riff = riffSizeOverride >= 0 ? static_cast<std::uint32_t>(riffSizeOverride)
                                                          : static_cast<std::uint32_t>(out.size() - 8);
        for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<std::uint8_t>(riff >> (8 * i));
        return out;
    }
};

std::vector<std::uint8_t> pcm16(std::initializer_list<int> values) {
    std::vector<std::uint8_t> bytes;
    for (int v : values) {
        bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    return bytes;
}

std::string errorOf(const WavBytes& wav) {
    const auto bytes = wav.build();
    auto audio = WavReader::parse(bytes);
    EXPECT_FALSE(audio);
    return audio ? std::string() : audio.error();
}

bool fileExists(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file) std::fclose(file);
    return file != nullptr;
}

std::string scratch(const std::string& name) {
    return ::testing::TempDir() + "vsthost_wav_" + name;
}

}  // namespace

TEST(WavReader, DecodesPcmAndFloatInEveryLayout) {
    WavBytes stereo16;
    stereo16.samples = pcm16({0, -32768, 16384, 32767});
    auto audio = WavReader::parse(stereo16.build());
    ASSERT_TRUE(audio) << audio.error();
    EXPECT_EQ(audio->sampleRate, 48000);
    ASSERT_EQ(audio->channels.size(), 2u);
    ASSERT_EQ(audio->frames(), 2u);
    EXPECT_EQ(audio->channels[0][0], 0.0f);
    EXPECT_EQ(audio->channels[1][0], -1.0f);
    EXPECT_EQ(audio->channels[0][1], 0.5f);
    EXPECT_EQ(audio->channels[1][1], 32767.0f / 32768.0f);

    WavBytes mono24;
    mono24.channels = 1;
    mono24.bits = 24;
    mono24.samples = {0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x40};  // min, max, half
    audio = WavReader::parse(mono24.build());
    ASSERT_TRUE(audio) << audio.error();
    ASSERT_EQ(audio->frames(), 3u);
    EXPECT_EQ(audio->channels[0][0], -1.0f);
    EXPECT_EQ(audio->channels[0][1], 8388607.0f / 8388608.0f);
    EXPECT_EQ(audio->channels[0][2], 0.5f);

    WavBytes float32;
    float32.tag = 3;
    float32.bits = 32;
    float32.channels = 1;
    float32.extensible = true;
    for (float v : {-0.0f, std::numeric_limits<float>::max()}) {
        const auto bits = std::bit_cast<std::uint32_t>(v);
        for (int i = 0; i < 4; ++i) float32.samples.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
    audio = WavReader::parse(float32.build());
    ASSERT_TRUE(audio) << audio.error();
    EXPECT_TRUE(std::signbit(audio->channels[0][0]));
    EXPECT_EQ(audio->channels[0][1], std::numeric_limits<float>::max());
}

TEST(WavReader, RejectsUnsupportedFormats) {
    WavBytes eightBit;
    eightBit.bits = 8;
    eightBit.samples = {1, 2};
    EXPECT_NE(errorOf(eightBit).find("unsupported WAV format"), std::string::npos);

    WavBytes doubles;
    doubles.tag = 3;
    doubles.bits = 64;
    doubles.samples.assign(16, 0);
    EXPECT_NE(errorOf(doubles).find("unsupported WAV format"), std::string::npos);

    WavBytes surround;
    surround.channels = 6;
    surround.samples.assign(12, 0);
    EXPECT_NE(errorOf(surround).find("6 channels"), std::string::npos);

    const std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'};
    auto audio = WavReader::parse(text);
    ASSERT_FALSE(audio);
    EXPECT_NE(audio.error().find("not a WAV file"), std::string::npos);
}

TEST(WavReader, RejectsTruncatedFiles) {
    WavBytes wav;
    wav.samples = pcm16({1, 2, 3, 4, 5, 6});
    const auto whole = wav.build();
    for (const std::size_t cut : {std::size_t{6}, std::size_t{30}, whole.size() - 2}) {
        const std::vector<std::uint8_t> bytes(whole.begin(), whole.begin() + static_cast<long>(cut));
        auto audio = WavReader::parse(bytes);
        ASSERT_FALSE(audio) << "cut at " << cut;
        EXPECT_NE(audio.error().find("truncated"), std::string::npos) << audio.error();
    }
}

TEST(WavReader, RejectsFilesThatLieAboutTheirSizes) {
    WavBytes longData;
    longData.samples = pcm16({1, 2});
    longData.dataSizeOverride = 4000;
    EXPECT_NE(errorOf(longData).find("lies about its sizes"), std::string::npos);

    WavBytes partialFrame;
    partialFrame.samples = pcm16({1, 2, 3});
    EXPECT_NE(errorOf(partialFrame).find("no whole number"), std::string::npos);

    WavBytes badAlign;
    badAlign.samples = pcm16({1, 2});
    badAlign.blockAlignOverride = 3;
    EXPECT_NE(errorOf(badAlign).find("block align"), std::string::npos);

    WavBytes tinyRiff;
    tinyRiff.samples = pcm16({1, 2});
    tinyRiff.riffSizeOverride = 2;
    EXPECT_NE(errorOf(tinyRiff).find("lies about its sizes"), std::string::npos);
}

TEST(WavWriter, RoundTripsEveryFloatBitForBit) {
    AudioData audio;
    audio.sampleRate = 96000;
    audio.channels = {{-0.0f, 1.0f, std::numeric_limits<float>::denorm_min(),
                       std::numeric_limits<float>::lowest(), 0.25f},
                      {0.0f, -1.0f, std::numeric_limits<float>::min(),
                       std::numeric_limits<float>::max(), -0.25f},
                      {3.0f, 4.0f, 5.0f, 6.0f, 7.0f}};
    const std::string path = scratch("roundtrip.wav");
    auto written = WavWriter::write(path, audio);
    ASSERT_TRUE(written) << written.error();
    EXPECT_FALSE(fileExists(path + ".partial"));

    // Three channels are written but not read back; stereo is.
    audio.channels.pop_back();
    ASSERT_TRUE(WavWriter::write(path, audio));  // replaces the existing file
    auto back = WavReader::read(path);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(back->sampleRate, 96000);
    ASSERT_EQ(back->channels.size(), 2u);
    for (std::size_t c = 0; c < 2; ++c) {
        ASSERT_EQ(back->channels[c].size(), 5u);
        EXPECT_EQ(std::memcmp(back->channels[c].data(), audio.channels[c].data(), 5 * sizeof(float)), 0);
    }
    std::remove(path.c_str());
}

TEST(WavWriter, LeavesNothingBehindWhenItCannotFinish) {
    const std::string missingDirectory = scratch("no-such-directory/out.wav");
    auto writer = WavWriter::create(missingDirectory, 2, 44100);
    ASSERT_FALSE(writer);
    EXPECT_NE(writer.error().find("cannot write"), std::string::npos);
    EXPECT_FALSE(fileExists(missingDirectory));

    const std::string abandoned = scratch("abandoned.wav");
    std::remove(abandoned.c_str());
    {
        auto open = WavWriter::create(abandoned, 1, 44100);
        ASSERT_TRUE(open) << open.error();
        const float samples[3] = {1.0f, 2.0f, 3.0f};
        const float* channels[1] = {samples};
        ASSERT_TRUE(open->append(channels, 3));
        EXPECT_TRUE(fileExists(abandoned + ".partial"));
    }
    EXPECT_FALSE(fileExists(abandoned));
    EXPECT_FALSE(fileExists(abandoned + ".partial"));
}

TEST(WavReader, ReportsAMissingFileByName) {
    auto audio = WavReader::read(scratch("never-written.wav"));
    ASSERT_FALSE(audio);
    EXPECT_NE(audio.error().find("cannot read"), std::string::npos);
    EXPECT_NE(audio.error().find("never-written.wav"), std::string::npos);
}
