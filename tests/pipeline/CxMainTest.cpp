#include "CorvaneXHTML.h"
#include "CxMemoryPictureAdapterDataURI.h"

#include "PipelineTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvane {
namespace {

using test::RecordLog;
using test::TLogLine;

std::vector<std::string> ErrorLines(const std::vector<TLogLine>& Lines) {
    std::vector<std::string> Result;
    for (const TLogLine& Line : Lines)
        if (Line.Level == logError) Result.push_back(Line.Text);
    return Result;
}

const std::string DefaultHead = "<!DOCTYPE html>\r\n"
                                "<html>\r\n"
                                "  <head>\r\n"
                                "    <meta charset=\"UTF-8\">\r\n"
                                "    <title>\r\n"
                                "      Untitled document\r\n"
                                "    </title>\r\n"
                                "  </head>\r\n"
                                "  <body>\r\n";
const std::string Closing = "  </body>\r\n</html>";

// Document wrapper: the golden conversions hold the default one.

TEST(CxMainHead, XhtmlTransitionalWithDeclarationLanguageAndDefaultFont) {
    TRkCorvaneXHTML Cx;
    Cx.SetDocumentType(dtXHTML_10_Transitional);
    Cx.SetIncludeXMLDeclaration(true);
    Cx.SetConvertLanguage(true);
    Cx.SetDefaultLanguage("en");
    Cx.OptionsOptimize().SetIncludeDefaultFontStyle(true);
    EXPECT_EQ(Cx.GetHead(),
              "<?xml version=\"1.0\"?>\r\n"
              "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
              "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\r\n"
              "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">\r\n"
              "  <head>\r\n"
              "    <meta http-equiv=\"content-type\" content=\"text/html; charset=UTF-8\" />\r\n"
              "    <title>\r\n"
              "      Untitled document\r\n"
              "    </title>\r\n"
              "    <style type=\"text/css\">\r\n"
              "      body {font-family:Times,serif;font-size:12pt;color:#000000; }\r\n"
              "    </style>\r\n"
              "  </head>\r\n"
              "  <body>\r\n");
}

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

TEST(CxMainHead, DialectRulesForDeclarationDocTypeAndCharset) {
    TRkCorvaneXHTML Cx;
    Cx.SetIncludeXMLDeclaration(true); // never for an HTML dialect
    Cx.OptionsHead().SetMetaContentType("");
    EXPECT_EQ(Cx.GetHead(), DefaultHead); // HTML5 writes its charset meta anyway

    Cx.SetDocumentType(dtHTML_401_Strict);
    Cx.SetIncludeDocType(false);
    Cx.SetConvertLanguage(true); // with an empty language: the plain start tag
    EXPECT_EQ(Cx.GetHead(), "<html>\r\n"
                            "  <head>\r\n"
                            "    <title>\r\n"
                            "      Untitled document\r\n"
                            "    </title>\r\n"
                            "  </head>\r\n"
                            "  <body>\r\n");

    Cx.SetIncludeXMLDeclaration(false);
    Cx.SetDocumentType(dtXHTML_10_Strict);
    EXPECT_EQ(Cx.GetHead().find("<!DOCTYPE"), std::string::npos);
    Cx.SetDocumentType(dtXHTML_11);
    EXPECT_EQ(Cx.GetHead().rfind("<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.1//EN\"", 0), 0u);

    Cx.OptionsHead().SetDocumentTitle("");
    EXPECT_NE(Cx.GetHead().find("    <title>\r\n      \r\n    </title>\r\n"), std::string::npos);
}

TEST(CxMainHead, StyleElementOnlyWhereTheDialectAcceptsIt) {
    TRkCorvaneXHTML Cx;
    Cx.OptionsHead().SetStyleSheetInclude({"p {}"});
    Cx.SetDocumentType(dtXHTML_Basic_10);
    EXPECT_EQ(Cx.GetHead().find("style"), std::string::npos);
    EXPECT_EQ(Cx.GetHead().find("p {}"), std::string::npos);
    Cx.SetDocumentType(dtXHTML_MP_10);
    EXPECT_NE(Cx.GetHead().find("    <style type=\"text/css\">\r\n      p {}\r\n    </style>\r\n"),
              std::string::npos);
}

TEST(CxMainHead, DefaultFontStyleLeavesOutWhatIsUnset) {
    TRkCorvaneXHTML Cx;
    EXPECT_EQ(Cx.GetDefaultFontStyle(), "body {font-family:Times,serif;font-size:12pt;color:#000000; }");
    Cx.OptionsOptimize().SetDefaultFontSize(0);
    EXPECT_EQ(Cx.GetDefaultFontStyle(), "body {font-family:Times,serif;color:#000000; }");
    Cx.OptionsOptimize().SetDefaultFontSize(-3);
    Cx.OptionsOptimize().SetDefaultFontName("");
    Cx.OptionsOptimize().SetDefaultFontColor("");
    EXPECT_EQ(Cx.GetDefaultFontStyle(), "body { }");

    // Only the body rule when nothing is included.
    Cx.OptionsOptimize().SetIncludeDefaultFontStyle(true);
    EXPECT_NE(Cx.GetHead().find("    <style>\r\n      body { }\r\n    </style>\r\n"), std::string::npos);
}

// Conversion driver.

TEST(CxMainConvert, InputWithoutTheHeaderGivesNothing) {
    const std::string Rejected[] = {
        "", "{\\rt", "{\\RTF1 Hello}", "\xEF\xBB\xBF{\\rtf1 Hello}", " {\\rtf1 Hello}", "\\rtf1 Hello"};
    for (const std::string& Input : Rejected) {
        TRkCorvaneXHTML Cx;
        std::vector<TLogLine> Lines;
        RecordLog(Cx, Lines);
        EXPECT_EQ(Cx.Convert(Input), "") << Input;
        EXPECT_EQ(Lines, (std::vector<TLogLine>{{logError, "No RTF header found"}})) << Input;
    }

    TRkCorvaneXHTML Cx;
    std::vector<TLogLine> Lines;
    RecordLog(Cx, Lines);
    EXPECT_EQ(Cx.Convert("{\\rtf"), DefaultHead + Closing);
    EXPECT_TRUE(ErrorLines(Lines).empty());
}

TEST(CxMainConvert, OutputFormsFollowTheSettings) {
    TRkCorvaneXHTML Cx;
    Cx.OptionsHead().SetAddOuterHTML(false);
    EXPECT_EQ(Cx.Convert("{\\rtf1 Hello}"), "    <p>\r\n      Hello\r\n    </p>\r\n");

    Cx.OptionsHead().SetAddOuterHTML(true);
    Cx.SetConvertToPlainText(true);
    EXPECT_EQ(Cx.Convert("{\\rtf1 a<b\\par c}"), "a<b\r\nc\r\n");
}

TEST(CxMainConvert, LinkCoversExactlyTheFieldResult) {
    TRkCorvaneXHTML Cx;
    Cx.OptionsHead().SetAddOuterHTML(false);
    Cx.SetConvertFields(true);
    Cx.SetConvertHyperlinks(true);
    const std::string paragraph =
        "    <p>\r\n      before <a href=\"http://x/\">link</a> after\r\n    </p>\r\n";
    // The result plain, and the result in a formatting group of its own, as word processors write it.
    EXPECT_EQ(
        Cx.Convert("{\\rtf1 before {\\field{\\*\\fldinst HYPERLINK \"http://x/\"}{\\fldrslt link}} after}"),
        paragraph);
    EXPECT_EQ(
        Cx.Convert(
            "{\\rtf1 before {\\field{\\*\\fldinst HYPERLINK \"http://x/\"}{\\fldrslt{\\ul link}}} after}"),
        paragraph);
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
    EXPECT_NE(Cx.Convert("{\\rtf1 x}").find("body {font-family:Times,serif;font-size:1em;"),
              std::string::npos);
    Cx.SetFontSizeScale(fsPercent);
    EXPECT_NE(Cx.Convert("{\\rtf1 x}").find("font-size:100%;"), std::string::npos);
}

// Each guarded region that an exception passes logs it once.

TEST(CxMainFailures, MissingPictureAdapterIsLoggedOncePerConversion) {
    TRkCorvaneXHTML Cx;
    std::vector<TLogLine> Lines;
    RecordLog(Cx, Lines);
    Cx.SetConvertPictures(true);
    for (int Run = 1; Run <= 2; ++Run) {
        try {
            Cx.Convert("{\\rtf1 Hello}");
            FAIL() << "no exception";
        } catch (const ECxError& E) {
            EXPECT_STREQ(E.what(), "Property TCxBase.PictureAdapter is not assigned");
        }
        EXPECT_EQ(ErrorLines(Lines).size(), static_cast<std::size_t>(Run));
    }
    EXPECT_EQ(ErrorLines(Lines)[0], "Property TCxBase.PictureAdapter is not assigned");

    Cx.SetConvertPictures(false);
    EXPECT_NO_THROW(Cx.Convert("{\\rtf1 Hello}"));
    Cx.SetConvertPictures(true);
    Cx.SetPictureAdapter(std::make_shared<TMemoryPictureAdapterDataURI>(32));
    EXPECT_NO_THROW(Cx.Convert("{\\rtf1 Hello}"));
    EXPECT_EQ(ErrorLines(Lines).size(), 2u);
}

TEST(CxMainFailures, ParseErrorIsLoggedTwice) {
    TRkCorvaneXHTML Cx;
    std::vector<TLogLine> Lines;
    RecordLog(Cx, Lines);
    EXPECT_THROW(Cx.Convert("{\\rtf1 \\'zz}"), ECxError);
    EXPECT_EQ(ErrorLines(Lines), (std::vector<std::string>{"ceUnknownCharacter", "ceUnknownCharacter"}));
}

class TThrowingListener : public IPostProcessEventListener {
public:
    void HandleEvent(TCxBase&, TPostProcessEventObject& EventObject) override {
        Document = EventObject.Document();
        throw ECxError("listener failed");
    }
    std::shared_ptr<ISimpleDomDocument> Document;
};

TEST(CxMainFailures, PostProcessErrorIsLoggedTwiceAndTheListenerMayKeepTheDocument) {
    TRkCorvaneXHTML Cx;
    std::vector<TLogLine> Lines;
    RecordLog(Cx, Lines);
    auto Listener = std::make_shared<TThrowingListener>();
    Cx.PostProcessEventListeners().push_back(Listener);
    EXPECT_THROW(Cx.Convert("{\\rtf1 Hello}"), ECxError);
    EXPECT_EQ(ErrorLines(Lines), (std::vector<std::string>{"listener failed", "listener failed"}));
    ASSERT_TRUE(Listener->Document);
    EXPECT_EQ(Listener->Document->GetChildCount(), 1);
}

TEST(CxMainFailures, ErrorWhileSerialisingIsLoggedThreeTimes) {
    TRkCorvaneXHTML Cx;
    std::vector<TLogLine> Lines;
    RecordLog(Cx, Lines);
    Cx.SetOnBeforeEncode([](TCxBase&, ISimpleDomTextNode&) { throw ECxError("encode failed"); });
    EXPECT_THROW(Cx.Convert("{\\rtf1 Hello}"), ECxError);
    EXPECT_EQ(ErrorLines(Lines), (std::vector<std::string>(3, "encode failed")));

    // The converter stays usable.
    Cx.SetOnBeforeEncode(nullptr);
    EXPECT_EQ(Cx.Convert("{\\rtf1 Hello}"), DefaultHead + "    <p>\r\n      Hello\r\n    </p>\r\n" + Closing);
}

} // namespace
} // namespace corvane
