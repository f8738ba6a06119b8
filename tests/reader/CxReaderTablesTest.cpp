#include "ReaderHarness.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace corvane::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(ReaderFontTable, EntriesBecomeQuotedNamesWithAGenericFamily) {
    TReaderHarness Harness;
    Harness.Parse(
        "{\\rtf1{\\fonttbl{\\f0\\froman\\fcharset0 Times New Roman;}{\\f1\\fswiss\\fcharset238 Arial;}"
        "{\\f2\\fscript Brush;}{\\f3\\fmodern Courier New;}{\\f4\\fdecor D;}{\\f5\\ftech T;}"
        "{\\f6\\fbidi B;}{\\f7\\fnil N;}}"
        "\\f1 a\\f0 b\\f2\\f3\\f4\\f5\\f6\\f7}");
    EXPECT_THAT(Harness.Calls("SetFont"),
                ElementsAre("SetFontName('Times New Roman',serif)", // after the table: the default font
                            "SetFontName(Arial,sans-serif)", "SetFontCharset(238)",
                            "SetFontName('Times New Roman',serif)", "SetFontCharset(0)",
                            "SetFontName(Brush,serif)", "SetFontCharset(0)", "SetFontName('Courier New')",
                            "SetFontCharset(0)", "SetFontName(D)", "SetFontCharset(0)", "SetFontName(T)",
                            "SetFontCharset(0)", "SetFontName(B)", "SetFontCharset(0)", "SetFontName(N)",
                            "SetFontCharset(0)"));
    EXPECT_THAT(Harness.Converter->CharsetsSet, ElementsAre(0, 238));
    EXPECT_THAT(Harness.Warnings(), IsEmpty());
}

TEST(ReaderFontTable, TheTableEndSetsTheDefaultFontAfterRestoring) {
    TReaderHarness Harness;
    Harness.Parse("{\\rtf1\\deff1{\\fonttbl{\\f0 Zero;}{\\f1 One;}}x}");
    // Each entry group restores the state when it closes; the table group then restores before the
    // default font is selected.
    EXPECT_THAT(Harness.Calls(),
                ElementsAre("SetCharacterProperties", "SetParagraphProperties", "SetCharacterProperties",
                            "SetParagraphProperties", "SetDefaultFontName(One)", "SetCharacterProperties",
                            "SetParagraphProperties", "SetFontName(One)", "Text(x)"));
}

TEST(ReaderFontTable, EntriesWithoutGroupsAndDuplicates) {
    TReaderHarness Single;
    Single.Parse("{\\rtf1{\\fonttbl\\f0\\fnil Courier;}\\f0}");
    EXPECT_THAT(Single.Calls("SetFontName"), ElementsAre("SetFontName(Courier)", "SetFontName(Courier)"));

    // Only the first name survives, under the last number and with the last family.
    TReaderHarness Several;
    Several.Parse("{\\rtf1\\deff1{\\fonttbl\\f0\\fnil Courier;\\f1\\fswiss Arial;}\\f1\\f0}");
    EXPECT_THAT(Several.Calls("SetFontName"),
                ElementsAre("SetFontName(Courier,sans-serif)", "SetFontName(Courier,sans-serif)",
                            "SetFontName(Times,serif)"));
    EXPECT_THAT(Several.Warnings(), ElementsAre("Font 0 not found"));

    // The first definition of a number wins.
    TReaderHarness Twice;
    Twice.Parse("{\\rtf1{\\fonttbl{\\f0 First;}{\\f0 Second;}}\\f0}");
    EXPECT_THAT(Twice.Calls("SetFontName"), ElementsAre("SetFontName(First)", "SetFontName(First)"));
}

TEST(ReaderFontTable, NamesAreCleaned) {
    TReaderHarness Harness;
    Harness.Parse("{\\rtf1{\\fonttbl{\\f0\\froman{\\*\\panose 02020603050405020304}{\\*\\falt Times}"
                  "Times New Roman;}{\\f1 \\tab  Padded \\'a0 ;trailing}{\\f2 Bad\\}Na\\{me;}"
                  "{\\f3 Caf\\'e9;}{\\f4 3of9;}{\\f5 *020b0604Arial;}{\\f6 -Dash_2;}{\\f7 -9;}}"
                  "\\f1\\f2\\f3\\f4\\f5\\f6\\f7}");
    // Only a name that is one CSS identifier stays unquoted; a browser drops a declaration with any other.
    EXPECT_THAT(Harness.Calls("SetFontName"),
                ElementsAre("SetFontName('Times New Roman',serif)", "SetFontName('Padded \xC2\xA0')",
                            "SetFontName(BadName)", "SetFontName(Caf\xC3\xA9)", "SetFontName('3of9')",
                            "SetFontName('*020b0604Arial')", "SetFontName(-Dash_2)", "SetFontName('-9')"));
}

TEST(ReaderFontTable, EmptyTablesAndEmptyNames) {
    for (const char* Rtf :
         {"{\\rtf1{\\fonttbl}\\f0 x}", "{\\rtf1{\\fonttbl{\\f0 ;}{\\f1\\froman   }}\\f0 x}"}) {
        TReaderHarness Harness;
        Harness.Owner.OptionsOptimize.SetDefaultFontName("Verdana");
        Harness.Parse(Rtf);
        EXPECT_THAT(Harness.Warnings(), ElementsAre("Font table is empty")) << Rtf;
        EXPECT_THAT(Harness.Calls("SetDefaultFontName"), ElementsAre("SetDefaultFontName(Verdana)")) << Rtf;
        // After the table, then for \f0: entry 0 exists, so no font is missing.
        EXPECT_THAT(Harness.Calls("SetFont"),
                    ElementsAre("SetFontName(Verdana)", "SetFontName(Verdana)", "SetFontCharset(0)"))
            << Rtf;
    }
}

TEST(ReaderFontTable, MissingFontsFallBack) {
    TReaderHarness Harness;
    Harness.Parse("{\\rtf1\\mac{\\fonttbl{\\f0\\fcharset128 Mincho;}}\\f9 x\\f0}");
    EXPECT_THAT(Harness.Warnings(), ElementsAre("Font 9 not found"));
    EXPECT_THAT(Harness.Calls("SetFont"),
                ElementsAre("SetFontName(Mincho)", "SetFontName(Times,serif)", "SetFontCharset(77)",
                            "SetFontName(Mincho)", "SetFontCharset(128)"));

    // No table at all: every \f is a missing font.
    TReaderHarness NoTable;
    NoTable.Parse("{\\rtf1\\f2 x}");
    EXPECT_THAT(NoTable.Warnings(), ElementsAre("Font 2 not found"));
}

TEST(ReaderFontTable, CharsetReachesTheNameConverter) {
    TReaderHarness Harness;
    Harness.Parse("{\\rtf1{\\fonttbl{\\f0\\fcharset128 \\'82\\'6c\\'82\\'72;}{\\f1 A;}}}");
    // Four name bytes and the ";" of the first entry, "A;" of the second.
    ASSERT_EQ(Harness.Converter->Bytes.size(), 7u);
    for (std::size_t Index = 0; Index < 5; ++Index)
        EXPECT_EQ(Harness.Converter->Bytes[Index].first, 128);
    EXPECT_EQ(Harness.Converter->Bytes[0].second, 0x82);
    EXPECT_EQ(Harness.Converter->Bytes[1].second, 0x6c);
    // The converter keeps the last charset across entries.
    EXPECT_EQ(Harness.Converter->Bytes[5], std::make_pair(128, std::uint8_t{'A'}));
}

TEST(ReaderFontTable, WithoutFontNamesEveryEntryIsNumberZero) {
    TReaderHarness Harness;
    Harness.Owner.FontConversionOptions.Exclude(opFontName);
    Harness.Parse("{\\rtf1{\\fonttbl{\\f0\\fcharset1 Zero;}{\\f1\\fcharset2 One;}}\\f1}");
    // Entry 1 was stored under 0, so \f1 finds no charset of its own.
    EXPECT_THAT(Harness.Calls("SetFontCharset"), ElementsAre("SetFontCharset(0)"));
    EXPECT_THAT(Harness.Calls("SetDefaultFontName"), ElementsAre("SetDefaultFontName(Zero)"));
}

TEST(ReaderColorTable, EntriesAndLookups) {
    TReaderHarness Harness;
    Harness.Owner.OptionsOptimize.SetDefaultFontColor("#123456");
    Harness.Parse(
        "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red300\\green5\\blue171 junk;\\blue1;}"
        "\\cf1\\cf2\\cf3\\cf0\\cf5\\cf-1\\cb0\\cb3\\chcbpat2\\cb9\\highlight1\\highlight0\\highlight4"
        "\\cbpat0\\cbpat1\\cbpat7}");
    EXPECT_THAT(Harness.CallsBesidesRestores("Set"),
                ElementsAre("SetFontColor(#ff0000)", "SetFontColor(#12c05ab)", "SetFontColor(#000001)",
                            "SetFontColor(#000000)", "SetFontColor(#123456)", "SetFontColor(#123456)",
                            "SetBackgroundColor()", "SetBackgroundColor(#000001)",
                            "SetBackgroundColor(#12c05ab)", "SetBackgroundColor()",
                            "SetHighlightColor(#ff0000)", "SetHighlightColor()", "SetHighlightColor()",
                            "SetParagraphColor(#000000)", "SetParagraphColor(#ff0000)",
                            "SetParagraphColor()"));
    EXPECT_THAT(Harness.Warnings(),
                ElementsAre("Color 5 not found", "Color -1 not found", "Color 9 not found",
                            "Color 4 not found", "Color 7 not found"));
}

TEST(ReaderColorTable, WithoutATable) {
    TReaderHarness Harness;
    Harness.Owner.OptionsOptimize.SetDefaultFontColor("#123456");
    Harness.Parse("{\\rtf1\\cf3\\cb2\\highlight1\\cbpat0}");
    EXPECT_THAT(Harness.Calls("Set"), ElementsAre("SetFontColor(#123456)", "SetBackgroundColor()",
                                                  "SetHighlightColor()", "SetParagraphColor()"));
    // Only the paragraph shading reports the missing entry.
    EXPECT_THAT(Harness.Warnings(), ElementsAre("Color 0 not found"));
}

TEST(ReaderColorTable, OptionsGateTheCharacterColours) {
    TReaderHarness Harness;
    Harness.Owner.FontConversionOptions = {opFontBGColor};
    Harness.Parse("{\\rtf1{\\colortbl;\\red1;}\\cf9\\cb1\\highlight9\\cbpat1}");
    EXPECT_THAT(Harness.CallsBesidesRestores("Set"),
                ElementsAre("SetBackgroundColor(#010000)", "SetParagraphColor(#010000)"));
    EXPECT_THAT(Harness.Warnings(), IsEmpty());
}

// A list table whose levels are bullets, an override pointing at it, and a list paragraph.
constexpr const char* ListDocument =
    "{\\rtf1{\\*\\listtable{\\list\\listtemplateid77\\listhybrid"
    "{\\listlevel\\levelnfc23\\levelstartat1{\\leveltext\\'01\\u-3913 ?;}{\\levelnumbers;}\\f3}"
    "{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}{\\listname ;}\\listid5}}"
    "{\\*\\listoverridetable{\\listoverride\\listid5\\listoverridecount0\\ls1}}"
    "\\pard{\\listtext\\f3\\'b7\\tab}\\ls1 text\\par}";

TEST(ReaderLists, TablesAndOverridesReachTheWriter) {
    TReaderHarness Harness;
    Harness.Writer->BulletLists = {1};
    Harness.Parse(ListDocument);
    // The list text group and the level texts contribute nothing.
    std::vector<std::string> Calls = Harness.CallsBesidesRestores("");
    ASSERT_GE(Calls.size(), 14u);
    Calls.resize(14);
    EXPECT_THAT(Calls, ElementsAre("AddListTable", "SetListTemplateId(77)", "AddListLevel",
                                   "SetLevelNumberFormat(23)", "AddListLevel", "SetLevelNumberFormat(0)",
                                   "SetListId(5)", "AddListOverride", "SetListOverrideListId(5)",
                                   "SetListOverrideNumber(1)", "ResetParagraphProperties", "SetListItem(1)",
                                   "IsBulletList(1)", "SetListStyle(11)"));
    EXPECT_EQ(Harness.Text(), "text\n");
    EXPECT_TRUE(Harness.Writer->Paragraph.ListItem);
    EXPECT_EQ(Harness.Writer->Paragraph.ListStyle, 11);

    // A numbered list keeps the list style the paragraph had.
    TReaderHarness Numbered;
    Numbered.Parse(ListDocument);
    EXPECT_THAT(Numbered.Calls("SetListStyle"), IsEmpty());
    EXPECT_TRUE(Numbered.Writer->Paragraph.ListItem);
}

TEST(ReaderLists, KeywordsActOnlyInTheirOwnDestination) {
    TReaderHarness Harness;
    Harness.Parse(
        "{\\rtf1{\\*\\listtable{\\list\\levelnfc23\\ls3{\\listlevel\\listid9\\ls4\\levelnfc2}}}"
        "{\\listoverridetable{\\listoverride\\listtemplateid8\\levelnfc1\\ls2}}\\listid1\\levelnfc23\\ls0}");
    EXPECT_THAT(Harness.CallsBesidesRestores("Set"),
                ElementsAre("SetLevelNumberFormat(2)", "SetListOverrideNumber(2)", "SetListItem(1)"));
    EXPECT_EQ(Harness.Writer->Count("IsBulletList(0)"), 1);
}

TEST(ReaderLists, OldStyleParagraphNumbering) {
    TReaderHarness Harness;
    Harness.Owner.ConvertIndent = true;
    Harness.Parse(
        "{\\rtf1\\pard a{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'b7}}\\li360 b\\par\\pard\\li360 c}");
    EXPECT_EQ(Harness.Text(), "ab\nc");
    EXPECT_THAT(Harness.Calls("Set"),
                ElementsAre("SetNumbering(1)", "SetListStyle(11)",
                            // the end of {\pntxtb ...} and of {\*\pn ...}: each restores a list item
                            "SetCharacterProperties", "SetParagraphProperties", "SetListItem(1)",
                            "SetCharacterProperties", "SetParagraphProperties", "SetListItem(1)",
                            // \li360 is ignored until \pard
                            "SetLeftIndent(360)"));
    EXPECT_FALSE(Harness.Writer->Numbering);

    TReaderHarness Levels;
    Levels.Parse("{\\rtf1{\\pn\\pnlvl3\\pnlvlbody\\pnlvlcont}\\pnlvl4}");
    EXPECT_THAT(Levels.Calls("Set"),
                ElementsAre("SetNumbering(1)", "SetListStyle(3)", "SetListStyle(10)", "SetNumbering(0)",
                            "SetCharacterProperties", "SetParagraphProperties"));
}

} // namespace
} // namespace corvane::test
