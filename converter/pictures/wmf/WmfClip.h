// The clipping region of a device context, in whole image pixels. Unset means nothing is clipped.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>

namespace corvane::wmf {

struct TWmfPixelRect {
    int X = 0, Y = 0, Width = 0, Height = 0;
};

class TWmfClip {
public:
    TWmfClip() = default;
    TWmfClip(const TWmfClip& Other);
    TWmfClip& operator=(const TWmfClip& Other);
    TWmfClip(TWmfClip&&) noexcept = default;
    TWmfClip& operator=(TWmfClip&&) noexcept = default;
    ~TWmfClip() = default;

    bool IsSet() const { return FRegion != nullptr; }
    const cairo_region_t* Region() const { return FRegion.get(); }

    void Reset() { FRegion.reset(); }
    void Intersect(const TWmfPixelRect& Rect);
    void Exclude(const TWmfPixelRect& Rect);
    // Replaces the region by the union of Rects.
    void Select(const TWmfPixelRect* Rects, std::size_t Count);
    // Combines the region with the union of Rects, as the region modes of enhanced metafiles do.
    enum TCombine : std::uint8_t { cmAnd, cmOr, cmXor, cmDiff };
    void Combine(const TWmfPixelRect* Rects, std::size_t Count, TCombine Mode);
    void Offset(int X, int Y);

private:
    struct TDestroy {
        void operator()(cairo_region_t* Region) const { cairo_region_destroy(Region); }
    };

    void EnsureSet();
    // Keeps coordinates far from integer overflow whatever the metafile does.
    void Bound();

    std::unique_ptr<cairo_region_t, TDestroy> FRegion;
};

} // namespace corvane::wmf
