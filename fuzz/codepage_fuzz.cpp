// Feeds arbitrary bytes through the code-page decoder and checks that what comes out is always valid
// UTF-8 without surrogates, whatever the character set and however a double-byte pair is cut off.
// Byte 0xFF followed by a selector switches the character set in mid-stream, as \f does in a document.
#include "CxUnicode.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr std::array<std::int32_t, 20> Charsets = {0,   1,   2,   77,  128, 129, 130, 134, 136, 161,
                                                   162, 163, 177, 178, 186, 204, 222, 238, 255, 999};

// True when Text is well-formed UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const std::string& Text) {
    std::size_t index = 0;
    while (index < Text.size()) {
        const auto lead = static_cast<std::uint8_t>(Text[index]);
        std::size_t length = 0;
        char32_t codePoint = 0;
        if (lead < 0x80) {
            ++index;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            codePoint = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            codePoint = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            codePoint = lead & 0x07u;
        } else {
            return false;
        }
        if (index + length > Text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<std::uint8_t>(Text[index + k]);
            if ((next & 0xC0u) != 0x80u) return false;
            codePoint = (codePoint << 6) | (next & 0x3Fu);
        }
        const char32_t smallest = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
        if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
            return false;
        index += length;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size < 1) return 0;
    corvane::TUnicodeConverter Converter;
    Converter.SetCharset(Charsets[Data[0] % Charsets.size()]);
    if (Data[0] >= 0xF0) Converter.SetDoubleByte(!Converter.IsDoubleByte());

    std::string Output;
    for (std::size_t index = 1; index < Size; ++index) {
        if (Data[index] == 0xFF && index + 1 < Size) {
            Converter.SetCharset(Charsets[Data[++index] % Charsets.size()]);
            continue;
        }
        Converter.Convert(Data[index], Output);
    }
    if (!IsValidUtf8(Output)) std::abort();
    if (!IsValidUtf8(corvane::SymbolToUnicode(Output))) std::abort();
    return 0;
}
