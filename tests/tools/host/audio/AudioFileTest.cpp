// The host's audio files through libsndfile: what it writes reads back bit for bit in every
// format it writes, the sample formats and layouts users bring are read, and failures leave
// nothing half-written.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <thread>
#endif

#include "AudioFileReader.h"
#include "AudioFileWriter.h"

using vsthost::AudioData;
using vsthost::AudioFileReader;
using vsthost::AudioFileWriter;

namespace {

std::string scratch(const std::string& name) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(test->test_suite_name()) + "." + test->name() + "-" + name;
}

bool fileExists(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file) std::fclose(file);
    return file != nullptr;
}

// A file in a folder of the test's own, where the writer's temporaries can be counted.
std::string inOwnFolder(const std::string& name) {
    const std::string folder = scratch("files");
    std::filesystem::create_directories(folder);
    return folder + "/" + name;
}

int temporariesBeside(const std::string& path) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path).parent_path())) {
        count += entry.path().filename().string().starts_with(".vsthost-");
    }
    return count;
}

std::string slurp(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

AudioData ramps(int channels, std::size_t frames) {
    AudioData audio;
    audio.sampleRate = 48000;
    for (int c = 0; c < channels; ++c) {
        std::vector<float> channel(frames);
        for (std::size_t i = 0; i < frames; ++i) {
            channel[i] = static_cast<float>(static_cast<int>((i * 37 + c * 1000) % 512) - 256) / 512.0f;
        }
        audio.channels.push_back(channel);
    }
    return audio;
}

// Writes `audio` with libsndfile itself in `format`, as other programs make the files users bring.
void writeWithLibrary(const std::string& path, int format, const AudioData& audio) {
    SF_INFO info{};
    info.channels = static_cast<int>(audio.channels.size());
    info.samplerate = audio.sampleRate;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    std::vector<float> interleaved;
    for (std::size_t i = 0; i < audio.frames(); ++i) {
        for (const auto& channel : audio.channels) interleaved.push_back(channel[i]);
    }
    sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(audio.frames()));
    sf_close(file);
}

}  // namespace

TEST(AudioFileReader, ReadsIntegerAndFloatSamplesInWavAndAiff) {
    // Multiples of 1/256 survive 16-bit and every wider format exactly.
    const AudioData audio = ramps(3, 1000);
    const struct {
        const char* name;
        int format;
    } cases[] = {
        {"pcm16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16},   {"pcm24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24},
        {"pcm32.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32},   {"float.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT},
        {"double.wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE},  {"extensible.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24},
        {"pcm16.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16}, {"float.aiff", SF_FORMAT_AIFF | SF_FORMAT_FLOAT},
    };
    for (const auto& file : cases) {
        const std::string path = scratch(file.name);
        writeWithLibrary(path, file.format, audio);
        auto back = AudioFileReader::read(path);
        ASSERT_TRUE(back) << file.name << ": " << back.error();
        EXPECT_EQ(back->sampleRate, 48000) << file.name;
        EXPECT_EQ(back->channels, audio.channels) << file.name;
        std::remove(path.c_str());
    }
    // An AIFF as a recorder streams it: its frame count and its sound data's length left at
    // their largest, "until the end".
    const std::string streamed = scratch("streamed.aiff");
    writeWithLibrary(streamed, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, audio);
    std::string bytes = slurp(streamed);
    bytes.replace(bytes.find("COMM") + 10, 4, "\xFF\xFF\xFF\xFF");
    bytes.replace(bytes.find("SSND") + 4, 4, "\xFF\xFF\xFF\xFF");
    std::ofstream(streamed, std::ios::binary) << bytes;
    auto back = AudioFileReader::read(streamed);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(back->channels, audio.channels);
    // A block align that lies is what the library overlooks: a frame is its channels' samples.
    const std::string misaligned = scratch("misaligned.wav");
    writeWithLibrary(misaligned, SF_FORMAT_WAV | SF_FORMAT_PCM_16, audio);
    bytes = slurp(misaligned);
    bytes.replace(bytes.find("fmt ") + 20, 2, std::string("\x01\0", 2));
    std::ofstream(misaligned, std::ios::binary) << bytes;
    back = AudioFileReader::read(misaligned);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(back->channels, audio.channels);
}

TEST(AudioFileWriter, RoundTripsEveryFloatBitForBitWithAnyChannelCount) {
    AudioData audio;
    audio.sampleRate = 96000;
    audio.channels = {{-0.0f, 1.0f, std::numeric_limits<float>::denorm_min(),
                       std::numeric_limits<float>::lowest(), 0.25f},
                      {0.0f, -1.0f, std::numeric_limits<float>::min(),
                       std::numeric_limits<float>::max(), -0.25f}};
    for (const char* name : {"roundtrip.wav", "roundtrip.aiff", "roundtrip.aif"}) {
        const std::string path = inOwnFolder(name);
        ASSERT_TRUE(AudioFileWriter::write(path, audio)) << name;
        ASSERT_TRUE(AudioFileWriter::write(path, audio)) << "replaces the existing file";
        EXPECT_EQ(slurp(path).substr(0, 4), std::string(name).ends_with(".wav") ? "RIFF" : "FORM") << name;
        EXPECT_EQ(temporariesBeside(path), 0);
        auto back = AudioFileReader::read(path);
        ASSERT_TRUE(back) << back.error();
        EXPECT_EQ(back->sampleRate, 96000);
        ASSERT_EQ(back->channels.size(), 2u);
        for (std::size_t c = 0; c < 2; ++c) {
            ASSERT_EQ(back->channels[c].size(), 5u);
            EXPECT_EQ(std::memcmp(back->channels[c].data(), audio.channels[c].data(), 5 * sizeof(float)), 0)
                << name;
        }
    }
    // Beyond two channels the WAV file says which channel is which: WAVE_FORMAT_EXTENSIBLE.
    const std::string wide = scratch("64.wav");
    ASSERT_TRUE(AudioFileWriter::write(wide, ramps(64, 300)));
    EXPECT_EQ(slurp(wide).substr(20, 2), std::string("\xFE\xFF", 2));
    auto back = AudioFileReader::read(wide);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(back->channels, ramps(64, 300).channels);
    // A long block of many channels is read in pieces.
    const std::string widest = scratch("1024.wav");
    ASSERT_TRUE(AudioFileWriter::write(widest, ramps(1024, 300)));
    auto reader = AudioFileReader::open(widest);
    ASSERT_TRUE(reader) << reader.error();
    AudioData piece;
    const auto got = reader->next(piece, 1 << 20);
    ASSERT_TRUE(got) << got.error();
    EXPECT_GT(*got, 0u);
    EXPECT_LE(*got * 1024 * sizeof(float), AudioFileReader::kPieceBytes);
    back = AudioFileReader::read(widest);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(back->channels, ramps(1024, 300).channels);
}

TEST(AudioFileWriter, WritesFlacWhereTheBuildHasIt) {
    const std::string path = inOwnFolder("out.flac");
    auto written = AudioFileWriter::write(path, ramps(2, 500));
#if defined(_WIN32)
    // The Windows builds compile libsndfile without its external codecs.
    ASSERT_FALSE(written);
    EXPECT_NE(written.error().find("cannot write '" + path + "'"), std::string::npos) << written.error();
    EXPECT_FALSE(fileExists(path));
    EXPECT_EQ(temporariesBeside(path), 0);
#else
    ASSERT_TRUE(written) << written.error();
    EXPECT_EQ(slurp(path).substr(0, 4), "fLaC");
    auto back = AudioFileReader::read(path);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(back->channels, ramps(2, 500).channels);
    // A stream's encoder leaves the total of samples at 0, "unknown": it is read to its end.
    std::string stream = slurp(path);
    const std::size_t total = 8 + 13;  // the low bits of the count, in the stream's first block
    stream[total] = static_cast<char>(stream[total] & 0xF0);
    stream.replace(total + 1, 4, std::string(4, '\0'));
    std::ofstream(path, std::ios::binary) << stream;
    auto opened = AudioFileReader::open(path);
    ASSERT_TRUE(opened) << opened.error();
    EXPECT_FALSE(opened->frames());
    back = AudioFileReader::read(path);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(back->channels, ramps(2, 500).channels);
#endif
}

TEST(AudioFileReader, NamesWhatIsWrongWithAFile) {
    auto missing = AudioFileReader::read(scratch("never-written.wav"));
    ASSERT_FALSE(missing);
    EXPECT_NE(missing.error().find("cannot read"), std::string::npos);
    EXPECT_NE(missing.error().find("never-written.wav"), std::string::npos);

    const std::string text = scratch("text.wav");
    std::ofstream(text) << "no audio in here, only words\n";
    auto notAudio = AudioFileReader::read(text);
    ASSERT_FALSE(notAudio);
    EXPECT_NE(notAudio.error().find("is not an audio file that can be read"), std::string::npos)
        << notAudio.error();

    const std::string cut = scratch("cut.wav");
    writeWithLibrary(cut, SF_FORMAT_WAV | SF_FORMAT_PCM_16, ramps(2, 1000));
    const std::string bytes = slurp(cut);
    std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() - 400);
    auto truncated = AudioFileReader::read(cut);
    ASSERT_FALSE(truncated);
    EXPECT_NE(truncated.error().find("truncated audio file"), std::string::npos) << truncated.error();
    // A chunk of odd length before the samples takes a pad byte the header does not count.
    std::string padded = bytes.substr(0, bytes.size() - 400);
    padded.insert(padded.find("data"), std::string("note\x03\0\0\0abc\0", 12));
    std::ofstream(cut, std::ios::binary) << padded;
    truncated = AudioFileReader::read(cut);
    ASSERT_FALSE(truncated);
    EXPECT_NE(truncated.error().find("its header promises 1000 frames"), std::string::npos) << truncated.error();
    // However many chunks stand before the samples.
    std::string crowded = bytes.substr(0, bytes.size() - 400);
    for (int i = 0; i < 300; ++i) crowded.insert(crowded.find("data"), std::string("note\x02\0\0\0ab", 10));
    std::ofstream(cut, std::ios::binary) << crowded;
    truncated = AudioFileReader::read(cut);
    ASSERT_FALSE(truncated);
    EXPECT_NE(truncated.error().find("its header promises 1000 frames"), std::string::npos) << truncated.error();

    // Header fields the library refuses in words of its own; at 20 the format chunk's fields.
    const struct {
        std::size_t at;
        std::string bytes;
        const char* says;
    } refused[] = {{24, std::string(4, '\0'), "has a sample rate of 0"},
                   {24, "\xFF\xFF\xFF\xFF", "has a sample rate of 4294967295"},
                   {22, std::string(2, '\0'), "has no channels"},
                   {16, std::string("\x08\0\0\0", 4), "has a format chunk of 8 bytes"},
                   {34, std::string(2, '\0'), "has samples of 0 bits"},
                   {20, std::string("\x03\0", 2), "has floating-point samples of 16 bits"}};
    for (const auto& field : refused) {
        std::string header = bytes;
        header.replace(field.at, field.bytes.size(), field.bytes);
        std::ofstream(cut, std::ios::binary) << header;
        auto opened = AudioFileReader::open(cut);
        ASSERT_FALSE(opened) << field.says;
        EXPECT_EQ(opened.error().find("'" + cut + "' " + field.says), 0u) << opened.error();
    }
    // An AIFF file's rate is an 80-bit float.
    const std::string aiff = scratch("rate.aiff");
    writeWithLibrary(aiff, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, ramps(2, 10));
    std::string common = slurp(aiff);
    common.replace(common.find("COMM") + 16, 10, std::string(10, '\0'));
    std::ofstream(aiff, std::ios::binary) << common;
    auto stopped = AudioFileReader::open(aiff);
    ASSERT_FALSE(stopped);
    EXPECT_EQ(stopped.error(), "'" + aiff + "' has a sample rate of 0");
    // An AU file's header is one row of numbers, its rate the fifth.
    const std::string au = scratch("rate.au");
    writeWithLibrary(au, SF_FORMAT_AU | SF_FORMAT_PCM_16, ramps(2, 10));
    std::string row = slurp(au);
    row.replace(16, 4, std::string(4, '\0'));
    std::ofstream(au, std::ios::binary) << row;
    auto sun = AudioFileReader::open(au);
    ASSERT_FALSE(sun);
    EXPECT_EQ(sun.error(), "'" + au + "' has a sample rate of 0");

    // Cut by a single frame, and in the containers whose lengths stand elsewhere.
    const struct {
        const char* name;
        int format;
        std::size_t bytesCut;
    } shortened[] = {{"cut.aiff", SF_FORMAT_AIFF, 400}, {"frame.aiff", SF_FORMAT_AIFF, 4}, {"cut.rf64", SF_FORMAT_RF64, 400}};
    for (const auto& file : shortened) {
        const std::string path = scratch(file.name);
        writeWithLibrary(path, file.format | SF_FORMAT_PCM_16, ramps(2, 1000));
        const std::string whole = slurp(path);
        std::ofstream(path, std::ios::binary) << whole.substr(0, whole.size() - file.bytesCut);
        truncated = AudioFileReader::read(path);
        ASSERT_FALSE(truncated) << file.name;
        EXPECT_NE(truncated.error().find("truncated audio file"), std::string::npos) << truncated.error();
    }
}

// Beyond 4 GiB of samples a RIFF or AIFF header cannot count: a WAV file that may get there is
// RF64, or a plain WAV file again when it ends smaller; an AIFF file that would is refused.
TEST(AudioFileWriter, WritesWavThatMayPassFourGibibytesAsRf64) {
    const float samples[2][3] = {{0.5f, -0.5f, 0.25f}, {1.0f, 0.0f, -1.0f}};
    const float* channels[2] = {samples[0], samples[1]};
    const std::uint64_t fiveGibibytes = (5ull << 30) / 8;
    const struct {
        const char* name;
        std::optional<std::uint64_t> frames;
        const char* header;
    } cases[] = {{"known.wav", 3, "RIFF"}, {"huge.wav", fiveGibibytes, "RF64"}, {"open.wav", std::nullopt, "RIFF"}};
    for (const auto& file : cases) {
        const std::string path = scratch(file.name);
        auto writer = AudioFileWriter::create(path, 2, 44100, file.frames);
        ASSERT_TRUE(writer) << writer.error();
        ASSERT_TRUE(writer->append(channels, 3));
        ASSERT_TRUE(writer->commit());
        EXPECT_EQ(slurp(path).substr(0, 4), file.header) << file.name;
        auto back = AudioFileReader::read(path);
        ASSERT_TRUE(back) << back.error();
        EXPECT_EQ(back->channels, (std::vector<std::vector<float>>{{0.5f, -0.5f, 0.25f}, {1.0f, 0.0f, -1.0f}}));
    }
    auto aiff = AudioFileWriter::create(scratch("huge.aiff"), 2, 44100, fiveGibibytes);
    ASSERT_FALSE(aiff);
    EXPECT_NE(aiff.error().find("at most 4 GiB"), std::string::npos) << aiff.error();
#if !defined(_WIN32)
    // libsndfile reads RF64 through a pipe a frame late: refused rather than shifted.
    const std::string pipe = scratch("pipe");
    std::remove(pipe.c_str());
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    std::signal(SIGPIPE, SIG_IGN);
    std::thread feeder([&] {
        const int descriptor = ::open(pipe.c_str(), O_WRONLY);
        const std::string bytes = slurp(scratch("huge.wav"));
        EXPECT_GT(write(descriptor, bytes.data(), bytes.size()), 0);
        close(descriptor);
    });
    auto piped = AudioFileReader::open(pipe);
    feeder.join();
    ASSERT_FALSE(piped);
    EXPECT_NE(piped.error().find("cannot be read through a pipe"), std::string::npos) << piped.error();
#endif
}

TEST(AudioFileWriter, LeavesNothingBehindWhenItCannotFinish) {
    const std::string missingDirectory = scratch("no-such-directory/out.wav");
    auto writer = AudioFileWriter::create(missingDirectory, 2, 44100);
    ASSERT_FALSE(writer);
    EXPECT_NE(writer.error().find("cannot write"), std::string::npos);
    EXPECT_FALSE(fileExists(missingDirectory));
    EXPECT_NE(AudioFileWriter::create(scratch("out.mp3"), 2, 44100).error().find("none of .wav"),
              std::string::npos);

    const std::string abandoned = inOwnFolder("abandoned.wav");
    std::remove(abandoned.c_str());
    std::string partial;
    {
        auto open = AudioFileWriter::create(abandoned, 1, 44100);
        ASSERT_TRUE(open) << open.error();
        const float samples[3] = {1.0f, 2.0f, 3.0f};
        const float* channels[1] = {samples};
        ASSERT_TRUE(open->append(channels, 3));
        partial = open->partial();
        EXPECT_TRUE(fileExists(partial));
        // However long the name, the temporary's own is short.
        EXPECT_LT(std::filesystem::path(partial).filename().string().size(), 32u);
    }
    EXPECT_FALSE(fileExists(abandoned));
    EXPECT_FALSE(fileExists(partial));
    EXPECT_EQ(temporariesBeside(abandoned), 0);
}
