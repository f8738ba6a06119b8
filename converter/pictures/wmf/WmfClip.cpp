#include "WmfClip.h"

#include "WmfBytes.h"

#include <algorithm>

namespace corvane::wmf {

namespace {

// Far outside any image the player renders, and far inside the range of int.
constexpr int Universe = 1 << 23;
// A region with more rectangles than this is not a picture's clip but an attack on the time it takes.
constexpr int MaxRectangles = 10000;

cairo_rectangle_int_t ToCairo(const TWmfPixelRect& Rect) {
    return {Rect.X, Rect.Y, Rect.Width, Rect.Height};
}

} // namespace

TWmfClip::TWmfClip(const TWmfClip& Other) {
    if (Other.FRegion) FRegion.reset(cairo_region_copy(Other.FRegion.get()));
}

TWmfClip& TWmfClip::operator=(const TWmfClip& Other) {
    if (this != &Other) {
        TWmfClip Copy(Other);
        FRegion = std::move(Copy.FRegion);
    }
    return *this;
}

void TWmfClip::EnsureSet() {
    if (!FRegion) {
        const cairo_rectangle_int_t Everything{-Universe, -Universe, 2 * Universe, 2 * Universe};
        FRegion.reset(cairo_region_create_rectangle(&Everything));
    }
}

void TWmfClip::Bound() {
    const cairo_rectangle_int_t Everything{-Universe, -Universe, 2 * Universe, 2 * Universe};
    cairo_region_intersect_rectangle(FRegion.get(), &Everything);
    if (cairo_region_status(FRegion.get()) != CAIRO_STATUS_SUCCESS) FailWmf("Clipping region failed");
    if (cairo_region_num_rectangles(FRegion.get()) > MaxRectangles) FailWmf("Clipping region too complex");
}

void TWmfClip::Intersect(const TWmfPixelRect& Rect) {
    EnsureSet();
    const cairo_rectangle_int_t Area = ToCairo(Rect);
    cairo_region_intersect_rectangle(FRegion.get(), &Area);
    Bound();
}

void TWmfClip::Exclude(const TWmfPixelRect& Rect) {
    EnsureSet();
    const cairo_rectangle_int_t Area = ToCairo(Rect);
    cairo_region_subtract_rectangle(FRegion.get(), &Area);
    Bound();
}

void TWmfClip::Select(const TWmfPixelRect* Rects, std::size_t Count) {
    FRegion.reset(cairo_region_create());
    for (std::size_t Index = 0; Index < Count; ++Index) {
        const cairo_rectangle_int_t Area = ToCairo(Rects[Index]);
        cairo_region_union_rectangle(FRegion.get(), &Area);
        if (cairo_region_num_rectangles(FRegion.get()) > MaxRectangles)
            FailWmf("Clipping region too complex");
    }
    Bound();
}

void TWmfClip::Combine(const TWmfPixelRect* Rects, std::size_t Count, TCombine Mode) {
    // Unset means everything: or-ing adds nothing to it.
    if (Mode == cmOr && !FRegion) return;
    TWmfClip Other;
    Other.Select(Rects, Count);
    EnsureSet();
    switch (Mode) {
    case cmAnd:
        cairo_region_intersect(FRegion.get(), Other.FRegion.get());
        break;
    case cmOr:
        cairo_region_union(FRegion.get(), Other.FRegion.get());
        break;
    case cmXor:
        cairo_region_xor(FRegion.get(), Other.FRegion.get());
        break;
    case cmDiff:
        cairo_region_subtract(FRegion.get(), Other.FRegion.get());
        break;
    }
    Bound();
}

void TWmfClip::Offset(int X, int Y) {
    if (!FRegion) return;
    cairo_region_translate(FRegion.get(), std::clamp(X, -2 * Universe, 2 * Universe),
                           std::clamp(Y, -2 * Universe, 2 * Universe));
    Bound();
}

} // namespace corvane::wmf
