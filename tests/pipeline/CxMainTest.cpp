#include "CorvaneXHTML.h"
#include "CxMemoryPictureAdapterDataURI.h"

#include "PipelineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace corvane {
namespace {

using test::RecordLog;
using test::TLogLine;

constexpr auto npos = std::string::npos;

// Document wrapper: the golden conversions hold the default one of every dialect.

TEST(CxMainHead, EveryHeadOptionInItsPlace) {
    TRkCorvaneXHTML Cx;
    Cx.SetDocumentType(dtHTML_401_Transitional);
    TCxOptionsHead& Head = Cx.OptionsHead();
    Head.SetDocumentTitle("A \"title\" <b>");
    Head.SetMetaViewport("width=device-width");
    Head.SetMetaDescription("desc");
    Head.SetMetaKeywords("k1, k2");
    Head.SetMetaAuthor("me");
    // A line without "=" adds nothing; a repeated name takes the first line's value (any case).
    Head.SetMetaTags({"robots=noindex", "no separator", "ROBOTS=later", "empty="});
    Head.SetHeadTags({"<base href=\"x\">", "<!-- c -->"});
    Head.SetStyleSheetLink("site.css");
    Head.SetStyleSheetInclude({"p { margin:0 }", "h1 { color:red }"});
    EXPECT_EQ(Cx.GetHead(), "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
                            "\"http://www.w3.org/TR/html4/loose.dtd\">\r\n"
                            "<html>\r\n"
                            "  <head>\r\n"
                            "    <meta http-equiv=\"content-type\" content=\"text/html; charset=UTF-8\">\r\n"
                            "    <meta name=\"viewport\" content=\"width=device-width\">\r\n"
                            "    <title>\r\n"
                            "      A \"title\" <b>\r\n"
                            "    </title>\r\n"
                            "    <meta name=\"description\" content=\"desc\">\r\n"
                            "    <meta name=\"keywords\" content=\"k1, k2\">\r\n"
                            "    <meta name=\"author\" content=\"me\">\r\n"
                            "    <meta name=\"robots\" content=\"noindex\">\r\n"
                            "    <meta name=\"ROBOTS\" content=\"noindex\">\r\n"
                            "    <base href=\"x\">\r\n"
                            "    <!-- c -->\r\n"
                            "    <link rel=\"stylesheet\" type=\"text/css\" href=\"site.css\">\r\n"
                            "    <style>\r\n"
                            "      p { margin:0 }\r\n"
                            "      h1 { color:red }\r\n"
                            "    </style>\r\n"
                            "  </head>\r\n"
                            "  <body>\r\n");
}

TEST(CxMainHead, DialectRulesForDeclarationDocTypeLanguageCharsetAndStyle) {
    TRkCorvaneXHTML Cx;
    const std::string Html5Head = Cx.GetHead();
    Cx.SetIncludeXMLDeclaration(true); // never for an HTML dialect
    Cx.OptionsHead().SetMetaContentType("");
    EXPECT_EQ(Cx.GetHead(), Html5Head); // HTML5 writes its charset meta anyway

    Cx.SetDocumentType(dtHTML_401_Strict);
    Cx.SetIncludeDocType(false);
    Cx.SetConvertLanguage(true); // with an empty language: the plain start tag
    EXPECT_EQ(Cx.GetHead(), "<html>\r\n  <head>\r\n    <title>\r\n      Untitled document\r\n    </title>\r\n"
                            "  </head>\r\n  <body>\r\n");

    Cx.SetIncludeXMLDeclaration(false);
    Cx.SetDocumentType(dtXHTML_11);
    EXPECT_EQ(Cx.GetHead().rfind("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\"", 0), 0u);
    Cx.OptionsHead().SetDocumentTitle("");
    EXPECT_NE(Cx.GetHead().find("    <title>\r\n      \r\n    </title>\r\n"), npos);

    Cx.OptionsHead().SetStyleSheetInclude({"p {}"});
    Cx.SetDocumentType(dtXHTML_Basic_10);
    EXPECT_EQ(Cx.GetHead().find("p {}"), npos);
    Cx.SetDocumentType(dtXHTML_MP_10);
    EXPECT_NE(Cx.GetHead().find("    <style type=\"text/css\">\r\n      p {}\r\n    </style>\r\n"), npos);

    Cx.SetDocumentType(dtXHTML_10_Transitional);
    Cx.SetIncludeDocType(true);
    Cx.SetIncludeXMLDeclaration(true);
    Cx.SetDefaultLanguage("en");
    const std::string Head = Cx.GetHead();
    EXPECT_EQ(Head.rfind(
                  "<?xml version=\"1.0\"?>\r\n<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional", 0),
              0u);
    EXPECT_NE(Head.find("\r\n<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">\r\n"),
              npos)
        << Head;
}

TEST(CxMainHead, DefaultFontStyleLeavesOutWhatIsUnset) {
    TRkCorvaneXHTML Cx;
    EXPECT_EQ(Cx.GetDefaultFontStyle(), "body {font-family:Times,serif;font-size:12pt;color:#000000; }");
    Cx.OptionsOptimize().SetDefaultFontSize(0);
    EXPECT_EQ(Cx.GetDefaultFontStyle(), "body {font-family:Times,serif;color:#000000; }");
    Cx.OptionsOptimize().SetDefaultFontSize(-3);
    Cx.OptionsOptimize().SetDefaultFontName("");
    Cx.OptionsOptimize().SetDefaultFontColor("");
    Cx.OptionsOptimize().SetIncludeDefaultFontStyle(true);
    EXPECT_NE(Cx.GetHead().find("    <style>\r\n      body { }\r\n    </style>\r\n"), npos);
}

// Conversion driver.

TEST(CxMainConvert, InputWithoutTheHeaderGivesNothing) {
    for (const std::string Input : {"", "{\\rt", "{\\RTF1 Hello}", "\xEF\xBB\xBF{\\rtf1 Hello}",
                                    " {\\rtf1 Hello}", "\\rtf1 Hello", "{\\rtf"}) {
        TRkCorvaneXHTML Cx;
        std::vector<TLogLine> Lines;
        RecordLog(Cx, Lines);
        if (Input == "{\\rtf") { // just enough
            EXPECT_EQ(Cx.Convert(Input), Cx.GetHead() + "  </body>\r\n</html>");
            EXPECT_TRUE(Lines.empty());
        } else {
            EXPECT_EQ(Cx.Convert(Input), "") << Input;
            EXPECT_EQ(Lines, (std::vector<TLogLine>{{logError, "No RTF header found"}})) << Input;
        }
    }
}

TEST(CxMainConvert, LinkCoversExactlyTheFieldResult) {
    TRkCorvaneXHTML Cx;
    Cx.OptionsHead().SetAddOuterHTML(false);
    Cx.SetConvertFields(true);
    Cx.SetConvertHyperlinks(true);
    // The result plain, and the result in a formatting group of its own, as word processors write it.
    for (const char* Result : {"link", "{\\ul link}"})
        EXPECT_EQ(Cx.Convert(std::string(
                                 "{\\rtf1 before {\\field{\\*\\fldinst HYPERLINK \"http://x/\"}{\\fldrslt ") +
                             Result + "}} after}"),
                  "    <p>\r\n      before <a href=\"http://x/\">link</a> after\r\n    </p>\r\n");
}

TEST(CxMainConvert, EmptyParagraphsBecomeBreaksOnlyWhereTheDialectHasThem) {
    TRkCorvaneXHTML Cx;
    Cx.OptionsHead().SetAddOuterHTML(false);
    Cx.SetConvertEmptyParagraphs(true);
    const std::string Rtf = "{\\rtf1 a\\par\\par b}";
    const std::string A = "    <p>\r\n      a\r\n    </p>\r\n", B = "    <p>\r\n      b\r\n    </p>\r\n";
    Cx.SetDocumentType(dtXHTML_10_Transitional);
    EXPECT_EQ(Cx.Convert(Rtf), A + "    <br />\r\n" + B);
    Cx.SetDocumentType(dtXHTML_10_Strict);
    EXPECT_EQ(Cx.Convert(Rtf), A + "    <p>\r\n    </p>\r\n" + B);
}

TEST(CxMainConvert, FontSizeScaleReachesTheTranslatorOnEveryConversion) {
    TRkCorvaneXHTML Cx;
    Cx.OptionsOptimize().SetIncludeDefaultFontStyle(true);
    Cx.SetFontSizeScale(fsEM);
    EXPECT_NE(Cx.Convert("{\\rtf1 x}").find("body {font-family:Times,serif;font-size:1em;"), npos);
    Cx.SetFontSizeScale(fsPercent);
    EXPECT_NE(Cx.Convert("{\\rtf1 x}").find("font-size:100%;"), npos);
}

// A header or footer left out may be all the text there is: then, and only then, one warning names the
// switch. Text in a field result counts; bookmarks, pictures, tabs and \* destinations show none.
TEST(CxMainConvert, EmptyBodyWithATextOnlyInItsHeaderWarnsOnce) {
    const TLogLine Warning{logWarning, "The document's body is empty but its header or footer holds text; "
                                       "OptionsStructure.HeadersFooters (--headers-footers) converts them"};
    const struct {
        const char* Rtf;
        bool HeadersFooters;
        bool Warned;
    } Cases[] = {
        {"{\\rtf1{\\header Title\\par}{\\footer Page}\\par}", false, true},
        {"{\\rtf1{\\footerl{\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}}\\par}", false, true},
        {"{\\rtf1{\\headerf\\'e9}}", false, true},
        {"{\\rtf1{\\header{\\*\\bkmkstart mark}{\\pict 00}{\\*\\unknown x}{\\footnote y}\\tab}\\par}", false,
         false},
        {"{\\rtf1{\\header Title}Body}", false, false},
        {"{\\rtf1{\\header Title}}", true, false},
    };
    for (const auto& Case : Cases) {
        TRkCorvaneXHTML Cx;
        Cx.OptionsStructure().SetHeadersFooters(Case.HeadersFooters);
        std::vector<TLogLine> Lines;
        RecordLog(Cx, Lines);
        Cx.Convert(Case.Rtf);
        EXPECT_EQ(std::count(Lines.begin(), Lines.end(), Warning), Case.Warned ? 1 : 0) << Case.Rtf;
    }
}

// Each guarded region that an exception passes logs it once.

// Converts Rtf, which must fail with Failure; returns the error lines logged meanwhile.
std::vector<std::string> LoggedErrors(TRkCorvaneXHTML& Cx, const std::string& Rtf,
                                      const std::string& Failure) {
    std::vector<TLogLine> Lines;
    RecordLog(Cx, Lines);
    try {
        Cx.Convert(Rtf);
        ADD_FAILURE() << "no exception";
    } catch (const ECxError& Error) {
        EXPECT_EQ(Error.what(), Failure);
    }
    std::vector<std::string> Errors;
    for (const TLogLine& Line : Lines)
        if (Line.Level == logError) Errors.push_back(Line.Text);
    return Errors;
}

class TThrowingListener : public IPostProcessEventListener {
public:
    void HandleEvent(TCxBase&, TPostProcessEventObject& EventObject) override {
        Document = EventObject.Document();
        throw ECxError("listener failed");
    }
    std::shared_ptr<ISimpleDomDocument> Document;
};

TEST(CxMainFailures, EachGuardedRegionLogsTheFailureOnce) {
    using Lines = std::vector<std::string>;
    TRkCorvaneXHTML Cx;
    const std::string Hello = "{\\rtf1 Hello}";
    const std::string Missing = "Property TCxBase.PictureAdapter is not assigned";
    Cx.SetConvertPictures(true);
    EXPECT_EQ(LoggedErrors(Cx, Hello, Missing), Lines{Missing});
    EXPECT_EQ(LoggedErrors(Cx, Hello, Missing), Lines{Missing}); // again on the next conversion
    Cx.SetPictureAdapter(std::make_shared<TMemoryPictureAdapterDataURI>(32));
    const std::string Expected = TRkCorvaneXHTML().Convert(Hello);
    EXPECT_EQ(Cx.Convert(Hello), Expected);

    EXPECT_EQ(LoggedErrors(Cx, "{\\rtf1 \\'zz}", "ceUnknownCharacter"), Lines(2, "ceUnknownCharacter"));

    auto Listener = std::make_shared<TThrowingListener>();
    Cx.PostProcessEventListeners().push_back(Listener);
    EXPECT_EQ(LoggedErrors(Cx, Hello, "listener failed"), Lines(2, "listener failed"));
    ASSERT_TRUE(Listener->Document); // the listener may keep the document
    EXPECT_EQ(Listener->Document->GetChildCount(), 1);
    Cx.PostProcessEventListeners().clear();

    Cx.SetOnBeforeEncode([](TCxBase&, ISimpleDomTextNode&) { throw ECxError("encode failed"); });
    EXPECT_EQ(LoggedErrors(Cx, Hello, "encode failed"), Lines(3, "encode failed"));
    Cx.SetOnBeforeEncode(nullptr); // the converter stays usable
    EXPECT_EQ(Cx.Convert(Hello), Expected);
}

} // namespace
} // namespace corvane
