#include "WmfText.h"

#include "CxUnicode.h"

#include <cmath>
#include <string>
#include <string_view>

namespace corvane::wmf {

namespace {

constexpr std::uint8_t SymbolCharset = 2;
// Larger text than this covers any image many times over.
constexpr double MaxEmPixels = 1 << 16;

// cairo refuses text that is not UTF-8 and stops drawing altogether, so nothing else reaches it.
bool IsUtf8(std::string_view Text) {
    std::size_t Index = 0;
    while (Index < Text.size()) {
        const auto Lead = static_cast<unsigned char>(Text[Index]);
        std::size_t Length = 0;
        char32_t Value = 0;
        if (Lead < 0x80) {
            ++Index;
            continue;
        } else if (Lead >= 0xC2 && Lead <= 0xDF) {
            Length = 2;
            Value = Lead & 0x1F;
        } else if (Lead >= 0xE0 && Lead <= 0xEF) {
            Length = 3;
            Value = Lead & 0x0F;
        } else if (Lead >= 0xF0 && Lead <= 0xF4) {
            Length = 4;
            Value = Lead & 0x07;
        } else {
            return false;
        }
        if (Length > Text.size() - Index) return false;
        for (std::size_t Next = 1; Next < Length; ++Next) {
            const auto Byte = static_cast<unsigned char>(Text[Index + Next]);
            if ((Byte & 0xC0) != 0x80) return false;
            Value = (Value << 6) | (Byte & 0x3F);
        }
        const char32_t Smallest = Length == 2 ? 0x80 : Length == 3 ? 0x800 : 0x10000;
        if (Value < Smallest || Value > 0x10FFFF || (Value >= 0xD800 && Value <= 0xDFFF)) return false;
        Index += Length;
    }
    return true;
}

struct TCharacter {
    std::string Utf8;
    std::size_t FirstByte = 0;
};

void Keep(std::vector<TCharacter>& Characters, std::string&& Piece, std::size_t Start, bool Symbol) {
    if (static_cast<unsigned char>(Piece[0]) >= 0x20 && Piece[0] != 0x7F && IsUtf8(Piece))
        Characters.push_back({Symbol ? SymbolToUnicode(Piece) : std::move(Piece), Start});
}

// One character per entry, with the byte (or UTF-16 code unit) it starts at, so per-unit advances can
// place it. Control characters take their advance but draw nothing.
std::vector<TCharacter> Decode(std::span<const std::uint8_t> Text, std::uint8_t Charset) {
    TUnicodeConverter Converter;
    Converter.SetCharset(Charset);
    std::vector<TCharacter> Characters;
    std::string Piece;
    std::size_t Start = 0;
    for (std::size_t Index = 0; Index < Text.size(); ++Index) {
        Piece.clear();
        Converter.Convert(Text[Index], Piece);
        if (Piece.empty()) continue; // the lead byte of a pair
        Keep(Characters, std::move(Piece), Start, Charset == SymbolCharset);
        Piece = std::string();
        Start = Index + 1;
    }
    return Characters;
}

std::vector<TCharacter> DecodeUtf16(std::span<const std::uint8_t> Text, std::uint8_t Charset) {
    std::vector<TCharacter> Characters;
    const std::size_t Units = Text.size() / 2;
    auto Unit = [&](std::size_t Index) {
        return static_cast<char32_t>(Text[2 * Index] | (Text[2 * Index + 1] << 8));
    };
    for (std::size_t Index = 0; Index < Units; ++Index) {
        const std::size_t Start = Index;
        char32_t Value = Unit(Index);
        if (Value >= 0xD800 && Value <= 0xDBFF && Index + 1 < Units && Unit(Index + 1) >= 0xDC00 &&
            Unit(Index + 1) <= 0xDFFF)
            Value = 0x10000 + ((Value - 0xD800) << 10) + (Unit(++Index) - 0xDC00);
        if (Value >= 0xD800 && Value <= 0xDFFF) continue;
        std::string Piece;
        AppendUtf8(Value, Piece);
        Keep(Characters, std::move(Piece), Start, Charset == SymbolCharset);
    }
    return Characters;
}

std::string FamilyName(const TWmfFont& Font) {
    if (Font.FaceName.empty() || !IsUtf8(Font.FaceName)) return "sans-serif";
    return Font.FaceName;
}

// Glyphs are drawn from cached masks; a mask for a glyph larger than this would cost more memory than
// the outline filled as a path.
constexpr double LargestMaskedGlyph = 256;

void ShowText(cairo_t* Context, const std::string& Utf8, double Em) {
    if (Em <= LargestMaskedGlyph) {
        cairo_show_text(Context, Utf8.c_str());
        return;
    }
    cairo_text_path(Context, Utf8.c_str());
    cairo_fill(Context);
}

double EmPixels(cairo_t* Context, const TWmfFont& Font, const TWmfTextOut& Text) {
    const double Scale = Text.EmScale;
    if (Font.Height < 0) return -static_cast<double>(Font.Height) * Scale;
    if (Font.Height == 0) return Text.DefaultEm;
    // A positive height is the cell: ascent and descent together.
    cairo_set_font_size(Context, 1);
    cairo_font_extents_t Extents;
    cairo_font_extents(Context, &Extents);
    const double Cell = Extents.ascent + Extents.descent;
    return Cell > 0 ? Font.Height * Scale / Cell : Font.Height * Scale;
}

} // namespace

double DrawText(TWmfPainter& Painter, const TWmfFont& Font, const TWmfTextOut& Text) {
    cairo_t* Context = Painter.Context();
    const std::vector<TCharacter> Characters =
        Text.Utf16 ? DecodeUtf16(Text.Text, Font.CharSet) : Decode(Text.Text, Font.CharSet);

    cairo_save(Context);
    cairo_select_font_face(Context, FamilyName(Font).c_str(),
                           Font.Italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                           Font.Weight >= 600 ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    const double Em = EmPixels(Context, Font, Text);
    if (!(Em >= 0.1 && Em <= MaxEmPixels)) {
        cairo_restore(Context);
        return 0;
    }
    cairo_set_font_size(Context, Em);
    cairo_font_extents_t FontExtents;
    cairo_font_extents(Context, &FontExtents);

    // Where each byte starts along the baseline, and the whole advance.
    std::vector<double> Positions;
    double Advance = 0;
    std::string Whole;
    if (!Text.Advances.empty()) {
        Positions.reserve(Text.Advances.size() + 1);
        for (double Step : Text.Advances) {
            Positions.push_back(Advance);
            Advance += Step;
        }
    } else {
        for (const TCharacter& Character : Characters)
            Whole += Character.Utf8;
        cairo_text_extents_t Extents;
        cairo_text_extents(Context, Whole.c_str(), &Extents);
        Advance = Extents.x_advance;
    }

    if (!std::isfinite(Advance) || !std::isfinite(Text.Origin.X) || !std::isfinite(Text.Origin.Y)) {
        cairo_restore(Context);
        return 0;
    }
    cairo_translate(Context, Bounded(Text.Origin.X), Bounded(Text.Origin.Y));
    if (std::isfinite(Text.Rotation)) cairo_rotate(Context, Text.Rotation);

    double Left = 0;
    if ((Text.Align & taHorizontalMask) == taRight)
        Left = -Advance;
    else if ((Text.Align & taHorizontalMask) == taCenter)
        Left = -Advance / 2;
    double Baseline = FontExtents.ascent;
    if ((Text.Align & taVerticalMask) == taBaseline)
        Baseline = 0;
    else if ((Text.Align & taVerticalMask) == taBottom)
        Baseline = -FontExtents.descent;

    if (Text.Background.Opaque)
        Painter.FillRect(
            {Left, Baseline - FontExtents.ascent, Advance, FontExtents.ascent + FontExtents.descent},
            Text.Background.Color);
    cairo_set_source_rgb(Context, ((Text.Color >> 16) & 0xFF) / 255.0, ((Text.Color >> 8) & 0xFF) / 255.0,
                         (Text.Color & 0xFF) / 255.0);
    if (!Text.Advances.empty()) {
        for (const TCharacter& Character : Characters) {
            cairo_move_to(Context, Bounded(Left + Positions[Character.FirstByte]), Baseline);
            ShowText(Context, Character.Utf8, Em);
        }
    } else {
        cairo_move_to(Context, Bounded(Left), Baseline);
        ShowText(Context, Whole, Em);
    }
    const double Thickness = std::max(1.0, Em / 16);
    if (Font.Underline) {
        cairo_new_path(Context);
        Painter.AddRectangle({Left, Baseline + Em / 10, Advance, Thickness});
        cairo_fill(Context);
    }
    if (Font.StrikeOut) {
        cairo_new_path(Context);
        Painter.AddRectangle({Left, Baseline - Em * 0.28, Advance, Thickness});
        cairo_fill(Context);
    }
    cairo_restore(Context);
    return Advance;
}

} // namespace corvane::wmf
