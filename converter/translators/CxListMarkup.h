// List start tags for the ways the dialects can carry a list's number format and first number.
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

enum TListMarkup : std::uint8_t {
    lmAttributes = 0, // type and start attributes (HTML 3.2, the transitional dialects)
    lmStyle = 1,      // CSS only: list-style-type, and the first item counts up to the first number
    lmStyleStart = 2, // CSS for the format, the start attribute for the first number
    lmPlain = 3,      // neither: the list's own numbering from 1
};

// Format is an RTF \levelnfc value; 23 and 255 (bullet, none) give an unordered list.
std::string BuildListStart(TListMarkup Markup, std::int32_t Format, std::int32_t Start);
// The CSS declaration the first item of such a list needs to show Start; empty when the list's tag says it.
std::string BuildFirstItemStyle(TListMarkup Markup, std::int32_t Format, std::int32_t Start);

} // namespace corvane
