// Plain text reaches the decoder a span at a time; a span must decode exactly as its bytes one by one.
#include "CxUnicode.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace corvane {
namespace {

std::string ByteByByte(std::int32_t Charset, std::string_view Bytes) {
    TUnicodeConverter Converter;
    Converter.SetCharset(Charset);
    std::string Output;
    for (char Byte : Bytes)
        Converter.Convert(static_cast<std::uint8_t>(Byte), Output);
    return Output;
}

// The bytes in two spans split at Split, so that a double-byte character can straddle the spans.
std::string InTwoSpans(std::int32_t Charset, std::string_view Bytes, std::size_t Split) {
    TUnicodeConverter Converter;
    Converter.SetCharset(Charset);
    std::string Output;
    Converter.ConvertBytes(Bytes.substr(0, Split), Output);
    Converter.ConvertBytes(Bytes.substr(Split), Output);
    return Output;
}

TEST(SpanDecoding, EverySplitDecodesAsByteByByte) {
    // Shift-JIS trail bytes can be ASCII ('\x5C', '@'), and its half-width katakana are single bytes.
    const std::string ShiftJis = "ab\x83\x5C\x85@c\xB1z\x82\xA0\x82";
    const std::string Latin = "caf\xE9 \x80 na\xEFve\x93q\x94";
    const std::string Chinese = "x\xC4\xE3y\xBA\xC3";
    for (const auto& [Charset, Bytes] :
         {std::pair{128, ShiftJis}, std::pair{0, Latin}, std::pair{134, Chinese}, std::pair{204, Latin}}) {
        const std::string Expected = ByteByByte(Charset, Bytes);
        for (std::size_t Split = 0; Split <= Bytes.size(); ++Split)
            EXPECT_EQ(InTwoSpans(Charset, Bytes, Split), Expected) << Charset << " split at " << Split;
    }
}

} // namespace
} // namespace corvane
