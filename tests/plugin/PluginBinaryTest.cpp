// The built plug-in as a host meets it: loaded from its file, entered through its export, its
// record read byte by byte at the offsets of this pointer width, driven through the six entries.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

#include "AEffect.h"
#include "PluginLibrary.h"
#include "RecordingHost.h"

namespace {

#if defined(_WIN32)
constexpr char kPluginPath[] = "Lanter5.dll";  // beside the test program
#else
constexpr char kPluginPath[] = LANTER5_PLUGIN_PATH;
#endif

constexpr std::size_t kPointer = sizeof(void*);

// Every build carries the counter editor: has-editor 1 + can-replace 16.
constexpr std::uint64_t kExpectedFlags = 0x11;
constexpr std::size_t at(std::size_t narrow, std::size_t wide) { return kPointer == 4 ? narrow : wide; }

const HostCall kVersionQuery{nullptr, 1, 0, 0, nullptr, 0.0f};

// The little-endian number in `width` bytes at `offset` of the record.
std::uint64_t bytesAt(const AEffect* record, std::size_t offset, std::size_t width) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(record) + offset;
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = value << 8 | bytes[i];
    return value;
}

template <typename Entry>
Entry entryAt(const AEffect* record, std::size_t offset) {
    Entry entry;
    std::memcpy(&entry, reinterpret_cast<const unsigned char*>(record) + offset, sizeof entry);
    return entry;
}

// Calls the six entries found at their offsets in the record.
struct Entries {
    AEffect* record;

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f) const {
        return entryAt<DispatcherProc>(record, at(4, 8))(record, opcode, index, value, ptr, opt);
    }
    void process(float** in, float** out, VstInt32 frames) const {
        entryAt<ProcessProc>(record, at(8, 16))(record, in, out, frames);
    }
    void setParameter(VstInt32 index, float value) const {
        entryAt<SetParameterProc>(record, at(12, 24))(record, index, value);
    }
    float getParameter(VstInt32 index) const {
        return entryAt<GetParameterProc>(record, at(16, 32))(record, index);
    }
    void processReplacing(float** in, float** out, VstInt32 frames) const {
        entryAt<ProcessProc>(record, at(80, 120))(record, in, out, frames);
    }
    void processDoubleReplacing(double** in, double** out, VstInt32 frames) const {
        entryAt<ProcessDoubleProc>(record, at(84, 128))(record, in, out, frames);
    }
};

class PluginBinary : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library.isLoaded()) << kPluginPath;
        entry = library.entry("VSTPluginMain");
        ASSERT_NE(entry, nullptr);
    }

    PluginLibrary library{kPluginPath};
    RecordingHost host;
    PluginEntry entry = nullptr;
};

TEST_F(PluginBinary, ExportsOneEntryUnderBothNames) {
    const PluginEntry main = library.entry("main");
    EXPECT_EQ(main, entry);
    ASSERT_NE(main, nullptr);
    AEffect* record = main(RecordingHost::callback);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(Entries{record}.dispatch(1), 1);
}

TEST_F(PluginBinary, HostsWithoutCallbackOrVersionGetNull) {
    EXPECT_EQ(entry(nullptr), nullptr);
    host.answer(1, 0);
    EXPECT_EQ(entry(RecordingHost::callback), nullptr);
    EXPECT_EQ(host.calls, std::vector<HostCall>{kVersionQuery});
}

TEST_F(PluginBinary, RecordHoldsItsValuesByteForByte) {
    AEffect* record = entry(RecordingHost::callback);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(host.calls, std::vector<HostCall>{kVersionQuery});
    const struct {
        const char* field;
        std::size_t offset, width;
        std::uint64_t value;
    } values[] = {
        {"magic", 0, 4, 0x56737450},
        {"numPrograms", at(20, 40), 4, 1},
        {"numParams", at(24, 44), 4, 2},
        {"numInputs", at(28, 48), 4, 2},
        {"numOutputs", at(32, 52), 4, 2},
        {"flags", at(36, 56), 4, kExpectedFlags},
        {"resvd1", at(40, 64), kPointer, 0},
        {"resvd2", at(44, 72), kPointer, 0},
        {"initialDelay", at(48, 80), 4, 0},
        {"realQualities", at(52, 84), 4, 0},
        {"offQualities", at(56, 88), 4, 0},
        {"ioRatio", at(60, 92), 4, 0x3F800000},
        {"user", at(68, 104), kPointer, 0},
        {"uniqueID", at(72, 112), 4, 0x534D504C},
        {"version", at(76, 116), 4, 1},
    };
    for (const auto& value : values) {
        EXPECT_EQ(bytesAt(record, value.offset, value.width), value.value) << value.field;
    }
    for (std::size_t offset : {at(4, 8), at(8, 16), at(12, 24), at(16, 32), at(64, 96), at(80, 120),
                               at(84, 128)}) {
        EXPECT_NE(bytesAt(record, offset, kPointer), 0u) << "pointer at " << offset;
    }
    for (std::size_t i = 0; i < 56; ++i) {
        EXPECT_EQ(bytesAt(record, at(88, 136) + i, 1), 0u) << "future byte " << i;
    }
    Entries{record}.dispatch(1);
}

// A signal of distinct bit patterns with payload NaNs, -0.0 and infinities among them.
std::vector<float> signal(std::size_t count, std::uint32_t seed) {
    std::vector<std::uint32_t> bits(count);
    for (std::size_t i = 0; i < count; ++i) bits[i] = (static_cast<std::uint32_t>(i) + seed) * 2654435761u;
    const std::uint32_t special[] = {0x7FC0BEEF, 0xFF800123, 0x80000000, 0x7F800000, 0x00000003};
    for (std::size_t i = 0; i < std::size(special) && i * 7 < count; ++i) bits[i * 7] = special[i];
    std::vector<float> samples(count);
    std::memcpy(samples.data(), bits.data(), count * sizeof(float));
    return samples;
}

bool sameBits(const float* a, const float* b, std::size_t count) {
    return std::memcmp(a, b, count * sizeof(float)) == 0;
}

TEST_F(PluginBinary, EntriesDriveTheEffect) {
    AEffect* record = entry(RecordingHost::callback);
    ASSERT_NE(record, nullptr);
    const Entries effect{record};
    EXPECT_EQ(effect.dispatch(0), 0);
    EXPECT_EQ(effect.dispatch(10, 0, 0, nullptr, 48000.0f), 0);
    EXPECT_EQ(effect.dispatch(11, 0, 512), 0);
    EXPECT_EQ(effect.dispatch(12, 0, 1), 0);
    EXPECT_EQ(effect.dispatch(58), 2400);
    EXPECT_EQ(effect.dispatch(35), 0);
    EXPECT_EQ(effect.dispatch(26), 1);
    EXPECT_EQ(effect.dispatch(63, 0, 0, record->future), -1);
    EXPECT_EQ(effect.dispatch(22), 0x4E764566);
    char name[16] = "unchanged";
    EXPECT_EQ(effect.dispatch(8, 0, 0, name), 0);
    EXPECT_STREQ(name, "");
    effect.setParameter(0, 0.75f);
    EXPECT_EQ(effect.getParameter(0), 0.0f);
    EXPECT_EQ(effect.getParameter(1), 0.0f);

    constexpr VstInt32 kFrames = 1000;
    constexpr std::size_t kLength = kFrames + 8;
    const std::vector<float> in0 = signal(kLength, 1), in1 = signal(kLength, 5000);
    const std::vector<float> untouched = signal(kLength, 9000);
    std::vector<float> out0 = untouched, out1 = untouched, source0 = in0, source1 = in1;
    float* inputs[] = {source0.data(), source1.data()};
    float* outputs[] = {out0.data(), out1.data()};
    effect.process(inputs, outputs, kFrames);
    EXPECT_TRUE(sameBits(out0.data(), untouched.data(), kLength));
    EXPECT_TRUE(sameBits(out1.data(), untouched.data(), kLength));
    effect.processReplacing(inputs, outputs, kFrames);
    EXPECT_TRUE(sameBits(out0.data(), in0.data(), kFrames));
    EXPECT_TRUE(sameBits(out1.data(), in1.data(), kFrames));
    EXPECT_TRUE(sameBits(&out0[kFrames], &untouched[kFrames], kLength - kFrames));
    EXPECT_TRUE(sameBits(&out1[kFrames], &untouched[kFrames], kLength - kFrames));
    EXPECT_TRUE(sameBits(source0.data(), in0.data(), kLength));
    EXPECT_TRUE(sameBits(source1.data(), in1.data(), kLength));

    std::vector<double> doubleIn(kLength, 0.25), doubleOut0(kLength, -3.0), doubleOut1(kLength, -3.0);
    double* doubleInputs[] = {doubleIn.data(), doubleIn.data()};
    double* doubleOutputs[] = {doubleOut0.data(), doubleOut1.data()};
    effect.processDoubleReplacing(doubleInputs, doubleOutputs, kFrames);
    EXPECT_EQ(doubleOut0, std::vector<double>(kLength, -3.0));
    EXPECT_EQ(doubleOut1, std::vector<double>(kLength, -3.0));

    EXPECT_EQ(effect.dispatch(12, 0, 0), 0);
    EXPECT_EQ(effect.dispatch(1), 1);
    EXPECT_EQ(host.calls, std::vector<HostCall>{kVersionQuery});
}

TEST_F(PluginBinary, InstancesAreIndependent) {
    AEffect* first = entry(RecordingHost::callback);
    AEffect* second = entry(RecordingHost::callback);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_NE(bytesAt(first, at(64, 96), kPointer), bytesAt(second, at(64, 96), kPointer));
    const Entries a{first}, b{second};
    // Closing one leaves the other working.
    EXPECT_EQ(a.dispatch(1), 1);

    const std::vector<float> in = signal(64, 3);
    std::vector<float> source = in, out0(64), out1(64);
    float* inputs[] = {source.data(), source.data()};
    float* outputs[] = {out0.data(), out1.data()};
    b.processReplacing(inputs, outputs, 64);
    EXPECT_TRUE(sameBits(out0.data(), in.data(), 64));
    EXPECT_TRUE(sameBits(out1.data(), in.data(), 64));
    EXPECT_EQ(b.dispatch(1), 1);
    EXPECT_EQ(host.calls, (std::vector<HostCall>{kVersionQuery, kVersionQuery}));
}

}  // namespace
