#include "CxUnicode.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <set>
#include <string>

namespace corvane {
namespace {

std::string Decode(TUnicodeConverter& Converter, std::initializer_list<std::uint8_t> Bytes) {
    std::string Output;
    for (std::uint8_t Byte : Bytes)
        Converter.Convert(Byte, Output);
    return Output;
}

std::string DecodeIn(std::int32_t Charset, std::initializer_list<std::uint8_t> Bytes) {
    TUnicodeConverter Converter;
    Converter.SetCharset(Charset);
    return Decode(Converter, Bytes);
}

TEST(UnicodeConverter, CharsetsSelectTheirWindowsCodePage) {
    struct TCase {
        std::int32_t Charset, CodePage;
        std::uint8_t Byte;
        const char* Expected;
    };
    const TCase Cases[] = {
        {0, 1252, 0xE9, "\u00E9"},   {0, 1252, 0x80, "\u20AC"},   {238, 1250, 0x8A, "\u0160"},
        {204, 1251, 0xC0, "\u0410"}, {161, 1253, 0xC1, "\u0391"}, {162, 1254, 0xD0, "\u011E"},
        {177, 1255, 0xE0, "\u05D0"}, {178, 1256, 0xC7, "\u0627"}, {186, 1257, 0xC0, "\u0104"},
        {163, 1258, 0xC3, "\u0102"}, {222, 874, 0xA1, "\u0E01"},  {77, 10000, 0x80, "\u00C4"},
        {1, 1252, 0xE9, "\u00E9"},   {255, 1252, 0xE9, "\u00E9"},
    };
    for (const TCase& Case : Cases) {
        EXPECT_EQ(TUnicodeConverter::CharsetToCodePage(Case.Charset), Case.CodePage) << Case.Charset;
        TUnicodeConverter Converter;
        Converter.SetCharset(Case.Charset);
        EXPECT_FALSE(Converter.IsDoubleByte()) << Case.Charset;
        EXPECT_EQ(Decode(Converter, {Case.Byte}), Case.Expected) << Case.Charset;
    }
    EXPECT_EQ(TUnicodeConverter::CharsetToCodePage(2), 0);
}

TEST(UnicodeConverter, EveryByteOfEverySingleBytePageGivesOneCharacter) {
    // Only the bytes that no Windows table assigns decode to no character ("?").
    const std::map<std::int32_t, std::set<unsigned>> Unassigned = {
        {222, {0xDB, 0xDC, 0xDD, 0xDE, 0xFC, 0xFD, 0xFE, 0xFF}},
        {161, {0xAA, 0xD2, 0xFF}},
        {177, {0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF, 0xFB, 0xFC, 0xFF}},
        {186, {0xA1, 0xA5}},
    };
    for (std::int32_t Charset : {0, 2, 77, 161, 162, 163, 177, 178, 186, 204, 222, 238}) {
        TUnicodeConverter Converter;
        Converter.SetCharset(Charset);
        const auto Gaps = Unassigned.find(Charset);
        for (unsigned Byte = 0x80; Byte <= 0xFF; ++Byte) {
            const std::string Output = Decode(Converter, {static_cast<std::uint8_t>(Byte)});
            const bool Gap = Gaps != Unassigned.end() && Gaps->second.count(Byte) > 0;
            EXPECT_EQ(Output == "?", Gap) << "charset " << Charset << " byte " << Byte;
            EXPECT_TRUE(Output.size() == 1 || static_cast<unsigned char>(Output[0]) >= 0xC2) << Byte;
        }
    }
}

TEST(UnicodeConverter, BytesOnlyWindowsAssignsBecomeControlCharacters) {
    for (std::uint8_t Byte : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        std::string Expected = {static_cast<char>(0xC2), static_cast<char>(Byte)};
        EXPECT_EQ(DecodeIn(0, {Byte}), Expected) << int(Byte);
    }
    EXPECT_EQ(DecodeIn(238, {0x98}), "\u0098"); // 1250
    EXPECT_EQ(DecodeIn(222, {0x81}), "\u0081"); // 874
    EXPECT_EQ(DecodeIn(161, {0xAA}), "?");      // 1253: no character above the C1 range
    EXPECT_EQ(DecodeIn(177, {0xCA}), "\u05BA"); // 1255
    EXPECT_EQ(DecodeIn(128, {0x80}), "\u0080"); // 932 single byte
    EXPECT_EQ(DecodeIn(134, {0x80}), "\u20AC"); // 936 single byte
}

// A fresh converter decodes in code page 0, which is 1252 here, and appends; changing the charset and
// back selects the page again.
TEST(UnicodeConverter, FreshConverterDecodesInTheDefaultPage) {
    TUnicodeConverter Converter;
    std::string Output = "ab";
    Converter.Convert(0xE9, Output);
    Converter.Convert(0x80, Output);
    EXPECT_EQ(Output, "ab\u00E9\u20AC");
    Converter.SetCharset(238);
    EXPECT_EQ(Decode(Converter, {0xB9}), "\u0105");
    Converter.SetCharset(0);
    EXPECT_EQ(Decode(Converter, {0xB9}), "\u00B9");
}

TEST(UnicodeConverter, DoubleBytePairsOfTheEastAsianPages) {
    struct TCase {
        std::int32_t Charset, CodePage;
        std::uint8_t Lead, Trail;
        const char* Expected;
    };
    const TCase Cases[] = {
        {128, 932, 0x82, 0xA0, "\u3042"},
        {134, 936, 0xC4, 0xE3, "\u4F60"},
        {129, 949, 0xB0, 0xA1, "\uAC00"},
        {136, 950, 0xA4, 0xA4, "\u4E2D"},
    };
    for (const TCase& Case : Cases) {
        TUnicodeConverter Converter;
        Converter.SetCharset(Case.Charset);
        EXPECT_TRUE(Converter.IsDoubleByte());
        EXPECT_EQ(Converter.GetCodePage(), Case.CodePage);
        std::string Output;
        Converter.Convert(Case.Lead, Output);
        EXPECT_EQ(Output, "") << "the lead byte waits for its trail";
        Converter.Convert(Case.Trail, Output);
        EXPECT_EQ(Output, Case.Expected) << Case.Charset;
        // An ASCII byte between two pairs comes out at once and in its place.
        const std::string Pair = Case.Expected;
        EXPECT_EQ(Decode(Converter, {Case.Lead, Case.Trail, 'x', Case.Lead, Case.Trail}), Pair + "x" + Pair);
    }
}

TEST(UnicodeConverter, TrailByteCompletesThePairWhateverItsValue) {
    // 0x5C is a backslash alone but the trail of a katakana character here.
    EXPECT_EQ(DecodeIn(128, {0x83, 0x5C}), "\u30BD");
    // Pairs that map to nothing give one question mark and consume both bytes.
    EXPECT_EQ(DecodeIn(128, {0x85, 0x40, 'a'}), "?a");
    EXPECT_EQ(DecodeIn(128, {0x82, ' ', 'a'}), "?a");
    EXPECT_EQ(DecodeIn(136, {0x81, 0x40}), "?");
    // Half-width katakana are single bytes; pairing them would swallow the next character.
    EXPECT_EQ(DecodeIn(128, {0xB1, 'A', 0xB2, 0xB3, 0x82, 0xA0}), "\uFF71A\uFF72\uFF73\u3042");
}

TEST(UnicodeConverter, ChangingCharsetDropsAHalfCharacter) {
    TUnicodeConverter Converter;
    Converter.SetCharset(128);
    std::string Output;
    Converter.Convert(0x82, Output);
    Converter.SetCharset(134);
    Converter.Convert(0xC4, Output);
    Converter.Convert(0xE3, Output);
    EXPECT_EQ(Output, "\u4F60");

    Converter.Convert(0xC4, Output);
    Converter.SetCharset(0);
    EXPECT_FALSE(Converter.IsDoubleByte());
    Converter.Convert('a', Output);
    Converter.SetCharset(134);
    Converter.Convert('b', Output);
    EXPECT_EQ(Output, "\u4F60ab");
}

TEST(UnicodeConverter, SetDoubleByteOverridesTheCharset) {
    TUnicodeConverter Converter;
    Converter.SetCharset(128);
    Converter.SetDoubleByte(false);
    EXPECT_EQ(Decode(Converter, {0xB1, 0x82}), "\uFF71?"); // a lone lead byte is no character
    EXPECT_EQ(Converter.GetCharset(), 128);

    TUnicodeConverter Western;
    Western.SetDoubleByte(true);
    EXPECT_TRUE(Western.IsDoubleByte());
    // A single-byte page has no lead bytes, so every byte still stands alone.
    EXPECT_EQ(Decode(Western, {0xE9, 'a', 0xE8}), "\u00E9a\u00E8");
}

TEST(SymbolToUnicode, MapsTheSymbolFontLettersOnly) {
    EXPECT_EQ(SymbolToUnicode("abg"), "\u03B1\u03B2\u03B3");
    EXPECT_EQ(SymbolToUnicode("ACFJQVZ"), "\u0391\u03A7\u03A6\u03D1\u0398\u03C2\u0396");
    EXPECT_EQ(SymbolToUnicode("cfjqvwz"), "\u03C7\u03C6\u03D5\u03B8\u03D6\u03C9\u03B6");
    EXPECT_EQ(SymbolToUnicode("[\\]^_`"), "[\u2234]\u22A5_`");
    EXPECT_EQ(SymbolToUnicode("1 @{|}~"), "1 @{|}~");
    EXPECT_EQ(SymbolToUnicode("\u00E9a\u4E2D"), "\u00E9\u03B1\u4E2D");
}

} // namespace
} // namespace corvane
