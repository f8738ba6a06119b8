// RTF snippets through the real reader and document writer, with assertions on the tree they build.
#include "CorvaneXHTML.h"
#include "CxReader.h"
#include "CxUnicode.h"
#include "CxWriter.h"

#include <gtest/gtest.h>

#include <functional>

namespace corvane {
namespace {

struct TTree {
    std::shared_ptr<ISimpleDomDocument> Document;

    ISimpleDomParagraphNode& Paragraph(int Index) const {
        return dynamic_cast<ISimpleDomParagraphNode&>(*Document->GetChild(Index));
    }
    ISimpleDomTextNode& Run(int ParagraphIndex, int RunIndex) const {
        return dynamic_cast<ISimpleDomTextNode&>(*Paragraph(ParagraphIndex).GetChild(RunIndex));
    }
    // The texts of a paragraph's runs, empty runs included, joined with "|".
    std::string Runs(int ParagraphIndex) const {
        std::string Joined;
        for (int i = 0; i < Paragraph(ParagraphIndex).GetChildCount(); ++i)
            Joined += (i ? "|" : "") + Run(ParagraphIndex, i).GetText();
        return Joined;
    }
};

TTree Read(const std::string& Rtf, const std::function<void(TRkCorvaneXHTML&)>& Setup = {}) {
    TRkCorvaneXHTML Owner;
    if (Setup) Setup(Owner);
    auto Writer = std::make_shared<TCxWriter>(Owner, std::make_unique<TUnicodeConverter>());
    TCxReader Reader(Owner, Writer, std::make_unique<TUnicodeConverter>());
    Reader.Parse(Rtf);
    return {Writer->GetDocument()};
}

TEST(ReaderWriterTree, RunsSplitOnlyOnRealChanges) {
    // \b\b0 between two characters: one new run, made plain again and reused.
    const TTree toggled = Read("{\\rtf1 a\\b\\b0 b}");
    EXPECT_EQ(toggled.Runs(0), "a|b");
    EXPECT_EQ(toggled.Run(0, 0).GetCharacterProperties(), toggled.Run(0, 1).GetCharacterProperties());

    // A group's end restores the formatting in a new run.
    const TTree grouped = Read("{\\rtf1 {\\b bold} plain}");
    EXPECT_EQ(grouped.Runs(0), "bold| plain");
    EXPECT_TRUE(grouped.Run(0, 0).GetCharacterProperties().IsBold());
    EXPECT_FALSE(grouped.Run(0, 1).GetCharacterProperties().IsBold());

    // Text with unchanged properties joins the run in force.
    EXPECT_EQ(Read("{\\rtf1 a{\\b0 b}c}").Runs(0), "abc");
}

TEST(ReaderWriterTree, ParagraphMarkInsideAGroupKeepsTheInnerProperties) {
    const TTree tree = Read("{\\rtf1 a{\\qc b\\par}c}");
    ASSERT_EQ(tree.Document->GetChildCount(), 2);
    EXPECT_EQ(tree.Runs(1), "c");
    EXPECT_EQ(tree.Paragraph(1).GetParagraphProperties().Alignment, 2) << "the group's end leaves the node";

    const TTree reset = Read("{\\rtf1\\qc\\sb120 a\\par\\pard b}");
    EXPECT_EQ(reset.Paragraph(0).GetParagraphProperties().Alignment, 2);
    EXPECT_EQ(reset.Paragraph(1).GetParagraphProperties(), TParagraphProperties());
}

TEST(ReaderWriterTree, TabsAreRawRunsWithoutAFont) {
    const TTree tree = Read("{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}\\f0 a\\tab b}");
    EXPECT_EQ(tree.Runs(0), "a|&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;|b");
    EXPECT_TRUE(tree.Run(0, 1).GetRaw());
    EXPECT_EQ(tree.Run(0, 1).GetCharacterProperties().FontName, "");
    EXPECT_EQ(tree.Run(0, 2).GetCharacterProperties().FontName, "Arial,Helvetica,sans-serif");
}

TEST(ReaderWriterTree, HiddenTextIsDroppedUntilItsGroupEnds) {
    EXPECT_EQ(Read("{\\rtf1 a{\\v hidden}b\\v c\\v0 d}").Runs(0), "abd");
    EXPECT_EQ(Read("{\\rtf1 a\\v b\\plain c}").Runs(0), "a|c");
}

TEST(ReaderWriterTree, TheFontsCharsetSelectsTheDecoding) {
    const TTree tree =
        Read("{\\rtf1{\\fonttbl{\\f0\\fcharset204 Cyr;}{\\f1\\fcharset128 Jp;}{\\f2\\fcharset0 We;}}"
             "\\f0\\'c0\\f1\\'82\\'a0\\f2\\'e9}");
    std::string text;
    for (int i = 0; i < tree.Paragraph(0).GetChildCount(); ++i)
        text += tree.Run(0, i).GetText();
    EXPECT_EQ(text, "\xD0\x90"     // U+0410 from code page 1251
                    "\xE3\x81\x82" // U+3042 from code page 932
                    "\xC3\xA9");   // U+00E9 from code page 1252
}

TEST(ReaderWriterTree, PlainResetsOnlyWhatTheOptionsLetThrough) {
    const std::string rtf = "{\\rtf1\\fs40\\b a\\plain b}";
    const TCharacterProperties all = Read(rtf).Run(0, 1).GetCharacterProperties();
    EXPECT_EQ(all.FontSize, 12);
    EXPECT_EQ(all.FontName, "Times,serif");
    EXPECT_EQ(all.FontColor, "#000000");
    EXPECT_FALSE(all.IsBold());

    const TTree gated = Read(rtf, [](TRkCorvaneXHTML& Owner) {
        TFontConversionOptions options = TFontConversionOptions::All();
        options.Exclude(opFontSize);
        options.Exclude(opFontStyle);
        Owner.SetFontConversionOptions(options);
    });
    EXPECT_EQ(gated.Runs(0), "a|b") << "the font name and colour still change";
    EXPECT_EQ(gated.Run(0, 1).GetCharacterProperties().FontSize, 0);
    EXPECT_FALSE(gated.Run(0, 0).GetCharacterProperties().IsBold());
}

TEST(ReaderWriterTree, LanguageCodesAgainstTheDocumentLanguage) {
    const TTree tree = Read("{\\rtf1\\lang1033 a\\lang1031 b\\lang99999 c}", [](TRkCorvaneXHTML& Owner) {
        Owner.SetConvertLanguage(true);
        Owner.SetDefaultLanguage("en");
    });
    EXPECT_EQ(tree.Runs(0), "a|b|c");
    EXPECT_EQ(tree.Run(0, 0).GetCharacterProperties().Language, "");
    EXPECT_EQ(tree.Run(0, 1).GetCharacterProperties().Language, "de");
    EXPECT_EQ(tree.Run(0, 2).GetCharacterProperties().Language, "");
}

} // namespace
} // namespace corvane
