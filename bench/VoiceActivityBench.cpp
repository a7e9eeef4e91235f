#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "Voice/BufferConsumers.h"
#include "Voice/VoiceActivityDetector.h"

namespace vorela {
namespace {

constexpr std::uint32_t kFrames = 1024;
const AudioFormat kStereo{48000, 2};

std::shared_ptr<const AudioBuffer> speechLikeBuffer() {
    auto buffer = AudioBuffer::make(kStereo, kFrames);
    for (std::uint32_t c = 0; c < kStereo.channelCount; ++c) {
        float* samples = buffer->mutableChannelData(c);
        for (std::uint32_t i = 0; i < kFrames; ++i) {
            samples[i] = 0.3f * static_cast<float>(std::sin(i * 0.07 + c) * std::sin(i * 0.003));
        }
    }
    return buffer;
}

// What the tap thread does per buffer for the voice-activated mode: one delivery through
// the consumer table to the voice-activity consumer, which measures and updates.
void BM_DetectorThroughConsumerTable(benchmark::State& state) {
    const auto buffer = speechLikeBuffer();
    VoiceActivityDetector vad;
    BufferConsumers consumers;
    double t = 1000;
    consumers.add(
        [&](const std::shared_ptr<const AudioBuffer>& b, const AudioTime& time) {
            const auto reading = vad.update(VoiceActivityDetector::decibels(*b), time.hostTime);
            benchmark::DoNotOptimize(reading);
        },
        Uuid::make());
    for (auto _ : state) {
        t += 0.021;
        consumers.deliver(buffer, AudioTime{t, 0});
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DetectorThroughConsumerTable);

// The yardstick: copying the same buffer once, as a consumer that kept a private copy
// would have to.
void BM_CopyBuffer(benchmark::State& state) {
    const auto buffer = speechLikeBuffer();
    for (auto _ : state) {
        auto copy = AudioBuffer::make(buffer->format(), buffer->frameLength());
        for (std::uint32_t c = 0; c < buffer->channelCount(); ++c) {
            std::memcpy(copy->mutableChannelData(c), buffer->channelData(c),
                        kFrames * sizeof(float));
        }
        benchmark::DoNotOptimize(copy->channelData(1)[kFrames - 1]);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CopyBuffer);

}  // namespace
}  // namespace vorela
