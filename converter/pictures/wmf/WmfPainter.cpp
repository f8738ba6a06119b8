#include "WmfPainter.h"

#include "WmfBytes.h"
#include "WmfRecords.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace corvane::wmf {

namespace {

void SetColor(cairo_t* Context, std::uint32_t Color) {
    cairo_set_source_rgb(Context, ((Color >> 16) & 0xFF) / 255.0, ((Color >> 8) & 0xFF) / 255.0,
                         (Color & 0xFF) / 255.0);
}

std::uint32_t Inverted(std::uint32_t Color) {
    return ~Color & 0xFFFFFF;
}

// The 8 x 8 hatch: which pixels carry the hatch colour.
bool HatchPixel(std::uint16_t Hatch, int X, int Y) {
    switch (Hatch) {
    case hsHorizontal:
        return Y == 7;
    case hsVertical:
        return X == 7;
    case hsFDiagonal:
        return X == Y;
    case hsBDiagonal:
        return X == 7 - Y;
    case hsCross:
        return X == 7 || Y == 7;
    case hsDiagCross:
        return X == Y || X == 7 - Y;
    default:
        return false;
    }
}

cairo_surface_t* WrapImage(const TWmfImage& Image) {
    // cairo only reads a source surface; the pixels stay owned by the image.
    auto* Data = reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(Image.Pixels.data()));
    return cairo_image_surface_create_for_data(Data, CAIRO_FORMAT_ARGB32, Image.Width, Image.Height,
                                               Image.Width * 4);
}

} // namespace

double Bounded(double Value) {
    if (!std::isfinite(Value)) return 0;
    return std::clamp(Value, -CoordinateLimit, CoordinateLimit);
}

TWmfRectD RectFromCorners(TWmfPointD A, TWmfPointD B) {
    return {std::min(A.X, B.X), std::min(A.Y, B.Y), std::fabs(B.X - A.X), std::fabs(B.Y - A.Y)};
}

TWmfPainter::TWmfPainter(int Width, int Height) : FWidth(Width), FHeight(Height) {
    FSurface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, Width, Height);
    FContext = cairo_create(FSurface);
    if (cairo_status(FContext) != CAIRO_STATUS_SUCCESS) {
        cairo_destroy(FContext);
        cairo_surface_destroy(FSurface);
        FailWmf("Image cannot be created");
    }
    cairo_set_source_rgb(FContext, 1, 1, 1);
    cairo_paint(FContext);
}

TWmfPainter::~TWmfPainter() {
    cairo_destroy(FContext);
    cairo_surface_destroy(FSurface);
}

void TWmfPainter::SetClip(const TWmfClip& Clip) {
    cairo_reset_clip(FContext);
    if (!Clip.IsSet()) return;
    // Only the part over the image matters, and cairo's fixed-point numbers hold little more.
    cairo_region_t* Visible = cairo_region_copy(Clip.Region());
    const cairo_rectangle_int_t Image{-1, -1, FWidth + 2, FHeight + 2};
    cairo_region_intersect_rectangle(Visible, &Image);
    cairo_new_path(FContext);
    const int Count = cairo_region_num_rectangles(Visible);
    for (int Index = 0; Index < Count; ++Index) {
        cairo_rectangle_int_t Rect;
        cairo_region_get_rectangle(Visible, Index, &Rect);
        cairo_rectangle(FContext, Rect.x, Rect.y, Rect.width, Rect.height);
    }
    cairo_region_destroy(Visible);
    if (Count == 0) cairo_rectangle(FContext, 0, 0, 0, 0);
    cairo_clip(FContext);
}

void TWmfPainter::NewPath() {
    cairo_new_path(FContext);
    FPathLength = 0;
}

void TWmfPainter::MoveTo(TWmfPointD Point) {
    FLast = {Bounded(Point.X), Bounded(Point.Y)};
    cairo_move_to(FContext, FLast.X, FLast.Y);
}

void TWmfPainter::LineTo(TWmfPointD Point) {
    const TWmfPointD Next{Bounded(Point.X), Bounded(Point.Y)};
    FPathLength += std::hypot(Next.X - FLast.X, Next.Y - FLast.Y);
    FLast = Next;
    cairo_line_to(FContext, Next.X, Next.Y);
}

void TWmfPainter::CurveTo(TWmfPointD First, TWmfPointD Second, TWmfPointD End) {
    const TWmfPointD A{Bounded(First.X), Bounded(First.Y)}, B{Bounded(Second.X), Bounded(Second.Y)};
    const TWmfPointD Next{Bounded(End.X), Bounded(End.Y)};
    // The control polygon is never shorter than the curve.
    FPathLength += std::hypot(A.X - FLast.X, A.Y - FLast.Y) + std::hypot(B.X - A.X, B.Y - A.Y) +
                   std::hypot(Next.X - B.X, Next.Y - B.Y);
    FLast = Next;
    cairo_curve_to(FContext, A.X, A.Y, B.X, B.Y, Next.X, Next.Y);
}

void TWmfPainter::ClosePath() {
    cairo_close_path(FContext);
}

void TWmfPainter::AddRectangle(const TWmfRectD& Rect) {
    FPathLength += 2 * (std::fabs(Bounded(Rect.Width)) + std::fabs(Bounded(Rect.Height)));
    cairo_rectangle(FContext, Bounded(Rect.X), Bounded(Rect.Y), Bounded(Rect.Width), Bounded(Rect.Height));
}

void TWmfPainter::AddArc(const TWmfRectD& Box, double Start, double End) {
    const double RadiusX = Bounded(Box.Width / 2), RadiusY = Bounded(Box.Height / 2);
    const double CenterX = Bounded(Box.X + Box.Width / 2), CenterY = Bounded(Box.Y + Box.Height / 2);
    if (!std::isfinite(Start) || !std::isfinite(End)) return;
    FPathLength += 2 * std::numbers::pi * std::max(RadiusX, RadiusY);
    if (RadiusX < 1e-6 || RadiusY < 1e-6) {
        // A flat ellipse is its diameter.
        cairo_line_to(FContext, CenterX + RadiusX * std::cos(Start), CenterY + RadiusY * std::sin(Start));
        cairo_line_to(FContext, CenterX + RadiusX * std::cos(End), CenterY + RadiusY * std::sin(End));
        return;
    }
    cairo_save(FContext);
    cairo_translate(FContext, CenterX, CenterY);
    cairo_scale(FContext, RadiusX, RadiusY);
    cairo_arc_negative(FContext, 0, 0, 1, Start, End);
    cairo_restore(FContext);
}

void TWmfPainter::AddEllipse(const TWmfRectD& Box) {
    cairo_new_sub_path(FContext);
    AddArc(Box, 2 * std::numbers::pi, 0);
    cairo_close_path(FContext);
}

void TWmfPainter::AddRoundRect(const TWmfRectD& Box, double CornerWidth, double CornerHeight) {
    const double RadiusX = std::min(std::fabs(CornerWidth) / 2, Box.Width / 2);
    const double RadiusY = std::min(std::fabs(CornerHeight) / 2, Box.Height / 2);
    if (!(RadiusX > 0 && RadiusY > 0)) {
        AddRectangle(Box);
        return;
    }
    const double Left = Box.X, Top = Box.Y, Right = Box.X + Box.Width, Bottom = Box.Y + Box.Height;
    constexpr double Pi = std::numbers::pi;
    cairo_new_sub_path(FContext);
    // Corners clockwise on the image from the top right; each is a quarter ellipse.
    AddArc({Right - 2 * RadiusX, Top, 2 * RadiusX, 2 * RadiusY}, 2 * Pi, 1.5 * Pi);
    AddArc({Left, Top, 2 * RadiusX, 2 * RadiusY}, 1.5 * Pi, Pi);
    AddArc({Left, Bottom - 2 * RadiusY, 2 * RadiusX, 2 * RadiusY}, Pi, 0.5 * Pi);
    AddArc({Right - 2 * RadiusX, Bottom - 2 * RadiusY, 2 * RadiusX, 2 * RadiusY}, 0.5 * Pi, 0);
    cairo_close_path(FContext);
}

bool TWmfPainter::SetPenOrBrushOperator(std::uint32_t& Color) const {
    // Blend modes stand in for the bitwise operations; they agree on black and white and on every
    // fully saturated colour, which is what such drawing uses.
    cairo_operator_t Operator = CAIRO_OPERATOR_OVER;
    switch (FRop2) {
    case r2Nop:
        return false;
    case r2Black:
        Color = 0;
        break;
    case r2White:
        Color = 0xFFFFFF;
        break;
    case r2NotCopyPen:
        Color = Inverted(Color);
        break;
    case r2Not:
        Color = 0xFFFFFF;
        Operator = CAIRO_OPERATOR_DIFFERENCE;
        break;
    case r2XorPen:
        Operator = CAIRO_OPERATOR_DIFFERENCE;
        break;
    case r2NotXorPen:
        Color = Inverted(Color);
        Operator = CAIRO_OPERATOR_DIFFERENCE;
        break;
    case r2MaskPen:
        Operator = CAIRO_OPERATOR_MULTIPLY;
        break;
    case r2MaskNotPen:
        Color = Inverted(Color);
        Operator = CAIRO_OPERATOR_MULTIPLY;
        break;
    case r2MergePen:
        Operator = CAIRO_OPERATOR_LIGHTEN;
        break;
    case r2MergeNotPen:
        Color = Inverted(Color);
        Operator = CAIRO_OPERATOR_LIGHTEN;
        break;
    default:
        break;
    }
    cairo_set_operator(FContext, Operator);
    return true;
}

void TWmfPainter::SetFillSource(const TWmfFill& Fill, const TWmfBackground& Background, std::uint32_t Color) {
    cairo_surface_t* Tile = nullptr;
    if (Fill.Kind == TWmfFill::fkHatch) {
        Tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
        cairo_surface_flush(Tile);
        unsigned char* Data = cairo_image_surface_get_data(Tile);
        if (Data != nullptr) {
            const int Stride = cairo_image_surface_get_stride(Tile);
            for (int Y = 0; Y < 8; ++Y)
                for (int X = 0; X < 8; ++X) {
                    std::uint32_t Pixel = Background.Opaque ? OpaquePixel(Background.Color) : 0;
                    if (HatchPixel(Fill.Hatch, X, Y)) Pixel = OpaquePixel(Color);
                    reinterpret_cast<std::uint32_t*>(Data + Y * Stride)[X] = Pixel;
                }
            cairo_surface_mark_dirty(Tile);
        }
    } else if (Fill.Kind == TWmfFill::fkPattern && Fill.Pattern != nullptr) {
        Tile = WrapImage(*Fill.Pattern);
    } else {
        SetColor(FContext, Color);
        return;
    }
    // The pattern holds the surface; both go with the next source.
    cairo_pattern_t* Pattern = cairo_pattern_create_for_surface(Tile);
    cairo_surface_destroy(Tile);
    cairo_pattern_set_extend(Pattern, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(Pattern, CAIRO_FILTER_NEAREST);
    cairo_set_source(FContext, Pattern);
    cairo_pattern_destroy(Pattern);
}

void TWmfPainter::Fill(const TWmfFill& Fill, const TWmfBackground& Background, bool Winding) {
    if (Fill.Kind == TWmfFill::fkNone) return;
    std::uint32_t Color = Fill.Color;
    if (!SetPenOrBrushOperator(Color)) return;
    SetFillSource(Fill, Background, Color);
    cairo_set_fill_rule(FContext, Winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
    cairo_fill_preserve(FContext);
    cairo_set_operator(FContext, CAIRO_OPERATOR_OVER);
}

void TWmfPainter::Stroke(const TWmfStroke& Stroke, const TWmfBackground& Background) {
    const std::uint16_t Style = Stroke.Style & psStyleMask;
    if (Style == psNull) return;
    std::uint32_t Color = Stroke.Color;
    if (!SetPenOrBrushOperator(Color)) return;
    const double Width = std::isfinite(Stroke.Width) ? std::clamp(Stroke.Width, 1.0, CoordinateLimit) : 1.0;
    cairo_set_line_width(FContext, Width);
    switch (Stroke.Style & psEndCapMask) {
    case psEndCapSquare:
        cairo_set_line_cap(FContext, CAIRO_LINE_CAP_SQUARE);
        break;
    case psEndCapFlat:
        cairo_set_line_cap(FContext, CAIRO_LINE_CAP_BUTT);
        break;
    default:
        cairo_set_line_cap(FContext, CAIRO_LINE_CAP_ROUND);
        break;
    }
    switch (Stroke.Style & psJoinMask) {
    case psJoinBevel:
        cairo_set_line_join(FContext, CAIRO_LINE_JOIN_BEVEL);
        break;
    case psJoinMiter:
        cairo_set_line_join(FContext, CAIRO_LINE_JOIN_MITER);
        break;
    default:
        cairo_set_line_join(FContext, CAIRO_LINE_JOIN_ROUND);
        break;
    }
    // Dashed styles count in pen widths; the gaps take the background when it is opaque.
    static constexpr std::array<double, 2> Dash{18, 6};
    static constexpr std::array<double, 2> Dot{3, 3};
    static constexpr std::array<double, 4> DashDot{9, 6, 3, 6};
    static constexpr std::array<double, 6> DashDotDot{9, 3, 3, 3, 3, 3};
    std::span<const double> Pattern;
    switch (Style) {
    case psDash:
        Pattern = Dash;
        break;
    case psDot:
        Pattern = Dot;
        break;
    case psDashDot:
        Pattern = DashDot;
        break;
    case psDashDotDot:
        Pattern = DashDotDot;
        break;
    default:
        break;
    }
    // Dashes cost time by their number; a path that would need millions of them is drawn solid.
    constexpr double MaxDashes = 1e6;
    std::array<double, MaxUserDashes> Scaled{};
    std::size_t Count = 0;
    if (!Stroke.Dashes.empty()) {
        double Period = 0;
        Count = std::min(Stroke.Dashes.size(), Scaled.size());
        for (std::size_t Index = 0; Index < Count; ++Index) {
            const double Length = Stroke.Dashes[Index];
            Scaled[Index] = std::isfinite(Length) ? std::clamp(Length, 0.0, CoordinateLimit) : 0;
            Period += Scaled[Index];
        }
        if (!(Period > 0) || FPathLength / Period * Count > MaxDashes) Count = 0;
    } else if (!Pattern.empty() && FPathLength / (Width * 3) <= MaxDashes) {
        Count = Pattern.size();
        for (std::size_t Index = 0; Index < Count; ++Index)
            Scaled[Index] = Pattern[Index] * Width;
    }
    if (Count > 0) {
        if (Background.Opaque) {
            SetColor(FContext, Background.Color);
            cairo_stroke_preserve(FContext);
        }
        cairo_set_dash(FContext, Scaled.data(), static_cast<int>(Count), 0);
    }
    SetColor(FContext, Color);
    cairo_stroke_preserve(FContext);
    cairo_set_dash(FContext, nullptr, 0, 0);
    cairo_set_operator(FContext, CAIRO_OPERATOR_OVER);
}

void TWmfPainter::PatternBlit(const TWmfRectD& Rect, const TWmfFill& Fill, const TWmfBackground& Background,
                              std::uint32_t Rop3) {
    cairo_new_path(FContext);
    AddRectangle(Rect);
    cairo_operator_t Operator = CAIRO_OPERATOR_OVER;
    switch (Rop3) {
    case r3Dst:
        cairo_new_path(FContext);
        return;
    case r3Blackness:
        SetColor(FContext, 0);
        break;
    case r3Whiteness:
        SetColor(FContext, 0xFFFFFF);
        break;
    case r3DstInvert:
        SetColor(FContext, 0xFFFFFF);
        Operator = CAIRO_OPERATOR_DIFFERENCE;
        break;
    case r3PatInvert:
        Operator = CAIRO_OPERATOR_DIFFERENCE;
        [[fallthrough]];
    default:
        if (Fill.Kind == TWmfFill::fkNone) {
            cairo_new_path(FContext);
            return;
        }
        SetFillSource(Fill, Background, Fill.Color);
        break;
    }
    cairo_set_operator(FContext, Operator);
    cairo_fill(FContext);
    cairo_set_operator(FContext, CAIRO_OPERATOR_OVER);
}

void TWmfPainter::ImageBlit(const TWmfImage& Image, const TWmfRectD& Source, const TWmfRectD& Target,
                            std::uint32_t Rop3, bool Smooth, double Opacity) {
    if (Source.Width == 0 || Source.Height == 0 || Image.Width <= 0 || Image.Height <= 0) return;
    const double ScaleX = Target.Width / Source.Width, ScaleY = Target.Height / Source.Height;
    // The image sampler works in 16.16 fixed point, so its scales stay inside what that holds.
    constexpr double MaxScale = 30000;
    auto Drawable = [](double Scale) {
        return std::isfinite(Scale) && std::fabs(Scale) >= 1 / MaxScale && std::fabs(Scale) <= MaxScale;
    };
    if (!Drawable(ScaleX) || !Drawable(ScaleY)) return;
    // Only the part of the source rectangle inside the image is drawn.
    const double Left = std::max(std::min(Source.X, Source.X + Source.Width), 0.0);
    const double Right =
        std::min(std::max(Source.X, Source.X + Source.Width), static_cast<double>(Image.Width));
    const double Top = std::max(std::min(Source.Y, Source.Y + Source.Height), 0.0);
    const double Bottom =
        std::min(std::max(Source.Y, Source.Y + Source.Height), static_cast<double>(Image.Height));
    if (Left >= Right || Top >= Bottom) return;
    const TWmfRectD Visible =
        RectFromCorners({Target.X + (Left - Source.X) * ScaleX, Target.Y + (Top - Source.Y) * ScaleY},
                        {Target.X + (Right - Source.X) * ScaleX, Target.Y + (Bottom - Source.Y) * ScaleY});

    cairo_operator_t Operator = CAIRO_OPERATOR_OVER;
    bool Invert = false;
    switch (Rop3) {
    case r3SrcPaint:
        Operator = CAIRO_OPERATOR_LIGHTEN;
        break;
    case r3SrcAnd:
        Operator = CAIRO_OPERATOR_MULTIPLY;
        break;
    case r3SrcInvert:
        Operator = CAIRO_OPERATOR_DIFFERENCE;
        break;
    case r3NotSrcCopy:
        Invert = true;
        break;
    case r3MergePaint:
        Invert = true;
        Operator = CAIRO_OPERATOR_LIGHTEN;
        break;
    default:
        break;
    }
    TWmfImage InvertedImage;
    const TWmfImage* Drawn = &Image;
    if (Invert) {
        InvertedImage = Image;
        for (std::uint32_t& Pixel : InvertedImage.Pixels)
            if ((Pixel >> 24) == 0xFF) Pixel = OpaquePixel(Inverted(Pixel));
        Drawn = &InvertedImage;
    }
    cairo_surface_t* Surface = WrapImage(*Drawn);
    cairo_save(FContext);
    cairo_new_path(FContext);
    AddRectangle(Visible);
    cairo_clip(FContext);
    cairo_translate(FContext, Bounded(Target.X), Bounded(Target.Y));
    cairo_scale(FContext, ScaleX, ScaleY);
    cairo_pattern_t* Pattern = cairo_pattern_create_for_surface(Surface);
    cairo_surface_destroy(Surface);
    cairo_matrix_t Matrix;
    cairo_matrix_init_translate(&Matrix, Source.X, Source.Y);
    cairo_pattern_set_matrix(Pattern, &Matrix);
    cairo_pattern_set_extend(Pattern, CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(Pattern, Smooth ? CAIRO_FILTER_GOOD : CAIRO_FILTER_NEAREST);
    cairo_set_source(FContext, Pattern);
    cairo_pattern_destroy(Pattern);
    cairo_set_operator(FContext, Operator);
    if (Opacity < 1)
        cairo_paint_with_alpha(FContext, std::max(Opacity, 0.0));
    else
        cairo_paint(FContext);
    cairo_restore(FContext);
}

void TWmfPainter::FillRect(const TWmfRectD& Rect, std::uint32_t Color) {
    cairo_new_path(FContext);
    AddRectangle(Rect);
    SetColor(FContext, Color);
    cairo_fill(FContext);
}

std::vector<std::uint8_t> TWmfPainter::ToRgb() const {
    if (cairo_status(FContext) != CAIRO_STATUS_SUCCESS) FailWmf("Drawing failed");
    cairo_surface_flush(FSurface);
    const unsigned char* Data = cairo_image_surface_get_data(FSurface);
    const int Stride = cairo_image_surface_get_stride(FSurface);
    std::vector<std::uint8_t> Rgb(static_cast<std::size_t>(FWidth) * FHeight * 3);
    std::uint8_t* Out = Rgb.data();
    for (int Y = 0; Y < FHeight; ++Y) {
        const auto* Row =
            reinterpret_cast<const std::uint32_t*>(Data + static_cast<std::ptrdiff_t>(Y) * Stride);
        for (int X = 0; X < FWidth; ++X) {
            const std::uint32_t Pixel = Row[X];
            *Out++ = static_cast<std::uint8_t>(Pixel >> 16);
            *Out++ = static_cast<std::uint8_t>(Pixel >> 8);
            *Out++ = static_cast<std::uint8_t>(Pixel);
        }
    }
    return Rgb;
}

} // namespace corvane::wmf
