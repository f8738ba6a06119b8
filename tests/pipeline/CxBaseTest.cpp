#include "CxBase.h"

#include "PipelineTestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace corvane {
namespace {

using test::TLogLine;
using test::TTestRun;

TEST(CxBaseProperties, DocumentTypeReplacesTheTranslatorOnlyOnARealChange) {
    TCxBase Cx;
    const auto First = Cx.Translator(); // held, so that a new translator cannot reuse its address
    Cx.SetDocumentType(dtHTML_50);      // the default
    EXPECT_EQ(Cx.Translator(), First);
    Cx.SetDocumentType(static_cast<TDocumentType>(42)); // unknown: stored, but the translator stays
    EXPECT_EQ(Cx.DocumentType(), static_cast<TDocumentType>(42));
    EXPECT_EQ(Cx.Translator(), First);
    Cx.SetDocumentType(dtHTML_50);
    EXPECT_NE(Cx.Translator(), First);
    EXPECT_FALSE(Cx.Translator()->IsXml());

    // The translator and the empty paragraph share the component's margin builder.
    Cx.MarginBuilder()->SetMarginWidth(1);
    Cx.Translator()->SetParagraphTag("<p");
    EXPECT_EQ(Cx.Translator()->BuildParagraphStart("", ""), "  <p>\r\n   ");
    EXPECT_EQ(Cx.GetEmptyParagraph(), "  <p>\r\n  </p>\r\n");
}

TEST(CxBaseLog, DeliversOnlyAtOrAboveTheLevelAndOnlyWithAHandler) {
    TCxBase Cx;
    Cx.Log(logFatal, "nobody listens"); // no handler: nothing happens, nothing throws
    std::vector<TLogLine> Lines;
    test::RecordLog(Cx, Lines);
    Cx.SetLogLevel(logWarning);
    for (const TLogLevel Level : {logDebug, logInfo, logWarning, logError, logFatal})
        Cx.Log(Level, "text");
    EXPECT_EQ(Lines, (std::vector<TLogLine>{{logWarning, "text"}, {logError, "text"}, {logFatal, "text"}}));
    Cx.SetOnLog(nullptr);
    Cx.Log(logFatal, "gone");
    EXPECT_EQ(Lines.size(), 3u);
}

std::string Replaced(TCxBase& Cx, std::string Name) {
    Cx.ReplaceFont(Name);
    return Name;
}

TEST(CxBaseReplaceFont, ListLinesApplyInOrderAndTheEventDecidesAlone) {
    TCxBase Cx;
    // The default list maps families by case-sensitive prefix.
    EXPECT_EQ(Replaced(Cx, "Times New Roman"), "Times,serif");
    EXPECT_EQ(Replaced(Cx, "Arial Black"), "Arial,Helvetica,sans-serif");
    EXPECT_EQ(Replaced(Cx, "Symbol"), "Symbol");
    EXPECT_EQ(Replaced(Cx, "times new roman"), "times new roman");
    EXPECT_EQ(Replaced(Cx, "Verdana"), "Verdana");

    // "b" matches the result of the first line; a duplicate name takes the value of its first line; a line
    // without a name or without "=" never matches.
    Cx.SetReplaceFonts({"a=b1", "b=c2", "=empty", "plain", "A=ignored", "a=second"});
    EXPECT_EQ(Replaced(Cx, "a font"), "c2");
    EXPECT_EQ(Replaced(Cx, "plain"), "plain");
    EXPECT_EQ(Replaced(Cx, "Arial"), "b1"); // "A=" holds the value of the first line named a (any case)
    Cx.SetReplaceFonts({});
    EXPECT_EQ(Replaced(Cx, "Times New Roman"), "Times New Roman");

    Cx.SetOnReplaceFont([](TCxBase&, std::string& Name) { Name = "[" + Name + "]"; });
    EXPECT_EQ(Replaced(Cx, "a font"), "[a font]");
}

// Text-run conversion.

TEST(CxBaseTextRun, PlainRunIsEscapedOnceAndMarkedRaw) {
    TCxBase Cx;
    TTestRun Run("a<b & \"c\"");
    EXPECT_EQ(Cx.ConvertTextRun(Run), "a&lt;b &amp; &quot;c&quot;");
    EXPECT_TRUE(Run.GetRaw());
    EXPECT_EQ(Cx.ConvertTextRun(Run), "a&lt;b &amp; &quot;c&quot;");
}

TEST(CxBaseTextRun, SpacesBecomeNonBreakingInPairsWhenAsked) {
    // One pass equals replacing the leftmost pair of blanks for as long as there is one.
    std::mt19937 Random(7);
    const char Alphabet[] = {' ', ' ', ' ', 'x', '&', ';'};
    for (int Case = 0; Case < 2000; ++Case) {
        std::string Text(Random() % 12, ' ');
        for (char& c : Text)
            c = Alphabet[Random() % sizeof Alphabet];
        std::string Expected = Text;
        for (std::size_t At; (At = Expected.find("  ")) != std::string::npos;)
            Expected.replace(At, 2, "&nbsp;&nbsp;");
        ASSERT_EQ(ReplaceBlankPairs(Text), Expected) << '"' << Text << '"';
    }

    TCxBase Cx;
    TTestRun Off("a   b"), On("a   b");
    EXPECT_EQ(Cx.ConvertTextRun(Off), "a   b");
    Cx.SetConvertSpaces(true);
    EXPECT_EQ(Cx.ConvertTextRun(On), "a&nbsp;&nbsp; b");
    EXPECT_EQ(Cx.ConvertTextRun(On), "a&nbsp;&nbsp; b"); // again: nothing left to replace
}

TEST(CxBaseTextRun, SymbolFontBecomesGreekWithoutAFontName) {
    TCxBase Cx;
    TCharacterProperties Symbol;
    Symbol.FontName = "Symbol";
    TTestRun Run("abg<", Symbol);
    EXPECT_EQ(Cx.ConvertTextRun(Run), "\u03b1\u03b2\u03b3&lt;");
    EXPECT_EQ(Run.GetCharacterProperties().FontName, "");

    Symbol.FontName = "Symbol,serif";
    TTestRun Suffixed("abg", Symbol);
    EXPECT_EQ(Cx.ConvertTextRun(Suffixed), "<span style=\"font-family:Symbol,serif;\">abg</span>");
}

TEST(CxBaseTextRun, BlueUnderlinedTextIsALinkOnlyInExactBlue) {
    TCxBase Cx;
    Cx.SetConvertHyperlinks(true);
    TCharacterProperties Blue;
    Blue.FontColor = "#0000ff";
    Blue.SetUnderline(true);
    TTestRun Link("a b", Blue);
    EXPECT_EQ(Cx.ConvertTextRun(Link), "<a href=\"a%20b\">a b</a>");
    EXPECT_FALSE(Link.GetCharacterProperties().IsUnderline());
    EXPECT_EQ(Link.GetCharacterProperties().FontColor, "");
    EXPECT_EQ(Cx.ConvertTextRun(Link),
              "<a href=\"a%20b\">a b</a>"); // a second pass finds no link left to make
    // The target is the run's text from before it was escaped.
    TTestRun Absolute("https://example.com/?a=1&b=2", Blue);
    EXPECT_EQ(Cx.ConvertTextRun(Absolute),
              "<a href=\"https://example.com/?a=1&amp;b=2\">https://example.com/?a=1&amp;b=2</a>");

    Cx.SetConvertHyperlinks(false);
    TTestRun Off("a b", Blue);
    EXPECT_EQ(Cx.ConvertTextRun(Off), "<span style=\"text-decoration:underline;color:#0000ff;\">a b</span>");
    Cx.SetConvertHyperlinks(true);
    Blue.FontColor = "#0000fe";
    TTestRun NoLink("a b", Blue);
    EXPECT_EQ(Cx.ConvertTextRun(NoLink),
              "<span style=\"text-decoration:underline;color:#0000fe;\">a b</span>");
}

TEST(CxBaseTextRun, AnchorSpanPrecedesTheTextEveryTime) {
    TCxBase Cx;
    TTestRun Run("x");
    Run.SetAnchor("top");
    EXPECT_EQ(Cx.ConvertTextRun(Run), "x");
    Cx.SetConvertAnchors(true);
    EXPECT_EQ(Cx.ConvertTextRun(Run), "<span id=\"top\"></span>x");
    EXPECT_EQ(Cx.ConvertTextRun(Run), "<span id=\"top\"></span>x");
}

TEST(CxBaseTextRun, DefaultFontIsLeftOutWhileTheDefaultStyleIsWritten) {
    TCxBase Cx;
    TCharacterProperties Props;
    Props.FontName = "Times,serif";
    Props.FontColor = "#000000";
    Props.FontSize = 12;
    TTestRun Default("a", Props);
    EXPECT_EQ(Cx.ConvertTextRun(Default),
              "<span style=\"font-family:Times,serif;color:#000000;font-size:12pt;\">a</span>");

    Cx.OptionsOptimize().SetIncludeDefaultFontStyle(true);
    TTestRun Same("a", Props);
    EXPECT_EQ(Cx.ConvertTextRun(Same), "a");
    Props.FontSize = 10;
    TTestRun Smaller("a", Props);
    EXPECT_EQ(Cx.ConvertTextRun(Smaller), "<span style=\"font-size:10pt;\">a</span>");
}

} // namespace
} // namespace corvane
