// The whole conversion, RTF bytes in and a UTF-8 HTML5 document out, on a word-processor-style document.
// Two sizes sixteen times apart show that the cost stays linear; the peak resident size of the process,
// read after the largest run, bounds the memory a conversion needs.
#include "BenchInput.h"
#include "CorvaneXHTML.h"
#include "CxMemoryPictureAdapterDataURI.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <memory>

namespace {

void BM_ConvertToHtml5(benchmark::State& State) {
    const std::string Rtf = corvane::MakeWordProcessorRtf(static_cast<std::size_t>(State.range(0)));
    corvane::TRkCorvaneXHTML Converter;
    for (auto _ : State) {
        std::string Html = Converter.Convert(Rtf);
        benchmark::DoNotOptimize(Html.data());
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Rtf.size()));
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    State.counters["peak_rss_per_input_byte"] = static_cast<double>(usage.ru_maxrss) * 1024.0 / Rtf.size();
}

// The same text as table cells, four to a row, converted as tables: the table structure's own cost.
void BM_ConvertTablesToHtml5(benchmark::State& State) {
    const std::string Rtf = corvane::MakeWordProcessorRtf(static_cast<std::size_t>(State.range(0)), true);
    corvane::TRkCorvaneXHTML Converter;
    Converter.OptionsStructure().SetTables(true);
    for (auto _ : State) {
        std::string Html = Converter.Convert(Rtf);
        benchmark::DoNotOptimize(Html.data());
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Rtf.size()));
}

// The document a word processor wrote, as the command-line tool converts it: plain, and with --all.
void BM_ConvertWordProcessorFile(benchmark::State& State) {
    const std::string Rtf = corvane::ReadWordProcessorFile();
    if (Rtf.empty()) return State.SkipWithError("no document: run bench/make-wordprocessor-rtf.sh");
    corvane::TRkCorvaneXHTML Converter;
    Converter.SetDocumentType(corvane::dtHTML_50);
    if (State.range(0) != 0) {
        Converter.SetConvertFields(true);
        Converter.SetConvertAnchors(true);
        Converter.SetConvertHyperlinks(true);
        Converter.SetConvertPictures(true);
        Converter.SetPictureAdapter(std::make_shared<corvane::TMemoryPictureAdapterDataURI>(32));
        Converter.SetExtractEncapsulatedHtml(true);
        Converter.OptionsStructure().SetTables(true);
        Converter.OptionsStructure().SetLists(true);
        Converter.OptionsStructure().SetNotes(true);
        Converter.OptionsStructure().SetHeadersFooters(true);
    }
    for (auto _ : State) {
        std::string Html = Converter.Convert(Rtf);
        benchmark::DoNotOptimize(Html.data());
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Rtf.size()));
}
BENCHMARK(BM_ConvertWordProcessorFile)->ArgName("all")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// 1.25 MB and 20 MB: the larger input is sixteen times the smaller one.
BENCHMARK(BM_ConvertToHtml5)->Arg(20 << 16)->Arg(20 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertTablesToHtml5)->Arg(20 << 16)->Arg(20 << 20)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
