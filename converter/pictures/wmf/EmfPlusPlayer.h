// The EMF+ records of a metafile that draws only in them (no EMF records stand in for the drawing):
// solid brushes and pens, rectangles, polygons, lines, ellipses, arcs and pies, paths, Bézier curves
// and text, under the world and page transforms, with rectangular clipping. Images, gradients,
// cardinal splines and clipping to paths or regions are not drawn.
#pragma once

#include "EmfGeometry.h"
#include "WmfBytes.h"
#include "WmfClip.h"
#include "WmfPainter.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace corvane::wmf {

class TEmfPlusPlayer {
public:
    // DeviceToImage takes the reference device's pixels to the image's.
    TEmfPlusPlayer(TWmfPainter& Painter, const TEmfXForm& DeviceToImage);

    // Plays the EMF+ records of one comment record's data (after its "EMF+" mark). Throws when a
    // record lies about its size or names an object outside the table.
    void Play(const TWmfBytes& Records);

private:
    struct TBrush {
        std::uint32_t Argb = 0xFF000000;
    };
    struct TPen {
        std::uint32_t Argb = 0xFF000000;
        double Width = 1; // in the pen's unit
        std::uint32_t Unit = 0;
        std::uint32_t Style = 0; // solid, dash, dot, dash-dot, dash-dot-dot
    };
    struct TPath {
        std::vector<TWmfPointD> Points; // world units
        std::vector<std::uint8_t> Types;
    };
    struct TFont {
        double EmSize = 12;
        std::uint32_t Unit = 0;
        std::int32_t Style = 0;
        std::string Family; // UTF-8
    };
    using TObject = std::variant<std::monostate, TBrush, TPen, TPath, TFont>;

    struct TState {
        TEmfXForm World;
        std::uint32_t PageUnit = 1;
        double PageScale = 1;
        TWmfClip Clip;
    };

    void Dispatch(std::uint16_t Type, std::uint16_t Flags, const TWmfBytes& Data);
    void ReadObject(std::uint16_t Flags, const TWmfBytes& Data);
    // Throws for an index outside the table.
    const TObject& Object(std::uint32_t Index) const;

    // World units to image pixels, and the device pixels in one unit.
    TEmfXForm ToImage() const;
    double UnitPixels(std::uint32_t Unit) const;
    // Points of a drawing record from Offset on: 16-bit integers when the flags say compressed.
    std::vector<TWmfPointD> Points(const TWmfBytes& Data, std::size_t Offset, std::size_t Count,
                                   std::uint16_t Flags) const;
    std::uint32_t BrushColor(std::uint16_t Flags, std::uint32_t BrushId) const;
    const TPen& PenOf(std::uint16_t Flags) const;

    // Sets the clip of the current state, once after each change.
    void Prepare();
    void Fill(const TEmfPath& Path, std::uint32_t Argb);
    void Stroke(const TEmfPath& Path, const TPen& Pen);
    TEmfPath Rects(const std::vector<TWmfPointD>& Corners) const;
    TEmfPath Polygon(const std::vector<TWmfPointD>& Points, bool Closed) const;
    TEmfPath Ellipse(const TWmfBytes& Data, std::size_t Offset, std::uint16_t Flags, double Start,
                     double Sweep, bool Pie, bool Arc) const;
    TEmfPath PathShape(const TPath& Path) const;
    void DrawString(std::uint16_t Flags, const TWmfBytes& Data);
    void SetClipRect(std::uint16_t Flags, const TWmfBytes& Data);
    void Save(std::uint32_t Index);
    void Restore(std::uint32_t Index);

    TWmfPainter& FPainter;
    TEmfXForm FDeviceToImage;
    double FDpiX = 96, FDpiY = 96;
    std::array<TObject, 64> FObjects;
    TState FState;
    std::vector<std::pair<std::uint32_t, TState>> FSaved;
    bool FClipChanged = true;
};

} // namespace corvane::wmf
