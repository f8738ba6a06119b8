// Turns Windows metafile pictures into PNG images in place, through our own metafile player.
#pragma once

#include "CxEmbeddedPicture.h"
#include "CxInterfaces.h"

#include <array>
#include <cstdint>

namespace corvane {

class TPictureConverterWMF : public IPictureConverter {
public:
    static constexpr std::size_t PlaceableHeaderSize = 22;

    // Converts a picture of type ptWMF in the anisotropic mapping mode (8) into a PNG of its goal size in
    // pixels; every other picture stays as it is. A metafile the player cannot read, or a goal size of
    // 0 or over the player's image limit, also leaves the picture as it was.
    void Convert(TEmbeddedPicture& Picture) override;

    // The placeable header put in front of the picture's bytes: the bounding box is one pixel larger
    // than the image in each direction, at 96 units per inch, with the XOR checksum of the first ten words.
    static std::array<std::uint8_t, PlaceableHeaderSize> MakePlaceableHeader(std::uint32_t WidthPixels,
                                                                             std::uint32_t HeightPixels);
};

} // namespace corvane
