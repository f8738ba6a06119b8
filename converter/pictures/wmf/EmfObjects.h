// The graphics objects of enhanced metafiles, read into the object kinds the Windows metafile player
// already draws with. Each reader takes the whole record and throws when it is shorter than its object.
#pragma once

#include "WmfBytes.h"
#include "WmfObjects.h"

#include <cstdint>

namespace corvane::wmf {

TWmfPen ReadEmfPen(const TWmfBytes& Record);    // CREATEPEN
TWmfPen ReadEmfExtPen(const TWmfBytes& Record); // EXTCREATEPEN
TWmfBrush ReadEmfBrush(const TWmfBytes& Record);
TWmfFont ReadEmfFont(const TWmfBytes& Record); // EXTCREATEFONTINDIRECTW
TWmfPalette ReadEmfPalette(const TWmfBytes& Record);

// The stock object of that number (without the high bit); an empty object for numbers that name none.
TWmfObject StockObject(std::uint32_t Number);

} // namespace corvane::wmf
