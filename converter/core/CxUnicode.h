// Decoding of Windows code pages into UTF-8, one input byte at a time, and the Symbol font's letters.
#pragma once

#include "CxInterfaces.h"

#include <array>
#include <cstdint>
#include <iconv.h>
#include <string>
#include <string_view>

namespace corvane {

struct TCodePageTable; // the immutable single-byte table of one code page

// The character set of text whose font names none: the document's own code page (\ansicpg). An explicit
// \fcharset0 is the Western set, which word processors give Latin fonts in East Asian documents too.
inline constexpr std::int32_t DocumentCharset = -1;

// Decodes the bytes of the code page that belongs to an RTF character set (\fcharset). Single-byte pages
// go through a table built once per page; the East Asian double-byte pages assemble lead and trail byte
// and decode the pair through iconv, whose handles this object opens on first use and owns.
class TUnicodeConverter : public IUnicodeConverter {
public:
    TUnicodeConverter() = default;
    ~TUnicodeConverter() override;
    TUnicodeConverter(const TUnicodeConverter&) = delete;
    TUnicodeConverter& operator=(const TUnicodeConverter&) = delete;

    std::int32_t GetCharset() const override { return FCharset; }
    void SetCharset(std::int32_t Charset) override;
    bool IsDoubleByte() const override { return FDoubleByte; }
    void SetDoubleByte(bool Value) override;
    void SetAnsiCodePage(std::int32_t CodePage) override;
    void Convert(std::uint8_t Byte, std::string& Output) override;
    void ConvertBytes(std::string_view Bytes, std::string& Output) override;

    // The Windows code page decoded now; 0 is the platform default, which is 1252 here.
    std::int32_t GetCodePage() const { return FCodePage; }

    static std::int32_t CharsetToCodePage(std::int32_t Charset);
    // Whether a code page has a decoder here (1252 and the pages the character sets map to).
    static bool IsKnownCodePage(std::int32_t CodePage);

private:
    static constexpr std::size_t DoubleBytePageCount = 4; // 932, 936, 949, 950

    void ResetPending();
    void UseCodePage(std::int32_t CodePage);
    void DecodePair(std::string& Output);

    std::int32_t FCharset = 0;
    std::int32_t FCodePage = 0;
    std::int32_t FAnsiCodePage = 1252;
    bool FDoubleByte = false;
    std::uint8_t FPendingCount = 2;
    std::array<std::uint8_t, 2> FPendingBytes{};
    // The single-byte table of FCodePage, looked up on first use after the code page changed.
    const TCodePageTable* FTable = nullptr;
    // One iconv handle per double-byte page, opened on first use.
    std::array<iconv_t, DoubleBytePageCount> FHandles{};
};

// Appends the UTF-8 form of one code point (at most U+10FFFF, no surrogate).
void AppendUtf8(char32_t CodePoint, std::string& Output);

// Replaces the letters and the six signs between them ("A" to "z") by the characters the Symbol font
// shows for them (mostly Greek); everything else stays as it is. UTF-8 in and out.
std::string SymbolToUnicode(std::string_view Text);

} // namespace corvane
