// processReplacing against memcpy of the same bytes, for separate, in-place and aliased
// buffers. Each processing benchmark reports its time as a ratio to memcpy, measured right
// beside it in the same way, so that the ratio does not drift with the machine's load.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <vector>

#include "AEffect.h"
#include "EntryPoint.h"
#include "Opcodes.h"

namespace {

VstIntPtr VST_CALL host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

enum class Layout { separate, inPlace, aliased };

class Rig {
public:
    explicit Rig(std::size_t frames)
        : frames_(frames), storage_(4, std::vector<float>(frames + 16)) {
        for (std::size_t c = 0; c < storage_.size(); ++c) {
            for (std::size_t i = 0; i < storage_[c].size(); ++i) {
                storage_[c][i] = static_cast<float>(c + 1) * 0.001f * static_cast<float>(i % 997);
            }
        }
        effect_ = VSTPluginMain(host);
        effect_->dispatcher(effect_, effOpen, 0, 0, nullptr, 0.0f);
        effect_->dispatcher(effect_, effMainsChanged, 0, 1, nullptr, 0.0f);
    }
    ~Rig() { effect_->dispatcher(effect_, effClose, 0, 0, nullptr, 0.0f); }

    void arrange(Layout layout) {
        inputs_ = {storage_[0].data(), storage_[1].data()};
        switch (layout) {
        case Layout::separate: outputs_ = {storage_[2].data(), storage_[3].data()}; break;
        case Layout::inPlace: outputs_ = inputs_; break;
        case Layout::aliased: outputs_ = {storage_[1].data(), storage_[3].data()}; break;
        }
    }
    void process() {
        effect_->processReplacing(effect_, inputs_.data(), outputs_.data(),
                                  static_cast<VstInt32>(frames_));
    }
    void copy() {
        std::memcpy(storage_[2].data(), storage_[0].data(), frames_ * sizeof(float));
        std::memcpy(storage_[3].data(), storage_[1].data(), frames_ * sizeof(float));
    }

private:
    std::size_t frames_;
    std::vector<std::vector<float>> storage_;
    AEffect* effect_ = nullptr;
    std::array<float*, 2> inputs_{};
    std::array<float*, 2> outputs_{};
};

template <class Work>
double nanosecondsPerCall(Work&& work, std::size_t calls) {
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < calls; ++i) {
        work();
        benchmark::ClobberMemory();
    }
    const std::chrono::duration<double, std::nano> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / static_cast<double>(calls);
}

// Median over alternating rounds of process and memcpy, each round about a millisecond.
double ratioToMemcpy(Rig& rig, std::size_t frames) {
    const std::size_t calls = std::max<std::size_t>(1, 250'000 / (frames + 8));
    std::array<double, 7> ratios{};
    for (double& ratio : ratios) {
        const double processing = nanosecondsPerCall([&] { rig.process(); }, calls);
        const double copying = nanosecondsPerCall([&] { rig.copy(); }, calls);
        ratio = processing / copying;
    }
    std::nth_element(ratios.begin(), ratios.begin() + 3, ratios.end());
    return ratios[3];
}

void setBytes(benchmark::State& state, std::size_t frames) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(frames * 2 * sizeof(float)));
}

void BM_Memcpy(benchmark::State& state) {
    const auto frames = static_cast<std::size_t>(state.range(0));
    Rig rig(frames);
    for (auto _ : state) {
        rig.copy();
        benchmark::ClobberMemory();
    }
    setBytes(state, frames);
}

void runProcess(benchmark::State& state, Layout layout) {
    const auto frames = static_cast<std::size_t>(state.range(0));
    Rig rig(frames);
    rig.arrange(layout);
    for (auto _ : state) {
        rig.process();
        benchmark::ClobberMemory();
    }
    setBytes(state, frames);
    state.counters["ratio_to_memcpy"] = ratioToMemcpy(rig, frames);
}

void BM_ProcessReplacing(benchmark::State& state) { runProcess(state, Layout::separate); }
void BM_ProcessReplacingInPlace(benchmark::State& state) { runProcess(state, Layout::inPlace); }
void BM_ProcessReplacingAliased(benchmark::State& state) { runProcess(state, Layout::aliased); }

void frameCounts(benchmark::internal::Benchmark* benchmark) {
    for (const int frames : {16, 64, 512, 4096, 65536}) benchmark->Arg(frames);
}

}  // namespace

BENCHMARK(BM_Memcpy)->Apply(frameCounts);
BENCHMARK(BM_ProcessReplacing)->Apply(frameCounts);
BENCHMARK(BM_ProcessReplacingInPlace)->Apply(frameCounts);
BENCHMARK(BM_ProcessReplacingAliased)->Apply(frameCounts);

BENCHMARK_MAIN();
