// The geometry of enhanced metafile playback: affine transforms (the world transform, and the whole
// way from logical units to image pixels) and paths kept in image pixels.
#pragma once

#include "WmfMapping.h"
#include "WmfPainter.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvane::wmf {

// x' = M11 x + M21 y + Dx, y' = M12 x + M22 y + Dy, as the format stores a transform.
struct TEmfXForm {
    double M11 = 1, M12 = 0, M21 = 0, M22 = 1, Dx = 0, Dy = 0;

    TWmfPointD Apply(double X, double Y) const { return {X * M11 + Y * M21 + Dx, X * M12 + Y * M22 + Dy}; }
    // The direction a vector takes, without the translation.
    TWmfPointD Turn(double X, double Y) const { return {X * M11 + Y * M21, X * M12 + Y * M22}; }
    // This transform, then Next.
    TEmfXForm Then(const TEmfXForm& Next) const;
    // How much lengths grow, on average over the directions (the root of the area's growth).
    double LengthScale() const;
    // Finite, invertible and within a range that keeps coordinates meaningful.
    bool Usable() const;
};

// A path in image pixels, as a figure list of moves, lines, curves and closes.
class TEmfPath {
public:
    // More than this many pieces is no picture but an attack on memory.
    static constexpr std::size_t MaxPieces = 1 << 20;

    void MoveTo(TWmfPointD Point);
    // Starts a figure at the point when none is open.
    void LineTo(TWmfPointD Point);
    void CurveTo(TWmfPointD First, TWmfPointD Second, TWmfPointD End);
    void Close();
    void Clear();
    bool Empty() const { return FPieces.empty(); }
    std::size_t Size() const { return FPieces.size(); }
    bool FigureOpen() const { return FOpen; }
    void Append(const TEmfPath& Other);
    // Adds the path to the painter's current path.
    void Replay(TWmfPainter& Painter) const;

private:
    enum TKind : std::uint8_t { pkMove, pkLine, pkCurve, pkClose };
    struct TPiece {
        TKind Kind = pkMove;
        TWmfPointD Points[3];
    };
    void Push(const TPiece& Piece);

    std::vector<TPiece> FPieces;
    bool FOpen = false;
};

// Adds an elliptic arc around (CenterX, CenterY) with radii RadiusX and RadiusY, all logical, from
// angle Start through Sweep (radians; negative runs anticlockwise on a screen whose y runs down) to
// the path, through Bézier curves mapped by ToImage. The arc is joined to the figure by a line when
// Join is set and a figure is open, and starts a new figure otherwise.
void AddArc(TEmfPath& Path, const TEmfXForm& ToImage, double CenterX, double CenterY, double RadiusX,
            double RadiusY, double Start, double Sweep, bool Join);

} // namespace corvane::wmf
