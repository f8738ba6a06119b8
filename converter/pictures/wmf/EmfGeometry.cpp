#include "EmfGeometry.h"

#include "WmfBytes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace corvane::wmf {

TEmfXForm TEmfXForm::Then(const TEmfXForm& Next) const {
    TEmfXForm Product;
    Product.M11 = M11 * Next.M11 + M12 * Next.M21;
    Product.M12 = M11 * Next.M12 + M12 * Next.M22;
    Product.M21 = M21 * Next.M11 + M22 * Next.M21;
    Product.M22 = M21 * Next.M12 + M22 * Next.M22;
    Product.Dx = Dx * Next.M11 + Dy * Next.M21 + Next.Dx;
    Product.Dy = Dx * Next.M12 + Dy * Next.M22 + Next.Dy;
    return Product;
}

double TEmfXForm::LengthScale() const {
    return std::sqrt(std::fabs(M11 * M22 - M12 * M21));
}

bool TEmfXForm::Usable() const {
    for (double Value : {M11, M12, M21, M22, Dx, Dy})
        if (!std::isfinite(Value) || std::fabs(Value) > 1e12) return false;
    const double Determinant = std::fabs(M11 * M22 - M12 * M21);
    return Determinant > 1e-12;
}

void TEmfPath::Push(const TPiece& Piece) {
    if (FPieces.size() >= MaxPieces) FailWmf("Path too long");
    FPieces.push_back(Piece);
}

void TEmfPath::MoveTo(TWmfPointD Point) {
    Push({pkMove, {Point, {}, {}}});
    FOpen = true;
}

void TEmfPath::LineTo(TWmfPointD Point) {
    if (!FOpen) {
        MoveTo(Point);
        return;
    }
    Push({pkLine, {Point, {}, {}}});
}

void TEmfPath::CurveTo(TWmfPointD First, TWmfPointD Second, TWmfPointD End) {
    if (!FOpen) MoveTo(First);
    Push({pkCurve, {First, Second, End}});
}

void TEmfPath::Close() {
    if (!FOpen) return;
    Push({pkClose, {}});
    FOpen = false;
}

void TEmfPath::Clear() {
    FPieces.clear();
    FOpen = false;
}

void TEmfPath::Append(const TEmfPath& Other) {
    if (Other.FPieces.size() > MaxPieces - FPieces.size()) FailWmf("Path too long");
    FPieces.insert(FPieces.end(), Other.FPieces.begin(), Other.FPieces.end());
    FOpen = Other.FOpen || (Other.FPieces.empty() && FOpen);
}

void TEmfPath::Replay(TWmfPainter& Painter) const {
    for (const TPiece& Piece : FPieces) {
        switch (Piece.Kind) {
        case pkMove:
            Painter.MoveTo(Piece.Points[0]);
            break;
        case pkLine:
            Painter.LineTo(Piece.Points[0]);
            break;
        case pkCurve:
            Painter.CurveTo(Piece.Points[0], Piece.Points[1], Piece.Points[2]);
            break;
        case pkClose:
            Painter.ClosePath();
            break;
        }
    }
}

void AddArc(TEmfPath& Path, const TEmfXForm& ToImage, double CenterX, double CenterY, double RadiusX,
            double RadiusY, double Start, double Sweep, bool Join) {
    constexpr double Pi = std::numbers::pi;
    if (!std::isfinite(Start) || !std::isfinite(Sweep)) return;
    Sweep = std::clamp(Sweep, -2 * Pi, 2 * Pi);
    auto Point = [&](double Angle) {
        return TWmfPointD{CenterX + RadiusX * std::cos(Angle), CenterY + RadiusY * std::sin(Angle)};
    };
    auto Image = [&](TWmfPointD Logical) { return ToImage.Apply(Logical.X, Logical.Y); };
    const TWmfPointD First = Image(Point(Start));
    if (Join && Path.FigureOpen())
        Path.LineTo(First);
    else
        Path.MoveTo(First);
    // Quarter turns at most, each one cubic curve whose handles follow the tangents.
    const int Pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(Sweep) / (Pi / 2) - 1e-9)));
    const double Step = Sweep / Pieces;
    const double Handle = 4.0 / 3.0 * std::tan(Step / 4);
    for (int Index = 0; Index < Pieces; ++Index) {
        const double From = Start + Index * Step, To = From + Step;
        const TWmfPointD A = Point(From), B = Point(To);
        const TWmfPointD C1{A.X - Handle * RadiusX * std::sin(From), A.Y + Handle * RadiusY * std::cos(From)};
        const TWmfPointD C2{B.X + Handle * RadiusX * std::sin(To), B.Y - Handle * RadiusY * std::cos(To)};
        Path.CurveTo(Image(C1), Image(C2), Image(B));
    }
}

} // namespace corvane::wmf
