// The graphics objects a metafile creates (pens, brushes, fonts, palettes, regions) and the table that
// holds them by index while the metafile plays.
#pragma once

#include "WmfBytes.h"
#include "WmfDib.h"
#include "WmfRecords.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace corvane::wmf {

// A colour reference as stored: red, green, blue and a flag byte (bit 0: the low word is a palette index).
using TWmfColorRef = std::uint32_t;

inline constexpr TWmfColorRef MakeColorRef(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue) {
    return Red | (Green << 8) | (static_cast<std::uint32_t>(Blue) << 16);
}

struct TWmfPen {
    std::uint16_t Style = psSolid;
    std::int32_t Width = 0; // logical units; 0 is one device pixel
    TWmfColorRef Color = MakeColorRef(0, 0, 0);
    std::vector<double> Dashes; // dash and gap lengths of a pen with its own, logical units
};

struct TWmfBrush {
    std::uint16_t Style = bsSolid;
    TWmfColorRef Color = MakeColorRef(255, 255, 255);
    std::uint16_t Hatch = hsHorizontal;
    std::shared_ptr<const TWmfImage> Pattern; // for pattern brushes
};

struct TWmfFont {
    std::int32_t Height = 0; // < 0: character height, > 0: cell height, 0: default size
    std::int32_t Width = 0;
    std::int32_t Escapement = 0; // tenths of a degree, anticlockwise
    std::int32_t Weight = 400;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    std::uint8_t CharSet = 0;
    std::string FaceName; // UTF-8
};

struct TWmfPalette {
    std::vector<std::uint32_t> Entries; // 0x00RRGGBB
};

// The palette a device context starts with: the twenty static colours.
inline constexpr std::array<std::uint32_t, 20> DefaultPalette{
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0,
    0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

// A colour reference as 0x00RRGGBB, a palette index looked up in Palette (black when outside it).
std::uint32_t ResolveColor(TWmfColorRef Color, std::span<const std::uint32_t> Palette);

struct TWmfRect {
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct TWmfRegion {
    std::vector<TWmfRect> Rects; // logical units; empty means the empty region
};

// An object of a kind the player does not use; it still takes its index.
struct TWmfOtherObject {};

using TWmfObject = std::variant<std::monostate, TWmfPen, TWmfBrush, TWmfFont,
                                std::shared_ptr<const TWmfPalette>, TWmfRegion, TWmfOtherObject>;

// Reading the object records' bodies. Each throws when the body is shorter than the object.
TWmfPen ReadPen(const TWmfBytes& Params);
TWmfBrush ReadBrush(const TWmfBytes& Params);
TWmfFont ReadFont(const TWmfBytes& Params);
TWmfPalette ReadPalette(const TWmfBytes& Params);
TWmfRegion ReadRegion(const TWmfBytes& Params);

// Objects by index. A new object takes the lowest free index; the table has the size the metafile
// header declares, and every index is checked against it.
class TWmfObjectTable {
public:
    explicit TWmfObjectTable(std::size_t Size) : FObjects(Size) {}

    // Throws when every index is taken.
    void Add(TWmfObject Object);
    // Puts Object at Index, as enhanced metafiles name the index themselves; throws outside the table.
    void Put(std::uint32_t Index, TWmfObject Object);
    // Throws for an index outside the table; an empty entry is std::monostate.
    const TWmfObject& Get(std::uint32_t Index) const;
    void Delete(std::uint32_t Index);

private:
    std::vector<TWmfObject> FObjects;
    std::size_t FFirstFree = 0; // no free index lies below this one
};

} // namespace corvane::wmf
