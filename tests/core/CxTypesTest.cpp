#include "CxTypes.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(FontConversionOptions, SetOperationsKeepOtherMembers) {
    TFontConversionOptions options = TFontConversionOptions::All();
    options.Exclude(opFontSize);
    EXPECT_FALSE(options.Contains(opFontSize));
    for (TFontOption other : {opFontName, opFontStyle, opFontColor, opFontBGColor, opFontHLColor})
        EXPECT_TRUE(options.Contains(other)) << other;
    options.Include(opFontSize);
    EXPECT_EQ(options, TFontConversionOptions::All());
    EXPECT_TRUE(TFontConversionOptions().Empty());
}

TEST(CharacterProperties, UnderlineBitLeavesOtherStylesAlone) {
    TCharacterProperties props;
    props.FontStyle = fsBold | fsStrikeOut;
    props.SetUnderline(true);
    EXPECT_TRUE(props.IsUnderline());
    props.SetUnderline(false);
    EXPECT_EQ(props.FontStyle, fsBold | fsStrikeOut);
}

} // namespace
} // namespace corvane
