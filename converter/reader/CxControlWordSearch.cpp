#include "CxControlWordSearch.h"

#include <cassert>
#include <cstdint>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace corvane {

namespace {

bool IsLetter(char Byte) {
    return static_cast<std::uint8_t>((static_cast<std::uint8_t>(Byte) | 0x20) - 'a') < 26;
}

// The bit of the word among Words that the backslash at Rtf[At] starts, or 0.
std::uint32_t WordStartedAt(std::string_view Rtf, std::size_t At, std::span<const TControlWordForms> Words) {
    const std::string_view Rest = Rtf.substr(At + 1);
    for (std::size_t w = 0; w < Words.size(); ++w) {
        const TControlWordForms& Word = Words[w];
        if (!Rest.starts_with(Word.Stem)) continue;
        std::size_t End = Word.Stem.size();
        if (End < Rest.size() && Word.LastLetters.find(Rest[End]) != std::string_view::npos) ++End;
        if (End == Rest.size() || !IsLetter(Rest[End])) return std::uint32_t{1} << w;
    }
    return 0;
}

} // namespace

std::uint32_t ControlWordsHeld(std::string_view Rtf, std::span<const TControlWordForms> Words) {
    assert(Words.size() < 32);
    const std::uint32_t All = (std::uint32_t{1} << Words.size()) - 1;
    std::uint32_t Held = 0;
    std::size_t At = 0;
#if defined(__SSE2__)
    // RTF is full of backslashes: sixteen places at a time are tested for a backslash and a word's first
    // two letters, and only those that have them are looked at further.
    struct TFirstLetters {
        __m128i First, Second;
    };
    std::vector<TFirstLetters> Firsts;
    for (const TControlWordForms& Word : Words) {
        assert(Word.Stem.size() >= 2);
        Firsts.push_back({_mm_set1_epi8(Word.Stem[0]), _mm_set1_epi8(Word.Stem[1])});
    }
    const char* const Data = Rtf.data();
    for (; At + 16 + 2 <= Rtf.size(); At += 16) {
        const __m128i Second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + At + 1));
        const __m128i Third = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + At + 2));
        __m128i Hits = _mm_setzero_si128();
        for (const TFirstLetters& First : Firsts)
            Hits = _mm_or_si128(Hits, _mm_and_si128(_mm_cmpeq_epi8(Second, First.First),
                                                    _mm_cmpeq_epi8(Third, First.Second)));
        const __m128i Backslashes =
            _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + At)), _mm_set1_epi8('\\'));
        for (auto Mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(Hits, Backslashes)));
             Mask != 0; Mask &= Mask - 1)
            if ((Held |= WordStartedAt(Rtf, At + static_cast<unsigned>(__builtin_ctz(Mask)), Words)) == All)
                return Held;
    }
#endif
    for (; At < Rtf.size() && Held != All; ++At)
        if (Rtf[At] == '\\') Held |= WordStartedAt(Rtf, At, Words);
    return Held;
}

} // namespace corvane
