#include "CxListNumbering.h"
#include "CxListMarkup.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(ListNumbering, MarkersInEachFormat) {
    const struct {
        std::int32_t Format, Number;
        const char* Marker;
    } Cases[] = {
        {0, 12, "12"},     {1, 14, "XIV"},     {2, 1994, "mcmxciv"}, {3, 28, "AB"}, {4, 26, "z"},
        {4, 27, "aa"},     {4, 702, "zz"},     {4, 703, "aaa"},      {2, 0, "0"},   {1, 4000, "4000"},
        {23, 5, "\u2022"}, {255, 1, "\u2022"}, {22, 7, "7"},         {47, 3, "3"},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(FormatListNumber(Case.Format, Case.Number), Case.Marker)
            << Case.Format << " " << Case.Number;
}

TEST(ListNumbering, ItemsTakeTheirLevelFromTheListOrTheOldStyleGroup) {
    TListHeaderInfo Lists;
    Lists.AddList();
    for (std::int32_t Format : {1, 4, 23}) {
        Lists.AddLevel();
        Lists.SetLevelNumberFormat(Format);
        Lists.SetLevelStartAt(Format == 4 ? 3 : 1);
    }
    Lists.SetListId(5);
    Lists.AddOverride();
    Lists.SetOverrideListId(5);
    Lists.SetOverrideNumber(1);

    const auto Item = [&](std::int32_t Override, std::int32_t Level, std::uint8_t Style, std::int32_t Format,
                          std::int32_t Start) {
        TParagraphProperties Properties;
        Properties.ListItem = true;
        Properties.ListOverride = Override;
        Properties.ListLevel = Level;
        Properties.ListStyle = Style;
        Properties.ListFormat = Format;
        Properties.ListStart = Start;
        const TListItem Result = ResolveListItem(Properties, &Lists);
        return std::to_string(Result.Key) + "/" + std::to_string(Result.Level) + "/" +
               std::to_string(Result.Format) + "/" + std::to_string(Result.Start);
    };
    EXPECT_EQ(Item(1, 0, 11, -1, 0), "1/0/1/1"); // the level's own format, not the list's last
    EXPECT_EQ(Item(1, 1, 11, -1, 0), "1/1/4/3");
    EXPECT_EQ(Item(1, 12, 11, -1, 0), "1/8/23/1"); // an undefined level: the list's bullet
    EXPECT_EQ(Item(9, 0, 0, -1, 0), "9/0/0/1");    // an unknown override numbers
    EXPECT_EQ(Item(0, 0, 3, 2, 4), "0/2/2/4");     // \pnlvl3\pnlcrm\pnstart4
    EXPECT_EQ(Item(0, 0, 11, 0, 0), "0/0/23/1");   // \pnlvlblt
    EXPECT_EQ(Item(0, 0, 10, -1, 0), "0/0/0/1");   // \pnlvlbody
}

TEST(ListNumbering, CountersContinueAndRestartDeeperLevels) {
    TListCounter Counter;
    const TListItem Top{0, 1, 0, 3}, Second{1, 1, 4, 1}, Other{0, 2, 0, 1}, Old{0, 0, 0, 5};
    std::string Numbers;
    for (const TListItem* Item : {&Top, &Second, &Second, &Other, &Top, &Second, &Old, &Old})
        Numbers += std::to_string(Counter.Next(*Item)) + " ";
    Counter.EndOldStyle();
    Numbers += std::to_string(Counter.Peek(Old)) + " " + std::to_string(Counter.Peek(Top));
    EXPECT_EQ(Numbers, "3 1 2 1 4 1 5 6 5 5");

    // Old-style bullets, then numbers in the same run of paragraphs: the numbers start at their own start.
    const TListItem Bullet{0, 0, BulletFormat, 1}, Decimal{0, 0, 0, 1};
    Numbers.clear();
    for (const TListItem* Item : {&Bullet, &Bullet, &Decimal, &Decimal}) {
        Numbers += std::to_string(Counter.Peek(*Item)) + "/";
        Numbers += std::to_string(Counter.Next(*Item)) + " ";
    }
    EXPECT_EQ(Numbers, "1/1 2/2 1/1 2/2 ");
}

TEST(ListMarkup, StartTagsInEachWayOfWriting) {
    const struct {
        TListMarkup Markup;
        const char *Bullet, *Letters, *Decimal, *FirstItem;
    } Cases[] = {
        {lmAttributes, "<ul>", "<ol type=\"a\" start=\"3\">", "<ol>", ""},
        {lmStyle, "<ul>", "<ol style=\"list-style-type:lower-alpha\">", "<ol>",
         "counter-increment:list-item 3"},
        {lmStyleStart, "<ul>", "<ol style=\"list-style-type:lower-alpha\" start=\"3\">", "<ol>", ""},
        {lmPlain, "<ul>", "<ol>", "<ol>", ""},
    };
    for (const auto& Case : Cases) {
        EXPECT_EQ(BuildListStart(Case.Markup, 23, 4), Case.Bullet) << int(Case.Markup);
        EXPECT_EQ(BuildListStart(Case.Markup, 4, 3), Case.Letters) << int(Case.Markup);
        EXPECT_EQ(BuildListStart(Case.Markup, 0, 1), Case.Decimal) << int(Case.Markup);
        EXPECT_EQ(BuildFirstItemStyle(Case.Markup, 4, 3), Case.FirstItem) << int(Case.Markup);
        // A bullet list and a list from 1 need nothing on the item.
        EXPECT_EQ(BuildFirstItemStyle(Case.Markup, 23, 3) + BuildFirstItemStyle(Case.Markup, 0, 1), "");
    }
}

} // namespace
} // namespace corvane
