// Table and cell start tags for the four ways the dialects write tables.
#pragma once

#include "CxTypes.h"

#include <cstdint>
#include <string>

namespace corvane {

enum TTableMarkup : std::uint8_t {
    tmAttributes = 0,   // HTML 3.2: attributes only
    tmTransitional = 1, // attributes where the dialect has one, CSS for the cell borders
    tmStyle = 2,        // CSS only
    tmBasic = 3,        // the basic table module: spans and vertical alignment
};

std::string BuildTableStart(TTableMarkup Markup, bool Bordered);
std::string BuildTableCellStart(TTableMarkup Markup, const TTableCellFormat& Cell);

} // namespace corvane
