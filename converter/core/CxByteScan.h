// Finding the next byte that needs attention in a run of text. Text is mostly ASCII letters and blanks
// that every stage passes on unchanged, so each stage skips them sixteen at a time and looks at single
// bytes only where one of its stop bytes is.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvane {

// Bytes that stop a scan besides the listed ones.
enum TStopRange : std::uint8_t {
    srNone,
    srHigh,          // 0x80 and above
    srControlOrHigh, // below 0x20, and 0x80 and above
};

// The first byte in [Next, End) that is one of Stops or in Range; End when there is none.
template <TStopRange Range, char... Stops>
inline const char* FindStop(const char* Next, const char* const End) {
#if defined(__SSE2__)
    while (End - Next >= 16) {
        const __m128i Block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Next));
        __m128i Hits = _mm_setzero_si128();
        if constexpr (Range == srHigh) Hits = Block;
        // Signed, the bytes from 0x80 are negative: one comparison finds them and the controls.
        if constexpr (Range == srControlOrHigh) Hits = _mm_cmplt_epi8(Block, _mm_set1_epi8(0x20));
        ((Hits = _mm_or_si128(Hits, _mm_cmpeq_epi8(Block, _mm_set1_epi8(Stops)))), ...);
        if (const int Mask = _mm_movemask_epi8(Hits))
            return Next + __builtin_ctz(static_cast<unsigned>(Mask));
        Next += 16;
    }
#endif
    for (; Next != End; ++Next) {
        const auto Byte = static_cast<std::uint8_t>(*Next);
        if (Range != srNone && Byte >= 0x80) return Next;
        if (Range == srControlOrHigh && Byte < 0x20) return Next;
        if (((*Next == Stops) || ...)) return Next;
    }
    return End;
}

// A letter of a control word: an ASCII letter of either case. The reader and the search for words before
// reading must agree on it.
constexpr bool IsControlWordLetter(std::uint8_t Byte) {
    return static_cast<std::uint8_t>((Byte | 0x20) - 'a') < 26;
}

// Which of the sixteen bytes at Block are ASCII letters, decimal digits, minus signs and blanks: bit i
// for byte i. Everything a control word's reading needs, from one load and without a dependent read.
struct TControlWordMasks {
    std::uint32_t Letters = 0;
    std::uint32_t Digits = 0;
    std::uint32_t Minus = 0;
    std::uint32_t Blanks = 0;
};
inline TControlWordMasks ControlWordMasks16(const char* Block) {
#if defined(__SSE2__)
    const __m128i Bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Block));
    // Letters folded to lower case, then each range moved so that it is the smallest signed bytes.
    const __m128i Letters = _mm_cmplt_epi8(
        _mm_add_epi8(_mm_or_si128(Bytes, _mm_set1_epi8(0x20)), _mm_set1_epi8(static_cast<char>(0x80 - 'a'))),
        _mm_set1_epi8(static_cast<char>(0x80 + 26)));
    const __m128i Digits = _mm_cmplt_epi8(_mm_add_epi8(Bytes, _mm_set1_epi8(static_cast<char>(0x80 - '0'))),
                                          _mm_set1_epi8(static_cast<char>(0x80 + 10)));
    return {static_cast<std::uint32_t>(_mm_movemask_epi8(Letters)),
            static_cast<std::uint32_t>(_mm_movemask_epi8(Digits)),
            static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(Bytes, _mm_set1_epi8('-')))),
            static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(Bytes, _mm_set1_epi8(' '))))};
#else
    TControlWordMasks Masks;
    for (unsigned Index = 0; Index < 16; ++Index) {
        const auto Byte = static_cast<std::uint8_t>(Block[Index]);
        if (IsControlWordLetter(Byte)) Masks.Letters |= 1u << Index;
        if (static_cast<std::uint8_t>(Byte - '0') < 10) Masks.Digits |= 1u << Index;
        if (Byte == '-') Masks.Minus |= 1u << Index;
        if (Byte == ' ') Masks.Blanks |= 1u << Index;
    }
    return Masks;
#endif
}

} // namespace corvane
