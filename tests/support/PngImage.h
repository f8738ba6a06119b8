// Decodes the PNG files the metafile converter writes, for checking their header and pixels.
#pragma once

#include <png.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <vector>

namespace corvane::test {

struct TPngImage {
    std::uint32_t Width = 0;
    std::uint32_t Height = 0;
    std::uint8_t BitDepth = 0;  // as IHDR says
    std::uint8_t ColorType = 0; // as IHDR says
    std::vector<std::uint8_t> Rgb;

    // 0xRRGGBB of the pixel at (X, Y).
    std::uint32_t Pixel(std::uint32_t X, std::uint32_t Y) const {
        const std::uint8_t* At = Rgb.data() + (static_cast<std::size_t>(Y) * Width + X) * 3;
        return (static_cast<std::uint32_t>(At[0]) << 16) | (static_cast<std::uint32_t>(At[1]) << 8) | At[2];
    }
};

inline std::optional<TPngImage> DecodePng(const std::vector<std::uint8_t>& Png) {
    static constexpr std::uint8_t Signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    // The signature, then IHDR: length, "IHDR", width, height, bit depth, colour type.
    if (Png.size() < 33 || std::memcmp(Png.data(), Signature, 8) != 0 ||
        std::memcmp(Png.data() + 12, "IHDR", 4) != 0)
        return std::nullopt;
    TPngImage Image;
    auto BigEndian = [&](std::size_t At) {
        return (static_cast<std::uint32_t>(Png[At]) << 24) | (static_cast<std::uint32_t>(Png[At + 1]) << 16) |
               (static_cast<std::uint32_t>(Png[At + 2]) << 8) | Png[At + 3];
    };
    Image.Width = BigEndian(16);
    Image.Height = BigEndian(20);
    Image.BitDepth = Png[24];
    Image.ColorType = Png[25];

    png_image Reader;
    std::memset(&Reader, 0, sizeof Reader);
    Reader.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&Reader, Png.data(), Png.size())) return std::nullopt;
    Reader.format = PNG_FORMAT_RGB;
    Image.Rgb.resize(PNG_IMAGE_SIZE(Reader));
    if (!png_image_finish_read(&Reader, nullptr, Image.Rgb.data(), 0, nullptr)) {
        png_image_free(&Reader);
        return std::nullopt;
    }
    return Image;
}

} // namespace corvane::test
