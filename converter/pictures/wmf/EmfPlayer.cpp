#include "EmfPlayer.h"

#include "EmfGeometry.h"
#include "EmfObjects.h"
#include "EmfPlusPlayer.h"
#include "EmfRecords.h"
#include "PngEncoder.h"
#include "WmfBytes.h"
#include "WmfClip.h"
#include "WmfDib.h"
#include "WmfMapping.h"
#include "WmfObjects.h"
#include "WmfPainter.h"
#include "WmfPlayer.h"
#include "WmfRecords.h"
#include "WmfText.h"

#include <cairo.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <memory>
#include <new>
#include <numbers>
#include <variant>

namespace corvane::wmf {

namespace {

constexpr std::size_t HeaderSize = 88; // up to the reference device's size in millimetres
constexpr std::size_t RecordHeaderSize = 8;
// Deeper nesting of SaveDC than this is no picture.
constexpr std::size_t MaxSavedStates = 1024;
// Clipping paths intersected with each other, and their pieces altogether: every drawing operation
// after a change of the clip replays them.
constexpr std::size_t MaxClipPaths = 64;
constexpr std::size_t MaxClipPieces = 1 << 16;
// The pixels one metafile may decode from its bitmaps altogether.
constexpr std::uint64_t PixelBudgetPerMetafile = 128'000'000;
constexpr double Pi = std::numbers::pi;

double Float(const TWmfBytes& Bytes, std::size_t Offset) {
    return static_cast<double>(std::bit_cast<float>(Bytes.U32(Offset)));
}

struct TState {
    explicit TState(const TWmfFrame& Frame) : Mapping(Frame) {}

    TWmfMapping Mapping;
    TEmfXForm World;
    TWmfPen Pen;
    TWmfBrush Brush;
    TWmfFont Font;
    std::shared_ptr<const TWmfPalette> Palette;
    TWmfColorRef BkColor = MakeColorRef(255, 255, 255);
    TWmfColorRef TextColor = MakeColorRef(0, 0, 0);
    std::uint32_t BkMode = bkOpaque;
    std::uint32_t TextAlign = 0;
    std::uint32_t PolyFillMode = pfAlternate;
    std::uint32_t Rop2 = r2CopyPen;
    std::uint32_t StretchMode = smBlackOnWhite;
    bool Clockwise = false;
    TWmfPointD Position; // the current position, logical
    TWmfClip Clip;
    std::vector<std::shared_ptr<const TEmfPath>> ClipPaths; // all intersected with Clip
};

// The reference device's frame, in its pixels, shown on the image.
struct TEmfFrame {
    double Left = 0, Top = 0, Width = 1, Height = 1;
    int Inch = 96;
    int ImageWidth = 1, ImageHeight = 1;
};

class TPlayer {
public:
    TPlayer(const TEmfFrame& Frame, std::uint16_t ObjectCount);

    void Play(const TWmfBytes& Data);
    const TWmfPainter& Painter() const { return FPainter; }

private:
    void Dispatch(std::uint32_t Type, const TWmfBytes& Record);

    // Geometry.
    TEmfXForm ToImage() const;
    TWmfPointD Image(double X, double Y) const { return ToImage().Apply(X, Y); }
    TWmfRectD ImageBox(const TWmfBytes& Record, std::size_t Offset) const;
    TWmfPixelRect PixelBox(const TWmfRectD& Box) const;
    std::vector<TWmfPixelRect> RegionRects(const TWmfBytes& RgnData, const TEmfXForm& Transform) const;

    // State.
    void SaveDC();
    void RestoreDC(std::int32_t Which);
    void SelectObject(std::uint32_t Index);
    void SetWorldTransform(const TEmfXForm& Transform);
    void ModifyWorldTransform(const TWmfBytes& Record);
    void ExtSelectClipRgn(const TWmfBytes& Record);
    void SelectClipPath(std::uint32_t Mode);
    void CreatePatternBrush(const TWmfBytes& Record);

    // Drawing.
    TWmfStroke Stroke() const;
    TWmfFill FillOf(const TWmfBrush& Brush) const;
    TWmfBackground Background() const;
    std::span<const std::uint32_t> PaletteEntries() const;
    void Prepare();
    void Draw(const TEmfPath& Path, bool Fill, bool Stroke);
    // A widened path filled: the band a pen of the current width would draw, in the brush's colour.
    void FillWidened();
    // A closed figure or a line: into the open path bracket, or drawn.
    void Emit(const TEmfPath& Path, bool Fill);
    void PolyPoints(const TWmfBytes& Record, std::uint32_t Type);
    void PolyPoly(const TWmfBytes& Record, bool Small, bool Closed);
    void PolyDraw(const TWmfBytes& Record, bool Small);
    void Box(const TWmfBytes& Record, std::uint32_t Type);
    void ArcLike(const TWmfBytes& Record, std::uint32_t Type);
    void AngleArc(const TWmfBytes& Record);
    void PaintRegion(const TWmfBytes& RgnData, const TWmfBrush& Brush);
    void TextOut(const TWmfBytes& Record, bool Wide);
    std::optional<TWmfImage> Bitmap(const TWmfBytes& Record, std::size_t OffBmi, std::size_t Usage,
                                    bool KeepAlpha);
    void Blit(const TWmfBytes& Record, std::uint32_t Type);
    void StretchDIBits(const TWmfBytes& Record);
    void SetDIBitsToDevice(const TWmfBytes& Record);
    void GradientFill(const TWmfBytes& Record);
    void Comment(const TWmfBytes& Record);
    double Sweep(double From, double To) const;

    TEmfXForm FFrameToImage;
    TWmfPainter FPainter;
    TState FState;
    std::vector<TState> FSaved;
    TWmfObjectTable FObjects;
    TEmfPath FPath;
    bool FInPath = false;
    bool FWidened = false;
    bool FClipChanged = false;
    // Plays the EMF+ records of a file that has no EMF records for its drawing.
    std::unique_ptr<TEmfPlusPlayer> FPlus;
    std::uint64_t FPixelBudget = PixelBudgetPerMetafile;
};

TWmfFrame DeviceFrame(const TEmfFrame& Frame) {
    // The mapping runs from logical units to reference-device pixels; the frame step follows it.
    TWmfFrame Device;
    Device.Inch = Frame.Inch;
    return Device;
}

TPlayer::TPlayer(const TEmfFrame& Frame, std::uint16_t ObjectCount)
    : FPainter(Frame.ImageWidth, Frame.ImageHeight), FState(DeviceFrame(Frame)), FObjects(ObjectCount) {
    FFrameToImage.M11 = Frame.ImageWidth / Frame.Width;
    FFrameToImage.M22 = Frame.ImageHeight / Frame.Height;
    FFrameToImage.Dx = -Frame.Left * FFrameToImage.M11;
    FFrameToImage.Dy = -Frame.Top * FFrameToImage.M22;
    FState.Mapping.SetMapMode(mmText);
}

void TPlayer::Play(const TWmfBytes& Data) {
    // The header is the first record; playing starts after it.
    std::size_t Offset = Data.U32(4);
    std::uint32_t Count = 0;
    while (Data.Has(Offset, RecordHeaderSize)) {
        const std::uint32_t Type = Data.U32(Offset);
        const std::uint32_t Size = Data.U32(Offset + 4);
        if (Size < RecordHeaderSize || Size % 4 != 0) FailWmf("Metafile record size wrong");
        if (Size > Data.Size() - Offset) FailWmf("Metafile record runs past the data");
        if (++Count > MaxEmfRecords) FailWmf("Metafile has too many records");
        if (Type == erEOF) return;
        Dispatch(Type, Data.Sub(Offset, Size));
        Offset += Size;
    }
}

void TPlayer::Dispatch(std::uint32_t Type, const TWmfBytes& Record) {
    TWmfMapping& Mapping = FState.Mapping;
    switch (Type) {
    case erSetWindowExtEx:
        Mapping.SetWindowExt(Record.S32(8), Record.S32(12));
        break;
    case erSetWindowOrgEx:
        Mapping.SetWindowOrg(Record.S32(8), Record.S32(12));
        break;
    case erSetViewportExtEx:
        Mapping.SetViewportExt(Record.S32(8), Record.S32(12));
        break;
    case erSetViewportOrgEx:
        Mapping.SetViewportOrg(Record.S32(8), Record.S32(12));
        break;
    case erScaleViewportExtEx:
        Mapping.ScaleViewportExt(Record.S32(8), Record.S32(12), Record.S32(16), Record.S32(20));
        break;
    case erScaleWindowExtEx:
        Mapping.ScaleWindowExt(Record.S32(8), Record.S32(12), Record.S32(16), Record.S32(20));
        break;
    case erSetMapMode:
        Mapping.SetMapMode(static_cast<std::uint16_t>(std::min<std::uint32_t>(Record.U32(8), 0xFFFF)));
        break;
    case erSetBkMode:
        FState.BkMode = Record.U32(8);
        break;
    case erSetPolyFillMode:
        FState.PolyFillMode = Record.U32(8);
        break;
    case erSetROP2:
        FState.Rop2 = Record.U32(8);
        break;
    case erSetStretchBltMode:
        FState.StretchMode = Record.U32(8);
        break;
    case erSetTextAlign:
        FState.TextAlign = Record.U32(8);
        break;
    case erSetTextColor:
        FState.TextColor = Record.U32(8);
        break;
    case erSetBkColor:
        FState.BkColor = Record.U32(8);
        break;
    case erSetArcDirection:
        FState.Clockwise = Record.U32(8) == 2;
        break;
    case erMoveToEx:
        FState.Position = {static_cast<double>(Record.S32(8)), static_cast<double>(Record.S32(12))};
        if (FInPath) FPath.MoveTo(Image(FState.Position.X, FState.Position.Y));
        break;
    case erSaveDC:
        SaveDC();
        break;
    case erRestoreDC:
        RestoreDC(Record.S32(8));
        break;
    case erSetWorldTransform:
        SetWorldTransform({Float(Record, 8), Float(Record, 12), Float(Record, 16), Float(Record, 20),
                           Float(Record, 24), Float(Record, 28)});
        break;
    case erModifyWorldTransform:
        ModifyWorldTransform(Record);
        break;
    case erCreatePen:
        FObjects.Put(Record.U32(8), ReadEmfPen(Record));
        break;
    case erExtCreatePen:
        FObjects.Put(Record.U32(8), ReadEmfExtPen(Record));
        break;
    case erCreateBrushIndirect:
        FObjects.Put(Record.U32(8), ReadEmfBrush(Record));
        break;
    case erCreateMonoBrush:
    case erCreateDIBPatternBrushPt:
        CreatePatternBrush(Record);
        break;
    case erExtCreateFontIndirectW:
        FObjects.Put(Record.U32(8), ReadEmfFont(Record));
        break;
    case erCreatePalette:
        FObjects.Put(Record.U32(8), std::make_shared<const TWmfPalette>(ReadEmfPalette(Record)));
        break;
    case erSelectObject:
        SelectObject(Record.U32(8));
        break;
    case erSelectPalette: {
        const std::uint32_t Index = Record.U32(8);
        if (Index & StockObjectFlag) {
            FState.Palette.reset();
        } else if (const auto* Palette =
                       std::get_if<std::shared_ptr<const TWmfPalette>>(&FObjects.Get(Index))) {
            FState.Palette = *Palette;
        }
        break;
    }
    case erDeleteObject:
        if (!(Record.U32(8) & StockObjectFlag)) FObjects.Delete(Record.U32(8));
        break;
    case erIntersectClipRect:
        FState.Clip.Intersect(PixelBox(ImageBox(Record, 8)));
        FClipChanged = true;
        break;
    case erExcludeClipRect:
        FState.Clip.Exclude(PixelBox(ImageBox(Record, 8)));
        FClipChanged = true;
        break;
    case erOffsetClipRgn: {
        const TWmfPointD Shift = ToImage().Turn(Record.S32(8), Record.S32(12));
        FState.Clip.Offset(static_cast<int>(std::lround(std::clamp(Shift.X, -1e8, 1e8))),
                           static_cast<int>(std::lround(std::clamp(Shift.Y, -1e8, 1e8))));
        FClipChanged = true;
        break;
    }
    case erExtSelectClipRgn:
        ExtSelectClipRgn(Record);
        break;
    case erLineTo: {
        const TWmfPointD To{static_cast<double>(Record.S32(8)), static_cast<double>(Record.S32(12))};
        TEmfPath Line;
        TEmfPath& Target = FInPath ? FPath : Line;
        if (!Target.FigureOpen()) Target.MoveTo(Image(FState.Position.X, FState.Position.Y));
        Target.LineTo(Image(To.X, To.Y));
        if (!FInPath) Draw(Line, false, true);
        FState.Position = To;
        break;
    }
    case erPolyBezier:
    case erPolygon:
    case erPolyline:
    case erPolyBezierTo:
    case erPolylineTo:
    case erPolyBezier16:
    case erPolygon16:
    case erPolyline16:
    case erPolyBezierTo16:
    case erPolylineTo16:
        PolyPoints(Record, Type);
        break;
    case erPolyPolyline:
    case erPolyPolygon:
        PolyPoly(Record, false, Type == erPolyPolygon);
        break;
    case erPolyPolyline16:
    case erPolyPolygon16:
        PolyPoly(Record, true, Type == erPolyPolygon16);
        break;
    case erPolyDraw:
    case erPolyDraw16:
        PolyDraw(Record, Type == erPolyDraw16);
        break;
    case erRectangle:
    case erEllipse:
    case erRoundRect:
        Box(Record, Type);
        break;
    case erArc:
    case erArcTo:
    case erChord:
    case erPie:
        ArcLike(Record, Type);
        break;
    case erAngleArc:
        AngleArc(Record);
        break;
    case erSetPixelV: {
        const TWmfPointD Point = Image(Record.S32(8), Record.S32(12));
        Prepare();
        FPainter.FillRect({std::floor(Point.X), std::floor(Point.Y), 1, 1},
                          ResolveColor(Record.U32(16), PaletteEntries()));
        break;
    }
    case erBeginPath:
        FPath.Clear();
        FInPath = true;
        FWidened = false;
        break;
    case erEndPath:
        FInPath = false;
        break;
    case erAbortPath:
        FPath.Clear();
        FInPath = false;
        FWidened = false;
        break;
    case erWidenPath:
        FWidened = !FInPath;
        break;
    case erCloseFigure:
        if (FInPath) FPath.Close();
        break;
    case erFillPath:
    case erStrokePath:
    case erStrokeAndFillPath:
        if (FWidened && Type != erStrokePath)
            FillWidened();
        else
            Draw(FPath, Type != erStrokePath, Type != erFillPath);
        FPath.Clear();
        FInPath = false;
        FWidened = false;
        break;
    case erSelectClipPath:
        SelectClipPath(Record.U32(8));
        break;
    case erFillRgn: {
        const std::uint32_t Size = Record.U32(24);
        const auto* Brush = std::get_if<TWmfBrush>(&FObjects.Get(Record.U32(28)));
        if (Brush != nullptr) PaintRegion(Record.Sub(32, Size), *Brush);
        break;
    }
    case erPaintRgn:
        PaintRegion(Record.Sub(28, Record.U32(24)), FState.Brush);
        break;
    case erExtTextOutA:
    case erExtTextOutW:
        TextOut(Record, Type == erExtTextOutW);
        break;
    case erBitBlt:
    case erStretchBlt:
    case erAlphaBlend:
        Blit(Record, Type);
        break;
    case erStretchDIBits:
        StretchDIBits(Record);
        break;
    case erSetDIBitsToDevice:
        SetDIBitsToDevice(Record);
        break;
    case erGradientFill:
        GradientFill(Record);
        break;
    case erComment:
        Comment(Record);
        break;
    default:
        // Palette animation, colour adjustment and records the player does not draw are skipped.
        break;
    }
}

TEmfXForm TPlayer::ToImage() const {
    const TWmfMapping& Mapping = FState.Mapping;
    const TWmfPointD Origin = Mapping.ToImage(0, 0);
    const TEmfXForm Page{Mapping.ScaleX(), 0, 0, Mapping.ScaleY(), Origin.X, Origin.Y};
    return FState.World.Then(Page).Then(FFrameToImage);
}

TWmfRectD TPlayer::ImageBox(const TWmfBytes& Record, std::size_t Offset) const {
    // Left, top, right, bottom; a turned world gives the box around the turned corners.
    const double Left = Record.S32(Offset), Top = Record.S32(Offset + 4);
    const double Right = Record.S32(Offset + 8), Bottom = Record.S32(Offset + 12);
    const TEmfXForm Transform = ToImage();
    const TWmfPointD Corners[] = {Transform.Apply(Left, Top), Transform.Apply(Right, Top),
                                  Transform.Apply(Right, Bottom), Transform.Apply(Left, Bottom)};
    double X0 = Corners[0].X, X1 = X0, Y0 = Corners[0].Y, Y1 = Y0;
    for (const TWmfPointD& Corner : Corners) {
        X0 = std::min(X0, Corner.X);
        X1 = std::max(X1, Corner.X);
        Y0 = std::min(Y0, Corner.Y);
        Y1 = std::max(Y1, Corner.Y);
    }
    return {X0, Y0, X1 - X0, Y1 - Y0};
}

TWmfPixelRect TPlayer::PixelBox(const TWmfRectD& Box) const {
    auto Pixel = [](double Value) {
        constexpr double Limit = 1 << 24;
        return static_cast<int>(std::lround(std::isfinite(Value) ? std::clamp(Value, -Limit, Limit) : 0.0));
    };
    const int X0 = Pixel(Box.X), Y0 = Pixel(Box.Y);
    const int X1 = Pixel(Box.X + Box.Width), Y1 = Pixel(Box.Y + Box.Height);
    return {X0, Y0, X1 - X0, Y1 - Y0};
}

std::vector<TWmfPixelRect> TPlayer::RegionRects(const TWmfBytes& RgnData, const TEmfXForm& Transform) const {
    // The header (its size, type, count of rectangles, their bytes, the bounds), then the rectangles.
    const std::uint32_t HeaderBytes = RgnData.U32(0);
    const std::uint32_t Count = RgnData.U32(8);
    if (!RgnData.Has(HeaderBytes, static_cast<std::size_t>(Count) * 16))
        FailWmf("Region larger than its record");
    std::vector<TWmfPixelRect> Rects;
    Rects.reserve(Count);
    for (std::size_t Index = 0; Index < Count; ++Index) {
        const std::size_t At = HeaderBytes + 16 * Index;
        const TWmfPointD A = Transform.Apply(RgnData.S32(At), RgnData.S32(At + 4));
        const TWmfPointD B = Transform.Apply(RgnData.S32(At + 8), RgnData.S32(At + 12));
        Rects.push_back(PixelBox(RectFromCorners(A, B)));
    }
    return Rects;
}

void TPlayer::SaveDC() {
    if (FSaved.size() >= MaxSavedStates) FailWmf("Metafile saves too many states");
    FSaved.push_back(FState);
}

void TPlayer::RestoreDC(std::int32_t Which) {
    // Negative: that many states back; positive: the state saved as number Which. Others are refused.
    std::size_t Keep = 0;
    if (Which < 0) {
        const auto Back = static_cast<std::size_t>(-static_cast<std::int64_t>(Which));
        if (Back > FSaved.size()) return;
        Keep = FSaved.size() - Back;
    } else if (Which > 0) {
        if (static_cast<std::size_t>(Which) > FSaved.size()) return;
        Keep = static_cast<std::size_t>(Which) - 1;
    } else {
        return;
    }
    FState = std::move(FSaved[Keep]);
    FSaved.erase(FSaved.begin() + static_cast<std::ptrdiff_t>(Keep), FSaved.end());
    FClipChanged = true;
}

void TPlayer::SelectObject(std::uint32_t Index) {
    const TWmfObject Stock = (Index & StockObjectFlag) ? StockObject(Index & ~StockObjectFlag) : TWmfObject{};
    const TWmfObject& Object = (Index & StockObjectFlag) ? Stock : FObjects.Get(Index);
    if (const auto* Pen = std::get_if<TWmfPen>(&Object))
        FState.Pen = *Pen;
    else if (const auto* Brush = std::get_if<TWmfBrush>(&Object))
        FState.Brush = *Brush;
    else if (const auto* Font = std::get_if<TWmfFont>(&Object))
        FState.Font = *Font;
}

void TPlayer::SetWorldTransform(const TEmfXForm& Transform) {
    // A transform that squashes the picture flat or throws it out of every range is refused.
    if (Transform.Usable()) FState.World = Transform;
}

void TPlayer::ModifyWorldTransform(const TWmfBytes& Record) {
    const TEmfXForm Given{Float(Record, 8),  Float(Record, 12), Float(Record, 16),
                          Float(Record, 20), Float(Record, 24), Float(Record, 28)};
    switch (Record.U32(32)) {
    case wtIdentity:
        FState.World = TEmfXForm{};
        break;
    case wtLeftMultiply:
        SetWorldTransform(Given.Then(FState.World));
        break;
    case wtRightMultiply:
        SetWorldTransform(FState.World.Then(Given));
        break;
    case wtSet:
        SetWorldTransform(Given);
        break;
    default:
        break;
    }
}

void TPlayer::ExtSelectClipRgn(const TWmfBytes& Record) {
    // The region is in device units: only the frame step applies.
    const std::uint32_t Size = Record.U32(8);
    const std::uint32_t Mode = Record.U32(12);
    FClipChanged = true;
    if (Mode == rgCopy) FState.ClipPaths.clear();
    if (Size == 0) {
        // No region with the copy mode means no clipping at all.
        if (Mode == rgCopy) FState.Clip.Reset();
        return;
    }
    const std::vector<TWmfPixelRect> Rects = RegionRects(Record.Sub(16, Size), FFrameToImage);
    switch (Mode) {
    case rgCopy:
        FState.Clip.Select(Rects.data(), Rects.size());
        break;
    case rgAnd:
        FState.Clip.Combine(Rects.data(), Rects.size(), TWmfClip::cmAnd);
        break;
    case rgOr:
        FState.Clip.Combine(Rects.data(), Rects.size(), TWmfClip::cmOr);
        break;
    case rgXor:
        FState.Clip.Combine(Rects.data(), Rects.size(), TWmfClip::cmXor);
        break;
    case rgDiff:
        FState.Clip.Combine(Rects.data(), Rects.size(), TWmfClip::cmDiff);
        break;
    default:
        break;
    }
}

void TPlayer::SelectClipPath(std::uint32_t Mode) {
    auto Path = std::make_shared<const TEmfPath>(std::move(FPath));
    FPath.Clear();
    FInPath = false;
    // cairo intersects clips; a union or difference with a path is beyond it, and clipping less than
    // asked loses less of the picture than clipping more.
    if (Mode == rgCopy) {
        FState.Clip.Reset();
        FState.ClipPaths.clear();
    } else if (Mode != rgAnd) {
        return;
    }
    std::size_t Pieces = Path->Size();
    for (const auto& Clip : FState.ClipPaths)
        Pieces += Clip->Size();
    if (FState.ClipPaths.size() >= MaxClipPaths || Pieces > MaxClipPieces)
        FailWmf("Clipping region too complex");
    FState.ClipPaths.push_back(std::move(Path));
    FClipChanged = true;
}

void TPlayer::CreatePatternBrush(const TWmfBytes& Record) {
    // Index, colour use, the bitmap's header and bits as offsets and sizes. A monochrome brush takes
    // its two colours from the bitmap's own table.
    const std::uint32_t Usage = Record.U32(12);
    std::optional<TWmfImage> Image =
        Bitmap(Record, 16, Usage == cuPalColors ? cuPalColors : cuRGBColors, false);
    TWmfBrush Brush;
    if (Image) {
        Brush.Style = bsDIBPatternPT;
        Brush.Pattern = std::make_shared<const TWmfImage>(std::move(*Image));
    } else {
        Brush.Color = MakeColorRef(0, 0, 0); // a pattern the player cannot decode draws as plain black
    }
    FObjects.Put(Record.U32(8), std::move(Brush));
}

std::span<const std::uint32_t> TPlayer::PaletteEntries() const {
    if (FState.Palette) return FState.Palette->Entries;
    return DefaultPalette;
}

TWmfStroke TPlayer::Stroke() const {
    TWmfStroke Stroke;
    Stroke.Color = ResolveColor(FState.Pen.Color, PaletteEntries());
    Stroke.Style = FState.Pen.Style;
    // A cosmetic pen is one pixel of the reference device wide.
    const double Width =
        FState.Pen.Width > 0 ? FState.Pen.Width * ToImage().LengthScale() : FFrameToImage.LengthScale();
    // A pen wider than the image and its surroundings paints nothing more than that, but cairo's cost
    // for caps, joins and dashes grows with the width.
    const double Widest = 4.0 * (FPainter.Width() + FPainter.Height());
    Stroke.Width = std::isfinite(Width) ? std::clamp(Width, 1.0, Widest) : 1.0;
    // Dashes of a geometric pen are logical lengths, those of a cosmetic one device pixels.
    const double DashScale = FState.Pen.Width > 0 ? ToImage().LengthScale() : FFrameToImage.LengthScale();
    for (double Dash : FState.Pen.Dashes)
        Stroke.Dashes.push_back(Dash * DashScale);
    return Stroke;
}

TWmfFill TPlayer::FillOf(const TWmfBrush& Brush) const {
    TWmfFill Fill;
    Fill.Color = ResolveColor(Brush.Color, PaletteEntries());
    switch (Brush.Style) {
    case bsNull:
        Fill.Kind = TWmfFill::fkNone;
        break;
    case bsHatched:
        Fill.Kind = TWmfFill::fkHatch;
        Fill.Hatch = Brush.Hatch;
        break;
    default:
        Fill.Kind = Brush.Pattern ? TWmfFill::fkPattern : TWmfFill::fkSolid;
        Fill.Pattern = Brush.Pattern.get();
        break;
    }
    return Fill;
}

TWmfBackground TPlayer::Background() const {
    return {FState.BkMode == bkOpaque, ResolveColor(FState.BkColor, PaletteEntries())};
}

void TPlayer::Prepare() {
    if (!FPainter.Healthy()) FailWmf("Drawing failed");
    if (FClipChanged) {
        FPainter.SetClip(FState.Clip);
        cairo_t* Context = FPainter.Context();
        for (const auto& Path : FState.ClipPaths) {
            FPainter.NewPath();
            Path->Replay(FPainter);
            cairo_set_fill_rule(Context, FState.PolyFillMode == pfWinding ? CAIRO_FILL_RULE_WINDING
                                                                          : CAIRO_FILL_RULE_EVEN_ODD);
            cairo_clip(Context);
        }
        FClipChanged = false;
    }
    FPainter.SetRop2(static_cast<std::uint16_t>(std::min<std::uint32_t>(FState.Rop2, 0xFFFF)));
}

void TPlayer::Draw(const TEmfPath& Path, bool Fill, bool Stroke) {
    if (Path.Empty()) return;
    Prepare();
    FPainter.NewPath();
    Path.Replay(FPainter);
    if (Fill) FPainter.Fill(FillOf(FState.Brush), Background(), FState.PolyFillMode == pfWinding);
    if (Stroke) FPainter.Stroke(this->Stroke(), Background());
    FPainter.NewPath();
}

void TPlayer::FillWidened() {
    const TWmfFill Brush = FillOf(FState.Brush);
    if (FPath.Empty() || Brush.Kind == TWmfFill::fkNone) return;
    TWmfStroke Band = Stroke();
    Band.Color = Brush.Color;
    Band.Style = static_cast<std::uint16_t>((Band.Style & ~psStyleMask) | psSolid);
    Prepare();
    FPainter.NewPath();
    FPath.Replay(FPainter);
    FPainter.Stroke(Band, Background());
    FPainter.NewPath();
}

void TPlayer::Emit(const TEmfPath& Path, bool Fill) {
    if (FInPath)
        FPath.Append(Path);
    else
        Draw(Path, Fill, true);
}

void TPlayer::PolyPoints(const TWmfBytes& Record, std::uint32_t Type) {
    // Bounds, the count, then the points: two 32-bit or two 16-bit values each.
    const bool Small = Type >= erPolyBezier16;
    const std::uint32_t Kind = Small ? Type - (erPolyBezier16 - erPolyBezier) : Type;
    const std::size_t Step = Small ? 4 : 8;
    const std::uint32_t Count = Record.U32(24);
    if (!Record.Has(28, static_cast<std::size_t>(Count) * Step)) FailWmf("Points run past their record");
    const TEmfXForm Transform = ToImage();
    auto Logical = [&](std::size_t Index) {
        const std::size_t At = 28 + Index * Step;
        return Small
                   ? TWmfPointD{static_cast<double>(Record.S16(At)), static_cast<double>(Record.S16(At + 2))}
                   : TWmfPointD{static_cast<double>(Record.S32(At)), static_cast<double>(Record.S32(At + 4))};
    };
    auto Point = [&](std::size_t Index) {
        const TWmfPointD At = Logical(Index);
        return Transform.Apply(At.X, At.Y);
    };
    if (Count == 0) return;
    const bool Continues = Kind == erPolyBezierTo || Kind == erPolylineTo;
    const bool Bezier = Kind == erPolyBezier || Kind == erPolyBezierTo;
    TEmfPath Shape;
    TEmfPath& Target = Continues && FInPath ? FPath : Shape;
    std::size_t Index = 0;
    if (Continues) {
        if (!Target.FigureOpen()) Target.MoveTo(Transform.Apply(FState.Position.X, FState.Position.Y));
    } else {
        Target.MoveTo(Point(Index++));
    }
    if (Bezier) {
        for (; Index + 3 <= Count; Index += 3)
            Target.CurveTo(Point(Index), Point(Index + 1), Point(Index + 2));
    } else {
        for (; Index < Count; ++Index)
            Target.LineTo(Point(Index));
    }
    if (Continues) FState.Position = Logical(Count - 1);
    if (Kind == erPolygon) Target.Close();
    if (Continues && FInPath) return;
    Emit(Shape, Kind == erPolygon);
}

void TPlayer::PolyPoly(const TWmfBytes& Record, bool Small, bool Closed) {
    // Bounds, the number of figures, the number of all points, each figure's count, then the points.
    const std::uint32_t Figures = Record.U32(24);
    const std::uint32_t Total = Record.U32(28);
    const std::size_t Step = Small ? 4 : 8;
    if (!Record.Has(32, static_cast<std::size_t>(Figures) * 4)) FailWmf("Figures run past their record");
    const std::size_t First = 32 + static_cast<std::size_t>(Figures) * 4;
    if (!Record.Has(First, static_cast<std::size_t>(Total) * Step)) FailWmf("Points run past their record");
    const TEmfXForm Transform = ToImage();
    TEmfPath Shape;
    std::size_t Used = 0;
    for (std::size_t Figure = 0; Figure < Figures; ++Figure) {
        const std::uint32_t Count = Record.U32(32 + 4 * Figure);
        if (Count > Total - Used) FailWmf("Figures hold more points than the record");
        for (std::size_t Index = 0; Index < Count; ++Index, ++Used) {
            const std::size_t At = First + Used * Step;
            const double X = Small ? Record.S16(At) : Record.S32(At);
            const double Y = Small ? Record.S16(At + 2) : Record.S32(At + 4);
            if (Index == 0)
                Shape.MoveTo(Transform.Apply(X, Y));
            else
                Shape.LineTo(Transform.Apply(X, Y));
        }
        if (Closed) Shape.Close();
    }
    Emit(Shape, Closed);
}

void TPlayer::PolyDraw(const TWmfBytes& Record, bool Small) {
    // Bounds, the count, the points, then one type byte per point.
    const std::uint32_t Count = Record.U32(24);
    const std::size_t Step = Small ? 4 : 8;
    const std::size_t Types = 28 + static_cast<std::size_t>(Count) * Step;
    if (!Record.Has(28, static_cast<std::size_t>(Count) * Step) || !Record.Has(Types, Count))
        FailWmf("Points run past their record");
    const TEmfXForm Transform = ToImage();
    auto Logical = [&](std::size_t Index) {
        const std::size_t At = 28 + Index * Step;
        return Small
                   ? TWmfPointD{static_cast<double>(Record.S16(At)), static_cast<double>(Record.S16(At + 2))}
                   : TWmfPointD{static_cast<double>(Record.S32(At)), static_cast<double>(Record.S32(At + 4))};
    };
    TEmfPath Shape;
    TEmfPath& Target = FInPath ? FPath : Shape;
    if (!Target.FigureOpen()) Target.MoveTo(Transform.Apply(FState.Position.X, FState.Position.Y));
    for (std::size_t Index = 0; Index < Count; ++Index) {
        const std::uint8_t Kind = Record.U8(Types + Index);
        const TWmfPointD At = Logical(Index);
        const TWmfPointD Point = Transform.Apply(At.X, At.Y);
        if ((Kind & ~ptCloseFigure) == ptMoveTo) {
            Target.MoveTo(Point);
        } else if ((Kind & ~ptCloseFigure) == ptBezierTo && Index + 3 <= Count) {
            const TWmfPointD B = Logical(Index + 1), C = Logical(Index + 2);
            Target.CurveTo(Point, Transform.Apply(B.X, B.Y), Transform.Apply(C.X, C.Y));
            Index += 2;
        } else {
            Target.LineTo(Point);
        }
        if (Record.U8(Types + Index) & ptCloseFigure) Target.Close();
        FState.Position = Logical(Index);
    }
    if (!FInPath) Draw(Shape, false, true);
}

double TPlayer::Sweep(double From, double To) const {
    // Anticlockwise as seen on the image unless the direction is set clockwise; angles grow clockwise
    // on an image whose y runs down, and a transform that mirrors the picture turns that around.
    const TEmfXForm Transform = ToImage();
    const bool Mirrored = Transform.M11 * Transform.M22 - Transform.M12 * Transform.M21 < 0;
    const bool Growing = FState.Clockwise != Mirrored;
    double Sweep = To - From;
    if (Growing) {
        while (Sweep <= 0)
            Sweep += 2 * Pi;
    } else {
        while (Sweep >= 0)
            Sweep -= 2 * Pi;
    }
    return Sweep;
}

void TPlayer::Box(const TWmfBytes& Record, std::uint32_t Type) {
    const double Left = Record.S32(8), Top = Record.S32(12), Right = Record.S32(16), Bottom = Record.S32(20);
    const TEmfXForm Transform = ToImage();
    const double CenterX = (Left + Right) / 2, CenterY = (Top + Bottom) / 2;
    const double RadiusX = std::fabs(Right - Left) / 2, RadiusY = std::fabs(Bottom - Top) / 2;
    TEmfPath Shape;
    if (Type == erEllipse) {
        AddArc(Shape, Transform, CenterX, CenterY, RadiusX, RadiusY, 0, 2 * Pi, false);
    } else if (Type == erRoundRect) {
        const double CornerX = std::min(std::fabs(static_cast<double>(Record.S32(24))) / 2, RadiusX);
        const double CornerY = std::min(std::fabs(static_cast<double>(Record.S32(28))) / 2, RadiusY);
        const double X0 = std::min(Left, Right) + CornerX, X1 = std::max(Left, Right) - CornerX;
        const double Y0 = std::min(Top, Bottom) + CornerY, Y1 = std::max(Top, Bottom) - CornerY;
        AddArc(Shape, Transform, X1, Y0, CornerX, CornerY, -Pi / 2, Pi / 2, false);
        AddArc(Shape, Transform, X1, Y1, CornerX, CornerY, 0, Pi / 2, true);
        AddArc(Shape, Transform, X0, Y1, CornerX, CornerY, Pi / 2, Pi / 2, true);
        AddArc(Shape, Transform, X0, Y0, CornerX, CornerY, Pi, Pi / 2, true);
    } else {
        Shape.MoveTo(Transform.Apply(Left, Top));
        Shape.LineTo(Transform.Apply(Right, Top));
        Shape.LineTo(Transform.Apply(Right, Bottom));
        Shape.LineTo(Transform.Apply(Left, Bottom));
    }
    Shape.Close();
    Emit(Shape, true);
}

void TPlayer::ArcLike(const TWmfBytes& Record, std::uint32_t Type) {
    // The bounding box, then the start and end radials' points.
    const double Left = Record.S32(8), Top = Record.S32(12), Right = Record.S32(16), Bottom = Record.S32(20);
    const double StartX = Record.S32(24), StartY = Record.S32(28), EndX = Record.S32(32),
                 EndY = Record.S32(36);
    const double CenterX = (Left + Right) / 2, CenterY = (Top + Bottom) / 2;
    const double RadiusX = std::fabs(Right - Left) / 2, RadiusY = std::fabs(Bottom - Top) / 2;
    auto Angle = [&](double X, double Y) {
        return std::atan2(RadiusY > 0 ? (Y - CenterY) / RadiusY : Y - CenterY,
                          RadiusX > 0 ? (X - CenterX) / RadiusX : X - CenterX);
    };
    const double From = Angle(StartX, StartY);
    const double Sweep = this->Sweep(From, Angle(EndX, EndY));
    const TEmfXForm Transform = ToImage();
    TEmfPath Shape;
    TEmfPath& Target = Type == erArcTo && FInPath ? FPath : Shape;
    if (Type == erArcTo && !Target.FigureOpen())
        Target.MoveTo(Transform.Apply(FState.Position.X, FState.Position.Y));
    if (Type == erPie) Target.MoveTo(Transform.Apply(CenterX, CenterY));
    AddArc(Target, Transform, CenterX, CenterY, RadiusX, RadiusY, From, Sweep,
           Type == erPie || Type == erArcTo);
    if (Type == erChord || Type == erPie) Target.Close();
    if (Type == erArcTo) {
        const double To = From + Sweep;
        FState.Position = {CenterX + RadiusX * std::cos(To), CenterY + RadiusY * std::sin(To)};
        if (FInPath) return;
    }
    Emit(Shape, Type == erChord || Type == erPie);
}

void TPlayer::AngleArc(const TWmfBytes& Record) {
    // Centre, radius, start angle and sweep in degrees, anticlockwise; joined to the current position.
    const double CenterX = Record.S32(8), CenterY = Record.S32(12);
    const double Radius = Record.U32(16);
    const double Start = -Float(Record, 20) * Pi / 180, Sweep = -Float(Record, 24) * Pi / 180;
    if (!std::isfinite(Start) || !std::isfinite(Sweep)) return;
    const TEmfXForm Transform = ToImage();
    TEmfPath Shape;
    TEmfPath& Target = FInPath ? FPath : Shape;
    if (!Target.FigureOpen()) Target.MoveTo(Transform.Apply(FState.Position.X, FState.Position.Y));
    AddArc(Target, Transform, CenterX, CenterY, Radius, Radius, Start, Sweep, true);
    const double To = Start + std::clamp(Sweep, -2 * Pi, 2 * Pi);
    FState.Position = {CenterX + Radius * std::cos(To), CenterY + Radius * std::sin(To)};
    if (!FInPath) Draw(Shape, false, true);
}

void TPlayer::PaintRegion(const TWmfBytes& RgnData, const TWmfBrush& Brush) {
    const std::vector<TWmfPixelRect> Rects = RegionRects(RgnData, ToImage());
    Prepare();
    FPainter.NewPath();
    for (const TWmfPixelRect& Rect : Rects)
        FPainter.AddRectangle({static_cast<double>(Rect.X), static_cast<double>(Rect.Y),
                               static_cast<double>(Rect.Width), static_cast<double>(Rect.Height)});
    FPainter.Fill(FillOf(Brush), Background(), true);
    FPainter.NewPath();
}

void TPlayer::TextOut(const TWmfBytes& Record, bool Wide) {
    // Bounds, graphics mode, two scales, then the text: reference point, character count, the
    // string's offset, options, the rectangle, the advances' offset.
    const double X = Record.S32(36), Y = Record.S32(40);
    const std::uint32_t Count = Record.U32(44);
    const std::uint32_t StringOffset = Record.U32(48);
    const std::uint32_t Options = Record.U32(52);
    const std::uint32_t AdvancesOffset = Record.U32(72);
    const std::size_t Unit = Wide ? 2 : 1;
    const TWmfBytes Text = Record.Sub(StringOffset, static_cast<std::size_t>(Count) * Unit);
    const bool HasRect = !(Options & EtoNoRect) && (Options & (etoOpaque | etoClipped));
    const TWmfRectD Rect = HasRect ? ImageBox(Record, 56) : TWmfRectD{};

    const TEmfXForm Transform = ToImage();
    const double Escapement = FState.Font.Escapement * Pi / 1800.0;
    // The baseline's direction and the way up from it, logical, on a screen whose y runs down.
    const TWmfPointD Along = Transform.Turn(std::cos(Escapement), -std::sin(Escapement));
    const TWmfPointD Up = Transform.Turn(std::sin(Escapement), std::cos(Escapement));
    const double AlongScale = std::hypot(Along.X, Along.Y);

    const bool UpdatePosition = (FState.TextAlign & taUpdateCP) != 0;
    const TWmfPointD Reference = UpdatePosition ? FState.Position : TWmfPointD{X, Y};
    TWmfTextOut Out;
    Out.Text = Text.Span();
    Out.Utf16 = Wide;
    const std::size_t Step = (Options & EtoPdy) ? 8 : 4;
    if (Count > 0 && AdvancesOffset != 0 && Record.Has(AdvancesOffset, Count * Step)) {
        Out.Advances.reserve(Count);
        for (std::size_t Index = 0; Index < Count; ++Index)
            Out.Advances.push_back(Record.S32(AdvancesOffset + Index * Step) * AlongScale);
    }
    Out.Origin = Transform.Apply(Reference.X, Reference.Y);
    Out.Align = static_cast<std::uint16_t>(FState.TextAlign & 0xFFFF);
    Out.Color = ResolveColor(FState.TextColor, PaletteEntries());
    Out.Background = Background();
    Out.EmScale = std::hypot(Up.X, Up.Y);
    Out.DefaultEm = 12.0 * FState.Mapping.Inch() / 72.0 * std::fabs(FFrameToImage.M22); // twelve points
    Out.Rotation = std::atan2(Along.Y, Along.X);

    Prepare();
    if (Options & etoOpaque) FPainter.FillRect(Rect, ResolveColor(FState.BkColor, PaletteEntries()));
    // Glyph indices name shapes of one particular font file, which cannot be found again here.
    if (Options & EtoGlyphIndex) return;
    cairo_t* Context = FPainter.Context();
    cairo_save(Context);
    if (Options & etoClipped) {
        cairo_new_path(Context);
        FPainter.AddRectangle(Rect);
        cairo_clip(Context);
    }
    const double Advance = DrawText(FPainter, FState.Font, Out);
    cairo_restore(Context);
    if (UpdatePosition && AlongScale > 0) {
        const double Logical = Advance / AlongScale;
        FState.Position.X += Logical * std::cos(Escapement);
        FState.Position.Y -= Logical * std::sin(Escapement);
    }
}

std::optional<TWmfImage> TPlayer::Bitmap(const TWmfBytes& Record, std::size_t OffBmi, std::size_t Usage,
                                         bool KeepAlpha) {
    // Four values from OffBmi: the header's offset and size, the bits' offset and size, each from the
    // record's start. The decoder reads the two as one packed bitmap.
    const std::uint32_t HeaderAt = Record.U32(OffBmi), HeaderBytes = Record.U32(OffBmi + 4);
    const std::uint32_t BitsAt = Record.U32(OffBmi + 8), BitsSize = Record.U32(OffBmi + 12);
    if (HeaderBytes == 0) return std::nullopt;
    const TWmfBytes Header = Record.Sub(HeaderAt, HeaderBytes), Bits = Record.Sub(BitsAt, BitsSize);
    std::vector<std::uint8_t> Packed;
    Packed.reserve(Header.Size() + Bits.Size());
    Packed.insert(Packed.end(), Header.Span().begin(), Header.Span().end());
    Packed.insert(Packed.end(), Bits.Span().begin(), Bits.Span().end());
    return DecodeDib(TWmfBytes(Packed),
                     static_cast<std::uint16_t>(Usage == cuPalColors ? cuPalColors : cuRGBColors),
                     PaletteEntries(), FPixelBudget, std::nullopt, KeepAlpha);
}

void TPlayer::Blit(const TWmfBytes& Record, std::uint32_t Type) {
    // Bounds, destination x, y, width, height, raster operation (a blend function for AlphaBlend),
    // source x, y, the source's transform and background colour, colour use, the bitmap's offsets
    // and sizes, then (StretchBlt, AlphaBlend) the source's width and height.
    const double X = Record.S32(24), Y = Record.S32(28), Width = Record.S32(32), Height = Record.S32(36);
    const std::uint32_t Rop = Type == erAlphaBlend ? std::uint32_t{r3SrcCopy} : Record.U32(40);
    const double SourceX = Record.S32(44), SourceY = Record.S32(48);
    double SourceWidth = Width, SourceHeight = Height;
    if (Type != erBitBlt) {
        SourceWidth = Record.S32(100);
        SourceHeight = Record.S32(104);
    }
    const TEmfXForm Transform = ToImage();
    const TWmfPointD Corner = Transform.Apply(X, Y), Opposite = Transform.Apply(X + Width, Y + Height);
    Prepare();
    const bool HasBitmap = Record.U32(88) != 0;
    if (!HasBitmap || !RopUsesSource(Rop)) {
        FPainter.PatternBlit(RectFromCorners(Corner, Opposite), FillOf(FState.Brush), Background(), Rop);
        return;
    }
    const bool SourceAlpha = Type == erAlphaBlend && (Record.U8(43) & AlphaFromSource);
    const std::optional<TWmfImage> Image = Bitmap(Record, 84, Record.U32(80), SourceAlpha);
    if (!Image) return;
    const double Opacity = Type == erAlphaBlend ? Record.U8(42) / 255.0 : 1.0;
    FPainter.ImageBlit(*Image, {SourceX, SourceY, SourceWidth, SourceHeight},
                       {Corner.X, Corner.Y, Opposite.X - Corner.X, Opposite.Y - Corner.Y}, Rop,
                       FState.StretchMode == smHalftone, Opacity);
}

void TPlayer::StretchDIBits(const TWmfBytes& Record) {
    // Bounds, destination x and y, source x, y, width, height, the bitmap's offsets and sizes, colour
    // use, raster operation, destination width and height.
    const double X = Record.S32(24), Y = Record.S32(28);
    const double SourceX = Record.S32(32);
    double SourceY = Record.S32(36);
    const double SourceWidth = Record.S32(40), SourceHeight = Record.S32(44);
    const std::uint32_t Rop = Record.U32(68);
    const double Width = Record.S32(72), Height = Record.S32(76);
    const TEmfXForm Transform = ToImage();
    const TWmfPointD Corner = Transform.Apply(X, Y), Opposite = Transform.Apply(X + Width, Y + Height);
    Prepare();
    if (!RopUsesSource(Rop)) {
        FPainter.PatternBlit(RectFromCorners(Corner, Opposite), FillOf(FState.Brush), Background(), Rop);
        return;
    }
    const std::optional<TWmfImage> Image = Bitmap(Record, 48, Record.U32(64), false);
    if (!Image) return;
    // The source counts from the bitmap's last stored row, the bottom one of a bottom-up bitmap.
    if (Image->BottomUp) SourceY = Image->Height - SourceY - SourceHeight;
    FPainter.ImageBlit(*Image, {SourceX, SourceY, SourceWidth, SourceHeight},
                       {Corner.X, Corner.Y, Opposite.X - Corner.X, Opposite.Y - Corner.Y}, Rop,
                       FState.StretchMode == smHalftone);
}

void TPlayer::SetDIBitsToDevice(const TWmfBytes& Record) {
    // Bounds, destination x and y, source x, y, width, height, the bitmap's offsets and sizes, colour
    // use, first scan line, number of scan lines. Sizes are device pixels, not logical units.
    const double X = Record.S32(24), Y = Record.S32(28);
    const double SourceX = Record.S32(32), SourceY = Record.S32(36);
    const double Width = Record.S32(40), Height = Record.S32(44);
    const double StartScan = Record.U32(68);
    const std::optional<TWmfImage> Image = Bitmap(Record, 48, Record.U32(64), false);
    if (!Image) return;
    Prepare();
    const double BandY = Image->BottomUp ? StartScan + Image->Height - SourceY - Height : SourceY - StartScan;
    const TWmfPointD Corner = ToImage().Apply(X, Y);
    FPainter.ImageBlit(*Image, {SourceX, BandY, Width, Height},
                       {Corner.X, Corner.Y, Width * FFrameToImage.M11, Height * FFrameToImage.M22}, r3SrcCopy,
                       FState.StretchMode == smHalftone);
}

void TPlayer::GradientFill(const TWmfBytes& Record) {
    // Bounds, the numbers of vertices and of shapes, the mode, the vertices (x, y and four 16-bit
    // channels: red, green, blue, alpha), then per shape two (rectangles) or three (triangles) indices.
    const std::uint32_t Vertices = Record.U32(24), Shapes = Record.U32(28), Mode = Record.U32(32);
    const std::size_t Corners = Mode == gmTriangle ? 3 : 2;
    const std::size_t Indices = 36 + static_cast<std::size_t>(Vertices) * 16;
    if (!Record.Has(36, static_cast<std::size_t>(Vertices) * 16) ||
        !Record.Has(Indices, static_cast<std::size_t>(Shapes) * Corners * 4))
        FailWmf("Gradient larger than its record");
    const TEmfXForm Transform = ToImage();
    auto Vertex = [&](std::size_t Shape, std::size_t Corner) {
        const std::uint32_t Index = Record.U32(Indices + (Shape * Corners + Corner) * 4);
        if (Index >= Vertices) FailWmf("Gradient vertex out of range");
        return 36 + static_cast<std::size_t>(Index) * 16;
    };
    auto Channel = [&](std::size_t At, std::size_t Which) {
        return Record.U16(At + 8 + 2 * Which) / 65535.0;
    };
    Prepare();
    cairo_t* Context = FPainter.Context();
    for (std::size_t Shape = 0; Shape < Shapes; ++Shape) {
        FPainter.NewPath();
        cairo_pattern_t* Pattern = nullptr;
        if (Mode == gmTriangle) {
            // A triangle takes the mean of its corners' colours; shading across it is not drawn.
            double Mean[3] = {0, 0, 0};
            for (std::size_t Corner = 0; Corner < 3; ++Corner) {
                const std::size_t At = Vertex(Shape, Corner);
                FPainter.LineTo(Transform.Apply(Record.S32(At), Record.S32(At + 4)));
                for (std::size_t Which = 0; Which < 3; ++Which)
                    Mean[Which] += Channel(At, Which) / 3;
            }
            FPainter.ClosePath();
            Pattern = cairo_pattern_create_rgb(Mean[0], Mean[1], Mean[2]);
        } else if (Mode == gmRectH || Mode == gmRectV) {
            const std::size_t From = Vertex(Shape, 0), To = Vertex(Shape, 1);
            const TWmfPointD A = Transform.Apply(Record.S32(From), Record.S32(From + 4));
            const TWmfPointD B = Transform.Apply(Record.S32(To), Record.S32(To + 4));
            FPainter.AddRectangle(RectFromCorners(A, B));
            Pattern = Mode == gmRectH ? cairo_pattern_create_linear(Bounded(A.X), 0, Bounded(B.X), 0)
                                      : cairo_pattern_create_linear(0, Bounded(A.Y), 0, Bounded(B.Y));
            cairo_pattern_add_color_stop_rgb(Pattern, 0, Channel(From, 0), Channel(From, 1),
                                             Channel(From, 2));
            cairo_pattern_add_color_stop_rgb(Pattern, 1, Channel(To, 0), Channel(To, 1), Channel(To, 2));
        } else {
            return;
        }
        cairo_set_source(Context, Pattern);
        cairo_pattern_destroy(Pattern);
        cairo_fill(Context);
    }
    FPainter.NewPath();
}

void TPlayer::Comment(const TWmfBytes& Record) {
    // The data's size, then the data; EMF+ records follow their mark.
    const std::uint32_t Size = Record.U32(8);
    if (Size < 4 || !Record.Has(12, Size) || Record.U32(12) != EmfPlusSignature) return;
    const TWmfBytes Records = Record.Sub(16, Size - 4);
    // A dual file repeats its drawing in EMF records, which are played; a file without them is drawn
    // from its EMF+ records.
    if (!FPlus && Records.Has(0, 4) && Records.U16(0) == EmfPlusHeaderType && !(Records.U16(2) & EmfPlusDual))
        FPlus = std::make_unique<TEmfPlusPlayer>(FPainter, FFrameToImage);
    if (!FPlus) return;
    FPlus->Play(Records);
    FClipChanged = true;
}

// Reads the header, works out the frame, then plays the records.
std::vector<std::uint8_t> Render(const TWmfBytes& Data, int Width, int Height) {
    if (Data.U32(0) != erHeader || Data.U32(40) != EmfSignature) FailWmf("Not an enhanced metafile");
    const std::uint32_t Size = Data.U32(4);
    if (Size < HeaderSize || Size % 4 != 0 || !Data.Has(0, Size)) FailWmf("Metafile header wrong");
    // The reference device: its size in pixels and in millimetres.
    const double DeviceX = Data.S32(72), DeviceY = Data.S32(76);
    const double MillimetresX = Data.S32(80), MillimetresY = Data.S32(84);
    double PerMillimetreX = 96 / 25.4, PerMillimetreY = 96 / 25.4;
    if (DeviceX > 0 && DeviceY > 0 && MillimetresX > 0 && MillimetresY > 0) {
        PerMillimetreX = DeviceX / MillimetresX;
        PerMillimetreY = DeviceY / MillimetresY;
    }
    // The frame is given in hundredths of a millimetre; the bounds, in device pixels, stand in for a
    // frame that is empty.
    TEmfFrame Frame;
    Frame.Left = Data.S32(24) / 100.0 * PerMillimetreX;
    Frame.Top = Data.S32(28) / 100.0 * PerMillimetreY;
    Frame.Width = (static_cast<double>(Data.S32(32)) - Data.S32(24)) / 100.0 * PerMillimetreX;
    Frame.Height = (static_cast<double>(Data.S32(36)) - Data.S32(28)) / 100.0 * PerMillimetreY;
    if (!(Frame.Width > 0 && Frame.Height > 0)) {
        Frame.Left = Data.S32(8);
        Frame.Top = Data.S32(12);
        Frame.Width = static_cast<double>(Data.S32(16)) - Data.S32(8) + 1;
        Frame.Height = static_cast<double>(Data.S32(20)) - Data.S32(12) + 1;
    }
    if (!(Frame.Width > 0 && Frame.Height > 0)) FailWmf("Metafile frame empty");
    Frame.Inch = static_cast<int>(std::lround(std::clamp(PerMillimetreX * 25.4, 1.0, 100000.0)));
    Frame.ImageWidth = Width;
    Frame.ImageHeight = Height;

    TPlayer Player(Frame, Data.U16(56));
    Player.Play(Data);
    return Player.Painter().ToRgb();
}

} // namespace

std::optional<std::vector<std::uint8_t>> RenderEmf(std::span<const std::uint8_t> Metafile, int Width,
                                                   int Height) {
    if (!ImageSizeAllowed(Width, Height)) return std::nullopt;
    try {
        return Render(TWmfBytes(Metafile), Width, Height);
    } catch (const ECxError&) {
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<std::vector<std::uint8_t>> RenderEmfToPng(std::span<const std::uint8_t> Metafile, int Width,
                                                        int Height) {
    const std::optional<std::vector<std::uint8_t>> Rgb = RenderEmf(Metafile, Width, Height);
    if (!Rgb) return std::nullopt;
    return EncodePng(*Rgb, Width, Height);
}

} // namespace corvane::wmf
