// Our enhanced metafile player: plays an EMF onto an RGB image and encodes it as PNG, drawing through
// the same painter, objects, bitmaps, clipping and text as the Windows metafile player.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace corvane::wmf {

// A metafile of more records than this is refused, so playing time stays bounded with the image size.
inline constexpr std::uint32_t MaxEmfRecords = 1 << 20;

// Plays Metafile onto a white image of Width x Height pixels (within the limits of WmfPlayer.h), with
// the header's frame stretched over the whole image. Returns the image as RGB rows (3 * Width bytes
// each, top-down), or nothing when the size is refused or the metafile cannot be read: a wrong header
// or signature, a record whose size is below 8, not a multiple of 4 or past the data, an object index
// outside the table, a bitmap larger than its bytes, too many records. A dual EMF+ file plays its EMF
// records; one that draws only in EMF+ records plays those (EmfPlusPlayer.h says which). Records the
// player does not know are skipped. Nothing is read outside Metafile.
std::optional<std::vector<std::uint8_t>> RenderEmf(std::span<const std::uint8_t> Metafile, int Width,
                                                   int Height);

// RenderEmf, encoded as a PNG file (colour type 2, 8 bits per sample).
std::optional<std::vector<std::uint8_t>> RenderEmfToPng(std::span<const std::uint8_t> Metafile, int Width,
                                                        int Height);

} // namespace corvane::wmf
