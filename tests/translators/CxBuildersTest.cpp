#include "CxFormatter.h"
#include "CxMarginBuilder.h"

#include <gtest/gtest.h>

#include <memory>

namespace corvane {
namespace {

TEST(MarginBuilder, RepeatsTheUnitPerLevelAndNonPositiveWidthsEmptyIt) {
    TMarginBuilder margins;
    EXPECT_EQ(margins.GetMargin(3), "      ");
    EXPECT_EQ(margins.GetMargin(-1), "");
    margins.SetMarginWidth(4);
    EXPECT_EQ(margins.GetMargin(2), std::string(8, ' '));
    margins.SetMarginWidth(-3);
    EXPECT_EQ(margins.GetMargin(2), "");
}

// The level moves before the line is formatted; below zero it indents nothing; the unit is the shared
// builder's at the moment of use.
TEST(Formatter, LevelsLineBreaksAndTheSharedMarginBuilder) {
    auto margins = std::make_shared<TMarginBuilder>();
    TCxFormatter formatter(margins);
    EXPECT_EQ(formatter.FormatLine("a"), "a\r\n");
    EXPECT_EQ(formatter.IndentLine("x"), "  x\r\n");
    EXPECT_EQ(formatter.IndentLine("y"), "    y\r\n");
    EXPECT_EQ(formatter.OutdentLine("z"), "  z\r\n");
    EXPECT_EQ(formatter.GetLevel(), 1);
    EXPECT_EQ(formatter.OutdentLine("w"), "w\r\n");
    EXPECT_EQ(formatter.OutdentLine("v"), "v\r\n"); // below zero: no margin
    EXPECT_EQ(formatter.GetLevel(), -1);

    formatter.SetLineBreak("");
    formatter.SetLevel(2);
    EXPECT_EQ(formatter.FormatLine("<title>"), "    <title>");
    EXPECT_EQ(formatter.GetMarginAt(3), "      ");
    margins->SetMarginWidth(1);
    EXPECT_EQ(formatter.FormatLine("t"), "  t");
}

} // namespace
} // namespace corvane
