#include "CxHtmlTranslator.h"
#include "CxMarginBuilder.h"
#include "CxXhtmlTranslator.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <limits>
#include <locale>
#include <memory>
#include <string>

namespace corvane {
namespace {

template <typename TTranslator> std::unique_ptr<TTranslator> Make(TFontSizeScale Scale = fsPoint) {
    auto translator = std::make_unique<TTranslator>(std::make_shared<TMarginBuilder>());
    translator->SetParagraphTag("<p");
    translator->SetFontSizeScale(Scale);
    return translator;
}

std::string FontSize(TFontSizeScale Scale, std::int32_t Size) {
    return Make<THTML50Translator>(Scale)->GetFontSizeStyle(Size);
}

// Points are whole numbers; em and ex use twelfths with two significant digits, percent three, turning to
// exponent form when the integer part outgrows the precision; halves round away from zero, negative too.
TEST(FontSizeStyle, EveryScale) {
    const struct {
        TFontSizeScale Scale;
        std::int32_t Size;
        const char* Style;
    } Cases[] = {
        {fsPoint, 11, "11pt"},         {fsPoint, 1200, "1200pt"},  {fsPoint, -4, "-4pt"},
        {fsEM, 10, "0.83em"},          {fsEM, 12, "1em"},          {fsEM, 15, "1.3em"},
        {fsEM, 18, "1.5em"},           {fsEM, 1, "0.083em"},       {fsEM, 6, "0.5em"},
        {fsEM, 27, "2.3em"},           {fsEM, 120, "10em"},        {fsEM, 1193, "99em"},
        {fsEX, 10, "0.83ex"},          {fsEX, 15, "1.3ex"},        {fsEX, 1193, "99ex"},
        {fsEM, 1194, "1E002em"},       {fsEM, 1200, "1E002em"},    {fsEX, 1200, "1E002ex"},
        {fsEM, 1320, "1.1E002em"},     {fsEM, 12000, "1E003em"},   {fsEM, 2147483647, "1.8E008em"},
        {fsPercent, 10, "83.3%"},      {fsPercent, 12, "100%"},    {fsPercent, 14, "117%"},
        {fsPercent, 15, "125%"},       {fsPercent, 18, "150%"},    {fsPercent, 1, "8.33%"},
        {fsPercent, 119, "992%"},      {fsPercent, 120, "1E003%"}, {fsPercent, 130, "1.08E003%"},
        {fsPercent, 123, "1.03E003%"}, {fsEM, -15, "-1.3em"},      {fsPercent, -10, "-83.3%"},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(FontSize(Case.Scale, Case.Size), std::string("font-size:") + Case.Style + ";")
            << Case.Scale << " " << Case.Size;
}

// Restores the global locales, C and C++, when a test leaves.
class TLocaleGuard {
public:
    TLocaleGuard() : FSaved(std::locale()), FSavedC(std::setlocale(LC_ALL, nullptr)) {}
    ~TLocaleGuard() {
        std::locale::global(FSaved);
        std::setlocale(LC_ALL, FSavedC.c_str());
    }

private:
    std::locale FSaved;
    std::string FSavedC;
};

class TCommaDecimal : public std::numpunct<char> {
protected:
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

// A comma-decimal stream locale, and a German C locale where one is installed.
TEST(FontSizeStyle, DecimalPointIgnoresTheLocale) {
    TLocaleGuard guard;
    const auto Check = [] {
        EXPECT_EQ(FontSize(fsEM, 10), "font-size:0.83em;");
        EXPECT_EQ(FontSize(fsPercent, 130), "font-size:1.08E003%;");
        EXPECT_EQ(FontSize(fsPoint, 1200), "font-size:1200pt;");
    };
    std::locale::global(std::locale(std::locale::classic(), new TCommaDecimal));
    Check();
    try {
        std::locale::global(std::locale("de_DE.UTF-8"));
    } catch (const std::runtime_error&) {
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed on this machine";
    }
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    Check();
}

TEST(TwipsToPixels, RoundsAwayFromZero) {
    EXPECT_EQ(TCustomTranslator::TwipsToPixels(15), 1);
    EXPECT_EQ(TCustomTranslator::TwipsToPixels(16), 2);
    EXPECT_EQ(TCustomTranslator::TwipsToPixels(-15), -1);
    EXPECT_EQ(TCustomTranslator::TwipsToPixels(-16), -2);
    EXPECT_EQ(TCustomTranslator::TwipsToPixels(std::numeric_limits<std::int32_t>::max()), 143165577);
    EXPECT_EQ(TCustomTranslator::TwipsToPixels(std::numeric_limits<std::int32_t>::min()), -143165577);
}

TEST(Encode, EscapesTheFourMarkupCharactersAndDropsWhatMarkupForbids) {
    const auto translator = Make<THTML50Translator>();
    EXPECT_EQ(translator->Encode(R"(a<b & "c" > 'd')"), R"(a&lt;b &amp; &quot;c&quot; &gt; 'd')");
    EXPECT_EQ(translator->Encode("&amp;"), "&amp;amp;");
    EXPECT_EQ(translator->Encode("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"),
              "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(translator->Encode(std::string_view("a\x01z\x00y\x1F-\x0B\x0C\x08.", 11)), "azy-.");
    EXPECT_EQ(translator->Encode("tab\there\nline\rreturn\x7F"), "tab\there\nline\rreturn\x7F");
    // U+FFFE and U+FFFF go; their neighbours U+FFFD and U+FEFF stay, as does a cut-off sequence.
    EXPECT_EQ(translator->Encode("x\xEF\xBF\xBEy\xEF\xBF\xBFz"), "xyz");
    EXPECT_EQ(translator->Encode("\xEF\xBF\xBD\xEF\xBB\xBF"), "\xEF\xBF\xBD\xEF\xBB\xBF");
    EXPECT_EQ(translator->Encode("<\xEF\xBF"), "&lt;\xEF\xBF");
    // The C1 controls U+0080 to U+009F go; U+00A0 and the rest of the C2 row stay.
    EXPECT_EQ(translator->Encode("a\xC2\x81"
                                 "b\xC2\x9D"
                                 "c\xC2\xA0\xC2\xBF"),
              "abc\xC2\xA0\xC2\xBF");
    EXPECT_EQ(translator->Encode("end\xC2"), "end\xC2");

    // Long text is escaped whole.
    std::string text;
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        text += "ab<\x02\xEF\xBF\xBF";
        expected += "ab&lt;";
    }
    EXPECT_EQ(translator->Encode(text), expected);
}

TEST(ParagraphStyle, DeclarationsInTheirFixedOrder) {
    const auto translator = Make<THTML50Translator>();
    TParagraphProperties props;
    props.SpaceBefore = -100; // negative spacing is left out
    EXPECT_EQ(translator->GetParagraphStyle(props), "");

    TParagraphProperties all;
    all.Alignment = 2; // never part of the paragraph style
    all.LeftIndent = -16;
    all.RightIndent = 30;
    all.FirstIndent = 1;
    all.RightToLeft = true;
    all.SpaceBefore = 16;
    all.SpaceAfter = 1;
    all.ShadingColor = "#ffff00";
    all.Border = true;
    EXPECT_EQ(translator->GetParagraphStyle(all),
              "margin-left:-2px;margin-right:2px;text-indent:1px;direction:rtl;margin-top:2px;"
              "margin-bottom:1px;background-color:#ffff00;border:thin solid black;");
}

// The paragraph starts of the golden conversions aside: another tag and margin unit, attributes before style.
TEST(ParagraphStart, TagMarginsAttributesAndStyle) {
    auto margins = std::make_shared<TMarginBuilder>();
    THTML401TransitionalTranslator translator(margins);
    margins->SetMarginWidth(1);
    translator.SetParagraphTag("<div");
    EXPECT_EQ(translator.BuildParagraphStart("a:b;", " x=\"y\""), "  <div x=\"y\" style=\"a:b;\">\r\n   ");
    EXPECT_EQ(translator.BuildParagraphStart("", ""), "  <div>\r\n   ");
}

} // namespace
} // namespace corvane
