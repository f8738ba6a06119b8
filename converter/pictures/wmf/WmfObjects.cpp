#include "WmfObjects.h"

#include "CxUnicode.h"

#include <algorithm>

namespace corvane::wmf {

TWmfPen ReadPen(const TWmfBytes& Params) {
    // Style, width as a point (only its x counts), colour.
    TWmfPen Pen;
    Pen.Style = Params.U16(0);
    Pen.Width = Params.S16(2);
    Pen.Color = Params.U32(6);
    return Pen;
}

TWmfBrush ReadBrush(const TWmfBytes& Params) {
    TWmfBrush Brush;
    Brush.Style = Params.U16(0);
    Brush.Color = Params.U32(2);
    Brush.Hatch = Params.U16(6);
    // A pattern brush needs a bitmap this record cannot carry; it draws as a solid brush.
    if (Brush.Style != bsNull && Brush.Style != bsHatched) Brush.Style = bsSolid;
    return Brush;
}

TWmfFont ReadFont(const TWmfBytes& Params) {
    TWmfFont Font;
    Font.Height = Params.S16(0);
    Font.Width = Params.S16(2);
    Font.Escapement = Params.S16(4);
    Font.Weight = Params.S16(8);
    Font.Italic = Params.U8(10) != 0;
    Font.Underline = Params.U8(11) != 0;
    Font.StrikeOut = Params.U8(12) != 0;
    Font.CharSet = Params.U8(13);
    // The face name fills the rest of the record (at most 32 bytes), ended by a zero byte. Writers
    // often leave garbage after the zero, so reading stops there.
    constexpr std::size_t FaceOffset = 18;
    const std::size_t Available = Params.Size() > FaceOffset ? Params.Size() - FaceOffset : 0;
    const std::size_t Limit = std::min<std::size_t>(Available, 32);
    // The face name is written in the font's own character set (a Japanese face name in Shift-JIS, say).
    TUnicodeConverter Converter;
    Converter.SetCharset(Font.CharSet);
    for (std::size_t Index = 0; Index < Limit; ++Index) {
        const std::uint8_t Byte = Params.U8(FaceOffset + Index);
        if (Byte == 0) break;
        Converter.Convert(Byte, Font.FaceName);
    }
    return Font;
}

TWmfPalette ReadPalette(const TWmfBytes& Params) {
    // Start (0x0300), number of entries, then red, green, blue, flags per entry.
    TWmfPalette Palette;
    const std::uint16_t Count = Params.U16(2);
    if (!Params.Has(4, static_cast<std::size_t>(Count) * 4)) FailWmf("Palette larger than its record");
    Palette.Entries.reserve(Count);
    for (std::size_t Index = 0; Index < Count; ++Index) {
        const std::size_t Entry = 4 + 4 * Index;
        Palette.Entries.push_back((static_cast<std::uint32_t>(Params.U8(Entry)) << 16) |
                                  (static_cast<std::uint32_t>(Params.U8(Entry + 1)) << 8) |
                                  Params.U8(Entry + 2));
    }
    return Palette;
}

TWmfRegion ReadRegion(const TWmfBytes& Params) {
    // Header: next in chain, object type, object count, region size, scan count, largest scan,
    // bounding rectangle (22 bytes); then each scan: count of x values, top, bottom, the x pairs, the
    // count again.
    TWmfRegion Region;
    const std::uint16_t ScanCount = Params.U16(10);
    std::size_t Offset = 22;
    for (std::uint16_t Scan = 0; Scan < ScanCount; ++Scan) {
        const std::uint16_t Count = Params.U16(Offset);
        const std::int16_t Top = Params.S16(Offset + 2);
        const std::int16_t Bottom = Params.S16(Offset + 4);
        if (!Params.Has(Offset + 6, static_cast<std::size_t>(Count) * 2 + 2))
            FailWmf("Region larger than its record");
        for (std::size_t Pair = 0; Pair + 1 < Count; Pair += 2) {
            const std::int16_t Left = Params.S16(Offset + 6 + 2 * Pair);
            const std::int16_t Right = Params.S16(Offset + 8 + 2 * Pair);
            if (Left < Right && Top < Bottom) Region.Rects.push_back({Left, Top, Right, Bottom});
        }
        Offset += 6 + static_cast<std::size_t>(Count) * 2 + 2;
    }
    return Region;
}

std::uint32_t ResolveColor(TWmfColorRef Color, std::span<const std::uint32_t> Palette) {
    if ((Color >> 24) & ColorRefPaletteIndex) {
        const std::uint32_t Index = Color & 0xFFFF;
        return Index < Palette.size() ? Palette[Index] : 0;
    }
    return ((Color & 0xFF) << 16) | (Color & 0xFF00) | ((Color >> 16) & 0xFF);
}

void TWmfObjectTable::Add(TWmfObject Object) {
    while (FFirstFree < FObjects.size() && !std::holds_alternative<std::monostate>(FObjects[FFirstFree]))
        ++FFirstFree;
    if (FFirstFree >= FObjects.size()) FailWmf("Metafile object table full");
    FObjects[FFirstFree++] = std::move(Object);
}

void TWmfObjectTable::Put(std::uint32_t Index, TWmfObject Object) {
    if (Index >= FObjects.size()) FailWmf("Metafile object index out of range");
    FObjects[Index] = std::move(Object);
}

const TWmfObject& TWmfObjectTable::Get(std::uint32_t Index) const {
    if (Index >= FObjects.size()) FailWmf("Metafile object index out of range");
    return FObjects[Index];
}

void TWmfObjectTable::Delete(std::uint32_t Index) {
    if (Index >= FObjects.size()) FailWmf("Metafile object index out of range");
    FObjects[Index] = std::monostate{};
    FFirstFree = std::min<std::size_t>(FFirstFree, Index);
}

} // namespace corvane::wmf
