#include "EmfObjects.h"

#include "CxUnicode.h"
#include "EmfRecords.h"
#include "WmfPainter.h"

#include <algorithm>

namespace corvane::wmf {

namespace {

// The style of an enhanced metafile pen, in the terms of a Windows metafile one.
std::uint16_t PenStyle(std::uint32_t Style) {
    std::uint32_t Kind = Style & psStyleMask;
    if (Kind == PenUserStyle)
        Kind = psSolid; // user dash arrays are drawn solid
    else if (Kind == PenAlternate)
        Kind = psDot; // every other pixel
    else if (Kind > psInsideFrame)
        Kind = psSolid;
    return static_cast<std::uint16_t>(Kind | (Style & (psEndCapMask | psJoinMask)));
}

} // namespace

TWmfPen ReadEmfPen(const TWmfBytes& Record) {
    // Index, then the style, the width as a point (only its x counts), the colour.
    TWmfPen Pen;
    const std::uint32_t Style = Record.U32(12);
    Pen.Style = PenStyle(Style);
    const std::int32_t Width = Record.S32(16);
    Pen.Width = Width > 1 ? Width : 0;
    Pen.Color = Record.U32(24);
    return Pen;
}

TWmfPen ReadEmfExtPen(const TWmfBytes& Record) {
    // Index, the pattern bitmap's offsets and sizes, then style, width, brush style, colour, hatch.
    TWmfPen Pen;
    const std::uint32_t Style = Record.U32(28);
    Pen.Style = PenStyle(Style);
    const std::int32_t Width = Record.S32(32);
    // A cosmetic pen is one device pixel wide whatever its width says.
    Pen.Width = (Style & PenGeometric) && Width > 0 ? Width : 0;
    if (Record.U32(36) == bsNull) Pen.Style = psNull;
    Pen.Color = Record.U32(40);
    // Then the number of the pen's own dash and gap lengths, and the lengths.
    if ((Style & psStyleMask) == PenUserStyle) {
        const std::uint32_t Count = Record.U32(48);
        if (!Record.Has(52, static_cast<std::size_t>(Count) * 4)) FailWmf("Dashes run past their record");
        for (std::size_t Index = 0; Index < std::min<std::size_t>(Count, MaxUserDashes); ++Index)
            Pen.Dashes.push_back(Record.U32(52 + 4 * Index));
    }
    return Pen;
}

TWmfBrush ReadEmfBrush(const TWmfBytes& Record) {
    TWmfBrush Brush;
    const std::uint32_t Style = Record.U32(12);
    Brush.Color = Record.U32(16);
    Brush.Hatch = static_cast<std::uint16_t>(std::min<std::uint32_t>(Record.U32(20), 0xFFFF));
    // Pattern brushes come with their bitmap in records of their own; here they can only be solid.
    Brush.Style =
        Style == bsNull || Style == bsHatched ? static_cast<std::uint16_t>(Style) : std::uint16_t{bsSolid};
    return Brush;
}

TWmfFont ReadEmfFont(const TWmfBytes& Record) {
    // Index, then the logical font: height, width, escapement, orientation, weight, four flag bytes,
    // four more bytes, and the face name of at most 32 UTF-16 units, ended by a zero.
    constexpr std::size_t Font0 = 12;
    constexpr std::size_t FaceOffset = Font0 + 28;
    TWmfFont Font;
    Font.Height = Record.S32(Font0);
    Font.Width = Record.S32(Font0 + 4);
    Font.Escapement = Record.S32(Font0 + 8);
    Font.Weight = Record.S32(Font0 + 16);
    Font.Italic = Record.U8(Font0 + 20) != 0;
    Font.Underline = Record.U8(Font0 + 21) != 0;
    Font.StrikeOut = Record.U8(Font0 + 22) != 0;
    Font.CharSet = Record.U8(Font0 + 23);
    for (std::size_t Unit = 0; Unit < 32 && Record.Has(FaceOffset + 2 * Unit, 2); ++Unit) {
        const std::uint16_t Value = Record.U16(FaceOffset + 2 * Unit);
        if (Value == 0) break;
        // A face name needs no characters beyond the first plane; a broken surrogate ends it.
        if (Value >= 0xD800 && Value <= 0xDFFF) break;
        AppendUtf8(Value, Font.FaceName);
    }
    return Font;
}

TWmfPalette ReadEmfPalette(const TWmfBytes& Record) {
    // Index, then version and count, then red, green, blue, flags per entry.
    TWmfPalette Palette;
    const std::uint16_t Count = Record.U16(14);
    if (!Record.Has(16, static_cast<std::size_t>(Count) * 4)) FailWmf("Palette larger than its record");
    Palette.Entries.reserve(Count);
    for (std::size_t Index = 0; Index < Count; ++Index) {
        const std::size_t Entry = 16 + 4 * Index;
        Palette.Entries.push_back((static_cast<std::uint32_t>(Record.U8(Entry)) << 16) |
                                  (static_cast<std::uint32_t>(Record.U8(Entry + 1)) << 8) |
                                  Record.U8(Entry + 2));
    }
    return Palette;
}

TWmfObject StockObject(std::uint32_t Number) {
    auto Brush = [](std::uint16_t Style, TWmfColorRef Color) {
        TWmfBrush Made;
        Made.Style = Style;
        Made.Color = Color;
        return Made;
    };
    auto Pen = [](std::uint16_t Style, TWmfColorRef Color) {
        TWmfPen Made;
        Made.Style = Style;
        Made.Color = Color;
        return Made;
    };
    switch (Number) {
    case soWhiteBrush:
    case soDCBrush:
        return Brush(bsSolid, MakeColorRef(255, 255, 255));
    case soLtGrayBrush:
        return Brush(bsSolid, MakeColorRef(192, 192, 192));
    case soGrayBrush:
        return Brush(bsSolid, MakeColorRef(128, 128, 128));
    case soDkGrayBrush:
        return Brush(bsSolid, MakeColorRef(64, 64, 64));
    case soBlackBrush:
        return Brush(bsSolid, MakeColorRef(0, 0, 0));
    case soNullBrush:
        return Brush(bsNull, 0);
    case soWhitePen:
        return Pen(psSolid, MakeColorRef(255, 255, 255));
    case soBlackPen:
    case soDCPen:
        return Pen(psSolid, MakeColorRef(0, 0, 0));
    case soNullPen:
        return Pen(psNull, 0);
    default:
        if (Number >= soOemFixedFont && Number <= soDefaultGuiFont && Number != soDefaultPalette)
            return TWmfFont{};
        return std::monostate{};
    }
}

} // namespace corvane::wmf
