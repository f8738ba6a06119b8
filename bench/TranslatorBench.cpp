// Escaping and character formatting run once per text run; both must stay linear in the text.
#include "CxHtmlTranslator.h"
#include "CxLinkURIBuilder.h"
#include "CxMarginBuilder.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using namespace corvane;

std::string MixedText(std::size_t Size) {
    const std::string piece = "Plain words, a <tag> & \"quotes\" \xC3\xA9\xE2\x82\xAC\x01 ";
    std::string text;
    while (text.size() < Size)
        text += piece;
    return text;
}

void BM_Encode(benchmark::State& State) {
    const THTML50Translator translator(std::make_shared<TMarginBuilder>());
    const std::string text = MixedText(static_cast<std::size_t>(State.range(0)));
    for (auto _ : State)
        benchmark::DoNotOptimize(translator.Encode(text));
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations()) *
                            static_cast<std::int64_t>(text.size()));
    State.SetComplexityN(State.range(0));
}
BENCHMARK(BM_Encode)->RangeMultiplier(8)->Range(1 << 10, 1 << 23)->Complexity(benchmark::oN);

void BM_FormatText(benchmark::State& State) {
    THTML401TransitionalTranslator translator(std::make_shared<TMarginBuilder>());
    translator.SetFontSizeScale(fsEM);
    TCharacterProperties props;
    props.FontStyle = fsBold | fsItalic;
    props.FontName = "Arial,Helvetica,sans-serif";
    props.FontColor = "#ff0000";
    props.FontSize = 15;
    props.Language = "de";
    const std::string text = translator.Encode(MixedText(static_cast<std::size_t>(State.range(0))));
    for (auto _ : State)
        benchmark::DoNotOptimize(translator.FormatText(text, props));
    State.SetComplexityN(State.range(0));
}
BENCHMARK(BM_FormatText)->RangeMultiplier(8)->Range(1 << 6, 1 << 20)->Complexity(benchmark::oN);

void BM_PercentEncode(benchmark::State& State) {
    const std::string text = MixedText(static_cast<std::size_t>(State.range(0)));
    for (auto _ : State)
        benchmark::DoNotOptimize(PercentEncode(text));
    State.SetComplexityN(State.range(0));
}
BENCHMARK(BM_PercentEncode)->RangeMultiplier(8)->Range(1 << 6, 1 << 20)->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
