#include "WmfMapping.h"

#include <algorithm>
#include <cmath>

namespace corvane::wmf {

TWmfMapping::TWmfMapping(const TWmfFrame& Frame)
    : FFrameX(static_cast<double>(Frame.ImageWidth) / Frame.Width),
      FFrameY(static_cast<double>(Frame.ImageHeight) / Frame.Height), FInch(Frame.Inch),
      FWindowOrgX(Frame.Left), FWindowOrgY(Frame.Top), FWindowExtX(Frame.Width), FWindowExtY(Frame.Height),
      FViewportExtX(Frame.Width), FViewportExtY(Frame.Height) {
    Update();
}

void TWmfMapping::SetMapMode(std::uint16_t Mode) {
    if (Mode < mmText || Mode > mmAnisotropic) return;
    FMode = Mode;
    Update();
}

void TWmfMapping::SetWindowOrg(std::int32_t X, std::int32_t Y) {
    FWindowOrgX = X;
    FWindowOrgY = Y;
    Update();
}

// A zero extent would divide by zero; the call is refused as the system refuses it.
void TWmfMapping::SetWindowExt(std::int32_t X, std::int32_t Y) {
    if (X == 0 || Y == 0) return;
    FWindowExtX = X;
    FWindowExtY = Y;
    Update();
}

void TWmfMapping::SetViewportOrg(std::int32_t X, std::int32_t Y) {
    FViewportOrgX = X;
    FViewportOrgY = Y;
    Update();
}

void TWmfMapping::SetViewportExt(std::int32_t X, std::int32_t Y) {
    if (X == 0 || Y == 0) return;
    FViewportExtX = X;
    FViewportExtY = Y;
    Update();
}

void TWmfMapping::OffsetWindowOrg(std::int32_t X, std::int32_t Y) {
    FWindowOrgX += X;
    FWindowOrgY += Y;
    Update();
}

void TWmfMapping::OffsetViewportOrg(std::int32_t X, std::int32_t Y) {
    FViewportOrgX += X;
    FViewportOrgY += Y;
    Update();
}

namespace {

// An extent that scaling made zero, endless or absurd would break the mapping; such a scaling is refused.
bool Usable(double Extent) {
    return std::isfinite(Extent) && std::fabs(Extent) >= 1e-6 && std::fabs(Extent) <= 1e12;
}

} // namespace

void TWmfMapping::ScaleWindowExt(std::int32_t XNum, std::int32_t XDenom, std::int32_t YNum,
                                 std::int32_t YDenom) {
    if (XDenom == 0 || YDenom == 0) return;
    const double X = FWindowExtX * XNum / XDenom, Y = FWindowExtY * YNum / YDenom;
    if (!Usable(X) || !Usable(Y)) return;
    FWindowExtX = X;
    FWindowExtY = Y;
    Update();
}

void TWmfMapping::ScaleViewportExt(std::int32_t XNum, std::int32_t XDenom, std::int32_t YNum,
                                   std::int32_t YDenom) {
    if (XDenom == 0 || YDenom == 0) return;
    const double X = FViewportExtX * XNum / XDenom, Y = FViewportExtY * YNum / YDenom;
    if (!Usable(X) || !Usable(Y)) return;
    FViewportExtX = X;
    FViewportExtY = Y;
    Update();
}

void TWmfMapping::Update() {
    // Frame units per logical unit for each mode.
    double UnitX = 1, UnitY = 1;
    switch (FMode) {
    case mmText:
        break;
    case mmLoMetric:
        UnitX = FInch / 254.0;
        UnitY = -UnitX;
        break;
    case mmHiMetric:
        UnitX = FInch / 2540.0;
        UnitY = -UnitX;
        break;
    case mmLoEnglish:
        UnitX = FInch / 100.0;
        UnitY = -UnitX;
        break;
    case mmHiEnglish:
        UnitX = FInch / 1000.0;
        UnitY = -UnitX;
        break;
    case mmTwips:
        UnitX = FInch / 1440.0;
        UnitY = -UnitX;
        break;
    case mmIsotropic: {
        UnitX = FViewportExtX / FWindowExtX;
        UnitY = FViewportExtY / FWindowExtY;
        // Both axes take the smaller scale, keeping their directions.
        const double Scale = std::min(std::fabs(UnitX), std::fabs(UnitY));
        UnitX = std::copysign(Scale, UnitX);
        UnitY = std::copysign(Scale, UnitY);
        break;
    }
    default:
        UnitX = FViewportExtX / FWindowExtX;
        UnitY = FViewportExtY / FWindowExtY;
        break;
    }
    FScaleX = UnitX * FFrameX;
    FScaleY = UnitY * FFrameY;
    FOffsetX = (FViewportOrgX - FWindowOrgX * UnitX) * FFrameX;
    FOffsetY = (FViewportOrgY - FWindowOrgY * UnitY) * FFrameY;
}

} // namespace corvane::wmf
