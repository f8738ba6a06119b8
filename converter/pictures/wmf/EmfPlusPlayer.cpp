#include "EmfPlusPlayer.h"

#include "CxUnicode.h"
#include "WmfObjects.h"
#include "WmfText.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>
#include <optional>

namespace corvane::wmf {

namespace {

constexpr std::size_t RecordHeaderSize = 12;
// Deeper nesting of saved states than this is no picture.
constexpr std::size_t MaxSavedStates = 1024;
constexpr double Pi = std::numbers::pi;

enum TPlusRecord : std::uint16_t {
    prHeader = 0x4001,
    prObject = 0x4008,
    prClear = 0x4009,
    prFillRects = 0x400A,
    prDrawRects = 0x400B,
    prFillPolygon = 0x400C,
    prDrawLines = 0x400D,
    prFillEllipse = 0x400E,
    prDrawEllipse = 0x400F,
    prFillPie = 0x4010,
    prDrawPie = 0x4011,
    prDrawArc = 0x4012,
    prFillPath = 0x4014,
    prDrawPath = 0x4015,
    prDrawBeziers = 0x4019,
    prDrawString = 0x401C,
    prSave = 0x4025,
    prRestore = 0x4026,
    prBeginContainer = 0x4027,
    prBeginContainerNoParams = 0x4028,
    prEndContainer = 0x4029,
    prSetWorldTransform = 0x402A,
    prResetWorldTransform = 0x402B,
    prMultiplyWorldTransform = 0x402C,
    prTranslateWorldTransform = 0x402D,
    prScaleWorldTransform = 0x402E,
    prRotateWorldTransform = 0x402F,
    prSetPageTransform = 0x4030,
    prResetClip = 0x4031,
    prSetClipRect = 0x4032,
};

enum TPlusObject : std::uint8_t { poBrush = 1, poPen = 2, poPath = 3, poFont = 6 };

// Flag bits of drawing records.
constexpr std::uint16_t ColorGiven = 0x8000; // the brush field holds a colour, not an object index
constexpr std::uint16_t Compressed = 0x4000; // points and rectangles as 16-bit integers
constexpr std::uint16_t Closed = 0x2000;     // DrawLines joins the last point to the first
constexpr std::uint16_t Appended = 0x2000;   // a transform applies after the world transform
constexpr std::uint16_t Relative = 0x0800;   // points as differences, which are not read here
constexpr std::uint16_t ContinuedObject = 0x8000;

double Float(const TWmfBytes& Bytes, std::size_t Offset) {
    return static_cast<double>(std::bit_cast<float>(Bytes.U32(Offset)));
}

// A transform read as six floats; nothing when it is not usable.
std::optional<TEmfXForm> ReadXForm(const TWmfBytes& Data, std::size_t Offset) {
    const TEmfXForm Transform{Float(Data, Offset),      Float(Data, Offset + 4),  Float(Data, Offset + 8),
                              Float(Data, Offset + 12), Float(Data, Offset + 16), Float(Data, Offset + 20)};
    if (!Transform.Usable()) return std::nullopt;
    return Transform;
}

std::string ReadUtf16(const TWmfBytes& Data, std::size_t Offset, std::uint32_t Units) {
    const TWmfBytes Text = Data.Sub(Offset, static_cast<std::size_t>(Units) * 2);
    std::string Utf8;
    for (std::size_t Index = 0; Index < Units; ++Index) {
        const std::uint16_t Unit = Text.U16(2 * Index);
        if (Unit == 0) break;
        if (Unit >= 0xD800 && Unit <= 0xDFFF) continue;
        AppendUtf8(Unit, Utf8);
    }
    return Utf8;
}

// The colour a brush object stands for: its own, the foreground of a hatch, the middle of a
// gradient; nothing for textures and path gradients.
std::optional<std::uint32_t> BrushArgb(const TWmfBytes& Data, std::size_t Offset) {
    switch (Data.U32(Offset + 4)) {
    case 0: // solid
        return Data.U32(Offset + 8);
    case 1: // hatch: style, foreground, background
        return Data.U32(Offset + 12);
    case 4: { // linear gradient: flags, wrap mode, rectangle, start and end colours
        const std::uint32_t Start = Data.U32(Offset + 32), End = Data.U32(Offset + 36);
        std::uint32_t Middle = 0;
        for (int Shift = 0; Shift < 32; Shift += 8)
            Middle |= ((((Start >> Shift) & 0xFF) + ((End >> Shift) & 0xFF)) / 2) << Shift;
        return Middle;
    }
    default:
        return std::nullopt;
    }
}

} // namespace

TEmfPlusPlayer::TEmfPlusPlayer(TWmfPainter& Painter, const TEmfXForm& DeviceToImage)
    : FPainter(Painter), FDeviceToImage(DeviceToImage) {}

void TEmfPlusPlayer::Play(const TWmfBytes& Records) {
    // The EMF records around may have clipped the painter their own way.
    FClipChanged = true;
    std::size_t Offset = 0;
    while (Records.Has(Offset, RecordHeaderSize)) {
        const std::uint16_t Type = Records.U16(Offset);
        const std::uint16_t Flags = Records.U16(Offset + 2);
        const std::uint32_t Size = Records.U32(Offset + 4);
        const std::uint32_t DataSize = Records.U32(Offset + 8);
        if (Size < RecordHeaderSize || Size % 4 != 0 || Size > Records.Size() - Offset ||
            DataSize > Size - RecordHeaderSize)
            FailWmf("EMF+ record size wrong");
        Dispatch(Type, Flags, Records.Sub(Offset + RecordHeaderSize, DataSize));
        Offset += Size;
    }
}

void TEmfPlusPlayer::Dispatch(std::uint16_t Type, std::uint16_t Flags, const TWmfBytes& Data) {
    switch (Type) {
    case prHeader:
        // Version, flags, then the resolution the units are measured against.
        if (Data.U32(8) > 0 && Data.U32(8) <= 100000) FDpiX = Data.U32(8);
        if (Data.U32(12) > 0 && Data.U32(12) <= 100000) FDpiY = Data.U32(12);
        break;
    case prObject:
        ReadObject(Flags, Data);
        break;
    case prClear: {
        TEmfPath Whole;
        Whole.MoveTo({0, 0});
        Whole.LineTo({static_cast<double>(FPainter.Width()), 0});
        Whole.LineTo({static_cast<double>(FPainter.Width()), static_cast<double>(FPainter.Height())});
        Whole.LineTo({0, static_cast<double>(FPainter.Height())});
        Whole.Close();
        Fill(Whole, Data.U32(0));
        break;
    }
    case prFillRects:
    case prDrawRects: {
        // FillRects: the brush, the count, the rectangles; DrawRects names its pen in the flags.
        const std::size_t First = Type == prFillRects ? 4 : 0;
        const std::uint32_t Count = Data.U32(First);
        // Each rectangle is read as two points: its corner and its size.
        const std::vector<TWmfPointD> Corners = Points(Data, First + 4, std::size_t{Count} * 2, Flags);
        if (Type == prFillRects)
            Fill(Rects(Corners), BrushColor(Flags, Data.U32(0)));
        else
            Stroke(Rects(Corners), PenOf(Flags));
        break;
    }
    case prFillPolygon:
        Fill(Polygon(Points(Data, 8, Data.U32(4), Flags), true), BrushColor(Flags, Data.U32(0)));
        break;
    case prDrawLines:
        Stroke(Polygon(Points(Data, 4, Data.U32(0), Flags), (Flags & Closed) != 0), PenOf(Flags));
        break;
    case prDrawBeziers: {
        const std::vector<TWmfPointD> Curve = Points(Data, 4, Data.U32(0), Flags);
        if (Curve.empty()) break;
        const TEmfXForm Transform = ToImage();
        auto Image = [&](std::size_t Index) { return Transform.Apply(Curve[Index].X, Curve[Index].Y); };
        TEmfPath Path;
        Path.MoveTo(Image(0));
        for (std::size_t Index = 1; Index + 3 <= Curve.size(); Index += 3)
            Path.CurveTo(Image(Index), Image(Index + 1), Image(Index + 2));
        Stroke(Path, PenOf(Flags));
        break;
    }
    case prFillEllipse:
        Fill(Ellipse(Data, 4, Flags, 0, 360, false, false), BrushColor(Flags, Data.U32(0)));
        break;
    case prDrawEllipse:
        Stroke(Ellipse(Data, 0, Flags, 0, 360, false, false), PenOf(Flags));
        break;
    case prFillPie:
        Fill(Ellipse(Data, 12, Flags, Float(Data, 4), Float(Data, 8), true, false),
             BrushColor(Flags, Data.U32(0)));
        break;
    case prDrawPie:
    case prDrawArc:
        Stroke(Ellipse(Data, 8, Flags, Float(Data, 0), Float(Data, 4), Type == prDrawPie, Type == prDrawArc),
               PenOf(Flags));
        break;
    case prFillPath:
    case prDrawPath: {
        const auto* Path = std::get_if<TPath>(&Object(Flags & 0xFF));
        if (Path == nullptr) break;
        if (Type == prFillPath) {
            Fill(PathShape(*Path), BrushColor(Flags, Data.U32(0)));
        } else if (const auto* Pen = std::get_if<TPen>(&Object(Data.U32(0) & 0xFF))) {
            Stroke(PathShape(*Path), *Pen);
        }
        break;
    }
    case prDrawString:
        DrawString(Flags, Data);
        break;
    case prSave:
    case prBeginContainerNoParams:
        Save(Data.U32(0));
        break;
    case prBeginContainer: {
        // Destination and source rectangles, then the index; the source is mapped onto the destination,
        // both in the unit the flags name.
        Save(Data.U32(32));
        const double Unit = UnitPixels((Flags >> 8) & 0xFF) / UnitPixels(FState.PageUnit) / FState.PageScale;
        const double SourceWidth = Float(Data, 24), SourceHeight = Float(Data, 28);
        if (!(std::fabs(SourceWidth) > 0 && std::fabs(SourceHeight) > 0)) break;
        const double ScaleX = Float(Data, 8) / SourceWidth * Unit,
                     ScaleY = Float(Data, 12) / SourceHeight * Unit;
        const TEmfXForm Container{ScaleX,
                                  0,
                                  0,
                                  ScaleY,
                                  Float(Data, 0) * Unit - Float(Data, 16) * ScaleX,
                                  Float(Data, 4) * Unit - Float(Data, 20) * ScaleY};
        if (Container.Then(FState.World).Usable()) FState.World = Container.Then(FState.World);
        break;
    }
    case prRestore:
    case prEndContainer:
        Restore(Data.U32(0));
        break;
    case prSetWorldTransform:
        if (const auto Transform = ReadXForm(Data, 0)) FState.World = *Transform;
        break;
    case prResetWorldTransform:
        FState.World = TEmfXForm{};
        break;
    case prMultiplyWorldTransform:
    case prTranslateWorldTransform:
    case prScaleWorldTransform:
    case prRotateWorldTransform: {
        std::optional<TEmfXForm> Given;
        if (Type == prMultiplyWorldTransform) {
            Given = ReadXForm(Data, 0);
        } else if (Type == prTranslateWorldTransform) {
            Given = TEmfXForm{1, 0, 0, 1, Float(Data, 0), Float(Data, 4)};
        } else if (Type == prScaleWorldTransform) {
            Given = TEmfXForm{Float(Data, 0), 0, 0, Float(Data, 4), 0, 0};
        } else {
            const double Angle = Float(Data, 0) * Pi / 180;
            Given = TEmfXForm{std::cos(Angle), std::sin(Angle), -std::sin(Angle), std::cos(Angle), 0, 0};
        }
        if (!Given) break;
        const TEmfXForm Product = (Flags & Appended) ? FState.World.Then(*Given) : Given->Then(FState.World);
        if (Product.Usable()) FState.World = Product;
        break;
    }
    case prSetPageTransform: {
        const double Scale = Float(Data, 0);
        if (std::isfinite(Scale) && Scale > 1e-9 && Scale < 1e9) {
            FState.PageUnit = Flags & 0xFF;
            FState.PageScale = Scale;
        }
        break;
    }
    case prResetClip:
        FState.Clip.Reset();
        FClipChanged = true;
        break;
    case prSetClipRect:
        SetClipRect(Flags, Data);
        break;
    default:
        // Images, gradients of their own, splines, regions and rendering hints are skipped.
        break;
    }
}

void TEmfPlusPlayer::ReadObject(std::uint16_t Flags, const TWmfBytes& Data) {
    if ((Flags & 0xFF) >= FObjects.size()) FailWmf("Metafile object index out of range");
    TObject& Slot = FObjects[Flags & 0xFF];
    Slot = std::monostate{};
    // An object split over several records is larger than anything drawn here.
    if (Flags & ContinuedObject) return;
    switch ((Flags >> 8) & 0x7F) {
    case poBrush:
        if (const auto Argb = BrushArgb(Data, 0)) Slot = TBrush{*Argb};
        break;
    case poPen: {
        // Version, type, the pen data's flags, unit and width, the optional data the flags announce,
        // then the pen's brush.
        const std::uint32_t DataFlags = Data.U32(8);
        TPen Pen;
        Pen.Unit = Data.U32(12);
        Pen.Width = Float(Data, 16);
        std::size_t Offset = 20;
        // The optional data follows in the order of its flags' bits: a transform, the start and end
        // caps, the join, the miter limit, the line style, the dash cap, the dash offset, the dash
        // lengths and the compound line (each a count, then the values), the alignment, and the custom
        // caps (each a size, then the data).
        for (std::uint32_t Flag = 1; Flag <= 0x1000; Flag <<= 1) {
            if (!(DataFlags & Flag)) continue;
            if (Flag == 0x20) Pen.Style = Data.U32(Offset);
            if (Flag == 0x1)
                Offset += 24;
            else if (Flag == 0x100 || Flag == 0x400)
                Offset += 4 + std::size_t{Data.U32(Offset)} * 4;
            else if (Flag == 0x800 || Flag == 0x1000)
                Offset += 4 + std::size_t{Data.U32(Offset)};
            else
                Offset += 4;
        }
        if (const auto Argb = BrushArgb(Data, Offset)) {
            Pen.Argb = *Argb;
            Slot = Pen;
        }
        break;
    }
    case poPath: {
        // Version, count, flags, the points, then one type byte per point.
        const std::uint32_t Count = Data.U32(4);
        const std::uint16_t PathFlags = Data.U16(8);
        if (PathFlags & (Relative | 0x1000)) break; // relative points, or types run-length encoded
        TPath Path;
        const std::size_t Step = (PathFlags & Compressed) ? 4 : 8;
        if (!Data.Has(12, static_cast<std::size_t>(Count) * (Step + 1)))
            FailWmf("Path larger than its record");
        Path.Points.reserve(Count);
        for (std::size_t Index = 0; Index < Count; ++Index) {
            const std::size_t At = 12 + Index * Step;
            Path.Points.push_back(Step == 4 ? TWmfPointD{static_cast<double>(Data.S16(At)),
                                                         static_cast<double>(Data.S16(At + 2))}
                                            : TWmfPointD{Float(Data, At), Float(Data, At + 4)});
        }
        const TWmfBytes Types = Data.Sub(12 + Count * Step, Count);
        Path.Types.assign(Types.Span().begin(), Types.Span().end());
        Slot = std::move(Path);
        break;
    }
    case poFont: {
        // Version, em size, its unit, style flags, reserved, the name's length and the name.
        TFont Font;
        Font.EmSize = Float(Data, 4);
        Font.Unit = Data.U32(8);
        Font.Style = Data.S32(12);
        Font.Family = ReadUtf16(Data, 24, std::min<std::uint32_t>(Data.U32(20), 32));
        if (std::isfinite(Font.EmSize) && Font.EmSize > 0) Slot = std::move(Font);
        break;
    }
    default:
        break;
    }
}

const TEmfPlusPlayer::TObject& TEmfPlusPlayer::Object(std::uint32_t Index) const {
    if (Index >= FObjects.size()) FailWmf("Metafile object index out of range");
    return FObjects[Index];
}

double TEmfPlusPlayer::UnitPixels(std::uint32_t Unit) const {
    switch (Unit) {
    case 1: // display
        return FDpiX / 96;
    case 3: // point
        return FDpiX / 72;
    case 4: // inch
        return FDpiX;
    case 5: // document
        return FDpiX / 300;
    case 6: // millimetre
        return FDpiX / 25.4;
    default: // world and pixel
        return 1;
    }
}

TEmfXForm TEmfPlusPlayer::ToImage() const {
    const double Scale = FState.PageScale * UnitPixels(FState.PageUnit);
    const TEmfXForm Page{Scale, 0, 0, Scale * FDpiY / FDpiX, 0, 0};
    return FState.World.Then(Page).Then(FDeviceToImage);
}

std::vector<TWmfPointD> TEmfPlusPlayer::Points(const TWmfBytes& Data, std::size_t Offset, std::size_t Count,
                                               std::uint16_t Flags) const {
    if (Flags & Relative) return {};
    const std::size_t Step = (Flags & Compressed) ? 4 : 8;
    if (!Data.Has(Offset, static_cast<std::size_t>(Count) * Step)) FailWmf("Points run past their record");
    std::vector<TWmfPointD> Read;
    Read.reserve(Count);
    for (std::size_t Index = 0; Index < Count; ++Index) {
        const std::size_t At = Offset + Index * Step;
        Read.push_back(
            Step == 4 ? TWmfPointD{static_cast<double>(Data.S16(At)), static_cast<double>(Data.S16(At + 2))}
                      : TWmfPointD{Float(Data, At), Float(Data, At + 4)});
    }
    return Read;
}

std::uint32_t TEmfPlusPlayer::BrushColor(std::uint16_t Flags, std::uint32_t BrushId) const {
    if (Flags & ColorGiven) return BrushId;
    if (const auto* Brush = std::get_if<TBrush>(&Object(BrushId & 0xFF))) return Brush->Argb;
    return 0; // fully transparent: draws nothing
}

const TEmfPlusPlayer::TPen& TEmfPlusPlayer::PenOf(std::uint16_t Flags) const {
    static const TPen Invisible{0, 1, 0};
    const auto* Pen = std::get_if<TPen>(&Object(Flags & 0xFF));
    return Pen != nullptr ? *Pen : Invisible;
}

void TEmfPlusPlayer::Prepare() {
    if (!FPainter.Healthy()) FailWmf("Drawing failed");
    if (FClipChanged) FPainter.SetClip(FState.Clip);
    FClipChanged = false;
}

void TEmfPlusPlayer::Fill(const TEmfPath& Path, std::uint32_t Argb) {
    if ((Argb >> 24) == 0 || Path.Empty()) return;
    Prepare();
    cairo_t* Context = FPainter.Context();
    FPainter.NewPath();
    Path.Replay(FPainter);
    cairo_set_source_rgba(Context, ((Argb >> 16) & 0xFF) / 255.0, ((Argb >> 8) & 0xFF) / 255.0,
                          (Argb & 0xFF) / 255.0, (Argb >> 24) / 255.0);
    cairo_set_fill_rule(Context, CAIRO_FILL_RULE_WINDING);
    cairo_fill(Context);
}

void TEmfPlusPlayer::Stroke(const TEmfPath& Path, const TPen& Pen) {
    if ((Pen.Argb >> 24) == 0 || Path.Empty()) return;
    Prepare();
    // A width in world units grows with the transforms; any other unit is a fixed length.
    const double Width = Pen.Unit == 0 ? Pen.Width * ToImage().LengthScale()
                                       : Pen.Width * UnitPixels(Pen.Unit) * FDeviceToImage.LengthScale();
    cairo_t* Context = FPainter.Context();
    FPainter.NewPath();
    Path.Replay(FPainter);
    cairo_set_source_rgba(Context, ((Pen.Argb >> 16) & 0xFF) / 255.0, ((Pen.Argb >> 8) & 0xFF) / 255.0,
                          (Pen.Argb & 0xFF) / 255.0, (Pen.Argb >> 24) / 255.0);
    // Wider than the image and its surroundings paints nothing more, but costs cairo more the wider.
    const double Widest = 4.0 * (FPainter.Width() + FPainter.Height());
    cairo_set_line_width(Context, std::isfinite(Width) ? std::clamp(Width, 1.0, Widest) : 1.0);
    cairo_set_line_join(Context, CAIRO_LINE_JOIN_MITER);
    cairo_set_line_cap(Context, CAIRO_LINE_CAP_BUTT);
    // Dash, dot, dash-dot and dash-dot-dot, in pen widths; a path that would need millions of
    // dashes is drawn solid, as the painter does.
    static constexpr std::array<std::array<double, 6>, 4> Styles{
        {{3, 1}, {1, 1}, {3, 1, 1, 1}, {3, 1, 1, 1, 1, 1}}};
    static constexpr std::array<int, 4> Counts{2, 2, 4, 6};
    const double Drawn = cairo_get_line_width(Context);
    if (Pen.Style >= 1 && Pen.Style <= 4 && FPainter.PathLength() / Drawn < 1e6) {
        std::array<double, 6> Dashes{};
        for (std::size_t Index = 0; Index < Dashes.size(); ++Index)
            Dashes[Index] = Styles[Pen.Style - 1][Index] * Drawn;
        cairo_set_dash(Context, Dashes.data(), Counts[Pen.Style - 1], 0);
    }
    cairo_stroke(Context);
    cairo_set_dash(Context, nullptr, 0, 0);
}

TEmfPath TEmfPlusPlayer::Rects(const std::vector<TWmfPointD>& Corners) const {
    const TEmfXForm Transform = ToImage();
    TEmfPath Path;
    for (std::size_t Index = 0; Index + 1 < Corners.size(); Index += 2) {
        const TWmfPointD At = Corners[Index], Size = Corners[Index + 1];
        Path.MoveTo(Transform.Apply(At.X, At.Y));
        Path.LineTo(Transform.Apply(At.X + Size.X, At.Y));
        Path.LineTo(Transform.Apply(At.X + Size.X, At.Y + Size.Y));
        Path.LineTo(Transform.Apply(At.X, At.Y + Size.Y));
        Path.Close();
    }
    return Path;
}

TEmfPath TEmfPlusPlayer::Polygon(const std::vector<TWmfPointD>& Points, bool ClosePolygon) const {
    const TEmfXForm Transform = ToImage();
    TEmfPath Path;
    for (const TWmfPointD& Point : Points)
        Path.LineTo(Transform.Apply(Point.X, Point.Y));
    if (ClosePolygon) Path.Close();
    return Path;
}

TEmfPath TEmfPlusPlayer::Ellipse(const TWmfBytes& Data, std::size_t Offset, std::uint16_t Flags, double Start,
                                 double Sweep, bool Pie, bool Arc) const {
    // The bounding rectangle; angles in degrees, clockwise on a screen whose y runs down.
    const std::vector<TWmfPointD> Box = Points(Data, Offset, 2, Flags);
    TEmfPath Path;
    if (Box.size() != 2 || !std::isfinite(Start) || !std::isfinite(Sweep)) return Path;
    const double RadiusX = Box[1].X / 2, RadiusY = Box[1].Y / 2;
    const double CenterX = Box[0].X + RadiusX, CenterY = Box[0].Y + RadiusY;
    const TEmfXForm Transform = ToImage();
    if (Pie) Path.MoveTo(Transform.Apply(CenterX, CenterY));
    AddArc(Path, Transform, CenterX, CenterY, RadiusX, RadiusY, Start * Pi / 180, Sweep * Pi / 180, Pie);
    if (!Arc) Path.Close();
    return Path;
}

TEmfPath TEmfPlusPlayer::PathShape(const TPath& Shape) const {
    const TEmfXForm Transform = ToImage();
    TEmfPath Path;
    auto Image = [&](std::size_t Index) {
        return Transform.Apply(Shape.Points[Index].X, Shape.Points[Index].Y);
    };
    for (std::size_t Index = 0; Index < Shape.Points.size(); ++Index) {
        const std::uint8_t Type = Shape.Types[Index];
        if ((Type & 0x07) == 0) {
            Path.MoveTo(Image(Index));
        } else if ((Type & 0x07) == 3 && Index + 2 < Shape.Points.size()) {
            Path.CurveTo(Image(Index), Image(Index + 1), Image(Index + 2));
            Index += 2;
        } else {
            Path.LineTo(Image(Index));
        }
        if (Shape.Types[Index] & 0x80) Path.Close();
    }
    return Path;
}

void TEmfPlusPlayer::DrawString(std::uint16_t Flags, const TWmfBytes& Data) {
    // The brush, the string format, the length, the layout rectangle, the string. The text starts at
    // the rectangle's top left; the format's alignment is not read.
    const auto* Font = std::get_if<TFont>(&Object(Flags & 0xFF));
    const std::uint32_t Argb = BrushColor(static_cast<std::uint16_t>(Flags & ColorGiven), Data.U32(0));
    const std::uint32_t Length = Data.U32(8);
    const TWmfBytes Text = Data.Sub(28, static_cast<std::size_t>(Length) * 2);
    if (Font == nullptr || (Argb >> 24) == 0) return;
    const TEmfXForm Transform = ToImage();
    const TWmfPointD Along = Transform.Turn(1, 0);
    TWmfFont Face;
    constexpr std::int32_t Height = 1024; // the em as logical units, scaled below
    Face.Height = -Height;
    Face.Weight = (Font->Style & 1) ? 700 : 400;
    Face.Italic = (Font->Style & 2) != 0;
    Face.Underline = (Font->Style & 4) != 0;
    Face.StrikeOut = (Font->Style & 8) != 0;
    Face.FaceName = Font->Family;
    const double Em = Font->Unit == 0
                          ? Font->EmSize * std::hypot(Transform.Turn(0, 1).X, Transform.Turn(0, 1).Y)
                          : Font->EmSize * UnitPixels(Font->Unit) * FDeviceToImage.LengthScale();
    TWmfTextOut Out;
    Out.Text = Text.Span();
    Out.Utf16 = true;
    Out.Origin = Transform.Apply(Float(Data, 12), Float(Data, 16));
    Out.Color = Argb & 0xFFFFFF;
    Out.EmScale = Em / Height;
    Out.Rotation = std::atan2(Along.Y, Along.X);
    Prepare();
    DrawText(FPainter, Face, Out);
}

void TEmfPlusPlayer::SetClipRect(std::uint16_t Flags, const TWmfBytes& Data) {
    const std::vector<TWmfPointD> Box = Points(Data, 0, 2, 0);
    const TEmfXForm Transform = ToImage();
    const TWmfPointD A = Transform.Apply(Box[0].X, Box[0].Y);
    const TWmfPointD B = Transform.Apply(Box[0].X + Box[1].X, Box[0].Y + Box[1].Y);
    auto Pixel = [](double Value) {
        constexpr double Limit = 1 << 24;
        return static_cast<int>(std::lround(std::isfinite(Value) ? std::clamp(Value, -Limit, Limit) : 0.0));
    };
    const int X0 = Pixel(std::min(A.X, B.X)), Y0 = Pixel(std::min(A.Y, B.Y));
    const TWmfPixelRect Rect{X0, Y0, Pixel(std::max(A.X, B.X)) - X0, Pixel(std::max(A.Y, B.Y)) - Y0};
    switch ((Flags >> 8) & 0x0F) {
    case 0: // replace
        FState.Clip.Select(&Rect, 1);
        break;
    case 1: // intersect
        FState.Clip.Intersect(Rect);
        break;
    case 2: // union
        FState.Clip.Combine(&Rect, 1, TWmfClip::cmOr);
        break;
    case 3: // exclusive or
        FState.Clip.Combine(&Rect, 1, TWmfClip::cmXor);
        break;
    case 4: // exclude
        FState.Clip.Exclude(Rect);
        break;
    default: // the complement would clip away all that was visible; left alone
        break;
    }
    FClipChanged = true;
}

void TEmfPlusPlayer::Save(std::uint32_t Index) {
    if (FSaved.size() >= MaxSavedStates) FailWmf("Metafile saves too many states");
    FSaved.emplace_back(Index, FState);
}

void TEmfPlusPlayer::Restore(std::uint32_t Index) {
    // The state saved under Index, and every one saved after it, is taken off the stack.
    for (std::size_t Position = FSaved.size(); Position-- > 0;) {
        if (FSaved[Position].first != Index) continue;
        FState = std::move(FSaved[Position].second);
        FSaved.erase(FSaved.begin() + static_cast<std::ptrdiff_t>(Position), FSaved.end());
        FClipChanged = true;
        return;
    }
}

} // namespace corvane::wmf
