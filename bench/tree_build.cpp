// Building a document through the writer and serialising it through the output writer, for N and 16N
// paragraphs: the time per paragraph should stay flat when the document grows.
#include "CxOutputWriter.h"
#include "CxOptions.h"
#include "CxWriter.h"

#include <benchmark/benchmark.h>

#include <string>

namespace corvane {
namespace {

class TAsciiConverter : public IUnicodeConverter {
public:
    std::int32_t GetCharset() const override { return 0; }
    void SetCharset(std::int32_t) override {}
    bool IsDoubleByte() const override { return false; }
    void SetDoubleByte(bool) override {}
    void Convert(std::uint8_t Byte, std::string& Output) override { Output += static_cast<char>(Byte); }
};

class TOptions : public ICxWriterOptions {
public:
    virtual ~TOptions() = default;
    bool GetConvertLanguage() const override { return false; }
    std::string GetDefaultLanguage() const override { return {}; }
    TFontConversionOptions GetFontConversionOptions() const override { return TFontConversionOptions::All(); }
    const TCxOptionsOptimize& GetOptionsOptimize() const override { return FOptimize; }
    std::string GetTabString() const override { return "&nbsp;"; }

private:
    TCxOptionsOptimize FOptimize;
};

class TMargins : public IMarginBuilding {
public:
    std::string GetMargin(std::int32_t Level) const override { return std::string(2 * Level, ' '); }
    void SetMarginWidth(std::int32_t) override {}
    std::int32_t GetMarginWidth() const override { return 2; }
};

class TTranslator : public ICxTranslator {
public:
    std::string Encode(std::string_view Text) const override { return std::string(Text); }
    std::string FormatText(const std::string& Text, const TCharacterProperties&) const override {
        return Text;
    }
    std::string GetEmptyElementEnd() const override { return ">"; }
    std::string GetDocType() const override { return {}; }
    std::string GetFontSizeStyle(std::int32_t) const override { return {}; }
    std::string BuildParagraphStart(const std::string&, const std::string&) const override { return {}; }
    std::string GetParagraphStart(const TParagraphProperties&) const override { return "    <p>\r\n      "; }
    std::string GetHtmlStartTag(const std::string&) const override { return {}; }
    std::string GetStyleAttribute(const std::string&) const override { return {}; }
    bool UsePresentationalTags() const override { return false; }
    bool IsXml() const override { return false; }
    bool IsDocTypeRequired() const override { return false; }
    void SetFontSizeScale(TFontSizeScale) override {}
    void SetParagraphTag(const std::string&) override {}
    bool SupportsElement(const std::string&) const override { return true; }
    bool SupportsAttribute(const std::string&, const std::string&) const override { return true; }
};

class TRunConverter : public ICxRunConverter {
public:
    virtual ~TRunConverter() = default;
    std::string ConvertTextRun(ISimpleDomTextNode& Run) override { return Run.GetText(); }
    std::string GetOrderedListTag() const override { return "<ol>"; }
    std::string GetUnorderedListTag() const override { return "<ul>"; }
    const ICxTranslator& GetTranslator() const override { return FTranslator; }
    const IMarginBuilding& GetMarginBuilder() const override { return FMargins; }

private:
    TTranslator FTranslator;
    TMargins FMargins;
};

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
    TOptions options;
    for (auto _ : State) {
        TCxWriter writer(options, std::make_unique<TAsciiConverter>());
        BuildDocument(writer, State.range(0));
        benchmark::DoNotOptimize(writer.Document()->GetChildCount());
    }
    State.SetItemsProcessed(State.iterations() * State.range(0));
}

void BM_OutputWriterExecute(benchmark::State& State) {
    TOptions options;
    TRunConverter converter;
    TCxWriter writer(options, std::make_unique<TAsciiConverter>());
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
