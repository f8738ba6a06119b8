// Building a document through the writer and serialising it through the output writer, for N and 16N
// paragraphs: the time per paragraph should stay flat when the document grows.
#include "../tests/document/DocumentFakes.h"
#include "CxOutputWriter.h"
#include "CxOptions.h"
#include "CxWriter.h"

#include <benchmark/benchmark.h>

#include <string>

namespace corvane {
namespace {

// Each paragraph: plain text, a bold word, a tab; every third paragraph is a list item.
void BuildDocument(TCxWriter& Writer, std::int64_t Paragraphs) {
    static constexpr std::string_view Plain = "Some plain text of a paragraph, ";
    static constexpr std::string_view Bold = "bold";
    for (std::int64_t i = 0; i < Paragraphs; ++i) {
        Writer.SetListItem(i % 3 == 0);
        Writer.SetListStyle(i % 3 == 0 ? 11 : 0);
        for (char c : Plain)
            Writer.WriteChar(static_cast<std::uint8_t>(c));
        TCharacterProperties saved = Writer.CloneCharacterProperties();
        Writer.SetFontStyle(fsBold);
        for (char c : Bold)
            Writer.WriteChar(static_cast<std::uint8_t>(c));
        Writer.SetCharacterProperties(saved);
        Writer.WriteChar('\t');
        Writer.WriteChar('.');
        Writer.WriteChar('\n');
    }
}

void BM_WriterBuild(benchmark::State& State) {
    fakes::TFakeWriterOptions options;
    for (auto _ : State) {
        TCxWriter writer(options, std::make_unique<fakes::TLatin1Converter>());
        BuildDocument(writer, State.range(0));
        benchmark::DoNotOptimize(writer.Document()->GetChildCount());
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}

void BM_OutputWriterExecute(benchmark::State& State) {
    fakes::TFakeWriterOptions options;
    fakes::TFakeRunConverter converter;
    TCxWriter writer(options, std::make_unique<fakes::TLatin1Converter>());
    BuildDocument(writer, State.range(0));
    TCxOutputWriter output(converter);
    output.FEmptyParagraph = "    <p>\r\n    </p>\r\n";
    output.SetDocument(writer.GetDocument());
    for (auto _ : State) {
        output.Execute();
        benchmark::DoNotOptimize(output.GetOutput().size());
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}

BENCHMARK(BM_WriterBuild)->Arg(1 << 14)->Arg(1 << 18)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OutputWriterExecute)->Arg(1 << 14)->Arg(1 << 18)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace corvane

BENCHMARK_MAIN();
