// The document writer driven by the real reader: RTF snippets in, assertions on the tree they build.
#include "CxWriter.h"
#include "CorvaneXHTML.h"
#include "CxLanguage.h"
#include "CxReader.h"
#include "CxUnicode.h"

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
    const TCharacterProperties& Props(int ParagraphIndex, int RunIndex) const {
        return Run(ParagraphIndex, RunIndex).GetCharacterProperties();
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

void Exclude(TRkCorvaneXHTML& Owner, std::initializer_list<TFontOption> Options) {
    TFontConversionOptions Kept = TFontConversionOptions::All();
    for (TFontOption Option : Options)
        Kept.Exclude(Option);
    Owner.SetFontConversionOptions(Kept);
}

TEST(WriterTree, RunsSplitOnlyOnRealChanges) {
    // \b\b0 between two characters: one new run, made plain again and reused.
    const TTree toggled = Read("{\\rtf1 a\\b\\b0 b}");
    EXPECT_EQ(toggled.Runs(0), "a|b");
    EXPECT_EQ(toggled.Props(0, 0), toggled.Props(0, 1));

    // Text with unchanged properties joins the run in force; so does a change of charset alone.
    EXPECT_EQ(Read("{\\rtf1 a{\\b0 b}c}").Runs(0), "abc");
    EXPECT_EQ(Read("{\\rtf1{\\fonttbl{\\f0\\fcharset0 F;}{\\f1\\fcharset238 F;}}\\f0 a\\f1 b}").Runs(0),
              "ab");
}

TEST(WriterTree, ParagraphPropertiesAndTheirReset) {
    // A paragraph mark inside a group: the new paragraph takes the inner properties, and the group's end
    // leaves its node as it is until the next paragraph property changes it.
    const TTree tree = Read("{\\rtf1 a{\\qc b\\par}c}");
    ASSERT_EQ(tree.Document->GetChildCount(), 2);
    EXPECT_EQ(tree.Runs(1), "c");
    EXPECT_EQ(tree.Paragraph(1).GetParagraphProperties().Alignment, 2);
    const TTree changed = Read("{\\rtf1 a{\\qc b\\par}c\\sb120}");
    EXPECT_EQ(changed.Paragraph(1).GetParagraphProperties().Alignment, 0);
    EXPECT_EQ(changed.Paragraph(1).GetParagraphProperties().SpaceBefore, 120);
    EXPECT_EQ(changed.Paragraph(0).GetParagraphProperties().Alignment, 2);

    // \pard resets everything but the direction.
    const TTree reset = Read("{\\rtf1\\rtlpar\\qc\\sb120 a\\par\\pard b}");
    EXPECT_EQ(reset.Paragraph(0).GetParagraphProperties().Alignment, 2);
    TParagraphProperties RightToLeft;
    RightToLeft.RightToLeft = true;
    EXPECT_EQ(reset.Paragraph(1).GetParagraphProperties(), RightToLeft);
}

TEST(WriterTree, TabsAreRawRunsWithoutAFont) {
    const TTree tree = Read("{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}\\f0\\i a\\tab b}");
    EXPECT_EQ(tree.Runs(0), "a|&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;|b");
    EXPECT_TRUE(tree.Run(0, 1).GetRaw());
    EXPECT_EQ(tree.Props(0, 1).FontName, "");
    EXPECT_TRUE(tree.Props(0, 1).IsItalic());
    EXPECT_EQ(tree.Props(0, 2).FontName, "Arial,Helvetica,sans-serif");

    // An empty tab text still ends the run but leaves no raw run for the next text to join.
    const TTree empty = Read("{\\rtf1 a\\tab <}", [](TRkCorvaneXHTML& Owner) { Owner.SetTabString(""); });
    EXPECT_EQ(empty.Runs(0), "a|<");
    EXPECT_FALSE(empty.Run(0, 1).GetRaw());
    EXPECT_EQ(empty.Props(0, 1), empty.Props(0, 0));
}

// Control characters are dropped (decoding in the font's charset is converted end to end in CxCorpus);
// hidden text is dropped until its group ends.
TEST(WriterTree, ControlCharactersAndHiddenTextAreDropped) {
    EXPECT_EQ(Read("{\\rtf1 a\\'00b\\'0cc\\'0d\\'e9}").Runs(0), "abc\r\xC3\xA9");
    EXPECT_EQ(Read("{\\rtf1 a{\\v hidden}b\\v c\\v0 d}").Runs(0), "abd");
    // \v0 ends it at once; the group end brings it back; text the reader puts in directly is not hidden.
    EXPECT_EQ(Read("{\\rtf1 a{\\v x\\bullet{\\v0 b}y}c}").Runs(0), "a\xC2\xB7"
                                                                   "bc");
    // \plain ends it too.
    EXPECT_EQ(Read("{\\rtf1 a\\v b\\plain c}").Runs(0), "a|c");
}

TEST(WriterTree, PlainResetsOnlyWhatTheOptionsLetThrough) {
    const std::string rtf =
        "{\\rtf1\\mac{\\colortbl;\\red255\\green0\\blue0;}\\rtlch\\cb1\\fs40\\b\\sub a\\plain b}";
    // The defaults and the document's charset; the direction is not reset.
    TCharacterProperties Plain;
    Plain.FontSize = 12;
    Plain.FontName = "Times,serif";
    Plain.FontColor = "#000000";
    Plain.Charset = 77;
    Plain.RightToLeft = true;
    EXPECT_EQ(Read(rtf).Props(0, 1), Plain);

    const TTree gated = Read(rtf, [](TRkCorvaneXHTML& Owner) {
        Exclude(Owner, {opFontSize, opFontStyle, opFontBGColor});
    });
    EXPECT_EQ(gated.Runs(0), "a|b") << "the font name and colour still change";
    EXPECT_EQ(gated.Props(0, 1).FontSize, 0);
    EXPECT_EQ(gated.Props(0, 1).BackgroundColor, "");
    EXPECT_FALSE(gated.Props(0, 0).IsBold());
}

// A group's end restores, through the options, what its words changed, and starts a run only for a change.
TEST(WriterTree, GroupEndsRestoreOnlyWhatTheOptionsLetThrough) {
    const std::string rtf = "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}a{\\cf1\\b\\fs40\\sub b}c{\\b d}e}";
    const struct {
        std::initializer_list<TFontOption> Excluded;
        const char* Runs;
    } Cases[] = {
        {{}, "a|b|c|d|e"},
        {{opFontColor, opFontStyle, opFontSize}, "a|b|cde"}, // the subscript still changes
        {{opFontStyle}, "a|b|cde"},
    };
    for (const auto& Case : Cases) {
        const TTree tree = Read(rtf, [&](TRkCorvaneXHTML& Owner) { Exclude(Owner, Case.Excluded); });
        EXPECT_EQ(tree.Runs(0), Case.Runs);
        EXPECT_EQ(tree.Props(0, 0), tree.Props(0, 2)) << Case.Runs;
    }
}

TEST(WriterTree, LanguageCodesAgainstTheDocumentLanguage) {
    EXPECT_EQ(Read("{\\rtf1\\lang1031 a}").Props(0, 0).Language, "") << "ConvertLanguage is off";
    const TTree tree = Read("{\\rtf1 x\\lang1033 a\\lang1031 b\\lang99999 c}", [](TRkCorvaneXHTML& Owner) {
        Owner.SetConvertLanguage(true);
        Owner.SetDefaultLanguage("en");
    });
    // The code is compared with the stored (empty) value, so the document language starts a run too.
    EXPECT_EQ(tree.Runs(0), "x|a|b|c");
    EXPECT_EQ(tree.Props(0, 1).Language, "");
    EXPECT_EQ(tree.Props(0, 2).Language, "de");
    EXPECT_EQ(tree.Props(0, 3).Language, "");

    // Regional variants share the code of their language.
    EXPECT_EQ(LanguageCode(2052), "zh");
    EXPECT_EQ(LanguageCode(2057), "en");
    EXPECT_EQ(LanguageCode(-1033), "");
}

} // namespace
} // namespace corvane
