#include "CxBase.h"

#include "PipelineTestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

namespace corvane {
namespace {

using test::RecordLog;
using test::TLogLine;
using test::TTestRun;

TEST(CxBaseProperties, FreshConverterHasTheDocumentedDefaults) {
    TCxBase Cx;
    EXPECT_EQ(Cx.DocumentType(), dtHTML_50);
    EXPECT_EQ(Cx.LogLevel(), logInfo);
    EXPECT_TRUE(Cx.IncludeDocType());
    EXPECT_FALSE(Cx.IncludeXMLDeclaration());
    for (bool Flag : {Cx.ConvertAnchors(), Cx.ConvertEmptyParagraphs(), Cx.ConvertFields(),
                      Cx.ConvertHyperlinks(), Cx.ConvertIndent(), Cx.ConvertLanguage(), Cx.ConvertPictures(),
                      Cx.ConvertSpaces(), Cx.ConvertToPlainText()})
        EXPECT_FALSE(Flag);
    EXPECT_EQ(Cx.FontSizeScale(), fsPoint);
    EXPECT_EQ(Cx.FontConversionOptions(), TFontConversionOptions::All());
    EXPECT_EQ(Cx.DefaultLanguage(), "");
    EXPECT_EQ(Cx.Version(), "8.1");
    EXPECT_EQ(Cx.TabString(), "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;");
    EXPECT_EQ(Cx.ReplaceFonts(), (TStringList{"Arial=Arial,Helvetica,sans-serif", "Courier=Courier,monospace",
                                              "Symbol=Symbol", "Times=Times,serif"}));
    EXPECT_TRUE(Cx.OptionsHead().AddOuterHTML());
    EXPECT_EQ(Cx.OptionsHead().DocumentTitle(), "Untitled document");
    EXPECT_EQ(Cx.OptionsOptimize().DefaultFontSize(), 12);
    EXPECT_TRUE(Cx.PostProcessEventListeners().empty());
    EXPECT_FALSE(Cx.OnLog() || Cx.OnReplaceFont() || Cx.OnBeforeEncode() || Cx.OnAfterEncode());
    EXPECT_FALSE(Cx.EndOfDocument());

    ASSERT_TRUE(Cx.Translator() && Cx.Formatter() && Cx.MarginBuilder() && Cx.HyperlinkURIBuilder());
    EXPECT_EQ(Cx.MarginBuilder()->GetMarginWidth(), 2);
    EXPECT_EQ(Cx.Formatter()->GetLevel(), 0);
    EXPECT_EQ(Cx.Formatter()->GetLineBreak(), "\r\n");
    EXPECT_EQ(Cx.Translator()->GetDocType(), "<!DOCTYPE html>");
}

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

    // The translator shares the component's margin builder.
    Cx.MarginBuilder()->SetMarginWidth(1);
    Cx.Translator()->SetParagraphTag("<p");
    EXPECT_EQ(Cx.Translator()->BuildParagraphStart("", ""), "  <p>\r\n   ");
}

TEST(CxBaseProperties, EveryDialectGetsItsOwnTranslator) {
    TCxBase Cx;
    std::set<std::string> DocTypes;
    for (int Type = dtHTML3Flex; Type <= dtXHTML_11; ++Type) {
        Cx.SetDocumentType(static_cast<TDocumentType>(Type));
        DocTypes.insert(Cx.Translator()->GetDocType());
        EXPECT_EQ(Cx.Translator()->IsXml(), Type >= dtXHTML_10_Transitional) << Type;
    }
    EXPECT_EQ(DocTypes.size(), 9u);
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

    std::vector<TLogLine> Lines;
    RecordLog(Cx, Lines);
    Cx.Log(logDebug, "debug");
    Cx.Log(logInfo, "info");
    EXPECT_EQ(Lines, (std::vector<TLogLine>{{logInfo, "info"}}));

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

TEST(CxBaseLog, SenderIsTheConverter) {
    TCxBase Cx;
    TCxBase* Sender = nullptr;
    Cx.SetOnLog([&](TCxBase& From, TLogLevel, const std::string&) { Sender = &From; });
    Cx.Log(logError, "x");
    EXPECT_EQ(Sender, &Cx);
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

TEST(CxBaseProperties, StringListsAreCopiedOnAssignment) {
    TCxBase Cx;
    TStringList Tags{"a=1", "b=2"};
    Cx.OptionsHead().SetMetaTags(Tags);
    Tags.push_back("c=3");
    Tags[0] = "changed";
    EXPECT_EQ(Cx.OptionsHead().MetaTags(), (TStringList{"a=1", "b=2"}));

    TStringList Fonts{"Foo=Bar"};
    Cx.SetReplaceFonts(Fonts);
    Fonts[0] = "Foo=Other";
    EXPECT_EQ(Replaced(Cx, "Foo"), "Bar");
}

TEST(CxBaseProperties, PictureAdapterIsRequiredOnlyWhilePicturesAreOn) {
    TCxBase Cx;
    EXPECT_EQ(Cx.PictureAdapter(), nullptr);
    Cx.SetConvertPictures(true);
    try {
        Cx.GetPictureAdapter();
        FAIL() << "no exception";
    } catch (const ECxError& E) {
        EXPECT_STREQ(E.what(), "Property TCxBase.PictureAdapter is not assigned");
    }
}

class TRecordingListener : public IPostProcessEventListener {
public:
    TRecordingListener(std::vector<int>& Calls, int Id) : FCalls(Calls), FId(Id) {}
    void HandleEvent(TCxBase& Sender, TPostProcessEventObject& EventObject) override {
        FCalls.push_back(FId);
        LastSender = &Sender;
        LastDocument = EventObject.Document().get();
    }
    TCxBase* LastSender = nullptr;
    ISimpleDomDocument* LastDocument = nullptr;

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

// Markup pieces.

TEST(CxBaseMarkup, FixedPiecesFollowTheDialectAndMargin) {
    TCxBase Cx;
    EXPECT_EQ(Cx.GetEmptyParagraph(), "    <p>\r\n    </p>\r\n");
    EXPECT_EQ(Cx.GetParagraphTag(), "<p");
    EXPECT_EQ(Cx.GetOrderedListTag(), "<ol>");
    EXPECT_EQ(Cx.GetUnorderedListTag(), "<ul>");
    EXPECT_EQ(Cx.GetLineBreak(), "<br>");
    Cx.SetDocumentType(dtXHTML_10_Transitional);
    EXPECT_EQ(Cx.GetLineBreak(), "<br />");
    Cx.SetConvertToPlainText(true);
    EXPECT_EQ(Cx.GetLineBreak(), "\r\n");
    Cx.MarginBuilder()->SetMarginWidth(0);
    EXPECT_EQ(Cx.GetEmptyParagraph(), "<p>\r\n</p>\r\n");
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

    TCharacterProperties AlmostBlue = Blue;
    AlmostBlue.FontColor = "#0000fe";
    TTestRun NoLink("a b", AlmostBlue);
    EXPECT_EQ(Cx.ConvertTextRun(NoLink),
              "<span style=\"text-decoration:underline;color:#0000fe;\">a b</span>");

    Cx.SetConvertHyperlinks(false);
    TTestRun Off("a b", Blue);
    EXPECT_EQ(Cx.ConvertTextRun(Off), "<span style=\"text-decoration:underline;color:#0000ff;\">a b</span>");
}

TEST(CxBaseTextRun, LinkFromTheRunsOwnTextUsesTheUnescapedTarget) {
    TCxBase Cx;
    Cx.SetConvertHyperlinks(true);
    TCharacterProperties Blue;
    Blue.FontColor = "#0000ff";
    Blue.SetUnderline(true);
    TTestRun Link("https://example.com/?a=1&b=2", Blue);
    EXPECT_EQ(Cx.ConvertTextRun(Link),
              "<a href=\"https://example.com/?a=1&amp;b=2\">https://example.com/?a=1&amp;b=2</a>");
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
