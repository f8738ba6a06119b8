#include "CorvaneXHTML.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace corvane {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::TTestFolder;
using Names = std::vector<std::string>;

TEST(CorvaneFiles, ConvertFileReplacesTheTargetWholeEvenThroughALink) {
    TTestFolder Folder;
    Folder.Write("in.rtf", "{\\rtf1 Hello}");
    TRkCorvaneXHTML Cx;
    Cx.OptionsHead().SetAddOuterHTML(false);
    Cx.ConvertFile(Folder / "in.rtf", Folder / "out.html");
    EXPECT_EQ(ReadFile(Folder / "out.html"), "    <p>\r\n      Hello\r\n    </p>\r\n");
    EXPECT_EQ(Cx.ConvertFromFile(Folder / "in.rtf"), ReadFile(Folder / "out.html"));

    // An existing file is replaced whole, never appended to; a link keeps pointing at it.
    fs::create_symlink(Folder / "out.html", Folder / "link.html");
    Folder.Write("in.rtf", "{\\rtf1 Hi}");
    Cx.ConvertFile(Folder / "in.rtf", Folder / "link.html");
    EXPECT_TRUE(fs::is_symlink(Folder / "link.html"));
    EXPECT_EQ(ReadFile(Folder / "out.html"), "    <p>\r\n      Hi\r\n    </p>\r\n");
    EXPECT_EQ(Folder.Files(), (Names{"in.rtf", "link.html", "out.html"}));
}

TEST(CorvaneFiles, FailuresLeaveNoFileAndTheOldTargetUntouched) {
    TTestFolder Folder;
    Folder.Write("in.rtf", "{\\rtf1 \\'zz}"); // not a hexadecimal character: the conversion fails
    Folder.Write("old.html", "previous result");
    TRkCorvaneXHTML Cx;
    EXPECT_THROW(Cx.ConvertFile(Folder / "in.rtf", Folder / "new.html"), ECxError);
    EXPECT_THROW(Cx.ConvertFile(Folder / "in.rtf", Folder / "old.html"), ECxError);
    EXPECT_EQ(ReadFile(Folder / "old.html"), "previous result");

    Folder.Write("in.rtf", "{\\rtf1 Hello}");
    EXPECT_THROW(Cx.ConvertFromFile(Folder / "missing.rtf"), ECxError);
    EXPECT_THROW(Cx.ConvertFile(Folder / "in.rtf", Folder / "no-such-folder/out.html"), ECxError);
    // A folder in the way of the output: the write succeeds, the final rename fails.
    fs::create_directory(Folder / "taken");
    Folder.Write("taken/inside", "x");
    EXPECT_THROW(Cx.ConvertFile(Folder / "in.rtf", Folder / "taken"), ECxError);
    EXPECT_EQ(Folder.Files(), (Names{"in.rtf", "old.html", "taken"}));
}

// A mail body gives its own HTML only when it carries some; what no HTML may hold is removed.
TEST(CorvaneEncapsulatedHtml, OnlyAMailBodyWithTagsGivesItsOwnHtml) {
    const std::string Ordinary = "    <p>\r\n      hello\r\n    </p>\r\n";
    const struct {
        const char* Rtf;
        bool Extract;
        std::string Expected;
    } Cases[] = {
        {"{\\rtf1\\fromhtml1 {\\*\\htmltag <b>}hello{\\*\\htmltag </b>}}", true, "<b>hello</b>"},
        {"{\\rtf1\\fromhtml1 {\\*\\htmltag <b>}hello{\\*\\htmltag </b>}}", false, Ordinary},
        {"{\\rtf1\\fromhtml1 hello\\par}", true, Ordinary},
        {"{\\rtf1\\fromtext {\\*\\htmltag <b>}hello}", true, Ordinary},
        // Control characters and U+FFFE go; an \\htmlrtf left open hides the rest of the text, not the tags.
        {"{\\rtf1\\fromhtml1 {\\*\\htmltag <i>}a\\'01\\u-2?b{\\*\\htmltag <br>\\par\\'00}\\htmlrtf x"
         "{\\*\\htmltag </i>}y}",
         true, "<i>ab<br>\r\n</i>"},
        // Each group's close brings back the character set the mail's text decodes with, whether the group
        // changed the font itself, only held text, or held groups that changed it.
        {"{\\rtf1\\ansi\\fromhtml1 {\\fonttbl{\\f0\\fcharset0 A;}{\\f1\\fcharset161 G;}{\\f2\\fcharset204 C;}}"
         "{\\*\\htmltag <p>}\\f1 \\'e1{ \\'e2}{\\f2 \\'e3{ \\'e4}}\\'e5{\\loch \\'e6}{{\\'e7}}\\f0 \\'e8"
         "{\\f2{\\'e9}\\'ea}\\'eb}",
         true, "<p>α βг дεζηèйкë"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Rtf);
        TRkCorvaneXHTML Cx;
        Cx.OptionsHead().SetAddOuterHTML(false);
        Cx.SetExtractEncapsulatedHtml(Case.Extract);
        EXPECT_EQ(Cx.Convert(Case.Rtf), Case.Expected);
    }
}

// A stream that cannot tell its position, like a pipe.
class TUnseekableBuffer : public std::streambuf {
protected:
    int_type underflow() override { return traits_type::eof(); }
};

TEST(CorvaneStreams, StreamToStringReadsTheRestOfASeekableStream) {
    std::istringstream Stream("0123456789");
    Stream.seekg(4);
    EXPECT_EQ(StreamToString(Stream), "456789");
    std::istringstream Empty("");
    EXPECT_EQ(StreamToString(Empty), "");

    TUnseekableBuffer Buffer;
    std::istream Unseekable(&Buffer);
    try {
        StreamToString(Unseekable);
        FAIL() << "no exception";
    } catch (const ECxError& E) {
        EXPECT_STREQ(E.what(), "Stream size error");
    }
}

} // namespace
} // namespace corvane
