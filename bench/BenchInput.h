// Deterministic benchmark input: an RTF document in the style a word processor writes, of about the
// requested size. Font, colour, style and list tables come once; then paragraphs repeat with
// formatting groups, revision marks, \'hh escapes, \u characters with fallbacks, hyperlink fields,
// bookmarks, tabs, list items and the occasional table row. With TableRows, every paragraph is a table
// cell instead, four to a row, each row defined before and after its cells as word processors do.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace corvane {

inline std::string MakeWordProcessorRtf(std::size_t TargetBytes, bool TableRows = false) {
    static const char* const Words[] = {
        "the",      "converter", "reads",    "every",     "paragraph", "of",      "a",        "document",
        "and",      "writes",    "markup",   "with",      "its",       "fonts",   "colours",  "lists",
        "links",    "tables",    "report",   "quarterly", "figures",   "revenue", "customer", "delivery",
        "schedule", "meeting",   "minutes",  "agreed",    "action",    "items",   "pending",  "review",
        "draft",    "version",   "approved", "summary",   "section",   "appendix"};
    constexpr std::size_t WordCount = sizeof(Words) / sizeof(Words[0]);

    std::uint32_t Seed = 12345;
    const auto Next = [&Seed](std::uint32_t Range) {
        Seed = Seed * 1664525u + 1013904223u;
        return (Seed >> 8) % Range;
    };

    std::string Rtf;
    Rtf.reserve(TargetBytes + 4096);
    Rtf +=
        "{\\rtf1\\adeflang1025\\ansi\\ansicpg1252\\uc1\\adeff31507\\deff0\\stshfdbch31505\\stshfloch31506"
        "\\stshfhich31506\\stshfbi31507\\deflang1033\\deflangfe1033\\themelang1033\\themelangfe0"
        "\\themelangcs0\r\n"
        "{\\fonttbl{\\f0\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}"
        "{\\f1\\fbidi \\fswiss\\fcharset0\\fprq2{\\*\\panose 020b0604020202020204}Arial;}\r\n"
        "{\\f2\\fbidi \\fmodern\\fcharset0\\fprq1{\\*\\panose 02070309020205020404}Courier New;}"
        "{\\f3\\fbidi \\froman\\fcharset2\\fprq2{\\*\\panose 05050102010706020507}Symbol;}\r\n"
        "{\\f31506\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose 02040503050406030204}Cambria;}"
        "{\\f31507\\fbidi \\fswiss\\fcharset0\\fprq2 Calibri;}"
        "{\\f40\\fbidi \\froman\\fcharset238\\fprq2 Times New Roman CE;}"
        "{\\f41\\fbidi \\froman\\fcharset204\\fprq2 Times New Roman Cyr;}}\r\n"
        "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green255\\blue255;\\red0\\green255"
        "\\blue0;\\red255\\green0\\blue255;\\red255\\green0\\blue0;\\red255\\green255\\blue0;"
        "\\red255\\green255"
        "\\blue255;\\red5\\green99\\blue193;\\red128\\green128\\blue128;}\r\n"
        "{\\*\\defchp \\f31506\\fs22 }{\\*\\defpap \\ql "
        "\\li0\\ri0\\sa160\\sl259\\slmult1\\widctlpar\\wrapdefault"
        "\\aspalpha\\aspnum\\faauto\\adjustright\\rin0\\lin0\\itap0 }\r\n"
        "{\\stylesheet{\\ql "
        "\\li0\\ri0\\sa160\\sl259\\slmult1\\widctlpar\\wrapdefault\\aspalpha\\aspnum\\faauto"
        "\\adjustright\\rin0\\lin0\\itap0 \\rtlch\\fcs1 \\af31507\\afs22\\alang1025 \\ltrch\\fcs0 "
        "\\f31506\\fs22\\lang1033\\langfe1033\\cgrid\\langnp1033\\langfenp1033 \\snext0 \\sqformat "
        "\\spriority0 Normal;}{\\*\\cs10 \\additive \\ssemihidden \\sunhideused \\spriority1 Default "
        "Paragraph "
        "Font;}{\\*\\cs15 \\additive \\rtlch\\fcs1 \\af0 \\ltrch\\fcs0 \\ul\\cf9 \\sbasedon10 \\sunhideused "
        "\\styrsid1 Hyperlink;}}\r\n"
        "{\\*\\listtable{\\list\\listtemplateid-1\\listhybrid{\\listlevel\\levelnfc23\\levelnfcn23\\leveljc0"
        "\\leveljcn0\\levelfollow0\\levelstartat1\\levelspace0\\levelindent0{\\leveltext\\leveltemplateid1"
        "\\'01\\u-3913 ?;}{\\levelnumbers;}\\f3\\fbias0 \\fi-360\\li720\\lin720 }{\\listname ;}\\listid101}"
        "{\\list\\listtemplateid-2\\listhybrid{\\listlevel\\levelnfc0\\levelnfcn0\\leveljc0\\leveljcn0"
        "\\levelfollow0\\levelstartat1\\levelspace0\\levelindent0{\\leveltext\\leveltemplateid2\\'02\\'00.;}"
        "{\\levelnumbers\\'01;}\\fi-360\\li720\\lin720 }{\\listname ;}\\listid202}}\r\n"
        "{\\*\\listoverridetable{\\listoverride\\listid101\\listoverridecount0\\ls1}"
        "{\\listoverride\\listid202\\listoverridecount0\\ls2}}\r\n"
        "{\\*\\rsidtbl \\rsid1234567\\rsid2345678}{\\mmathPr\\mmathFont34\\mbrkBin0}\r\n"
        "{\\info{\\title Benchmark}{\\author Bench}{\\operator Bench}{\\creatim\\yr2024\\mo1\\dy2\\hr3\\min4}"
        "{\\version1}{\\edmins2}{\\nofpages3}{\\nofwords400}{\\nofchars2000}}\r\n"
        "{\\*\\generator Word processor 16.0;}\\paperw11906\\paperh16838\\margl1440\\margr1440\\margt1440"
        "\\margb1440\\gutter0\\ltrsect \\widowctrl\\ftnbj\\aenddoc\\trackmoves0\\trackformatting1\r\n"
        "{\\header \\pard\\plain \\ltrpar\\s17\\qc {\\field{\\*\\fldinst { PAGE }}{\\fldrslt {1}}}\\par}\r\n";

    const auto AppendWords = [&](std::size_t Count) {
        for (std::size_t Index = 0; Index < Count; ++Index) {
            Rtf += Words[Next(WordCount)];
            Rtf += ' ';
        }
    };
    const char* const ParagraphStart =
        "\\pard\\plain \\ltrpar\\ql "
        "\\li0\\ri0\\sa160\\sl259\\slmult1\\widctlpar\\wrapdefault\\aspalpha\\aspnum"
        "\\faauto\\adjustright\\rin0\\lin0\\itap0\\pararsid1234567 \\rtlch\\fcs1 \\af31507\\afs22\\alang1025 "
        "\\ltrch\\fcs0 \\f31506\\fs22\\lang1033\\langfe1033\\cgrid\\langnp1033\\langfenp1033 ";
    const char* const RunStart = "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid1234567 ";

    const char* const RowDefinition =
        "\\trowd \\irow0\\irowband0\\ltrrow\\ts11\\trgaph108\\trleft-108\\trftsWidth1\\trftsWidthB3"
        "\\clvertalt\\clbrdrt\\brdrs\\brdrw10 \\clbrdrb\\brdrs\\brdrw10 \\cltxlrtb\\clftsWidth3\\clwWidth2254"
        "\\cellx2146\\clvertalc\\clcbpat8\\cltxlrtb\\clftsWidth3\\clwWidth2254\\cellx4400"
        "\\clvertalt\\cltxlrtb\\clftsWidth3\\clwWidth2254\\cellx6654\\clvertalt\\clbrdrr\\brdrs\\brdrw10 "
        "\\cltxlrtb\\clftsWidth3\\clwWidth2254\\cellx8908";
    std::size_t Paragraph = 0;
    while (Rtf.size() < TargetBytes || (TableRows && Paragraph % 4 != 0)) {
        ++Paragraph;
        if (TableRows) {
            if (Paragraph % 4 == 1) Rtf += RowDefinition;
            Rtf += ParagraphStart;
            Rtf += "\\intbl ";
        } else if (Paragraph % 7 == 0) {
            // A bulleted list item, as word processors write it.
            Rtf += "\\pard\\plain \\ltrpar\\s18\\ql \\fi-360\\li720\\ri0\\sa160\\widctlpar\\wrapdefault\\ls1"
                   "\\adjustright\\rin0\\lin720\\itap0 \\rtlch\\fcs1 \\af31507\\afs22 \\ltrch\\fcs0 "
                   "\\f31506\\fs22"
                   "\\lang1033 {\\listtext\\pard\\plain\\ltrpar \\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 "
                   "\\f3\\insrsid1"
                   "\\'b7\\tab}";
            Rtf += RunStart;
            AppendWords(8 + Next(8));
            Rtf += "}";
        } else if (Paragraph % 11 == 0) {
            // A table row of three cells.
            Rtf +=
                "\\trowd \\irow0\\irowband0\\ltrrow\\ts11\\trgaph108\\trleft-108\\trftsWidth1\\trftsWidthB3"
                "\\clvertalt\\clbrdrt\\brdrs\\brdrw10 \\cltxlrtb\\clftsWidth3\\clwWidth3005\\cellx2897"
                "\\clvertalt\\cltxlrtb\\clftsWidth3\\clwWidth3005\\cellx5902\\pard\\plain \\ltrpar\\ql "
                "\\intbl\\f31506\\fs22 ";
            for (int Cell = 0; Cell < 3; ++Cell) {
                Rtf += RunStart;
                AppendWords(2 + Next(3));
                Rtf += "}\\cell ";
            }
            Rtf += "\\row ";
        } else {
            Rtf += ParagraphStart;
        }
        Rtf += RunStart;
        AppendWords(6 + Next(10));
        Rtf += "}{\\rtlch\\fcs1 \\ab\\af31507 \\ltrch\\fcs0 \\b\\insrsid2345678 ";
        AppendWords(1 + Next(3));
        Rtf += "}";
        Rtf += RunStart;
        Rtf += "caf\\'e9 na\\'efve \\'93quoted\\'94 ";
        AppendWords(4 + Next(8));
        Rtf += "\\u8364\\'80 ";
        Rtf += "}{\\rtlch\\fcs1 \\ai\\af31507 \\ltrch\\fcs0 \\i\\cf6\\insrsid1234567 ";
        AppendWords(2 + Next(4));
        Rtf += "}";
        if (Paragraph % 3 == 0) {
            Rtf += "{\\field{\\*\\fldinst {\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid1234567  HYPERLINK "
                   "\"https://example.com/page\" }}{\\fldrslt {\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 "
                   "\\cs15\\ul\\cf9\\insrsid1234567 ";
            AppendWords(2);
            Rtf += "}}}\\sectd \\ltrsect\\linex0\\endnhere\\sectlinegrid360\\sectdefaultcl ";
        }
        if (Paragraph % 5 == 0) {
            Rtf += "{\\*\\bkmkstart _Toc";
            Rtf += std::to_string(Paragraph);
            Rtf += "}{\\*\\bkmkend _Toc";
            Rtf += std::to_string(Paragraph);
            Rtf += "}";
        }
        Rtf += RunStart;
        Rtf += "\\tab ";
        AppendWords(5 + Next(12));
        Rtf += "\\u1055\\'cf\\u1088\\'f0\\u1080\\'e8 ";
        if (!TableRows) {
            Rtf += "}{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid1234567 \\par }\r\n";
            continue;
        }
        Rtf += "}{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid1234567 \\cell }\r\n";
        if (Paragraph % 4 == 0) {
            Rtf += "{\\rtlch\\fcs1 \\af31507 \\ltrch\\fcs0 \\insrsid1234567 ";
            Rtf += RowDefinition;
            Rtf += "\\row }\r\n";
        }
    }
    Rtf += "}";
    return Rtf;
}

// The 20 MB document a word processor wrote (bench/make-wordprocessor-rtf.sh), or the file that
// CORVANE_BENCH_DOCUMENT names; empty when there is none.
inline std::string ReadWordProcessorFile() {
    const char* Named = std::getenv("CORVANE_BENCH_DOCUMENT");
    std::ifstream In(Named != nullptr ? Named : CORVANE_BENCH_DIR "/wordprocessor-20mb.rtf",
                     std::ios::binary | std::ios::ate);
    if (!In) return {};
    std::string Content(static_cast<std::size_t>(In.tellg()), '\0');
    In.seekg(0);
    In.read(Content.data(), static_cast<std::streamsize>(Content.size()));
    return Content;
}

} // namespace corvane
