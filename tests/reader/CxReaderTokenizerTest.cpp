#include "CxControlWordSearch.h"
#include "ReaderHarness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace corvane::test {
namespace {

using ::testing::ElementsAre;

const TTokenDef* LinearScan(std::string_view Keyword) {
    for (const TTokenDef& Row : KeywordTable)
        if (Row.Keyword == Keyword) return &Row;
    return nullptr;
}

TEST(KeywordLookup, AgreesWithTheLinearScan) {
    std::vector<std::string> Probes;
    for (const TTokenDef& Row : KeywordTable) {
        const std::string Keyword(Row.Keyword);
        Probes.push_back(Keyword);
        Probes.push_back(Keyword + "x");
        Probes.push_back(Keyword.substr(0, Keyword.size() - 1));
    }
    for (const char* Unknown : {"insrsid", "clftsWidth", "trwWidth", "ulw", "shppict", "listoverridetables",
                                "a", "z", "-", "0", "listoverridetablx"})
        Probes.emplace_back(Unknown);
    for (int Character = 0; Character < 256; ++Character)
        Probes.emplace_back(1, static_cast<char>(Character));

    for (const std::string& Probe : Probes)
        EXPECT_EQ(FindKeyword(Probe), LinearScan(Probe)) << '"' << Probe << '"';
    for (const TTokenDef& Row : KeywordTable)
        EXPECT_EQ(FindKeyword(Row.Keyword), &Row);
}

// The text each input leaves, one reading rule a row.
TEST(ReaderTokens, TextOfEachInput) {
    const struct {
        const char* Rtf;
        std::string Text;
    } Cases[] = {
        // The blank after a parameter delimits it; without one the next byte is text.
        {"{\\rtf1 \\b0 x\\b0y}", "xy"},
        // Look-up is case-sensitive; unknown words are ignored.
        {"{\\rtf1 a\\PAR b\\B c\\ulw d\\insrsid123 e\\par f}", "abcde\nf"},
        {"{\\rtf1 \\{\\}\\\\\\tab\\~\\ldblquote\\rdblquote\\lquote\\rquote\\emdash\\endash\\emspace\\enspace"
         "\\cell\\\n\\\r.}",
         "{}\\\t\xA0\"\"''--  \t\n\n."},
        // Raw line breaks are ignored everywhere: "\b" ends at the line feed and "0 c" is text.
        {"{\\rtf1 a\r\nb\\b\n0 c}", "ab0 c"},
        {"{\\rtf1 a{\\*\\unknownword text {nested} more}b{\\*\\b c}d{\\pntext x}{\\listtext y}"
         "{\\header h}{\\footnote n}{\\info{\\title t}}{\\stylesheet{\\s1 Normal;}}e}",
         "abcde"},
        {"{\\rtf1 \\'e9\\'E9\\'e\r\n9\\'41B}", "\xE9\xE9\xE9"
                                               "AB"},
        // In a skipped group \' does nothing, so its digits are dropped like any text there.
        {"{\\rtf1{\\*\\x\\'zz}a}", "a"},
        // A backslash as the very last byte is an unknown control symbol.
        {"{\\rtf1 x\\", "x"},
        {"{\\rtf1 a\\u8364\\'80b\\u8364 ?c\\uc0\\u8364\\'80d\\uc2\\u-3913 xyz}", Utf8(u8"a€b€c€\x80"
                                                                                      u8"d\uF0B7z")},
        // The pending fallback count survives the end of the group, and \uc set inside a group stays after
        // it.
        {"{\\rtf1{\\u8364}xy}", Utf8(u8"€y")},
        {"{\\rtf1{\\uc2 a}\\u8364 xyz}", Utf8(u8"a€z")},
        // Character rows count as fallback characters; \u in a non-text destination does nothing.
        {"{\\rtf1\\u8364\\tab a{\\info\\u8364}b}", Utf8(u8"€ab")},
        // U+1F600 as a pair, each half with its fallback character.
        {"{\\rtf1 a\\u-10179?\\u-8704?b}", Utf8(u8"a\U0001F600b")},
        {"{\\rtf1 a{\\u55357?}{\\u56832?}b}", Utf8(u8"a\U0001F600b")},
        // A lone high surrogate: followed by text, by another \u, or by the end of the input.
        {"{\\rtf1 a\\u-10179?b}", Utf8(u8"a\uFFFDb")},
        {"{\\rtf1 a\\u-10179?\\u65?}", Utf8(u8"a\uFFFDA")},
        {"{\\rtf1 a\\u-10179?", Utf8(u8"a\uFFFD")},
        {"{\\rtf1 a\\u-10179?\\u-10179?\\u-8704?}", Utf8(u8"a\uFFFD\U0001F600")},
        // A lone low surrogate, and a reversed pair.
        {"{\\rtf1 a\\u-8704?b}", Utf8(u8"a\uFFFDb")},
        {"{\\rtf1 a\\u-8704?\\u-10179?b}", Utf8(u8"a\uFFFD\uFFFDb")},
        // A line break between the halves separates them.
        {"{\\rtf1\\u-10179?\\line\\u-8704?}", Utf8(u8"\uFFFD<br>\uFFFD")},
        // Table width keywords drop the text up to the next control word, or the end, never past a group.
        {"{\\rtf1 a\\trw5 dropped\\b b\\clftsWidth3 c\\clw7 x}", "abc"},
        {"{\\rtf1 a\\trfts1 dropped to the end", "a"},
        {"{\\rtf1{\\clfts2 x}y}z", "y"},
        // \bin takes the next N bytes raw and drops them; without the delimiting blank they start at once.
        {"{\\rtf1 a\\bin5 {}\\\\}b}", "ab"},
        {"{\\rtf1 a\\bin3}}}b}", "ab"},
        // Inside a skipped group the bytes are taken too, so its braces do not end the group.
        {"{\\rtf1 a{\\*\\blob\\bin4 }}}}b}c}", "ac"},
        // A count past the end of the input takes what is there.
        {"{\\rtf1 a\\bin1000 xyz", "a"},
        // No count, a negative or a zero one takes nothing; an earlier parameter does not count.
        {"{\\rtf1\\fs24 a\\bin b\\bin-2 c\\bin0 d}", "abcd"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Rtf);
        TReaderHarness Harness(Case.Rtf);
        EXPECT_EQ(Harness.Text(), Case.Text);
    }
}

TEST(ReaderTokens, NumericParameters) {
    TReaderHarness Harness("{\\rtf1\\fs-4\\fs21\\fs \\fs99999999999999999999 \\fs9999999999999999999 "
                           "\\fs9223372036854775808 \\fs9223372036854775807 \\fs-9223372036854775807 }");
    // 20 digits, 19 digits above the largest value and the largest value plus one give 0; the largest
    // value is INT64_MAX div 2, of which the low 32 bits count; its negative likewise.
    EXPECT_EQ(Harness.Calls("SetFontSize"), "SetFontSize(-2) SetFontSize(10) SetFontSize(0) SetFontSize(0) "
                                            "SetFontSize(0) SetFontSize(0) SetFontSize(-1) SetFontSize(1)");

    // A "-" without digits is dropped and the keyword has no parameter; the letters after it are text.
    TReaderHarness Dash("{\\rtf1\\ab-cd\\b-\\i- x}");
    EXPECT_EQ(Dash.Calls(), "Text(cd) SetFontStyle(1) SetFontStyle(3) Text(x)");
}

// A control word is read whole from one load of the sixteen bytes after its backslash when the input
// goes on far enough, byte by byte near its end: both readings must agree, where the number fits the
// load, just fits it or runs past it.
TEST(ReaderTokens, ControlWordsReadAlikeAmidTheInputAndAtItsEnd) {
    const struct {
        const char* Words;
        const char* Calls;
    } Cases[] = {
        {"\\fs24 x", "SetFontSize(12) Text(x)"},
        {"\\fs-4x", "SetFontSize(-2) Text(x)"},
        {"\\fs12345678 x", "SetFontSize(6172839) Text(x)"},
        {"\\fs-12345678x", "SetFontSize(-6172839) Text(x)"},
        {"\\fs123456789 x", "SetFontSize(61728394) Text(x)"},
        {"\\fs- x", "SetFontSize(0) Text(x)"},
        {"\\fs0\\b1\\i\\ul0x", "SetFontSize(0) SetFontStyle(1) SetFontStyle(3) SetFontStyle(3) Text(x)"},
        // Eight letters, nine, and a number that ends at the load's last byte or runs past it.
        {"\\pnlvlblt x\\insrsidx y", "Text(xy)"},
        {"\\chcbpat-1234567x", "SetBackgroundColor() Text(x)"},
        {"\\chcbpat-12345678x", "SetBackgroundColor() Text(x)"},
        {"\\chcbpat-123456789x", "SetBackgroundColor() Text(x)"},
        {"\\abcdefghi-12345678x", "Text(x)"},
        // Words straight after each other, where one moves the reading on (\bin takes "\b}" raw) or starts
        // a hexadecimal byte.
        {"\\b\\bin3 \\b}\\i\\'41\\ul x", "SetFontStyle(1) SetFontStyle(3) Text(A) SetFontStyle(7) Text(x)"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Words);
        const std::string Rtf = std::string("{\\rtf1") + Case.Words + "}";
        // What follows the outermost group is not read, but lets the reader load past the words.
        EXPECT_EQ(TReaderHarness(Rtf).Calls(), Case.Calls);
        EXPECT_EQ(TReaderHarness(Rtf + std::string(32, ' ')).Calls(), Case.Calls);
    }
}

// The search for words that make the converter hold the body back must find every whole word wherever it
// stands, in the sixteen-byte steps, across them and in the bytes after the last; a word missed loses text.
TEST(ControlWordSearch, FindsWholeWordsWhereverTheyStand) {
    const TControlWordForms Words[] = {{"header", "flr"}, {"fromhtml", ""}};
    const struct {
        const char* Text;
        std::uint32_t Held;
    } Cases[] = {
        {"\\header", 1},     {"\\headerr", 1},       {"\\headerf x", 1},         {"\\fromhtml1", 2},
        {"\\headery720", 0}, {"\\headerrx", 0},      {"\\fromhtmlx", 0},         {"\\fromtext", 0},
        {"\\hea", 0},        {"header fromhtml", 0}, {"\\headerl\\fromhtml", 3},
    };
    for (const auto& Case : Cases)
        for (std::size_t Before = 0; Before < 40; ++Before)
            for (const std::string& After : {std::string(), std::string("}"), "}" + std::string(20, ' ')}) {
                const std::string Rtf = std::string(Before, '{') + Case.Text + After;
                EXPECT_EQ(ControlWordsHeld(Rtf, Words), Case.Held) << Rtf;
                EXPECT_EQ(ControlWordsHeld(Rtf, std::span(Words, 1)), Case.Held & 1) << Rtf;
                EXPECT_EQ(ControlWordsHeld(Rtf, std::span(Words + 1, 1)), Case.Held >> 1) << Rtf;
            }
}

// \* before a known keyword does not skip: that group is bold text; the flag is cleared by the next
// keyword, known or not. Properties in skipped and other non-text destinations have no effect.
TEST(ReaderTokens, DestinationsThatAreSkippedOrNot) {
    TReaderHarness Harness(
        "{\\rtf1{\\*\\unknown\\b\\fs40\\qc\\plain\\line\\bullet\\'41}{\\info\\b\\qc\\line\\bullet}"
        "x{\\*\\b y}{\\*\\b\\unknown z}}");
    EXPECT_EQ(Harness.CallsBesidesRestores(), "Text(x) SetFontStyle(1) Text(y) SetFontStyle(1) Text(z)");
}

// Bad hex digits end the conversion (HostileInput); a failure of the writer while the byte is delivered is
// reported the same way.
TEST(ReaderTokens, AWriterFailureOnAHexByteIsAnUnknownCharacter) {
    struct TThrowingWriter : TRecordingWriter {
        void WriteChar(std::uint8_t) override { throw std::runtime_error("writer failed"); }
    };
    TCxBase Owner;
    TCxReader Reader(Owner, std::make_shared<TThrowingWriter>(), std::make_unique<TUnicodeConverter>());
    EXPECT_EQ(ErrorOf([&] { Reader.Parse("{\\rtf1 \\'41}"); }), "ceUnknownCharacter");
}

TEST(ReaderTokens, ParsingEndsWithTheOutermostGroupOrTheInput) {
    TReaderHarness Harness("{\\rtf1 Hello}World");
    EXPECT_EQ(Harness.Text(), "Hello");
    EXPECT_TRUE(Harness.Owner.GetEndOfDocument());

    TReaderHarness Open;
    Open.Owner.SetEndOfDocument(true); // cleared when parsing starts
    Open.Parse("{\\rtf1 x{\\b y");
    EXPECT_EQ(Open.Text(), "xy");
    EXPECT_FALSE(Open.Owner.GetEndOfDocument());

    // An unbalanced "}" only lowers the depth, which never returns to -1, so the document never ends;
    // nothing pops a stack too short.
    TReaderHarness Unbalanced("}{\\b x}y{z}");
    EXPECT_EQ(Unbalanced.Text(), "xyz");
    EXPECT_FALSE(Unbalanced.Owner.GetEndOfDocument());
}

TEST(ReaderTokens, NestingIsLimited) {
    const auto Nested = [](std::size_t Depth) {
        return std::string(Depth, '{') + "x" + std::string(Depth, '}');
    };
    TReaderHarness Deep(Nested(MaxGroupDepth));
    EXPECT_EQ(Deep.Text(), "x");

    TReaderHarness TooDeep;
    EXPECT_EQ(ErrorOf([&] { TooDeep.Parse(Nested(MaxGroupDepth + 1)); }), "Property stack overflow");
}

// A group restores the writer's properties at its end when a word in it may have changed them, the
// optional readers' words included; one of text and unknown words leaves them alone.
TEST(ReaderProperties, GroupsRestoreWhatTheirWordsMayHaveChanged) {
    const struct {
        bool Structure;
        const char* Rtf;
        const char* Calls;
    } Cases[] = {
        {false, "{\\rtf1{\\loch x}{\\loch{\\b y}}z}",
         "Text(x) SetFontStyle(1) Text(y) "
         "SetCharacterProperties SetParagraphProperties SetCharacterProperties SetParagraphProperties "
         "Text(z)"},
        {true, "{\\rtf1{\\loch{\\ilvl1 x}}y}",
         "SetListLevel(1) Text(x) SetCharacterProperties SetParagraphProperties SetCharacterProperties "
         "SetParagraphProperties Text(y)"},
        {true, "{\\rtf1{\\trowd\\cellx100 x}y}",
         "Text(x) SetCharacterProperties SetParagraphProperties Text(y)"},
        // The second \\intbl is known from the first.
        {true, "{\\rtf1{\\intbl a}{\\intbl b}c}",
         "SetInTable(1) Text(a) SetCharacterProperties SetParagraphProperties SetInTable(1) Text(b) "
         "SetCharacterProperties SetParagraphProperties Text(c)"},
        {true, "{\\rtf1\\intbl{a\\cell}b\\row}",
         "SetInTable(1) Text(a) EndCell() SetCharacterProperties SetParagraphProperties Text(b) EndRow()"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Rtf);
        TReaderHarness Harness;
        Harness.Owner.OptionsStructure().SetLists(Case.Structure);
        Harness.Owner.OptionsStructure().SetTables(Case.Structure);
        Harness.Parse(Case.Rtf);
        EXPECT_EQ(Harness.Calls(), Case.Calls);
    }
}

TEST(ReaderProperties, StyleSwitchesNeedExactlyOne) {
    TReaderHarness Harness("{\\rtf1\\b\\b0\\b1\\b2\\i\\i-1\\ul\\ulnone5\\uldb\\strike\\strike0\\v\\v2\\v1}");
    EXPECT_EQ(Harness.Calls("SetFontStyle"),
              "SetFontStyle(1) SetFontStyle(0) SetFontStyle(1) SetFontStyle(0) "
              "SetFontStyle(2) SetFontStyle(0) SetFontStyle(4) SetFontStyle(0) "
              "SetFontStyle(4) SetFontStyle(12) SetFontStyle(4)");
    EXPECT_EQ(Harness.Calls("SetHidden"), "SetHidden(1) SetHidden(0) SetHidden(1)");

    // Large values are compared in full: 4294967297 has low 32 bits 1 but is not 1.
    TReaderHarness Wide("{\\rtf1\\b4294967297 }");
    EXPECT_EQ(Wide.Calls("SetFontStyle"), "SetFontStyle(0)");
}

// Without font options no character formatting but the charset reaches the writer; hidden text is not a
// font option. Without opFontName no font entry gets a number, so every entry is stored as number 0 and
// \f1 finds no charset of its own; the table's end selects the default font, whose name the writer gates.
TEST(ReaderProperties, OptionsGateCharacterFormatting) {
    TReaderHarness Harness;
    Harness.Owner.SetFontConversionOptions({});
    Harness.Parse(
        "{\\rtf1{\\fonttbl{\\f0\\fcharset1 Zero;}{\\f1\\fcharset2 One;}}{\\colortbl;\\red1\\green2\\blue3;}"
        "\\b\\fs20\\cf1\\cb1\\highlight1\\f1\\v x}");
    EXPECT_EQ(Harness.CallsBesidesRestores(),
              "SetDefaultFontName(Zero) SetFontName(Zero) SetFontCharset(1) SetFontCharset(0) SetHidden(1) Text(x)");
    EXPECT_THAT(Harness.Warnings, ElementsAre());
}

// Alignments ignore a parameter (the ordinary ones are converted end to end in GoldenConversion); indents
// need ConvertIndent, and are ignored while old-style numbering is active (ReaderLists).
TEST(ReaderProperties, ParagraphKeywords) {
    const char* Rtf = "{\\rtf1\\qc3\\ql\\sa-60\\li720\\ri5\\fi-360\\rtlpar\\ltrpar\\pard}";
    TReaderHarness Harness(Rtf);
    EXPECT_EQ(Harness.Calls(),
              "SetAlignment(2) SetAlignment(0) SetSpaceAfter(-60) SetParagraphRightToLeft(1) "
              "SetParagraphRightToLeft(0) ResetParagraphProperties");
    TReaderHarness Indent;
    Indent.Owner.SetConvertIndent(true);
    Indent.Parse(Rtf);
    EXPECT_EQ(Indent.Calls(), "SetAlignment(2) SetAlignment(0) SetSpaceAfter(-60) SetLeftIndent(720) "
                              "SetRightIndent(5) SetFirstIndent(-360) SetParagraphRightToLeft(1) "
                              "SetParagraphRightToLeft(0) ResetParagraphProperties");
}

TEST(ReaderProperties, CharacterKeywords) {
    TReaderHarness Harness(
        "{\\rtf1\\super0\\up6\\sub\\dn0\\nosupersub\\lang1031\\lang99999\\rtlch\\ltrch\\ansi\\mac\\deff3}");
    EXPECT_EQ(Harness.Calls(),
              "SetSubscript(0) SetSuperscript(0) SetSubscript(0) SetSuperscript(1) "
              "SetSuperscript(0) SetSubscript(1) SetSuperscript(0) SetSubscript(0) "
              "SetSuperscript(0) SetSubscript(0) SetLanguage(de) SetLanguage() "
              "SetRightToLeft(1) SetRightToLeft(0) SetDefaultCharset(0) SetDefaultCharset(77)");
}

TEST(ReaderSpecials, PlainLineBreakAndBullet) {
    TReaderHarness Harness;
    Harness.Owner.SetDocumentType(dtXHTML_11);
    Harness.Parse("{\\rtf1 a\\plain b\\line c\\row d\\bullet e}");
    EXPECT_EQ(Harness.Text(), Utf8(u8"ab<br />c<br />d·e"));
    EXPECT_EQ(Harness.Calls(),
              Utf8(u8"Text(a) ResetCharacterProperties SetFontCharset(0) Text(b) AppendMarkup(<br />) StartTextRun "
                   u8"Text(c) AppendMarkup(<br />) StartTextRun Text(d) AppendText(·) Text(e)"));
}

} // namespace
} // namespace corvane::test
