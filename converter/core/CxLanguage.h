// Maps the Windows language identifiers of \langN to the language codes written into the output.
#pragma once

#include <cstdint>
#include <string>

namespace corvane {

// The code for a known identifier; the empty string for any other.
std::string LanguageCode(std::int64_t LanguageId);

} // namespace corvane
