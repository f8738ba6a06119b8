// Throughput of the RTF reader alone: a writer that only counts the calls it receives, so the time is
// the reader's tokenizing, look-up and dispatch.
#include "../tests/document/DocumentFakes.h"
#include "BenchInput.h"
#include "CxOptions.h"
#include "CxReader.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace corvane {
namespace {

class TCountingDocument : public ISimpleDomDocument {
public:
    std::size_t Appended = 0;

    void AppendText(const std::string& Text) override { Appended += Text.size(); }
    void AppendMarkup(const std::string& Markup) override { Appended += Markup.size(); }
    void AddParagraph() override { ++Appended; }
    const std::string& GetText() const override { return FText; }
    void SetText(std::string Text) override { FText = std::move(Text); }
    int GetChildCount() const override { return 0; }
    ISimpleDomNode* GetChild(int) const override { throw std::out_of_range("no children"); }
    ISimpleDomNode* GetLastChild() const override { return nullptr; }
    int IndexOf(const ISimpleDomNode*) const override { return -1; }
    ISimpleDomNode* GetPreviousSibling() const override { return nullptr; }
    ISimpleDomNode* GetNextSibling() const override { return nullptr; }
    void RemoveChild(ISimpleDomNode*) override {}

private:
    std::string FText;
};

// Counts every call; keeps the little state the reader reads back.
class TCountingWriter : public ICxWriter {
public:
    std::uint64_t Calls = 0;
    std::uint64_t Characters = 0;

    TCharacterProperties CloneCharacterProperties() const override { return FCharacter; }
    void SetCharacterProperties(const TCharacterProperties& Properties) override {
        ++Calls;
        if (!(FCharacter == Properties)) FCharacter = Properties;
    }
    TParagraphProperties CloneParagraphProperties() const override { return FParagraph; }
    // As the document writer does: into the reader's storage, which keeps its strings' room.
    void SaveProperties(TCharacterProperties& Character, TParagraphProperties& Paragraph) const override {
        Character = FCharacter;
        Paragraph = FParagraph;
    }
    void SetParagraphProperties(const TParagraphProperties& Properties) override {
        ++Calls;
        if (!(FParagraph == Properties)) FParagraph = Properties;
    }
    void ResetCharacterProperties() override {
        ++Calls;
        FCharacter.FontStyle = 0;
    }
    void StartTextRun() override { ++Calls; }
    void SetAlignment(std::uint8_t) override { ++Calls; }
    std::int32_t GetDefaultCharset() const override { return 0; }
    void SetDefaultCharset(std::int32_t) override { ++Calls; }
    bool GetNumbering() const override { return FNumbering; }
    void SetNumbering(bool Value) override {
        ++Calls;
        FNumbering = Value;
    }
    void SetListStyle(std::uint8_t) override { ++Calls; }
    std::uint8_t GetListStyle() const override { return 0; }
    void SetListItem(bool) override { ++Calls; }
    bool GetListItem() const override { return false; }
    void SetDefaultFontName(const std::string& FontName) override {
        ++Calls;
        FDefaultFontName = FontName;
    }
    std::string GetDefaultFontName() const override { return FDefaultFontName; }
    void SetFontColor(const std::string&) override { ++Calls; }
    void SetBackgroundColor(const std::string&) override { ++Calls; }
    void SetHighlightColor(const std::string&) override { ++Calls; }
    void SetFontCharset(std::int32_t) override { ++Calls; }
    void SetFontStyle(TFontStyles Style) override {
        ++Calls;
        FCharacter.FontStyle = Style;
    }
    TFontStyles GetFontStyle() const override { return FCharacter.FontStyle; }
    void SetFontSize(std::int32_t) override { ++Calls; }
    bool GetHidden() const override { return false; }
    void SetHidden(bool) override { ++Calls; }
    void SetSuperscript(bool) override { ++Calls; }
    bool GetSubscript() const override { return false; }
    void SetSubscript(bool) override { ++Calls; }
    bool GetSuperscript() const override { return false; }
    void SetLanguage(const std::string&) override { ++Calls; }
    void SetLeftIndent(std::int32_t) override { ++Calls; }
    void SetRightIndent(std::int32_t) override { ++Calls; }
    void SetSpaceBefore(std::int32_t) override { ++Calls; }
    void SetSpaceAfter(std::int32_t) override { ++Calls; }
    void SetParagraphColor(const std::string&) override { ++Calls; }
    void SetBorder(bool) override { ++Calls; }
    void SetAnchor(const std::string&) override { ++Calls; }
    void SetFieldInstruction(const std::string&) override { ++Calls; }
    void SetFirstIndent(std::int32_t) override { ++Calls; }
    std::shared_ptr<ISimpleDomDocument> GetDocument() const override { return FDocument; }
    void SetFontName(const std::string& FontName) override {
        ++Calls;
        if (FCharacter.FontName != FontName) FCharacter.FontName = FontName;
    }
    void SetRightToLeft(bool) override { ++Calls; }
    void SetParagraphRightToLeft(bool) override { ++Calls; }
    void WriteChar(std::uint8_t) override { ++Characters; }
    void WriteChars(std::string_view Text) override { Characters += Text.size(); }
    void ResetParagraphProperties() override {
        ++Calls;
        FNumbering = false;
    }
    void AddListTable() override { ++Calls; }
    void AddListOverride() override { ++Calls; }
    void AddListLevel() override { ++Calls; }
    void SetListId(std::int32_t) override { ++Calls; }
    void SetListOverrideListId(std::int32_t) override { ++Calls; }
    void SetListTemplateId(std::int32_t) override { ++Calls; }
    void SetListOverrideNumber(std::int32_t) override { ++Calls; }
    void SetAnsiCodePage(std::int32_t) override { ++Calls; }
    void SetListNumbering(TListField, std::int32_t) override { ++Calls; }
    void SetLevelStartAt(std::int32_t) override { ++Calls; }
    void BeginPart(TDocumentPart) override { ++Calls; }
    void EndPart() override { ++Calls; }
    void WriteNoteMark() override { ++Calls; }
    void EndSection() override { ++Calls; }
    void SetEndnote() override { ++Calls; }
    void SetNoteNumbering(TNoteNumbering, std::int32_t) override { ++Calls; }
    void SetLevelNumberFormat(std::int32_t) override { ++Calls; }
    bool IsBulletList(std::int32_t Number) override { return Number == 1; }
    void SetInTable(bool) override { ++Calls; }
    void SetNestingLevel(std::int32_t) override { ++Calls; }
    std::int32_t GetTableDepth() const override { return 0; }
    void EndCell(std::shared_ptr<const TTableRowDefinition>) override { ++Calls; }
    void EndRow(std::shared_ptr<const TTableRowDefinition>) override { ++Calls; }

private:
    TCharacterProperties FCharacter;
    TParagraphProperties FParagraph;
    bool FNumbering = false;
    std::string FDefaultFontName;
    std::shared_ptr<TCountingDocument> FDocument = std::make_shared<TCountingDocument>();
};

class TQuietOwner : public ICxReaderOwner {
public:
    virtual ~TQuietOwner() = default;
    TFontConversionOptions GetFontConversionOptions() const override { return TFontConversionOptions::All(); }
    bool GetConvertIndent() const override { return true; }
    bool GetConvertFields() const override { return true; }
    bool GetConvertPictures() const override { return false; }
    bool GetConvertTables() const override { return false; }
    bool GetConvertLists() const override { return false; }
    bool GetConvertNotes() const override { return false; }
    bool GetConvertHeadersFooters() const override { return false; }
    const TCxOptionsOptimize& GetOptionsOptimize() const override { return FOptimize; }
    std::shared_ptr<IPictureAdapter> GetPictureAdapter() const override { return nullptr; }
    void ReplaceFont(std::string&) override {}
    std::string GetLineBreak() const override { return "<br>"; }
    void Log(TLogLevel, const std::string&) override {}
    bool GetEndOfDocument() const override { return FEndOfDocument; }
    void SetEndOfDocument(bool Value) override { FEndOfDocument = Value; }

private:
    TCxOptionsOptimize FOptimize;
    bool FEndOfDocument = false;
};

void BM_ReaderWordProcessorDocument(benchmark::State& State) {
    // 0: the document a word processor wrote (bench/make-wordprocessor-rtf.sh); otherwise a generated one.
    const std::string Rtf = State.range(0) == 0
                                ? ReadWordProcessorFile()
                                : MakeWordProcessorRtf(static_cast<std::size_t>(State.range(0)));
    if (Rtf.empty()) return State.SkipWithError("no document: run bench/make-wordprocessor-rtf.sh");
    std::uint64_t Characters = 0;
    for (auto _ : State) {
        TQuietOwner Owner;
        auto Writer = std::make_shared<TCountingWriter>();
        TCxReader Reader(Owner, Writer, std::make_unique<fakes::TLatin1Converter>());
        Reader.Parse(Rtf);
        Characters = Writer->Characters;
        benchmark::DoNotOptimize(Writer->Calls);
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Rtf.size()));
    State.counters["text_bytes"] = static_cast<double>(Characters);
}
BENCHMARK(BM_ReaderWordProcessorDocument)->Arg(0)->Arg(20 << 20)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace corvane

BENCHMARK_MAIN();
