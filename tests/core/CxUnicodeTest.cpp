#include "CxUnicode.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <string>
#include <string_view>
#include <utility>

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

// Each charset selects its Windows code page, shown by one byte; every byte from 0x80 up gives one
// character, and only the bytes that no Windows table assigns give none ("?").
TEST(UnicodeConverter, CharsetsSelectTheirWindowsCodePage) {
    const struct {
        std::int32_t Charset, CodePage;
        std::uint8_t Byte;
        const char* Expected;
        std::set<unsigned> Unassigned;
    } Cases[] = {
        {0, 1252, 0x80, "\u20AC", {}},
        {1, 1252, 0xE9, "\u00E9", {}},
        {2, 0, 0xE9, "\u00E9", {}}, // code page 0 is 1252 here
        {238, 1250, 0x8A, "\u0160", {}},
        {204, 1251, 0xC0, "\u0410", {}},
        {161, 1253, 0xC1, "\u0391", {0xAA, 0xD2, 0xFF}},
        {162, 1254, 0xD0, "\u011E", {}},
        {177, 1255, 0xE0, "\u05D0", {0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF, 0xFB, 0xFC, 0xFF}},
        {178, 1256, 0xC7, "\u0627", {}},
        {186, 1257, 0xC0, "\u0104", {0xA1, 0xA5}},
        {163, 1258, 0xC3, "\u0102", {}},
        {222, 874, 0xA1, "\u0E01", {0xDB, 0xDC, 0xDD, 0xDE, 0xFC, 0xFD, 0xFE, 0xFF}},
        {77, 10000, 0x80, "\u00C4", {}},
        {255, 1252, 0xE9, "\u00E9", {}},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Charset);
        EXPECT_EQ(TUnicodeConverter::CharsetToCodePage(Case.Charset), Case.CodePage);
        TUnicodeConverter Converter;
        Converter.SetCharset(Case.Charset);
        EXPECT_FALSE(Converter.IsDoubleByte());
        EXPECT_EQ(Decode(Converter, {Case.Byte}), Case.Expected);
        for (unsigned Byte = 0x80; Byte <= 0xFF; ++Byte) {
            const std::string Output = Decode(Converter, {static_cast<std::uint8_t>(Byte)});
            EXPECT_EQ(Output == "?", Case.Unassigned.contains(Byte)) << Byte;
            EXPECT_TRUE(Output.size() == 1 || static_cast<unsigned char>(Output[0]) >= 0xC2) << Byte;
        }
    }
    // A fresh converter decodes in code page 0.
    TUnicodeConverter Fresh;
    EXPECT_EQ(Decode(Fresh, {0xE9, 0x80}), "\u00E9\u20AC");
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

// Each East Asian charset decodes pairs in its code page; an ASCII byte between two pairs comes out at
// once and in its place.
TEST(UnicodeConverter, DoubleBytePairsOfTheEastAsianPages) {
    EXPECT_EQ(DecodeIn(128, {0x82, 0xA0, 'x', 0x82, 0xA0}), "\u3042x\u3042"); // 932
    EXPECT_EQ(DecodeIn(134, {0xC4, 0xE3, 'x', 0xC4, 0xE3}), "\u4F60x\u4F60"); // 936
    EXPECT_EQ(DecodeIn(129, {0xB0, 0xA1, 'x', 0xB0, 0xA1}), "\uAC00x\uAC00"); // 949
    EXPECT_EQ(DecodeIn(136, {0xA4, 0xA4, 'x', 0xA4, 0xA4}), "\u4E2Dx\u4E2D"); // 950
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

// Changing the charset drops a half character and selects the new page, also when it was selected before.
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
    Converter.Convert(0xE9, Output);
    Converter.SetCharset(134);
    Output += Decode(Converter, {'b', 0xC4, 0xE3});
    EXPECT_EQ(Output, "\u4F60a\u00E9b\u4F60");
}

// Plain text reaches the decoder a span at a time; a span must decode exactly as its bytes one by one,
// wherever the text is split into spans.
TEST(UnicodeConverter, EverySplitIntoSpansDecodesAsByteByByte) {
    // Shift-JIS trail bytes can be ASCII ('\x5C', '@'), and its half-width katakana are single bytes.
    const std::string ShiftJis = "ab\x83\x5C\x85@c\xB1z\x82\xA0\x82";
    const std::string Latin = "caf\xE9 \x80 na\xEFve\x93q\x94";
    const std::string Chinese = "x\xC4\xE3y\xBA\xC3";
    for (const auto& [Charset, Bytes] :
         {std::pair{128, ShiftJis}, std::pair{0, Latin}, std::pair{134, Chinese}, std::pair{204, Latin}}) {
        TUnicodeConverter ByteByByte;
        ByteByByte.SetCharset(Charset);
        std::string Expected;
        for (char Byte : Bytes)
            ByteByByte.Convert(static_cast<std::uint8_t>(Byte), Expected);
        for (std::size_t Split = 0; Split <= Bytes.size(); ++Split) {
            TUnicodeConverter Converter;
            Converter.SetCharset(Charset);
            std::string Output;
            Converter.ConvertBytes(std::string_view(Bytes).substr(0, Split), Output);
            Converter.ConvertBytes(std::string_view(Bytes).substr(Split), Output);
            EXPECT_EQ(Output, Expected) << Charset << " split at " << Split;
        }
    }
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
