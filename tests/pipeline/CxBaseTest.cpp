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
    const ICxTranslator* First = Cx.Translator().get();
    Cx.SetDocumentType(dtHTML_50);
    EXPECT_EQ(Cx.Translator().get(), First);

    // Keep the old objects alive so a new one cannot reuse an address.
    std::vector<std::shared_ptr<ICxTranslator>> Seen{Cx.Translator()};
    Cx.SetDocumentType(dtXHTML_11);
    EXPECT_NE(Cx.Translator().get(), First);
    EXPECT_TRUE(Cx.Translator()->IsDocTypeRequired());
    Seen.push_back(Cx.Translator());
    Cx.SetDocumentType(dtHTML_50);
    EXPECT_NE(Cx.Translator().get(), Seen[0].get());
    EXPECT_NE(Cx.Translator().get(), Seen[1].get());
    EXPECT_FALSE(Cx.Translator()->IsXml());

    // The translator and the empty paragraph share the component's margin builder.
    Cx.MarginBuilder()->SetMarginWidth(1);
    Cx.Translator()->SetParagraphTag("<p");
    EXPECT_EQ(Cx.Translator()->BuildParagraphStart("", ""), "  <p>\r\n   ");
    EXPECT_EQ(Cx.GetEmptyParagraph(), "  <p>\r\n  </p>\r\n");
}

TEST(CxBaseProperties, UnknownDocumentTypeIsStoredButKeepsTheTranslator) {
    TCxBase Cx;
    Cx.SetDocumentType(dtXHTML_10_Strict);
    const ICxTranslator* Strict = Cx.Translator().get();
    Cx.SetDocumentType(static_cast<TDocumentType>(42));
    EXPECT_EQ(Cx.DocumentType(), static_cast<TDocumentType>(42));
    EXPECT_EQ(Cx.Translator().get(), Strict);
    Cx.SetDocumentType(dtXHTML_10_Strict);
    EXPECT_NE(Cx.Translator().get(), Strict);
}

TEST(CxBaseLog, DeliversOnlyAtOrAboveTheLevelAndOnlyWithAHandler) {
    TCxBase Cx;
    Cx.Log(logFatal, "nobody listens"); // no handler: nothing happens, nothing throws

    // A fresh converter logs at info; the sender is the converter.
    std::vector<TLogLine> Lines;
    TCxBase* Sender = nullptr;
    Cx.SetOnLog([&](TCxBase& From, TLogLevel Level, const std::string& Text) {
        Sender = &From;
        Lines.push_back({Level, Text});
    });
    Cx.Log(logDebug, "debug");
    Cx.Log(logInfo, "info");
    EXPECT_EQ(Lines, (std::vector<TLogLine>{{logInfo, "info"}}));
    EXPECT_EQ(Sender, &Cx);

    Lines.clear();
    Cx.SetLogLevel(logWarning);
    Cx.Log(logInfo, "info");
    Cx.Log(logWarning, "warning");
    Cx.Log(logError, "error");
    EXPECT_EQ(Lines, (std::vector<TLogLine>{{logWarning, "warning"}, {logError, "error"}}));

    Lines.clear();
    Cx.SetLogLevel(logFatal);
    Cx.Log(logError, "error");
    Cx.Log(logFatal, "fatal");
    EXPECT_EQ(Lines, (std::vector<TLogLine>{{logFatal, "fatal"}}));

    Cx.SetOnLog(nullptr);
    Cx.Log(logFatal, "gone");
    EXPECT_EQ(Lines.size(), 1u);
}

std::string Replaced(TCxBase& Cx, std::string Name) {
    Cx.ReplaceFont(Name);
    return Name;
}

TEST(CxBaseReplaceFont, DefaultListMapsFamiliesByPrefix) {
    TCxBase Cx;
    EXPECT_EQ(Replaced(Cx, "Times New Roman"), "Times,serif");
    EXPECT_EQ(Replaced(Cx, "Arial Black"), "Arial,Helvetica,sans-serif");
    EXPECT_EQ(Replaced(Cx, "Arial Narrow"), "Arial,Helvetica,sans-serif");
    EXPECT_EQ(Replaced(Cx, "Courier New"), "Courier,monospace");
    EXPECT_EQ(Replaced(Cx, "Symbol"), "Symbol");
    EXPECT_EQ(Replaced(Cx, "times new roman"), "times new roman"); // the prefix is case-sensitive
    EXPECT_EQ(Replaced(Cx, "Verdana"), "Verdana");
}

TEST(CxBaseReplaceFont, LinesApplyInOrderToTheNameAsReplacedSoFar) {
    TCxBase Cx;
    // "b" matches the result of the first line; a duplicate name takes the value of its first line; a line
    // without a name or without "=" never matches.
    Cx.SetReplaceFonts({"a=b1", "b=c2", "=empty", "plain", "A=ignored", "a=second"});
    EXPECT_EQ(Replaced(Cx, "a font"), "c2");
    EXPECT_EQ(Replaced(Cx, "plain"), "plain");
    EXPECT_EQ(Replaced(Cx, "Arial"), "b1"); // "A=" holds the value of the first line named a (any case)
    Cx.SetReplaceFonts({});
    EXPECT_EQ(Replaced(Cx, "Times New Roman"), "Times New Roman");
}

TEST(CxBaseReplaceFont, EventDecidesAloneWhenAssigned) {
    TCxBase Cx;
    Cx.SetOnReplaceFont([](TCxBase&, std::string& Name) { Name = "[" + Name + "]"; });
    EXPECT_EQ(Replaced(Cx, "Times New Roman"), "[Times New Roman]");
}

class TRecordingListener : public IPostProcessEventListener {
public:
    TRecordingListener(std::vector<int>& Calls, int Id) : FCalls(Calls), FId(Id) {}
    void HandleEvent(TCxBase& Sender, TPostProcessEventObject&) override {
        FCalls.push_back(FId);
        LastSender = &Sender;
    }
    TCxBase* LastSender = nullptr;

private:
    std::vector<int>& FCalls;
    int FId;
};

TEST(CxBasePostProcess, ListenersRunInListOrder) {
    TCxBase Cx;
    Cx.PostProcess(nullptr); // no listeners: nothing to call

    std::vector<int> Calls;
    auto First = std::make_shared<TRecordingListener>(Calls, 1);
    auto Second = std::make_shared<TRecordingListener>(Calls, 2);
    Cx.PostProcessEventListeners().push_back(First);
    Cx.PostProcessEventListeners().push_back(Second);
    Cx.PostProcess(nullptr);
    EXPECT_EQ(Calls, (std::vector<int>{1, 2}));
    EXPECT_EQ(Second->LastSender, &Cx);
}

// Text-run conversion.

TEST(CxBaseTextRun, PlainRunIsEscapedOnceAndMarkedRaw) {
    TCxBase Cx;
    TTestRun Run("a<b & \"c\"");
    EXPECT_EQ(Cx.ConvertTextRun(Run), "a&lt;b &amp; &quot;c&quot;");
    EXPECT_TRUE(Run.GetRaw());
    EXPECT_EQ(Cx.ConvertTextRun(Run), "a&lt;b &amp; &quot;c&quot;");

    TTestRun Raw("<img>");
    Raw.SetRaw(true);
    EXPECT_EQ(Cx.ConvertTextRun(Raw), "<img>");
}

std::string NaiveBlankPairs(std::string Text) {
    for (std::size_t At; (At = Text.find("  ")) != std::string::npos;)
        Text.replace(At, 2, "&nbsp;&nbsp;");
    return Text;
}

TEST(CxBaseTextRun, SpacesBecomeNonBreakingInPairs) {
    TCxBase Cx;
    Cx.SetConvertSpaces(true);
    TTestRun Two("a  b"), Three("a   b"), Four("a    b"), One("a b");
    EXPECT_EQ(Cx.ConvertTextRun(Two), "a&nbsp;&nbsp;b");
    EXPECT_EQ(Cx.ConvertTextRun(Three), "a&nbsp;&nbsp; b");
    EXPECT_EQ(Cx.ConvertTextRun(Four), "a&nbsp;&nbsp;&nbsp;&nbsp;b");
    EXPECT_EQ(Cx.ConvertTextRun(One), "a b");
    EXPECT_EQ(Cx.ConvertTextRun(Three), "a&nbsp;&nbsp; b"); // again: nothing left to replace

    Cx.SetConvertSpaces(false);
    TTestRun Off("a  b");
    EXPECT_EQ(Cx.ConvertTextRun(Off), "a  b");
}

TEST(CxBaseTextRun, OnePassEqualsRepeatedLeftmostReplacement) {
    std::mt19937 Random(7);
    const char Alphabet[] = {' ', ' ', ' ', 'x', '&', ';'};
    for (int Case = 0; Case < 2000; ++Case) {
        std::string Text(Random() % 12, ' ');
        for (char& c : Text)
            c = Alphabet[Random() % sizeof Alphabet];
        ASSERT_EQ(ReplaceBlankPairs(Text), NaiveBlankPairs(Text)) << '"' << Text << '"';
    }
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
    const std::string Markup = Cx.ConvertTextRun(Link);
    EXPECT_EQ(Markup, "<a href=\"a%20b\">a b</a>");
    EXPECT_FALSE(Link.GetCharacterProperties().IsUnderline());
    EXPECT_EQ(Link.GetCharacterProperties().FontColor, "");
    EXPECT_EQ(Cx.ConvertTextRun(Link), Markup); // a second pass finds no link left to make
    // The target is the run's text from before it was escaped.
    TTestRun Absolute("https://example.com/?a=1&b=2", Blue);
    EXPECT_EQ(Cx.ConvertTextRun(Absolute),
              "<a href=\"https://example.com/?a=1&amp;b=2\">https://example.com/?a=1&amp;b=2</a>");

    TCharacterProperties AlmostBlue = Blue;
    AlmostBlue.FontColor = "#0000fe";
    TTestRun NoLink("a b", AlmostBlue);
    EXPECT_EQ(Cx.ConvertTextRun(NoLink),
              "<span style=\"text-decoration:underline;color:#0000fe;\">a b</span>");

    Cx.SetConvertHyperlinks(false);
    TTestRun Off("a b", Blue);
    EXPECT_EQ(Cx.ConvertTextRun(Off), "<span style=\"text-decoration:underline;color:#0000ff;\">a b</span>");
}

TEST(CxBaseTextRun, HyperlinkFieldBecomesALinkAndLosesItsFormatting) {
    TCxBase Cx;
    Cx.SetConvertHyperlinks(true);
    TCharacterProperties Props;
    Props.FontColor = "#0000ff";
    Props.SetUnderline(true);
    Props.FontStyle |= fsBold;
    // Word processors write the instruction with a leading blank.
    for (const char* Instruction :
         {"HYPERLINK \"http://example.com/\"", " HYPERLINK \"http://example.com/\" "}) {
        TTestRun Run("link", Props);
        Run.SetFieldInstruction(Instruction);
        EXPECT_EQ(Cx.ConvertTextRun(Run),
                  "<span style=\"font-weight:bold;\"><a href=\"http://example.com/\">link</a></span>")
            << Instruction;
        EXPECT_EQ(Run.GetFieldInstruction(), "");
    }

    TTestRun Other("text");
    Other.SetFieldInstruction("PAGE");
    EXPECT_EQ(Cx.ConvertTextRun(Other), "text");
}

TEST(CxBaseTextRun, AnchorSpanPrecedesTheTextAndIsEscaped) {
    TCxBase Cx;
    TTestRun Run("x");
    Run.SetAnchor("top");
    EXPECT_EQ(Cx.ConvertTextRun(Run), "x");
    Cx.SetConvertAnchors(true);
    EXPECT_EQ(Cx.ConvertTextRun(Run), "<span id=\"top\"></span>x");
    EXPECT_EQ(Cx.ConvertTextRun(Run), "<span id=\"top\"></span>x"); // the anchor is written every time

    TTestRun Hostile("y");
    Hostile.SetAnchor("a\"><script>&");
    EXPECT_EQ(Cx.ConvertTextRun(Hostile), "<span id=\"a&quot;&gt;&lt;script&gt;&amp;\"></span>y");
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

TEST(CxBaseTextRun, EncodeEventsSeeTheRunBeforeAndAfter) {
    TCxBase Cx;
    std::vector<std::string> Seen;
    Cx.SetOnBeforeEncode(
        [&](TCxBase&, ISimpleDomTextNode& Run) { Seen.push_back("before:" + Run.GetText()); });
    Cx.SetOnAfterEncode([&](TCxBase&, ISimpleDomTextNode& Run) {
        Seen.push_back("after:" + Run.GetText());
        Run.SetText(Run.GetText() + "!");
    });
    TTestRun Run("<");
    EXPECT_EQ(Cx.ConvertTextRun(Run), "&lt;!");
    EXPECT_EQ(Seen, (std::vector<std::string>{"before:<", "after:&lt;"}));
}

} // namespace
} // namespace corvane
