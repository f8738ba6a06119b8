#include "CxUnicode.h"

#include "CxByteScan.h"

#include <cassert>

namespace corvane {

// The UTF-8 form of what one byte from 0x80 to 0xFF decodes to, per byte.
struct TCodePageTable {
    struct TEntry {
        std::array<char, 4> Bytes;
        std::uint8_t Size;
    };
    std::array<TEntry, 128> Entries;
};

namespace {

constexpr char NoCharacter = '?';

// Neither still unopened (null) nor iconv_open's failure value.
bool IsUsable(iconv_t Handle) {
    return Handle != nullptr && Handle != reinterpret_cast<iconv_t>(-1);
}

const char* IconvName(std::int32_t CodePage) {
    switch (CodePage) {
    case 874:
        return "CP874";
    case 932:
        return "CP932";
    case 936:
        return "CP936";
    case 949:
        return "CP949";
    case 950:
        return "CP950";
    case 1250:
        return "CP1250";
    case 1251:
        return "CP1251";
    case 1253:
        return "CP1253";
    case 1254:
        return "CP1254";
    case 1255:
        return "CP1255";
    case 1256:
        return "CP1256";
    case 1257:
        return "CP1257";
    case 1258:
        return "CP1258";
    case 10000:
        return "MACINTOSH";
    default:
        return "CP1252";
    }
}

int DoubleByteIndex(std::int32_t CodePage) {
    switch (CodePage) {
    case 932:
        return 0;
    case 936:
        return 1;
    case 949:
        return 2;
    case 950:
        return 3;
    default:
        return -1;
    }
}

// Bytes that open a two-byte character. Shift-JIS keeps its half-width katakana (0xA1 to 0xDF) as
// single bytes between its two lead ranges; the other pages lead with everything from 0x81 to 0xFE.
bool IsLeadByte(std::int32_t CodePage, std::uint8_t Byte) {
    switch (CodePage) {
    case 932:
        return (Byte >= 0x81 && Byte <= 0x9F) || (Byte >= 0xE0 && Byte <= 0xFC);
    case 936:
    case 949:
    case 950:
        return Byte >= 0x81 && Byte <= 0xFE;
    default:
        return false;
    }
}

std::size_t Utf8Length(unsigned char Lead) {
    if (Lead < 0x80) return 1;
    if (Lead < 0xE0) return 2;
    if (Lead < 0xF0) return 3;
    return 4;
}

// Decodes Input completely with Handle and returns the length of the first character written to Out,
// 0 when iconv yields none.
std::size_t DecodeFirst(iconv_t Handle, const std::uint8_t* Input, std::size_t Length,
                        std::array<char, 16>& Out) {
    iconv(Handle, nullptr, nullptr, nullptr, nullptr); // forget any shift state of the last call
    char In[2] = {static_cast<char>(Input[0]), Length > 1 ? static_cast<char>(Input[1]) : '\0'};
    char* InPtr = In;
    std::size_t InLeft = Length;
    char* OutPtr = Out.data();
    std::size_t OutLeft = Out.size();
    if (iconv(Handle, &InPtr, &InLeft, &OutPtr, &OutLeft) == static_cast<std::size_t>(-1) || InLeft != 0)
        return 0;
    // The Hebrew and Vietnamese converters hold a base letter back to combine it with a following mark.
    if (iconv(Handle, nullptr, nullptr, &OutPtr, &OutLeft) == static_cast<std::size_t>(-1)) return 0;
    std::size_t Written = static_cast<std::size_t>(OutPtr - Out.data());
    if (Written == 0) return 0;
    std::size_t First = Utf8Length(static_cast<unsigned char>(Out[0]));
    return First <= Written ? First : 0;
}

TCodePageTable BuildTable(std::int32_t CodePage) {
    TCodePageTable Table{};
    iconv_t Handle = iconv_open("UTF-8", IconvName(CodePage));
    for (unsigned Byte = 0x80; Byte <= 0xFF; ++Byte) {
        auto& Entry = Table.Entries[Byte - 0x80];
        const auto Value = static_cast<std::uint8_t>(Byte);
        std::array<char, 16> Out{};
        std::size_t Size = IsUsable(Handle) ? DecodeFirst(Handle, &Value, 1, Out) : 0;
        if (Size == 0 && CodePage == 1255 && Byte == 0xCA) {
            // Windows assigns the holam haser for vav (U+05BA) here, where iconv's table has a gap.
            Out = {static_cast<char>(0xD6), static_cast<char>(0xBA)};
            Size = 2;
        }
        if (Size > 0) {
            for (std::size_t i = 0; i < Size; ++i)
                Entry.Bytes[i] = Out[i];
            Entry.Size = static_cast<std::uint8_t>(Size);
        } else if (Byte < 0xA0 && !IsLeadByte(CodePage, Value)) {
            // Windows gives the unassigned bytes of this range the C1 control character of the same
            // value, where iconv refuses them.
            Entry.Bytes[0] = static_cast<char>(0xC2);
            Entry.Bytes[1] = static_cast<char>(Byte);
            Entry.Size = 2;
        } else {
            Entry.Bytes[0] = NoCharacter;
            Entry.Size = 1;
        }
    }
    if (IsUsable(Handle)) iconv_close(Handle);
    return Table;
}

template <std::int32_t CodePage> const TCodePageTable& TableFor() {
    // Built once on first use and never changed afterwards; the initialisation is thread-safe.
    static const TCodePageTable Table = BuildTable(CodePage);
    return Table;
}

const TCodePageTable& TableOf(std::int32_t CodePage) {
    switch (CodePage) {
    case 874:
        return TableFor<874>();
    case 932:
        return TableFor<932>();
    case 936:
        return TableFor<936>();
    case 949:
        return TableFor<949>();
    case 950:
        return TableFor<950>();
    case 1250:
        return TableFor<1250>();
    case 1251:
        return TableFor<1251>();
    case 1253:
        return TableFor<1253>();
    case 1254:
        return TableFor<1254>();
    case 1255:
        return TableFor<1255>();
    case 1256:
        return TableFor<1256>();
    case 1257:
        return TableFor<1257>();
    case 1258:
        return TableFor<1258>();
    case 10000:
        return TableFor<10000>();
    default:
        return TableFor<1252>(); // 1252 itself, and 0: the platform default is 1252 here
    }
}

} // namespace

TUnicodeConverter::~TUnicodeConverter() {
    for (iconv_t Handle : FHandles)
        if (IsUsable(Handle)) iconv_close(Handle);
}

std::int32_t TUnicodeConverter::CharsetToCodePage(std::int32_t Charset) {
    switch (Charset) {
    case 0:
        return 1252;
    case 2:
        return 0;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    default:
        return 1252;
    }
}

bool TUnicodeConverter::IsKnownCodePage(std::int32_t CodePage) {
    return CodePage == 1252 || (CodePage >= 1250 && CodePage <= 1258) || DoubleByteIndex(CodePage) >= 0 ||
           CodePage == 874 || CodePage == 10000;
}

void TUnicodeConverter::SetCharset(std::int32_t Charset) {
    if (Charset == FCharset) return;
    FCharset = Charset;
    UseCodePage(Charset == DocumentCharset ? FAnsiCodePage : CharsetToCodePage(Charset));
}

void TUnicodeConverter::SetAnsiCodePage(std::int32_t CodePage) {
    if (CodePage == FAnsiCodePage) return;
    FAnsiCodePage = CodePage;
    if (FCharset == DocumentCharset) UseCodePage(CodePage);
}

void TUnicodeConverter::UseCodePage(std::int32_t CodePage) {
    FCodePage = CodePage;
    FTable = nullptr;
    FDoubleByte = DoubleByteIndex(CodePage) >= 0;
    // A half-assembled character belongs to the old character set; it is dropped whatever the new one is.
    ResetPending();
}

void TUnicodeConverter::SetDoubleByte(bool Value) {
    if (Value == FDoubleByte) return;
    FDoubleByte = Value;
    ResetPending();
}

void TUnicodeConverter::ResetPending() {
    FPendingCount = 2;
    FPendingBytes = {};
}

void TUnicodeConverter::Convert(std::uint8_t Byte, std::string& Output) {
    if (FPendingCount == 2) {
        if (Byte < 0x80) {
            Output.push_back(static_cast<char>(Byte));
            return;
        }
        // Only a lead byte waits for a second one: a single-byte character of a double-byte page (the
        // half-width katakana of Shift-JIS) must not swallow the character after it.
        if (FDoubleByte && IsLeadByte(FCodePage, Byte)) {
            FPendingBytes[0] = Byte;
            FPendingCount = 1;
            return;
        }
        if (FTable == nullptr) FTable = &TableOf(FCodePage);
        const auto& Entry = FTable->Entries[Byte - 0x80];
        Output.append(Entry.Bytes.data(), Entry.Size);
        return;
    }
    // The byte after a lead byte completes the pair, whatever its value.
    FPendingBytes[1] = Byte;
    DecodePair(Output);
    ResetPending();
}

void TUnicodeConverter::ConvertBytes(std::string_view Bytes, std::string& Output) {
    const char* Next = Bytes.data();
    const char* const End = Next + Bytes.size();
    while (Next != End) {
        // ASCII decodes to itself in every page unless it completes a double-byte character, so while no
        // lead byte waits it is appended a span at a time.
        if (FPendingCount == 2) {
            const char* const Stop = FindStop<srHigh>(Next, End);
            Output.append(Next, Stop);
            Next = Stop;
            if (Next == End) break;
        }
        Convert(static_cast<std::uint8_t>(*Next++), Output);
    }
}

void TUnicodeConverter::DecodePair(std::string& Output) {
    const int Index = DoubleByteIndex(FCodePage);
    assert(Index >= 0 && "only the lead bytes of a double-byte page start a pair");
    if (Index < 0) {
        Output.push_back(NoCharacter);
        return;
    }
    iconv_t& Handle = FHandles[static_cast<std::size_t>(Index)];
    if (Handle == nullptr) Handle = iconv_open("UTF-8", IconvName(FCodePage));
    std::array<char, 16> Out{};
    std::size_t Size = IsUsable(Handle) ? DecodeFirst(Handle, FPendingBytes.data(), 2, Out) : 0;
    if (Size == 0)
        Output.push_back(NoCharacter);
    else
        Output.append(Out.data(), Size);
}

namespace {

// What the Symbol font shows for the characters "A" (65) to "z" (122).
constexpr std::array<char16_t, 58> SymbolTable = {
    0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399,
    0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F, 0x03A0, 0x0398, 0x03A1,
    0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9, 0x039E, 0x03A8, 0x0396, // A to Z
    0x005B, 0x2234, 0x005D, 0x22A5, 0x005F, 0x0060,                 // [ \ ] ^ _ `
    0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9,
    0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1,
    0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9, 0x03BE, 0x03C8, 0x03B6, // a to z
};

} // namespace

void AppendUtf8(char32_t CodePoint, std::string& Output) {
    if (CodePoint < 0x80) {
        Output += static_cast<char>(CodePoint);
    } else if (CodePoint < 0x800) {
        Output += static_cast<char>(0xC0 | (CodePoint >> 6));
        Output += static_cast<char>(0x80 | (CodePoint & 0x3F));
    } else if (CodePoint < 0x10000) {
        Output += static_cast<char>(0xE0 | (CodePoint >> 12));
        Output += static_cast<char>(0x80 | ((CodePoint >> 6) & 0x3F));
        Output += static_cast<char>(0x80 | (CodePoint & 0x3F));
    } else {
        Output += static_cast<char>(0xF0 | (CodePoint >> 18));
        Output += static_cast<char>(0x80 | ((CodePoint >> 12) & 0x3F));
        Output += static_cast<char>(0x80 | ((CodePoint >> 6) & 0x3F));
        Output += static_cast<char>(0x80 | (CodePoint & 0x3F));
    }
}

std::string SymbolToUnicode(std::string_view Text) {
    std::string Result;
    Result.reserve(Text.size() * 2);
    for (char Character : Text) {
        // Bytes of multi-byte UTF-8 sequences are all 0x80 or more, so they pass through untouched.
        if (Character >= 'A' && Character <= 'z')
            AppendUtf8(SymbolTable[static_cast<std::size_t>(Character - 'A')], Result);
        else
            Result.push_back(Character);
    }
    return Result;
}

} // namespace corvane
