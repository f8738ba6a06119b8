// Throughput of byte-wise code-page decoding: a single-byte page (table look-up) and a double-byte
// page (one iconv call per pair). Reported as input bytes per second.
#include "CxUnicode.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr std::size_t InputSize = 1 << 20;

std::vector<std::uint8_t> SingleByteText() {
    // Cyrillic text: mostly high bytes, a blank now and then.
    std::vector<std::uint8_t> Bytes(InputSize);
    for (std::size_t i = 0; i < Bytes.size(); ++i)
        Bytes[i] = i % 7 == 6 ? ' ' : static_cast<std::uint8_t>(0xC0 + i % 64);
    return Bytes;
}

std::vector<std::uint8_t> DoubleByteText() {
    // Shift-JIS hiragana pairs (0x82 0x9F to 0x82 0xF1), a blank after every fifth.
    std::vector<std::uint8_t> Bytes;
    Bytes.reserve(InputSize);
    for (std::size_t i = 0; Bytes.size() + 3 <= InputSize; ++i) {
        Bytes.push_back(0x82);
        Bytes.push_back(static_cast<std::uint8_t>(0x9F + i % 83));
        if (i % 5 == 4) Bytes.push_back(' ');
    }
    return Bytes;
}

void Run(benchmark::State& State, std::int32_t Charset, const std::vector<std::uint8_t>& Bytes) {
    corvane::TUnicodeConverter Converter;
    Converter.SetCharset(Charset);
    std::string Output;
    Output.reserve(Bytes.size() * 3);
    for (auto _ : State) {
        Output.clear();
        for (std::uint8_t Byte : Bytes)
            Converter.Convert(Byte, Output);
        benchmark::DoNotOptimize(Output.data());
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations()) *
                            static_cast<std::int64_t>(Bytes.size()));
}

void BM_SingleByte1251(benchmark::State& State) {
    static const std::vector<std::uint8_t> Bytes = SingleByteText();
    Run(State, 204, Bytes);
}
BENCHMARK(BM_SingleByte1251)->Unit(benchmark::kMillisecond);

void BM_DoubleByte932(benchmark::State& State) {
    static const std::vector<std::uint8_t> Bytes = DoubleByteText();
    Run(State, 128, Bytes);
}
BENCHMARK(BM_DoubleByte932)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
