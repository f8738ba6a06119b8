#include "RichTextRtfWriter.h"

#include "CorvaneXHTML.h"

#include <gtest/gtest.h>

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextList>

#include <algorithm>

namespace corvane {
namespace {

std::string ToBody(const std::string& Rtf) {
    TRkCorvaneXHTML Converter;
    Converter.OptionsHead().SetAddOuterHTML(false);
    std::string Log;
    Converter.SetLogLevel(logWarning);
    Converter.SetOnLog([&Log](TCxBase&, TLogLevel, const std::string& Text) { Log += Text + "\n"; });
    std::string Html = Converter.Convert(Rtf);
    EXPECT_EQ(Log, "") << "the RTF must read without complaints";
    return Html;
}

// Paragraph formats and both kinds of list with the text around them. Each character format and the
// alignments survive the editor path in the window's test of the sample (SampleSurvivesTheEditorPath).
TEST(RichTextRtfWriter, ParagraphsAndListsRoundTripThroughTheConverter) {
    QTextDocument Empty;
    const std::string EmptyRtf = TRichTextRtfWriter::Write(Empty);
    EXPECT_EQ(EmptyRtf.find("\\par\r\n"), std::string::npos) << EmptyRtf;
    EXPECT_EQ(ToBody(EmptyRtf), "");

    QTextDocument Document;
    Document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    QTextCursor Cursor(&Document);
    QTextBlockFormat Indented;
    Indented.setLeftMargin(20);
    Indented.setTextIndent(-10);
    Indented.setAlignment(Qt::AlignJustify);
    Cursor.setBlockFormat(Indented);
    Cursor.insertText(QString::fromUtf8("Grüße aus Köln"));
    Cursor.insertBlock(QTextBlockFormat());
    Cursor.createList(QTextListFormat::ListDisc);
    Cursor.insertText("first point");
    Cursor.insertBlock();
    Cursor.insertText("second point");
    Cursor.insertBlock(QTextBlockFormat());
    Cursor.insertText("between");
    Cursor.insertBlock(QTextBlockFormat());
    Cursor.createList(QTextListFormat::ListDecimal);
    Cursor.insertText("one");
    Cursor.insertBlock();
    Cursor.insertText("two");
    Cursor.insertBlock(QTextBlockFormat()); // the empty last block the cursor rests in

    const std::string Rtf = TRichTextRtfWriter::Write(Document);
    EXPECT_TRUE(std::all_of(Rtf.begin(), Rtf.end(), [](char C) {
        return static_cast<unsigned char>(C) < 0x80;
    })) << "RTF is 7-bit text";
    EXPECT_NE(Rtf.find("\\pard\\qj\\li300\\fi-150{"), std::string::npos) << Rtf;
    EXPECT_NE(Rtf.find("{\\pntext 2.\\tab}"), std::string::npos) << Rtf;

    const std::string Html = ToBody(Rtf);
    const std::size_t Bullets = Html.find("<ul>");
    const std::size_t Numbers = Html.find("<ol>");
    EXPECT_LT(Html.find(">Grüße aus Köln<"), Bullets) << Html;
    EXPECT_LT(Bullets, Html.find("second point"));
    EXPECT_LT(Html.find("second point"), Html.find("</ul>"));
    EXPECT_LT(Html.find("</ul>"), Html.find("between"));
    EXPECT_LT(Html.find("between"), Numbers);
    EXPECT_LT(Numbers, Html.find(">two<"));
    EXPECT_EQ(Html.find("<li>\r\n        <span style=\"font-family:'DejaVu Sans';\"> </span>"),
              std::string::npos)
        << "no stray blank in front of a list item";
}

TEST(RichTextRtfWriter, EscapesTextAndFontNamesAndWritesUnicodeAsSignedUnits) {
    QTextDocument Document;
    Document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    QTextCursor Cursor(&Document);
    Cursor.insertText(QString::fromUtf8("a{b}c\\d\tTab\u2028next line \u20ac \U0001F600 end"));
    QTextCharFormat Odd; // a font name that would break the font table as it is
    Odd.setFontFamilies({QStringLiteral("We{ir}d;Font")});
    Cursor.insertText("odd", Odd);
    const std::string Rtf = TRichTextRtfWriter::Write(Document);
    EXPECT_NE(Rtf.find("{\\fonttbl{\\f0\\fnil DejaVu Sans;}{\\f1\\fnil WeirdFont;}}"), std::string::npos)
        << Rtf;
    EXPECT_NE(Rtf.find("a\\{b\\}c\\\\d\\tab Tab\\line next line \\u8364? \\u-10179?\\u-8704? end"),
              std::string::npos)
        << Rtf;

    const std::string Html = ToBody(Rtf);
    EXPECT_NE(Html.find("a{b}c\\d"), std::string::npos) << Html;
    EXPECT_NE(Html.find("next line \xE2\x82\xAC \xF0\x9F\x98\x80 end"), std::string::npos) << Html;
    EXPECT_NE(Html.find("Tab</span><br"), std::string::npos)
        << "the line break stays inside the paragraph: " << Html;
}

} // namespace
} // namespace corvane
