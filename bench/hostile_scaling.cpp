// Linear cost on hostile shapes: each shape grows by doubling, over four doublings, through the whole
// conversion (reader, tree, output writer, translator, picture adapter). A stage that is quadratic in
// one shape shows as a time ratio near 4 per doubling; bench/scaling.sh prints the ratios.
#include "CorvaneXHTML.h"
#include "CxMemoryPictureAdapterDataURI.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace {

std::string Repeat(std::string_view Piece, std::int64_t Count) {
    std::string Result;
    Result.reserve(Piece.size() * static_cast<std::size_t>(Count));
    for (std::int64_t I = 0; I < Count; ++I)
        Result += Piece;
    return Result;
}

std::string Document(const std::string& Body) {
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"
           "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
           "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23}\\listid7}}"
           "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}\\pard " +
           Body + "\\par}";
}

// Hexadecimal picture data of Bytes bytes, in lines of 64 digits.
std::string HexData(std::int64_t Bytes) {
    std::string Result;
    Result.reserve(static_cast<std::size_t>(Bytes) * 2 + static_cast<std::size_t>(Bytes) / 16);
    for (std::int64_t I = 0; I < Bytes; ++I) {
        Result += "0123456789abcdef"[I & 0xF];
        Result += "fedcba9876543210"[(I >> 4) & 0xF];
        if (I % 32 == 31) Result += "\r\n";
    }
    return Result;
}

// The converter as the command-line tool sets it up for --pictures --links, with every picture
// embedded, however large, so that the picture shapes always go through the data URI encoding. The
// metafile converter is left out (benchmarks link the core only); it would leave PNG data alone anyway.
void Convert(benchmark::State& State, const std::string& Rtf, bool Tables = false, bool Lists = false,
             bool Notes = false) {
    corvane::TRkCorvaneXHTML Converter;
    Converter.OptionsStructure().SetTables(Tables);
    Converter.OptionsStructure().SetLists(Lists);
    Converter.OptionsStructure().SetNotes(Notes);
    Converter.SetDocumentType(corvane::dtXHTML_10_Strict);
    Converter.SetConvertFields(true);
    Converter.SetConvertAnchors(true);
    Converter.SetConvertHyperlinks(true);
    Converter.SetConvertPictures(true);
    Converter.SetPictureAdapter(std::make_shared<corvane::TMemoryPictureAdapterDataURI>(1 << 30));
    for (auto _ : State) {
        std::string Html = Converter.Convert(Rtf);
        benchmark::DoNotOptimize(Html.data());
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Rtf.size()));
}

// Groups nested N deep, each changing the formatting, up to the nesting limit (10,000 groups).
void BM_Nesting(benchmark::State& State) {
    const std::int64_t N = State.range(0);
    Convert(State, "{\\rtf1 " + Repeat("{\\b x\\b0 ", N - 1) + "x" + Repeat("}", N - 1) + "}");
}

// N bold toggles, each around one character.
void BM_Toggles(benchmark::State& State) {
    Convert(State, Document(Repeat("\\b x\\b0 y", State.range(0))));
}

void BM_Paragraphs(benchmark::State& State) {
    Convert(State, Document(Repeat("text\\par ", State.range(0))));
}

void BM_ListItems(benchmark::State& State) {
    Convert(State, Document(Repeat("{\\listtext 1.\\tab}\\ls1 item\\par ", State.range(0))));
}

// Hyperlink fields with a bookmark each.
void BM_Hyperlinks(benchmark::State& State) {
    Convert(State, Document(Repeat("{\\*\\bkmkstart b}{\\*\\bkmkend b}{\\field{\\*\\fldinst HYPERLINK "
                                   "\"http://example.com/\"}{\\fldrslt link}} ",
                                   State.range(0))));
}

// One paragraph of N runs, their formatting alternating.
void BM_Runs(benchmark::State& State) {
    Convert(State, Document(Repeat("\\cf1\\i ab\\cf2\\i0 cd", State.range(0) / 2)));
}

// N pictures of 256 bytes each.
void BM_Pictures(benchmark::State& State) {
    Convert(State, Document(Repeat("{\\pict\\pngblip\\picwgoal150\\pichgoal150 " + HexData(256) + "}",
                                   State.range(0))));
}

// One picture of N kilobytes.
void BM_PictureData(benchmark::State& State) {
    Convert(State,
            Document("{\\pict\\pngblip\\picwgoal150\\pichgoal150 " + HexData(State.range(0) * 1024) + "}"));
}

// Tables, converted as tables: N cells in rows of four, each row defined before and after its cells.
void BM_TableRows(benchmark::State& State) {
    const std::string Row =
        "\\trowd\\clbrdrb\\brdrs\\cellx1000\\clcbpat1\\cellx2000\\clvmgf\\cellx3000\\cellx4000";
    Convert(State,
            Document(Repeat(Row + "\\pard\\intbl a\\cell b\\cell c\\cell d\\cell" + Row + "\\row ",
                            State.range(0) / 4)),
            true);
}

// One row of N cells, each with a boundary of its own: the widest column grid.
void BM_TableCells(benchmark::State& State) {
    std::string Row = "\\trowd";
    for (std::int64_t Cell = 1; Cell <= State.range(0); ++Cell)
        Row.append("\\cellx").append(std::to_string(Cell * 10));
    Convert(State, Document(Row + "\\pard\\intbl " + Repeat("x\\cell ", State.range(0)) + "\\row "), true);
}

// N outer rows, each cell holding tables nested eight deep; every other paragraph jumps from the
// outermost level to the deepest.
void BM_TableNesting(benchmark::State& State) {
    std::string Unit;
    for (int Depth = 1; Depth <= 8; ++Depth)
        Unit.append("\\pard\\intbl\\itap").append(std::to_string(Depth)).append(" a\\par ");
    for (int Depth = 8; Depth >= 2; --Depth)
        Unit.append("\\pard\\intbl\\itap")
            .append(std::to_string(Depth))
            .append(" z\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}");
    Unit += "\\pard\\intbl\\itap64 jump\\par\\pard\\intbl\\itap1 z\\cell\\trowd\\cellx2000\\row ";
    Convert(State, Document(Repeat(Unit, State.range(0))), true);
}

// Lists nested by level: N items that climb through the nine levels one at a time and jump back, then
// jump from the top level to the deepest, taking turns between eight overrides of one list, so that
// lists open and close all the time and every override continues its numbering.
void BM_ListLevels(benchmark::State& State) {
    std::string Levels;
    for (int Level = 0; Level < 9; ++Level)
        Levels.append("{\\listlevel\\levelnfc").append(std::to_string(Level % 5)).append("\\levelstartat2}");
    std::string Header = "{\\rtf1\\ansi{\\*\\listtable{\\list\\listtemplateid1" + Levels +
                         "\\listid7}}{\\*\\listoverridetable";
    for (int Override = 1; Override <= 8; ++Override)
        Header.append("{\\listoverride\\listid7\\ls").append(std::to_string(Override)).append("}");
    Header += "}";
    std::string Unit;
    for (int Level = 0; Level < 9; ++Level)
        Unit.append("\\pard\\ls1\\ilvl").append(std::to_string(Level)).append(" x\\par ");
    for (int Override = 2; Override <= 8; ++Override)
        Unit.append("\\pard\\ls")
            .append(std::to_string(Override))
            .append("\\ilvl8 y\\par\\pard\\ls1 z\\par ");
    Convert(State, Header + Repeat(Unit, State.range(0) / 23) + "}", false, true);
}

// N notes, converted as notes: footnotes, endnotes and notes with a mark of their own in turn, each
// referenced from the text and linking back.
void BM_Notes(benchmark::State& State) {
    Convert(State,
            Document(Repeat("a{\\super\\chftn}{\\footnote\\pard{\\super\\chftn} f}"
                            " b{\\super\\chftn}{\\footnote\\ftnalt\\pard{\\super\\chftn} e}"
                            " c{\\super *}{\\footnote\\pard{\\super *} m}\\par ",
                            State.range(0) / 3)),
            true, true, true);
}

// N paragraphs of notes, eight to a note: plain paragraphs, a list item and a table row in each.
void BM_NoteParagraphs(benchmark::State& State) {
    Convert(State,
            Document(Repeat(
                "t{\\super\\chftn}{\\footnote\\pard{\\super\\chftn} 1\\par 2\\par 3\\par "
                "\\ls1 4\\par\\pard 5\\par\\trowd\\cellx1000\\pard\\intbl 6\\cell\\row\\pard 7\\par 8}",
                State.range(0) / 8)),
            true, true, true);
}

// Five sizes, each twice the one before. The smallest already outgrows the processor's caches (a few
// megabytes of input and tree), so that every size pays the same for memory and the ratios show the
// converter's cost alone; the largest reaches the sizes of the hostile-input suite.
void Doublings(benchmark::internal::Benchmark* Benchmark, std::int64_t First) {
    for (std::int64_t N = First; N <= First * 16; N *= 2)
        Benchmark->Arg(N);
    Benchmark->Unit(benchmark::kMillisecond);
}

// Nesting stops at the reader's limit of 10,000 groups, so its sizes stay small.
BENCHMARK(BM_Nesting)->Apply([](auto* B) { Doublings(B, 625); });
BENCHMARK(BM_Toggles)->Apply([](auto* B) { Doublings(B, 16384); });
BENCHMARK(BM_Paragraphs)->Apply([](auto* B) { Doublings(B, 65536); });
BENCHMARK(BM_ListItems)->Apply([](auto* B) { Doublings(B, 65536); });
BENCHMARK(BM_Hyperlinks)->Apply([](auto* B) { Doublings(B, 8192); });
BENCHMARK(BM_Runs)->Apply([](auto* B) { Doublings(B, 65536); });
BENCHMARK(BM_Pictures)->Apply([](auto* B) { Doublings(B, 16384); });
BENCHMARK(BM_PictureData)->Apply([](auto* B) { Doublings(B, 6400); });
BENCHMARK(BM_TableRows)->Apply([](auto* B) { Doublings(B, 65536); });
BENCHMARK(BM_TableCells)->Apply([](auto* B) { Doublings(B, 16384); });
BENCHMARK(BM_TableNesting)->Apply([](auto* B) { Doublings(B, 1024); });
BENCHMARK(BM_ListLevels)->Apply([](auto* B) { Doublings(B, 65536); });
BENCHMARK(BM_Notes)->Apply([](auto* B) { Doublings(B, 16384); });
BENCHMARK(BM_NoteParagraphs)->Apply([](auto* B) { Doublings(B, 65536); });

} // namespace

int main(int argc, char** argv) {
    // The allocator hands memory above adaptive thresholds back to the system after each conversion, so
    // past some size every iteration pays its page faults anew: a step in time that is the allocator's,
    // not the converter's. Taking everything from the heap and keeping it makes the sizes comparable.
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, INT_MAX);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
