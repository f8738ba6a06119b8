// RTF from strangers: every shape here must end, with a result or with the converter's own error, without
// a crash, a sanitizer finding or a leak, within the memory the case allows; a result must be clean
// XHTML. Each case runs in a child process of its own (HostileHarness.h).
#include "EmfWriter.h"
#include "HostileHarness.h"
#include "TestFiles.h"
#include "WmfWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace corvane {
namespace {

using test::MiB;
using test::TBytes;
using test::TEmfWriter;
using test::TWmfWriter;

// Start, Count times Piece, End: built in place, so that the input exists once.
std::string Repeat(std::string_view Piece, std::size_t Count, std::string_view Start = "",
                   std::string_view End = "") {
    std::string Result;
    Result.reserve(Start.size() + Piece.size() * Count + End.size());
    Result += Start;
    for (std::size_t I = 0; I < Count; ++I)
        Result += Piece;
    return Result += End;
}

// A document with a font table, a colour table and a list table, around Body.
std::string Document(std::string_view Body) {
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}"
           "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
           "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23}\\listid7}}"
           "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}\\pard " +
           std::string(Body) + "\\par}";
}

std::string Hex(const TBytes& Bytes) {
    std::string Result;
    for (std::size_t I = 0; I < Bytes.size(); ++I) {
        Result += "0123456789abcdef"[Bytes[I] >> 4];
        Result += "0123456789abcdef"[Bytes[I] & 0xF];
        if (I % 32 == 31) Result += "\r\n";
    }
    return Result;
}

// An enhanced metafile picture of 100 x 100 pixels.
std::string EnhancedMetafilePicture(const TBytes& Metafile) {
    return "{\\pict\\emfblip\\picwgoal1500\\pichgoal1500 " + Hex(Metafile) + "}";
}

// A metafile picture of 100 x 100 pixels, as word processors embed them.
std::string MetafilePicture(const TBytes& Metafile) {
    return "{\\pict\\wmetafile8\\picwgoal1500\\pichgoal1500 " + Hex(Metafile) + "}";
}

// A metafile with the given records behind a correct header and a 100 x 100 window.
TBytes MetafileWith(const std::function<void(TWmfWriter&)>& Records) {
    TWmfWriter Writer;
    Writer.SetMapMode(8).SetWindowOrg(0, 0).SetWindowExt(100, 100);
    Records(Writer);
    return Writer.Metafile();
}

TBytes ValidMetafile() {
    return MetafileWith([](TWmfWriter& W) {
        W.CreateBrush(0, test::Rgb(255, 0, 0)).SelectObject(0).Rectangle(10, 10, 90, 90);
    });
}

// A 24-bit bitmap header claiming Width x Height pixels, followed by Payload bytes only.
TBytes ShortDib(std::int32_t Width, std::int32_t Height, std::size_t Payload) {
    TBytes Dib = test::DibHeader(Width, Height, 24, 0, 0, {});
    Dib.resize(Dib.size() + Payload, 0x7F);
    return Dib;
}

enum TExpect { exConverted, exFailed, exEither };

struct TCase {
    const char* Name;
    std::function<std::string()> Make;
    TExpect Expect;
    const char* Failure; // exFailed: the error's text
    // The most the case may need, input included: about a third above what it needs in either build
    // (the sanitizer build counts reserved capacity that resident size does not see).
    std::uint64_t MemoryBytes;
    const char* Needle = ""; // exConverted: text the output must contain
};

void PrintTo(const TCase& Case, std::ostream* Stream) {
    *Stream << Case.Name;
}

// Seconds a case may take before it counts as hanging: far above what any takes, far below ctest's limit.
constexpr unsigned CaseSeconds = test::UnderSanitizer ? 240 : 60;

class HostileInput : public ::testing::TestWithParam<TCase> {};

TEST_P(HostileInput, EndsCleanlyWithinItsMemory) {
    const TCase& Case = GetParam();
    const test::TIsolatedRun Run =
        test::RunIsolated(test::ConvertInChild(Case.Make, Case.Needle), CaseSeconds);
    ASSERT_EQ(Run.Death, "");
    const test::TChildReport& Report = Run.Report;
    std::printf("%s: input %.1f MiB, output %.1f MiB, peak %.1f MiB\n", Case.Name,
                static_cast<double>(Report.InputBytes) / MiB, static_cast<double>(Report.OutputBytes) / MiB,
                static_cast<double>(Report.PeakBytes) / MiB);
    ASSERT_NE(Report.Outcome, test::ocForeignException) << "an exception of another type: " << Report.Message;
    if (Case.Expect == exConverted) {
        EXPECT_EQ(Report.Outcome, test::ocConverted) << Report.Message;
    }
    if (Case.Expect == exFailed) {
        EXPECT_EQ(Report.Outcome, test::ocFailed);
        EXPECT_STREQ(Report.Message, Case.Failure);
    }
    EXPECT_STREQ(Report.Inspection, "");
    EXPECT_LE(Report.PeakBytes, Case.MemoryBytes);
}

// clang-format off
const TCase Cases[] = {
    // Nesting.
    {"NestingFarPastTheLimit", [] { return "{\\rtf1 " + Repeat("{\\b ", 100000) + "x" + Repeat("}", 100000) + "}"; },
     exFailed, "Property stack overflow", 64 * MiB},
    {"NestingJustBelowTheLimit", [] { return "{\\rtf1 " + Repeat("{\\i ", 9998) + "x" + Repeat("}", 9998) + "}"; },
     exConverted, "", 64 * MiB},
    {"UnclosedGroups", [] { return "{\\rtf1 " + Repeat("{\\ul x", 5000); }, exConverted, "", 64 * MiB},
    {"ClosingMoreThanOpened", [] { return "{\\rtf1 a}" + Repeat("}", 100000) + "b"; }, exConverted, "", 16 * MiB},
    // \bin with counts that are huge, negative, too long for any integer and past the end.
    {"BinCounts", [] {
         return Document("a\\bin99999999999999999999 b\\bin-5 c\\bin9223372036854775807 d"
                         "{\\pict\\pngblip\\bin-2147483648 e}{\\pict\\pngblip\\bin4 ab}\\bin2000000000 tail");
     }, exConverted, "", 16 * MiB},
    {"BinInsidePictureRunsPastTheEnd", [] { return "{\\rtf1{\\pict\\wmetafile8\\picwgoal1500\\pichgoal1500\\bin100000 x"; },
     exConverted, "", 16 * MiB},
    // Picture sizes at and past every limit.
    {"PictureSizesAtTheExtremes", [] {
         const std::string Metafile = Hex(ValidMetafile());
         return Document("{\\pict\\wmetafile8\\picwgoal2147483647\\pichgoal2147483647 " + Metafile + "}"
                         "{\\pict\\wmetafile8\\picwgoal1500\\pichgoal1500\\picscalex1000000\\picscaley1000000 " +
                         Metafile + "}"
                         "{\\pict\\wmetafile8\\picwgoal-1500\\pichgoal-1\\picw-5\\pich-5\\picscalex-100 " + Metafile + "}"
                         "{\\pict\\wmetafile8\\picwgoal245760\\pichgoal245760 " + Metafile + "}"
                         "{\\pict\\pngblip\\picwgoal99999999999999999999\\picscaley2147483647 89504e47}");
     }, exConverted, "", 128 * MiB},
    // Numbers and words no reader should trust.
    {"TwentyDigitParameters", [] {
         return Document("\\fs99999999999999999999 \\f-99999999999999999999 \\cf18446744073709551616 "
                         "\\u99999999999999999999 \\li-99999999999999999999 \\sb99999999999999999999 "
                         "\\lang99999999999999999999 \\uc99999999999999999999 \\highlight-99999999999999999999 "
                         "\\cb99999999999999999999 \\ls-99999999999999999999 \\ilvl99999999999999999999 text");
     }, exConverted, "", 16 * MiB},
    {"MillionLetterControlWord", [] {
         return Document("\\" + std::string(1000000, 'q') + " a \\" + std::string(1000000, 'b') + "-" +
                         std::string(1000000, '7') + " z");
     }, exConverted, "", 32 * MiB},
    {"FontNameOfTenMillionCommentOpeners", [] {
         return "{\\rtf1{\\fonttbl{\\f0 /" + std::string(10000000, '*') + ";}}\\f0 text}";
     }, exConverted, "", 64 * MiB},
    // \' escapes that are broken or cut short.
    {"InvalidHexEscape", [] { return Document("a\\'zz b"); }, exFailed, "ceUnknownCharacter", 16 * MiB},
    {"HexEscapeWithOneDigit", [] { return Document("a\\'4 b"); }, exFailed, "ceUnknownCharacter", 16 * MiB},
    {"HexEscapeCutByGroups", [] { return Document("a\\'{4}1\\'\\par\\'}"); }, exEither, "", 16 * MiB},
    {"HexEscapeAtTheEnd", [] { return std::string("{\\rtf1 a\\'4"); }, exConverted, "", 16 * MiB},
    {"BackslashAtTheEnd", [] { return std::string("{\\rtf1 a\\"); }, exConverted, "", 16 * MiB},
    // Control bytes where text, font names and bookmark names go.
    {"ControlBytesEverywhere", [] {
         std::string Controls;
         for (int Byte = 0; Byte < 0x20; ++Byte)
             if (Byte != '\r' && Byte != '\n') Controls += static_cast<char>(Byte);
         Controls += "\x7F";
         std::string Escaped;
         for (const char Byte : std::string_view("\x01\x02\x08\x0B\x0C\x0E\x1F\x7F\x80\x81\x9F"))
             Escaped += "\\'" + std::string{"0123456789abcdef"[(Byte >> 4) & 0xF], "0123456789abcdef"[Byte & 0xF]};
         return "{\\rtf1\\ansi{\\fonttbl{\\f0 A" + Controls + "B" + Escaped + "C;}{\\f1\\fcharset128 \\'81;}"
                "{\\f2\\fcharset136 \\'a1\\'00x;}}\\f0 text" + Controls + Escaped + "\\f1 \\'81\\'00\\f2 \\'81"
                "{\\*\\bkmkstart mark" + Controls + Escaped + "}{\\*\\bkmkend x}"
                "{\\field{\\*\\fldinst HYPERLINK \"http://a.example/" + Controls + Escaped + "\"}{\\fldrslt link}}"
                "\\u0?\\u1?\\u-1?\\u-2?\\u65534?\\u65535?\\u127?\\u128?\\u159?\\par}";
     }, exConverted, "", 16 * MiB},
    // \u in every broken form.
    {"UnicodeStorm", [] {
         return Document(Repeat("\\u-10179?\\u-8704?", 50000) + Repeat("\\u55357?x", 20000) +
                         Repeat("\\u56832?\\u55357?", 20000) + Repeat("\\u55357\\'41", 20000) + "\\u55357");
     }, exConverted, "", 64 * MiB},
    {"HugeUnicodeSkipCounts", [] {
         return Document("\\uc1000000000 \\u65?" + std::string(100000, 's') + "\\uc-5 \\u66 b\\uc2147483647 \\u67 "
                         "{\\uc1000000000 \\u68 d}" + Repeat("\\'41", 1000) + "\\par end");
     }, exConverted, "", 16 * MiB},
    // \\* where it marks nothing, and code pages no decoder has.
    {"StarStormInsideGroups", [] { return Document(Repeat("{\\b x\\*\\q\\*\\*\\*\\cs7 y}\\*", 100000)); },
     exConverted, "", 88 * MiB, "xy"},
    {"AbsurdAnsiCodePages", [] {
         return Document("\\ansicpg-1 a\\'e9\\ansicpg99999999999999999999 b\\'e9\\ansicpg0 \\ansicpg932 \\'82\\'a0"
                         "\\ansicpg2147483647 \\'82{\\ansicpg1251 \\'e4}\\ansicpg65001 \\'e9 end");
     }, exConverted, "", 16 * MiB, "end"},
    // Mail bodies with their HTML cut short, nested, or hidden by an \\htmlrtf that never ends.
    {"MailBodyWithNestedTagsAndAnOpenHtmlRtf", [] {
         return Repeat("{\\*\\htmltag64 <p>{\\*\\htmltag <span>}t\\u8364?{\\*\\htmltag </span>}}{\\*\\htmltag72 </p>}",
                       50000, "{\\rtf1\\ansi\\fromhtml1 {\\*\\htmltag19 <html>}{\\*\\htmltag50 <body>}",
                       "\\htmlrtf {\\b rtf only\\par{\\*\\htmltag58 </body>}{\\*\\htmltag27 </html>}");
     }, exConverted, "", 64 * MiB, "<span>t\xE2\x82\xAC</span>"},
    {"MailBodyCutInsideItsLastTag", [] {
         return std::string("{\\rtf1\\fromhtml1 {\\*\\htmltag <html><body>}a{\\*\\htmltag </body></html>\\");
     }, exConverted, "", 16 * MiB, "<body>a</body>"},
    // Tables of a size no document needs, and references far outside them.
    {"HundredThousandFontsAndColours", [] {
         std::string Fonts = "{\\fonttbl";
         std::string Colors = "{\\colortbl;";
         for (int I = 0; I < 100000; ++I) {
             Fonts += "{\\f" + std::to_string(I) + "\\fswiss Font " + std::to_string(I) + ";}";
             Colors += "\\red" + std::to_string(I % 256) + "\\green1\\blue" + std::to_string(I % 7) + ";";
         }
         return "{\\rtf1\\ansi" + Fonts + "}" + Colors + "}\\f99999\\cf99999 last\\f5\\cf5 fifth\\par}";
     }, exConverted, "", 64 * MiB},
    {"ReferencesFarOutOfRange", [] {
         return Document(Repeat("\\f2147483647 a\\f-2147483648 b\\cf2147483647 c\\cf-1 d\\cb-7 e\\highlight99 f"
                                "\\ls2147483647 g\\ls-2147483648 h\\ls0 i\\ilvl-1 j\\par ", 10000));
     }, exConverted, "", 32 * MiB},
    // Destinations where no writer puts them.
    {"DestinationsInsideEachOther", [] {
         return Document(
             "{\\field{\\*\\fldinst HYPERLINK {\\field{\\*\\fldinst HYPERLINK \"http://in.example/\"}{\\fldrslt in}}"
             "{\\pict\\pngblip 8950}{\\*\\bkmkstart inst}}{\\fldrslt {\\fonttbl{\\f9 Late;}}{\\pict\\wmetafile8 "
             "{\\pict\\pngblip 00}{\\*\\bkmkstart pic}0100\\'41\\tab\\par}shown}}"
             "{\\fonttbl{\\f3{\\*\\bkmkstart font}{\\field{\\*\\fldinst HYPERLINK x}}Name;}}\\f3 "
             "{\\colortbl{\\pict\\pngblip 00};\\red1;}{\\*\\listtable{\\list{\\list{\\listlevel{\\listlevel}}}}}"
             "{\\*\\bkmkstart {\\*\\bkmkstart deeper}outer}{\\fldrslt orphan result}{\\*\\fldinst orphan}"
             "{\\*\\listoverridetable{\\listoverride\\ls0\\ls-1\\listid-1}}\\ls0 item\\par");
     }, exEither, "", 16 * MiB},
    // Notes and headers inside each other, a note that never closes, and note marks with no note to go with.
    {"NotesHeadersAndFootersInsideEachOther", [] {
         return Document(Repeat("{\\footnote a{\\footnote b{\\header c}}\\chftn{\\footer d\\chftn}\\ftnalt"
                                "\\intbl e\\cell}{\\header{\\footnote f}g\\sect}{\\super *}"
                                "{\\footnote{\\super *}h\\par\\trowd\\cellx9\\pard\\intbl i}\\chftn\\chftn", 100000));
     }, exConverted, "", 816 * MiB, "note-200000"},
    {"FootnoteNeverClosed", [] {
         return "{\\rtf1 a{\\super\\chftn}{\\footnote\\pard\\ls1 b\\par\\intbl c\\cell " + Repeat("{\\b d\\par ", 5000);
     }, exConverted, "", 16 * MiB, "note-1-ref"},
    // Many of one thing.
    {"HundredThousandBoldToggles", [] { return Document(Repeat("\\b\\b0 ", 100000) + Repeat("\\b x\\b0 y", 100000)); },
     exConverted, "", 256 * MiB},
    // Tables: a million cells in one row, rows of 100,000 boundaries, and every way of breaking rows and
    // nesting, 100,000 times.
    {"MillionCellsInOneRow", [] { return Document("\\trowd\\cellx100\\pard\\intbl " + Repeat("c\\cell ", 1000000) + "\\row"); },
     exConverted, "", 768 * MiB, "<td>"},
    {"RowsOfAHundredThousandBoundaries", [] {
         std::string Row = "\\trowd\\clvmgf\\clbrdrt\\brdrs\\clcbpat1";
         for (int Cell = 100000; Cell > 0; --Cell) Row += "\\clmrg\\cellx" + std::to_string(Cell);
         return Document(Repeat(Row + "\\pard\\intbl a\\cell\\cell b\\row ", 10));
     }, exConverted, "", 384 * MiB},
    {"BrokenRowsAndJumpingNesting", [] {
         return Document(Repeat("\\pard\\intbl\\itap64 a\\par\\itap2000000000 b\\nestcell\\nestrow\\row\\row\\cell"
                                "\\pard c\\cell\\itap-5 d\\row{\\*\\nesttableprops\\trowd\\clvmrg\\cellx-9\\nestrow}"
                                "{\\nonesttables e}\\trowd\\trhdr\\clvmrg\\cellx0\\intbl ", 100000));
     }, exConverted, "", 768 * MiB},
    {"HundredThousandNotesOfThreeParagraphs", [] {
         return Document("\\ftnnalc\\aftnnruc\\ftnstart2147483000 " +
                         Repeat("t{\\super\\chftn}{\\footnote\\pard{\\super\\chftn} a\\par b\\par c}"
                                "{\\super\\chftn}{\\footnote\\ftnalt d}", 100000));
     }, exConverted, "", 720 * MiB, "note-200000-ref"},
    {"MillionParagraphs", [] { return Document(Repeat("p\\par ", 1000000)); }, exConverted, "", 1280 * MiB},
    {"MillionEmptyParagraphs", [] { return Document(Repeat("\\par ", 1000000)); }, exConverted, "", 896 * MiB},
    {"MillionListItems", [] { return Document(Repeat("{\\listtext 1.\\tab}\\ls1 item\\par ", 1000000)); },
     exConverted, "", 1400 * MiB},
    // Levels far out of range, numbers at the top of the range, and old-style numbering that jumps.
    {"ListLevelsOutOfRange", [] {
         return Document(Repeat("\\pard\\ls1\\ilvl2147483647 a\\par\\pard\\ls1\\ilvl-9 b\\par"
                                "\\pard\\ls-3\\ilvl4 c\\par\\pard{\\*\\pn\\pnlvl9\\pnucrm\\pnstart2147483647}d\\par"
                                "\\pard{\\*\\pn\\pnlvl1\\pnlcltr\\pnstart99999999999}e\\par ", 100000));
     }, exConverted, "", 400 * MiB},
    {"HundredThousandLinksAndBookmarks", [] {
         return Document(Repeat("{\\*\\bkmkstart b}{\\*\\bkmkend b}{\\field{\\*\\fldinst HYPERLINK \"http://example.com/\"}"
                                "{\\fldrslt link}} ", 100000));
     }, exConverted, "", 320 * MiB},
    {"FiftyMegabyteRun", [] { return Repeat("a", 50 * MiB, "{\\rtf1\\ansi\\pard ", "\\par}"); },
     exConverted, "", 480 * MiB},
    // The sanitizer counts the result's capacity, reserved from the input size; untouched, it never
    // becomes resident, so only the resident bound of the release build stays tight.
    {"TwoHundredMegabytePicture", [] {
         return Repeat("a", 200 * MiB, "{\\rtf1 {\\pict\\pngblip\\picwgoal150\\pichgoal150 ", "} after\\par}");
     }, exConverted, "", (test::UnderSanitizer ? 640 : 448) * MiB},
    // Metafiles that lie about themselves; each is left as it was, never read past its end.
    {"MetafileRendered", [] { return Document(MetafilePicture(ValidMetafile())); }, exConverted, "", 64 * MiB,
     "data:image/png;base64,"},
    {"MetafileRecordOfSizeZero", [] {
         return Document(MetafilePicture(MetafileWith([](TWmfWriter& W) { W.Raw({0, 0, 0, 0, 0x13, 0x02}); })));
     }, exConverted, "", 64 * MiB, "data:image/x-wmf;base64,"},
    {"MetafileRecordPastTheEnd", [] {
         return Document(MetafilePicture(MetafileWith([](TWmfWriter& W) { W.Raw({0xFF, 0xFF, 0xFF, 0x7F, 0x13, 0x02, 0, 0}); })));
     }, exConverted, "", 64 * MiB, "data:image/x-wmf;base64,"},
    {"MetafileCutInsideARecord", [] {
         const TBytes Whole = ValidMetafile();
         return Document(MetafilePicture(TBytes(Whole.begin(), Whole.end() - 10)));
     }, exConverted, "", 64 * MiB},
    {"MetafileEscapeRecords", [] {
         return Document(MetafilePicture(MetafileWith([](TWmfWriter& W) {
             W.Words(0x0626, {15, 4, 0x4241, 0x4443}); // an escape with its data
             W.Words(0x0626, {0x7FFF, 0x7FFF});        // one that claims more than it has
             W.Words(0x0626, {});                      // one with no parameters at all
             W.Rectangle(0, 0, 50, 50);
         })));
     }, exConverted, "", 64 * MiB},
    {"MetafileTextLengthsDisagree", [] {
         return Document(MetafilePicture(MetafileWith([](TWmfWriter& W) {
             W.CreateFont(-12, "Arial").SelectObject(0);
             W.Words(0x0521, {0x7FFF, 0x4241});                                // TextOut: 32767 bytes claimed, 2 given
             W.Words(0x0521, {-3, 0x4241, 10, 10});                            // a negative count
             W.Words(0x0A32, {10, 10, 0x7FFF, 0});                             // ExtTextOut: no text at all
             W.Words(0x0A32, {10, 10, 4, 6, 0, 0, 50, 50, 0x4241, 0x4443, 5}); // advances cut short
             W.Words(0x0A32, {10, 10, -1, 0x7FFF, 0x4241});
         })));
     }, exConverted, "", 64 * MiB},
    {"MetafileBitmapsLargerThanTheirBytes", [] {
         return Document(MetafilePicture(MetafileWith([](TWmfWriter& W) {
             W.StretchDIB(0, 0, 100, 100, 30000, 30000, ShortDib(30000, 30000, 12));
             W.DIBBitBlt(0, 0, 50, 50, ShortDib(2147483647, -2147483647, 3));
             W.SetDIBToDev(0, 0, 64, 64, ShortDib(64, 64, 64 * 3 * 10));
             W.DIBStretchBlt(0, 0, 10, 10, 70000, 1, ShortDib(70000, 1, 0));
             W.DIBCreatePatternBrush(ShortDib(1 << 20, 1 << 20, 8));
         })));
     }, exConverted, "", 64 * MiB},
    // Enhanced metafiles: rendered, or left as they were when they lie.
    {"EnhancedMetafileRendered", [] {
         return Document(EnhancedMetafilePicture(TEmfWriter().Filled(0xFF).Rectangle(0, 0, 50, 50).Metafile()));
     }, exConverted, "", 64 * MiB, "data:image/png;base64,"},
    {"EnhancedMetafileCountsThatLie", [] {
         return Document(EnhancedMetafilePicture(TEmfWriter()
             .Ints(3, {0, 0, 0, 0, 0x7FFFFFFF, 1, 1})                    // a polygon of two billion points
             .Ints(84, {0, 0, 0, 0, 1, 0, 0, 5, 5, 0x7FFFFFFF, 76, 0})  // text far longer than its record
             .Ints(81, {0, 0, 0, 0, 0, 0, 0, 0, 30000, 30000, 80, 40, 120, 0x7FFFFFF0, 0, 0xCC0020, 10, 10})
             .Metafile()));
     }, exConverted, "", 64 * MiB, "data:;base64,"},
    {"EnhancedMetafileHugeTransformsAndShapes", [] {
         return Document(EnhancedMetafilePicture(TEmfWriter()
             .WorldTransform(3e38f, 3e38f, -3e38f, 3e38f, 3e38f, -3e38f)
             .Ints(36, {TEmfWriter::Bits(1e30f), 0, 0, TEmfWriter::Bits(1e-30f), 0, 0, 2})
             .Ints(17, {8}).Ints(9, {1, 1}).Ints(11, {0x7FFFFFFF, 0x7FFFFFFF})
             .Filled(0xFF).Ellipse(-2000000000, -2000000000, 2000000000, 2000000000)
             .Ints(45, {0, 0, 0x7FFFFFFF, 0x7FFFFFFF, 1, 1, 1, 1})
             .Metafile()));
     }, exConverted, "", 64 * MiB, "data:image/png;base64,"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Shapes, HostileInput, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<TCase>& Info) {
                             return std::string(Info.param.Name);
                         });

// A real document cut off after every byte: each prefix ends like any other input.
TEST(HostileInputPrefixes, EveryPrefixOfARealDocumentEnds) {
    const std::string Whole =
        test::ReadFile(std::filesystem::path(CORVANE_CORPUS_DIR) / "rtfpipe" / "Hyperlink.rtf");
    ASSERT_GT(Whole.size(), 2000u);
    const test::TIsolatedRun Run = test::RunIsolated(
        [&Whole](test::TChildReport& Report) {
            auto Converter = test::MakeFullConverter();
            for (std::size_t Length = 0; Length <= Whole.size(); ++Length) {
                std::string Output;
                try {
                    Output = Converter->Convert(std::string_view(Whole).substr(0, Length));
                } catch (const ECxError&) {
                    continue;
                } catch (const std::exception& Error) {
                    Report.SetMessage(std::to_string(Length) + " bytes: " + Error.what());
                    return;
                }
                // Without its header a prefix converts to nothing at all.
                if (const std::string Problem = Output.empty() ? "" : test::InspectXhtml(Output);
                    !Problem.empty()) {
                    Report.SetInspection(std::to_string(Length) + " bytes: " + Problem);
                    break;
                }
            }
            Report.Outcome = test::ocConverted;
            Report.PeakBytes = test::PeakMemoryBytes();
        },
        CaseSeconds);
    ASSERT_EQ(Run.Death, "");
    ASSERT_EQ(Run.Report.Outcome, test::ocConverted)
        << "an exception of another type: " << Run.Report.Message;
    EXPECT_STREQ(Run.Report.Inspection, "");
    EXPECT_LE(Run.Report.PeakBytes, 64 * MiB);
}

} // namespace
} // namespace corvane
