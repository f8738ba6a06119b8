// Reading a word-processor-style document and building its tree, without serialising it: the reader
// drives the real document writer. Two sizes sixteen times apart show that the cost stays linear.
#include "BenchInput.h"
#include "CorvaneXHTML.h"
#include "CxReader.h"
#include "CxUnicode.h"
#include "CxWriter.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ReadIntoTree(benchmark::State& State) {
    const std::string Rtf = corvane::MakeWordProcessorRtf(static_cast<std::size_t>(State.range(0)));
    corvane::TRkCorvaneXHTML Owner; // supplies the settings the reader and the writer ask for
    for (auto _ : State) {
        auto Writer =
            std::make_shared<corvane::TCxWriter>(Owner, std::make_unique<corvane::TUnicodeConverter>());
        corvane::TCxReader Reader(Owner, Writer, std::make_unique<corvane::TUnicodeConverter>());
        Reader.Parse(Rtf);
        benchmark::DoNotOptimize(Writer->GetDocument().get());
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Rtf.size()));
}

BENCHMARK(BM_ReadIntoTree)->Arg(20 << 16)->Arg(20 << 20)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
