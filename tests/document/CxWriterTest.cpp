#include "CxWriter.h"

#include "CxLanguage.h"
#include "DocumentFakes.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

class WriterTest : public ::testing::Test {
protected:
    void Write(std::string_view Text) {
        for (char c : Text)
            Writer.WriteChar(static_cast<std::uint8_t>(c));
    }
    TParagraphNode& Paragraph(int Index = -1) {
        TSimpleDomDocument& document = *Writer.Document();
        return NodeCast<TParagraphNode>(document.GetChild(Index < 0 ? document.GetChildCount() - 1 : Index));
    }
    TTextNode& Run(int Index, int ParagraphIndex = -1) {
        return NodeCast<TTextNode>(Paragraph(ParagraphIndex).GetChild(Index));
    }
    int RunCount() { return Paragraph().GetChildCount(); }

    fakes::TFakeWriterOptions Options;
    std::vector<std::int32_t> Charsets;
    TCxWriter Writer{Options, std::make_unique<fakes::TLatin1Converter>(&Charsets)};
};

TEST_F(WriterTest, StartsEmptyAndSplitsRunsOnlyOnRealChanges) {
    EXPECT_EQ(Writer.CharacterProperties(), TCharacterProperties());
    EXPECT_EQ(Charsets, std::vector<std::int32_t>{0});
    Write("a");
    Writer.SetFontStyle(0); // restating the value in force
    Writer.SetFontStyle(fsBold);
    Writer.SetFontStyle(0); // back again before any text: the same empty run is reused
    Write("b");
    ASSERT_EQ(RunCount(), 2);
    EXPECT_EQ(Run(0).GetText(), "a");
    EXPECT_EQ(Run(1).GetText(), "b");
    EXPECT_EQ(Run(0).GetCharacterProperties(), Run(1).GetCharacterProperties());
}

TEST_F(WriterTest, GroupEndRestoresThroughTheSettersAndStartsARun) {
    TCharacterProperties saved = Writer.CloneCharacterProperties();
    Writer.SetFontStyle(fsBold);
    Writer.SetFontName("Arial");
    Write("bold");
    Writer.SetCharacterProperties(saved);
    Write(" plain");
    ASSERT_EQ(RunCount(), 2);
    EXPECT_EQ(Run(0).GetText(), "bold");
    EXPECT_TRUE(Run(0).GetCharacterProperties().IsBold());
    EXPECT_EQ(Run(1).GetText(), " plain");
    EXPECT_EQ(Run(1).GetCharacterProperties(), saved);

    // A property whose option is off is neither set nor restored.
    Options.FontOptions.Exclude(opFontSize);
    Writer.SetFontSize(20);
    TCharacterProperties big = saved;
    big.FontSize = 20;
    Writer.SetCharacterProperties(big);
    EXPECT_EQ(RunCount(), 2);
    EXPECT_EQ(Writer.CharacterProperties().FontSize, 0);
}

TEST_F(WriterTest, ParagraphMarkInsideAGroupTakesTheInnerProperties) {
    Write("outer");
    TParagraphProperties saved = Writer.CloneParagraphProperties();
    Writer.SetAlignment(2);
    Writer.SetListStyle(11);
    Writer.SetListItem(true);
    Write("inner\n");
    Writer.SetParagraphProperties(saved);
    EXPECT_EQ(Paragraph().GetParagraphProperties().Alignment, 2); // the node is left as it was
    EXPECT_EQ(Writer.GetListStyle(), 11);                         // the list style outlives the group
    EXPECT_FALSE(Writer.GetListItem());
    Writer.SetLeftIndent(300);
    EXPECT_EQ(Paragraph().GetParagraphProperties().Alignment, 0);
    EXPECT_EQ(Paragraph().GetParagraphProperties().LeftIndent, 300);
    EXPECT_EQ(Paragraph(0).GetParagraphProperties().Alignment, 2);

    Writer.SetNumbering(true);
    Writer.SetParagraphRightToLeft(true);
    Writer.ResetParagraphProperties();
    TParagraphProperties expected;
    expected.RightToLeft = true;
    EXPECT_EQ(Paragraph().GetParagraphProperties(), expected);
    EXPECT_FALSE(Writer.GetNumbering());
}

TEST_F(WriterTest, TabIsARawRunWithoutFontName) {
    Writer.SetFontName("Arial");
    Writer.SetFontStyle(fsItalic);
    Write("a\tb");
    Options.TabString = "";
    Write("\t<");
    ASSERT_EQ(RunCount(), 4);
    EXPECT_EQ(Run(1).GetText(), "&nbsp;&nbsp;");
    EXPECT_TRUE(Run(1).GetRaw());
    EXPECT_EQ(Run(1).GetCharacterProperties().FontName, "");
    EXPECT_TRUE(Run(1).GetCharacterProperties().IsItalic());
    EXPECT_EQ(Run(2).GetText(), "b");
    // An empty tab text still ends the run but leaves no raw run for the next text to join.
    EXPECT_EQ(Run(3).GetText(), "<");
    EXPECT_FALSE(Run(3).GetRaw());
    EXPECT_EQ(Run(3).GetCharacterProperties(), Writer.CharacterProperties());
}

TEST_F(WriterTest, CharactersAreFilteredAndDecoded) {
    Write(std::string("a\0b\x0c"
                      "c\r\xe9",
                      7));
    EXPECT_EQ(Run(0).GetText(), "abc\r\xc3\xa9");
    Writer.SetFontCharset(238);
    Writer.SetFontCharset(238);
    EXPECT_EQ(Charsets, (std::vector<std::int32_t>{0, 238}));
    EXPECT_EQ(RunCount(), 1); // the charset starts no run
}

TEST_F(WriterTest, HiddenTextIsDroppedAndEndsWithItsGroup) {
    Write("a");
    TCharacterProperties outer = Writer.CloneCharacterProperties();
    Writer.SetHidden(true);
    Write("x");
    Writer.GetDocument()->AppendText("u"); // text put in directly is not hidden
    TCharacterProperties inner = Writer.CloneCharacterProperties();
    Writer.SetHidden(false); // \v0 ends it at once
    Write("b");
    Writer.SetCharacterProperties(inner);
    Write("y");
    Writer.SetCharacterProperties(outer);
    Write("c");
    Writer.SetHidden(true);
    Writer.ResetCharacterProperties(); // \plain ends it too
    Write("d");
    EXPECT_EQ(Run(0).GetText(), "aubc");
    EXPECT_EQ(Run(1).GetText(), "d");
}

TEST_F(WriterTest, ResetAppliesTheDefaultsThroughTheGates) {
    Writer.SetDefaultCharset(77);
    Writer.SetRightToLeft(true);
    Writer.SetBackgroundColor("#ff0000");
    Writer.SetFontSize(30);
    Writer.SetSuperscript(true);
    Writer.SetSubscript(true);
    EXPECT_TRUE(Writer.GetSubscript());
    Writer.SetSuperscript(false); // subscript is not superscript: nothing changes
    EXPECT_TRUE(Writer.GetSubscript());
    Options.FontOptions.Exclude(opFontSize);
    Options.FontOptions.Exclude(opFontBGColor);
    Writer.ResetCharacterProperties();
    const TCharacterProperties& props = Writer.CharacterProperties();
    EXPECT_EQ(props.BackgroundColor, "#ff0000");
    EXPECT_EQ(props.FontSize, 30);
    EXPECT_EQ(props.FontName, "Times,serif");
    EXPECT_EQ(props.FontColor, "#000000");
    EXPECT_EQ(props.Charset, 77);
    EXPECT_EQ(props.VerticalPosition, 0);
    EXPECT_TRUE(props.RightToLeft);
    EXPECT_EQ(Charsets.back(), 77);
}

TEST_F(WriterTest, LanguageIsEmptyForTheDocumentLanguage) {
    Writer.SetLanguage("de"); // ConvertLanguage off
    EXPECT_EQ(Writer.CharacterProperties().Language, "");
    Options.ConvertLanguage = true;
    Options.DefaultLanguage = "en";
    Write("a");
    Writer.SetLanguage(LanguageCode(1033));
    EXPECT_EQ(RunCount(), 1);
    Writer.SetLanguage(LanguageCode(1031));
    EXPECT_EQ(Run(1).GetCharacterProperties().Language, "de");
    Write("b");
    Writer.SetLanguage(LanguageCode(99999));
    EXPECT_EQ(Writer.CharacterProperties().Language, "");
    EXPECT_EQ(RunCount(), 3);

    // Regional variants share the code of their language.
    EXPECT_EQ(LanguageCode(2052), "zh");
    EXPECT_EQ(LanguageCode(2057), "en");
    EXPECT_EQ(LanguageCode(-1033), "");
}

TEST_F(WriterTest, AnchorsFieldsAndListsGoWhereTheyBelong) {
    Write("a");
    Writer.SetAnchor("top");
    Writer.SetFieldInstruction("HYPERLINK \"x\"");
    EXPECT_EQ(RunCount(), 1);
    EXPECT_EQ(Run(0).GetAnchor(), "top");
    EXPECT_EQ(Run(0).GetFieldInstruction(), "HYPERLINK \"x\"");

    Writer.AddListTable();
    Writer.AddListLevel();
    Writer.SetLevelNumberFormat(23);
    Writer.SetListId(9);
    Writer.AddListOverride();
    Writer.SetListOverrideListId(9);
    Writer.SetListOverrideNumber(1);
    EXPECT_TRUE(Writer.IsBulletList(1));
    EXPECT_FALSE(Writer.IsBulletList(2));
}

} // namespace
} // namespace corvane
