// PNG encoding of an RGB image through libpng: colour type 2 (truecolour), 8 bits per sample.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace corvane::wmf {

// Rgb holds Height rows of 3 * Width bytes, top-down. Returns the PNG file's bytes, or nothing when
// libpng refuses the image.
std::optional<std::vector<std::uint8_t>> EncodePng(std::span<const std::uint8_t> Rgb, int Width, int Height);

} // namespace corvane::wmf
