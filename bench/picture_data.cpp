// Picture data through the reader: one picture of N hexadecimal digits in lines of 128, as word
// processors write them. Time per byte and heap allocations per conversion must not grow with N.
#include "CxMemoryPictureAdapterDataURI.h"
#include "CxOptions.h"
#include "CxReader.h"
#include "CxUnicode.h"
#include "CxWriter.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <string>

namespace {
std::atomic<std::uint64_t> Allocations{0};
} // namespace

// Counts every allocation of this program, so the benchmark can report them per conversion. Kept out
// of line: inlined, the compiler would pair the built-in new with free and warn.
[[gnu::noinline]] void* operator new(std::size_t Size) {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* Block = std::malloc(Size == 0 ? 1 : Size)) return Block;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* Block) noexcept {
    std::free(Block);
}
[[gnu::noinline]] void operator delete(void* Block, std::size_t) noexcept {
    std::free(Block);
}

namespace corvane {
namespace {

class TBenchOwner : public ICxReaderOwner, public ICxWriterOptions {
public:
    explicit TBenchOwner(std::shared_ptr<IPictureAdapter> Adapter) : FAdapter(std::move(Adapter)) {}
    virtual ~TBenchOwner() = default;

    TFontConversionOptions GetFontConversionOptions() const override { return TFontConversionOptions::All(); }
    bool GetConvertIndent() const override { return false; }
    bool GetConvertFields() const override { return false; }
    bool GetConvertPictures() const override { return true; }
    bool GetConvertTables() const override { return false; }
    bool GetConvertLists() const override { return false; }
    bool GetConvertNotes() const override { return false; }
    bool GetConvertHeadersFooters() const override { return false; }
    const TCxOptionsOptimize& GetOptionsOptimize() const override { return FOptimize; }
    std::shared_ptr<IPictureAdapter> GetPictureAdapter() const override { return FAdapter; }
    void ReplaceFont(std::string&) override {}
    std::string GetLineBreak() const override { return "<br>"; }
    void Log(TLogLevel, const std::string&) override {}
    bool GetEndOfDocument() const override { return FEndOfDocument; }
    void SetEndOfDocument(bool Value) override { FEndOfDocument = Value; }
    bool GetConvertLanguage() const override { return false; }
    std::string GetDefaultLanguage() const override { return {}; }
    std::string GetTabString() const override { return " "; }

private:
    std::shared_ptr<IPictureAdapter> FAdapter;
    TCxOptionsOptimize FOptimize;
    bool FEndOfDocument = false;
};

std::string MakePictureRtf(std::size_t HexDigits) {
    static constexpr char Digits[] = "0123456789abcdef";
    std::string Rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard before "
                      "{\\*\\shppict{\\pict\\pngblip\\picwgoal1440\\pichgoal1440\r\n";
    Rtf.reserve(Rtf.size() + HexDigits + HexDigits / 64 + 64);
    std::uint32_t Seed = 1;
    for (std::size_t Digit = 0; Digit < HexDigits; ++Digit) {
        Seed = Seed * 1664525u + 1013904223u;
        Rtf += Digits[Seed >> 28];
        if (Digit % 128 == 127) Rtf += "\r\n";
    }
    Rtf += "}} after\\par}";
    return Rtf;
}

// MaxSizeKB 0 names the picture instead of embedding it: the time is the reader's. A large limit adds
// the Base64 data: URI.
void RunPicture(benchmark::State& State, std::int32_t MaxSizeKB) {
    const std::string Rtf = MakePictureRtf(static_cast<std::size_t>(State.range(0)));
    const auto Adapter = std::make_shared<TMemoryPictureAdapterDataURI>(MaxSizeKB);
    std::uint64_t AllocationsPerConversion = 0;
    for (auto _ : State) {
        TBenchOwner Owner(Adapter);
        const std::uint64_t Before = Allocations.load(std::memory_order_relaxed);
        {
            auto Writer = std::make_shared<TCxWriter>(Owner, std::make_unique<TUnicodeConverter>());
            TCxReader Reader(Owner, Writer, std::make_unique<TUnicodeConverter>());
            Reader.Parse(Rtf);
            benchmark::DoNotOptimize(Writer->Document().get());
        }
        AllocationsPerConversion = Allocations.load(std::memory_order_relaxed) - Before;
        if (Adapter->GetPictures().size() != 1) State.SkipWithError("the picture was not stored");
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Rtf.size()));
    State.counters["allocations"] = static_cast<double>(AllocationsPerConversion);
}

void BM_PictureDataNamed(benchmark::State& State) {
    RunPicture(State, 0);
}
void BM_PictureDataEmbedded(benchmark::State& State) {
    RunPicture(State, 1 << 20);
}
BENCHMARK(BM_PictureDataNamed)->Arg(1 << 20)->Arg(16 << 20)->Arg(200 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PictureDataEmbedded)->Arg(1 << 20)->Arg(16 << 20)->Arg(200 << 20)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace corvane

BENCHMARK_MAIN();
