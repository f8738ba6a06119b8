// Whether a document names a control word at all, found in its bytes before it is read: what the converter
// must hold back for (a late header, a mail's own HTML) can then be ruled out at once for most documents.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace corvane {

// \Stem, or \Stem and one of LastLetters, as a whole control word: no letter follows. A stem has two
// letters at least.
struct TControlWordForms {
    std::string_view Stem;
    std::string_view LastLetters;
};

// Which of Words (one or two) Rtf holds: bit i stands for Words[i]. Bytes that only spell a word, in text or
// binary data, count too, so a word not found is certainly absent and one found only likely present.
std::uint32_t ControlWordsHeld(std::string_view Rtf, std::span<const TControlWordForms> Words);

} // namespace corvane
