// A hash of a character property set, for the stores that keep one entry per distinct set.
#pragma once

#include "CxTypes.h"

#include <cstddef>

namespace corvane {

struct TCharacterPropertiesHash {
    std::size_t operator()(const TCharacterProperties& Props) const;
};

} // namespace corvane
