// The window-to-viewport mapping of a metafile's device context, followed by the fixed step from the
// metafile's frame (its placeable bounding box) to the pixels of the image.
#pragma once

#include "WmfRecords.h"

#include <cstdint>

namespace corvane::wmf {

struct TWmfPointD {
    double X = 0;
    double Y = 0;
};

// The frame: the bounding box of the placeable header in its units (Inch of them to the inch), shown
// on an image of ImageWidth x ImageHeight pixels.
struct TWmfFrame {
    std::int32_t Left = 0, Top = 0, Width = 1, Height = 1;
    std::int32_t Inch = 96;
    std::int32_t ImageWidth = 1, ImageHeight = 1;
};

// Viewport values are in frame units. Playback starts in the anisotropic mode with the window and the
// viewport both on the frame, so a metafile that only sets its window fills the image.
class TWmfMapping {
public:
    explicit TWmfMapping(const TWmfFrame& Frame);

    void SetMapMode(std::uint16_t Mode);
    void SetWindowOrg(std::int32_t X, std::int32_t Y);
    void SetWindowExt(std::int32_t X, std::int32_t Y);
    void SetViewportOrg(std::int32_t X, std::int32_t Y);
    void SetViewportExt(std::int32_t X, std::int32_t Y);
    void OffsetWindowOrg(std::int32_t X, std::int32_t Y);
    void OffsetViewportOrg(std::int32_t X, std::int32_t Y);
    void ScaleWindowExt(std::int32_t XNum, std::int32_t XDenom, std::int32_t YNum, std::int32_t YDenom);
    void ScaleViewportExt(std::int32_t XNum, std::int32_t XDenom, std::int32_t YNum, std::int32_t YDenom);

    // Logical coordinates to image pixels.
    TWmfPointD ToImage(double X, double Y) const { return {FScaleX * X + FOffsetX, FScaleY * Y + FOffsetY}; }
    // Image pixels per logical unit, signed (a mapping may turn an axis around).
    double ScaleX() const { return FScaleX; }
    double ScaleY() const { return FScaleY; }
    // Image pixels per frame unit (the unit of device sizes such as those of SetDIBitsToDevice).
    double FrameScaleX() const { return FFrameX; }
    double FrameScaleY() const { return FFrameY; }
    std::int32_t Inch() const { return FInch; }

private:
    void Update();

    double FFrameX = 1, FFrameY = 1;
    std::int32_t FInch = 96;
    std::uint16_t FMode = mmAnisotropic;
    double FWindowOrgX = 0, FWindowOrgY = 0, FWindowExtX = 1, FWindowExtY = 1;
    double FViewportOrgX = 0, FViewportOrgY = 0, FViewportExtX = 1, FViewportExtY = 1;
    double FScaleX = 1, FScaleY = 1, FOffsetX = 0, FOffsetY = 0;
};

} // namespace corvane::wmf
