#include "WmfPlayer.h"

#include "PngEncoder.h"
#include "WmfBytes.h"
#include "WmfClip.h"
#include "WmfDib.h"
#include "WmfMapping.h"
#include "WmfObjects.h"
#include "WmfPainter.h"
#include "WmfRecords.h"
#include "WmfText.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <new>
#include <numbers>
#include <variant>

namespace corvane::wmf {

namespace {

constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr std::size_t PlaceableHeaderSize = 22;
constexpr std::size_t MetafileHeaderSize = 18;
constexpr std::size_t RecordHeaderSize = 6;
// Deeper nesting of SaveDC than this is no picture.
constexpr std::size_t MaxSavedStates = 1024;
// The pixels one metafile may decode from its bitmaps altogether.
constexpr std::uint64_t PixelBudgetPerMetafile = 128'000'000;

struct TState {
    explicit TState(const TWmfFrame& Frame) : Mapping(Frame) {}

    TWmfMapping Mapping;
    TWmfPen Pen;
    TWmfBrush Brush;
    TWmfFont Font;
    std::shared_ptr<const TWmfPalette> Palette;
    TWmfColorRef BkColor = MakeColorRef(255, 255, 255);
    TWmfColorRef TextColor = MakeColorRef(0, 0, 0);
    std::uint16_t BkMode = bkOpaque;
    std::uint16_t TextAlign = 0;
    std::uint16_t PolyFillMode = pfAlternate;
    std::uint16_t Rop2 = r2CopyPen;
    std::uint16_t StretchMode = smBlackOnWhite;
    TWmfPointD Position; // the current position, logical
    TWmfClip Clip;
};

// One record: its function and its parameters (the bytes after size and function).
struct TRecord {
    std::uint16_t Function = 0;
    std::uint32_t Words = 0; // the whole record's size in 16-bit words
    TWmfBytes Params;

    std::int16_t Word(std::size_t Index) const { return Params.S16(2 * Index); }
    std::uint16_t UWord(std::size_t Index) const { return Params.U16(2 * Index); }
    // The block transfers exist with and without a bitmap; without one the record has exactly the
    // size its function's high byte gives.
    bool HasBitmap() const { return Words != static_cast<std::uint32_t>(Function >> 8) + 3; }
};

class TPlayer {
public:
    TPlayer(const TWmfFrame& Frame, std::uint16_t ObjectCount)
        : FPainter(Frame.ImageWidth, Frame.ImageHeight), FState(Frame), FObjects(ObjectCount) {}

    void Play(const TWmfBytes& Records);
    const TWmfPainter& Painter() const { return FPainter; }

private:
    void Dispatch(const TRecord& Record);

    // State.
    void SaveDC();
    void RestoreDC(std::int16_t Which);
    void SelectObject(std::uint16_t Index);
    void SelectClipRegion(const TWmfRegion& Region);
    void CreatePatternBrush(const TRecord& Record);

    // Geometry.
    TWmfPointD Device(double X, double Y) const { return FState.Mapping.ToImage(X, Y); }
    // Lines are centred on pixel centres, as the pixels a line lights are.
    TWmfPointD StrokeDevice(double X, double Y) const {
        const TWmfPointD Point = Device(X, Y);
        return {Point.X + 0.5, Point.Y + 0.5};
    }
    TWmfRectD DeviceBox(std::int16_t Left, std::int16_t Top, std::int16_t Right, std::int16_t Bottom) const {
        return RectFromCorners(Device(Left, Top), Device(Right, Bottom));
    }
    TWmfPixelRect PixelBox(std::int32_t Left, std::int32_t Top, std::int32_t Right,
                           std::int32_t Bottom) const;
    // A shape's outline runs through its box's outermost pixels.
    static TWmfRectD StrokeBox(const TWmfRectD& Box);

    // Drawing.
    std::uint32_t Resolve(TWmfColorRef Color) const;
    TWmfStroke Stroke() const;
    TWmfFill Fill() const;
    TWmfBackground Background() const;
    void Prepare();
    void FillAndStroke(const std::function<void(bool ForStroke)>& BuildPath, bool Fill = true);
    void PolyPoints(const TRecord& Record, bool Closed);
    void PolyPolygon(const TRecord& Record);
    void Box(const TRecord& Record, std::uint16_t Function);
    void ArcLike(const TRecord& Record, std::uint16_t Function);
    void SetPixel(const TRecord& Record);
    void PatBlt(const TRecord& Record);
    void TextOut(const TRecord& Record);
    void ExtTextOut(const TRecord& Record);
    void DrawString(std::span<const std::uint8_t> Text, std::vector<double> Advances, double X, double Y);
    void Blit(const TRecord& Record);
    void SetDIBToDev(const TRecord& Record);
    std::span<const std::uint32_t> PaletteEntries() const;

    TWmfPainter FPainter;
    TState FState;
    std::vector<TState> FSaved;
    TWmfObjectTable FObjects;
    bool FClipChanged = false;
    std::uint64_t FPixelBudget = PixelBudgetPerMetafile;
};

void TPlayer::Play(const TWmfBytes& Records) {
    std::size_t Offset = 0;
    // Data that ends where a record would start ends the metafile as its end-of-file record would.
    while (Records.Has(Offset, RecordHeaderSize)) {
        TRecord Record;
        Record.Words = Records.U32(Offset);
        Record.Function = Records.U16(Offset + 4);
        if (Record.Function == wfEOF) return;
        if (Record.Words < RecordHeaderSize / 2) FailWmf("Metafile record too short");
        const std::uint64_t Bytes = static_cast<std::uint64_t>(Record.Words) * 2;
        if (Bytes > Records.Size() - Offset) FailWmf("Metafile record runs past the data");
        Record.Params =
            Records.Sub(Offset + RecordHeaderSize, static_cast<std::size_t>(Bytes) - RecordHeaderSize);
        Dispatch(Record);
        Offset += static_cast<std::size_t>(Bytes);
    }
}

void TPlayer::Dispatch(const TRecord& Record) {
    TWmfMapping& Mapping = FState.Mapping;
    switch (Record.Function) {
    case wfSetBkMode:
        FState.BkMode = Record.UWord(0);
        break;
    case wfSetMapMode:
        Mapping.SetMapMode(Record.UWord(0));
        break;
    case wfSetROP2:
        FState.Rop2 = Record.UWord(0);
        break;
    case wfSetPolyFillMode:
        FState.PolyFillMode = Record.UWord(0);
        break;
    case wfSetStretchBltMode:
        FState.StretchMode = Record.UWord(0);
        break;
    case wfSetTextAlign:
        FState.TextAlign = Record.UWord(0);
        break;
    case wfSaveDC:
        SaveDC();
        break;
    case wfRestoreDC:
        RestoreDC(Record.Word(0));
        break;
    case wfSetBkColor:
        FState.BkColor = Record.Params.U32(0);
        break;
    case wfSetTextColor:
        FState.TextColor = Record.Params.U32(0);
        break;
    case wfSetWindowOrg:
        Mapping.SetWindowOrg(Record.Word(1), Record.Word(0));
        break;
    case wfSetWindowExt:
        Mapping.SetWindowExt(Record.Word(1), Record.Word(0));
        break;
    case wfSetViewportOrg:
        Mapping.SetViewportOrg(Record.Word(1), Record.Word(0));
        break;
    case wfSetViewportExt:
        Mapping.SetViewportExt(Record.Word(1), Record.Word(0));
        break;
    case wfOffsetWindowOrg:
        Mapping.OffsetWindowOrg(Record.Word(1), Record.Word(0));
        break;
    case wfOffsetViewportOrg:
        Mapping.OffsetViewportOrg(Record.Word(1), Record.Word(0));
        break;
    case wfScaleWindowExt:
        Mapping.ScaleWindowExt(Record.Word(3), Record.Word(2), Record.Word(1), Record.Word(0));
        break;
    case wfScaleViewportExt:
        Mapping.ScaleViewportExt(Record.Word(3), Record.Word(2), Record.Word(1), Record.Word(0));
        break;
    case wfCreatePenIndirect:
        FObjects.Add(ReadPen(Record.Params));
        break;
    case wfCreateBrushIndirect:
        FObjects.Add(ReadBrush(Record.Params));
        break;
    case wfCreateFontIndirect:
        FObjects.Add(ReadFont(Record.Params));
        break;
    case wfCreatePalette:
        FObjects.Add(std::make_shared<const TWmfPalette>(ReadPalette(Record.Params)));
        break;
    case wfDIBCreatePatternBrush:
        CreatePatternBrush(Record);
        break;
    case wfCreateRegion:
        FObjects.Add(ReadRegion(Record.Params));
        break;
    case wfCreatePatternBrush:
    case wfCreateBitmapIndirect:
    case wfCreateBitmap:
        // Objects of the oldest metafiles the player does not draw with; they still take an index.
        FObjects.Add(TWmfOtherObject{});
        break;
    case wfSelectObject:
        SelectObject(Record.UWord(0));
        break;
    case wfDeleteObject:
        FObjects.Delete(Record.UWord(0));
        break;
    case wfSelectPalette: {
        const TWmfObject& Object = FObjects.Get(Record.UWord(0));
        if (const auto* Palette = std::get_if<std::shared_ptr<const TWmfPalette>>(&Object))
            FState.Palette = *Palette;
        break;
    }
    case wfSelectClipRegion: {
        const TWmfObject& Object = FObjects.Get(Record.UWord(0));
        if (const auto* Region = std::get_if<TWmfRegion>(&Object)) SelectClipRegion(*Region);
        break;
    }
    case wfIntersectClipRect:
        FState.Clip.Intersect(PixelBox(Record.Word(3), Record.Word(2), Record.Word(1), Record.Word(0)));
        FClipChanged = true;
        break;
    case wfExcludeClipRect:
        FState.Clip.Exclude(PixelBox(Record.Word(3), Record.Word(2), Record.Word(1), Record.Word(0)));
        FClipChanged = true;
        break;
    case wfOffsetClipRgn:
        FState.Clip.Offset(
            static_cast<int>(std::lround(std::clamp(Record.Word(1) * Mapping.ScaleX(), -1e8, 1e8))),
            static_cast<int>(std::lround(std::clamp(Record.Word(0) * Mapping.ScaleY(), -1e8, 1e8))));
        FClipChanged = true;
        break;
    case wfMoveTo:
        FState.Position = {static_cast<double>(Record.Word(1)), static_cast<double>(Record.Word(0))};
        break;
    case wfLineTo: {
        const TWmfPointD From = FState.Position;
        const TWmfPointD To{static_cast<double>(Record.Word(1)), static_cast<double>(Record.Word(0))};
        FillAndStroke(
            [&](bool) {
                FPainter.MoveTo(StrokeDevice(From.X, From.Y));
                FPainter.LineTo(StrokeDevice(To.X, To.Y));
            },
            false);
        FState.Position = To;
        break;
    }
    case wfPolyline:
        PolyPoints(Record, false);
        break;
    case wfPolygon:
        PolyPoints(Record, true);
        break;
    case wfPolyPolygon:
        PolyPolygon(Record);
        break;
    case wfRectangle:
    case wfEllipse:
    case wfRoundRect:
        Box(Record, Record.Function);
        break;
    case wfArc:
    case wfPie:
    case wfChord:
        ArcLike(Record, Record.Function);
        break;
    case wfSetPixel:
        SetPixel(Record);
        break;
    case wfPatBlt:
        PatBlt(Record);
        break;
    case wfTextOut:
        TextOut(Record);
        break;
    case wfExtTextOut:
        ExtTextOut(Record);
        break;
    case wfDIBBitBlt:
    case wfDIBStretchBlt:
    case wfStretchDIB:
        Blit(Record);
        break;
    case wfSetDIBToDev:
        SetDIBToDev(Record);
        break;
    default:
        // Escapes, palette animation and records the player does not draw are skipped by their size.
        break;
    }
}

void TPlayer::SaveDC() {
    if (FSaved.size() >= MaxSavedStates) FailWmf("Metafile saves too many states");
    FSaved.push_back(FState);
}

void TPlayer::RestoreDC(std::int16_t Which) {
    // Negative: that many states back; positive: the state saved as number Which. Others are refused.
    std::size_t Keep = 0;
    if (Which < 0) {
        const auto Back = static_cast<std::size_t>(-static_cast<int>(Which));
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

void TPlayer::SelectObject(std::uint16_t Index) {
    const TWmfObject& Object = FObjects.Get(Index);
    if (const auto* Pen = std::get_if<TWmfPen>(&Object))
        FState.Pen = *Pen;
    else if (const auto* Brush = std::get_if<TWmfBrush>(&Object))
        FState.Brush = *Brush;
    else if (const auto* Font = std::get_if<TWmfFont>(&Object))
        FState.Font = *Font;
    else if (const auto* Region = std::get_if<TWmfRegion>(&Object))
        SelectClipRegion(*Region);
}

void TPlayer::SelectClipRegion(const TWmfRegion& Region) {
    // An empty region is written by programs that mean "no clipping"; clipping everything away would
    // lose the picture.
    if (Region.Rects.empty()) {
        FState.Clip.Reset();
    } else {
        std::vector<TWmfPixelRect> Rects;
        Rects.reserve(Region.Rects.size());
        for (const TWmfRect& Rect : Region.Rects)
            Rects.push_back(PixelBox(Rect.Left, Rect.Top, Rect.Right, Rect.Bottom));
        FState.Clip.Select(Rects.data(), Rects.size());
    }
    FClipChanged = true;
}

void TPlayer::CreatePatternBrush(const TRecord& Record) {
    const std::uint16_t Style = Record.UWord(0);
    const std::uint16_t Usage = Style == bsPattern ? std::uint16_t{cuRGBColors} : Record.UWord(1);
    std::optional<TWmfImage> Image = DecodeDib(Record.Params.From(4), Usage, PaletteEntries(), FPixelBudget);
    TWmfBrush Brush;
    if (Image) {
        Brush.Style = bsDIBPatternPT;
        Brush.Pattern = std::make_shared<const TWmfImage>(std::move(*Image));
    } else {
        Brush.Color = MakeColorRef(0, 0, 0); // a pattern the player cannot decode draws as plain black
    }
    FObjects.Add(std::move(Brush));
}

TWmfPixelRect TPlayer::PixelBox(std::int32_t Left, std::int32_t Top, std::int32_t Right,
                                std::int32_t Bottom) const {
    const TWmfRectD Box = RectFromCorners(Device(Left, Top), Device(Right, Bottom));
    auto Pixel = [](double Value) {
        constexpr double Limit = 1 << 24;
        return static_cast<int>(std::lround(std::clamp(Value, -Limit, Limit)));
    };
    const int X0 = Pixel(Box.X), Y0 = Pixel(Box.Y);
    const int X1 = Pixel(Box.X + Box.Width), Y1 = Pixel(Box.Y + Box.Height);
    return {X0, Y0, X1 - X0, Y1 - Y0};
}

TWmfRectD TPlayer::StrokeBox(const TWmfRectD& Box) {
    if (Box.Width < 1 || Box.Height < 1) return Box;
    return {Box.X + 0.5, Box.Y + 0.5, Box.Width - 1, Box.Height - 1};
}

std::span<const std::uint32_t> TPlayer::PaletteEntries() const {
    if (FState.Palette) return FState.Palette->Entries;
    return DefaultPalette;
}

std::uint32_t TPlayer::Resolve(TWmfColorRef Color) const {
    return ResolveColor(Color, PaletteEntries());
}

TWmfStroke TPlayer::Stroke() const {
    TWmfStroke Stroke;
    Stroke.Color = Resolve(FState.Pen.Color);
    Stroke.Style = FState.Pen.Style;
    Stroke.Width = std::max(1.0, std::fabs(FState.Pen.Width * FState.Mapping.ScaleX()));
    return Stroke;
}

TWmfFill TPlayer::Fill() const {
    TWmfFill Fill;
    const TWmfBrush& Brush = FState.Brush;
    Fill.Color = Resolve(Brush.Color);
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
    return {FState.BkMode == bkOpaque, Resolve(FState.BkColor)};
}

void TPlayer::Prepare() {
    if (!FPainter.Healthy()) FailWmf("Drawing failed");
    if (FClipChanged) {
        FPainter.SetClip(FState.Clip);
        FClipChanged = false;
    }
    FPainter.SetRop2(FState.Rop2);
}

void TPlayer::FillAndStroke(const std::function<void(bool ForStroke)>& BuildPath, bool Fill) {
    Prepare();
    if (Fill) {
        FPainter.NewPath();
        BuildPath(false);
        FPainter.Fill(this->Fill(), Background(), FState.PolyFillMode == pfWinding);
    }
    FPainter.NewPath();
    BuildPath(true);
    FPainter.Stroke(Stroke(), Background());
    FPainter.NewPath();
}

void TPlayer::PolyPoints(const TRecord& Record, bool Closed) {
    const std::uint16_t Count = Record.UWord(0);
    if (!Record.Params.Has(2, static_cast<std::size_t>(Count) * 4)) FailWmf("Points run past their record");
    if (Count == 0) return;
    FillAndStroke(
        [&](bool ForStroke) {
            for (std::size_t Index = 0; Index < Count; ++Index) {
                const double X = Record.Word(1 + 2 * Index), Y = Record.Word(2 + 2 * Index);
                const TWmfPointD Point = ForStroke ? StrokeDevice(X, Y) : Device(X, Y);
                if (Index == 0)
                    FPainter.MoveTo(Point);
                else
                    FPainter.LineTo(Point);
            }
            if (Closed) FPainter.ClosePath();
        },
        Closed);
}

void TPlayer::PolyPolygon(const TRecord& Record) {
    const std::uint16_t Polygons = Record.UWord(0);
    if (!Record.Params.Has(2, static_cast<std::size_t>(Polygons) * 2))
        FailWmf("Polygons run past their record");
    std::size_t Total = 0;
    for (std::size_t Index = 0; Index < Polygons; ++Index)
        Total += Record.UWord(1 + Index);
    const std::size_t First = 1 + Polygons; // the first point's word
    if (!Record.Params.Has(2 * First, Total * 4)) FailWmf("Points run past their record");
    FillAndStroke([&](bool ForStroke) {
        std::size_t Word = First;
        for (std::size_t Polygon = 0; Polygon < Polygons; ++Polygon) {
            const std::uint16_t Count = Record.UWord(1 + Polygon);
            for (std::size_t Index = 0; Index < Count; ++Index, Word += 2) {
                const double X = Record.Word(Word), Y = Record.Word(Word + 1);
                const TWmfPointD Point = ForStroke ? StrokeDevice(X, Y) : Device(X, Y);
                if (Index == 0)
                    FPainter.MoveTo(Point);
                else
                    FPainter.LineTo(Point);
            }
            if (Count > 0) FPainter.ClosePath();
        }
    });
}

void TPlayer::Box(const TRecord& Record, std::uint16_t Function) {
    // Rectangle and Ellipse: bottom, right, top, left; RoundRect puts the corner's height and width first.
    const std::size_t First = Function == wfRoundRect ? 2 : 0;
    const TWmfRectD Area =
        DeviceBox(Record.Word(First + 3), Record.Word(First + 2), Record.Word(First + 1), Record.Word(First));
    double CornerWidth = 0, CornerHeight = 0;
    if (Function == wfRoundRect) {
        CornerWidth = std::fabs(Record.Word(1) * FState.Mapping.ScaleX());
        CornerHeight = std::fabs(Record.Word(0) * FState.Mapping.ScaleY());
    }
    FillAndStroke([&](bool ForStroke) {
        const TWmfRectD Shape = ForStroke ? StrokeBox(Area) : Area;
        if (Function == wfEllipse)
            FPainter.AddEllipse(Shape);
        else if (Function == wfRoundRect)
            FPainter.AddRoundRect(Shape, CornerWidth, CornerHeight);
        else
            FPainter.AddRectangle(Shape);
    });
}

void TPlayer::ArcLike(const TRecord& Record, std::uint16_t Function) {
    // End radial, start radial, then the bounding box as bottom, right, top, left.
    const TWmfRectD Area = DeviceBox(Record.Word(7), Record.Word(6), Record.Word(5), Record.Word(4));
    const TWmfPointD Start = Device(Record.Word(3), Record.Word(2));
    const TWmfPointD End = Device(Record.Word(1), Record.Word(0));
    const double CenterX = Area.X + Area.Width / 2, CenterY = Area.Y + Area.Height / 2;
    auto Angle = [&](TWmfPointD Point) {
        const double X = Area.Width > 0 ? (Point.X - CenterX) / Area.Width : Point.X - CenterX;
        const double Y = Area.Height > 0 ? (Point.Y - CenterY) / Area.Height : Point.Y - CenterY;
        return std::atan2(Y, X);
    };
    const double From = Angle(Start);
    double To = Angle(End);
    // Anticlockwise from start to end; equal radials make the whole ellipse.
    if (To >= From) To -= 2 * std::numbers::pi;
    FillAndStroke(
        [&](bool ForStroke) {
            const TWmfRectD Shape = ForStroke ? StrokeBox(Area) : Area;
            if (Function == wfPie) FPainter.MoveTo({Shape.X + Shape.Width / 2, Shape.Y + Shape.Height / 2});
            FPainter.AddArc(Shape, From, To);
            if (Function != wfArc) FPainter.ClosePath();
        },
        Function != wfArc);
}

void TPlayer::SetPixel(const TRecord& Record) {
    const std::uint32_t Color = Resolve(Record.Params.U32(0));
    const TWmfPointD Point = Device(Record.Word(3), Record.Word(2));
    Prepare();
    FPainter.FillRect({std::floor(Point.X), std::floor(Point.Y), 1, 1}, Color);
}

void TPlayer::PatBlt(const TRecord& Record) {
    const std::uint32_t Rop = Record.Params.U32(0);
    const double Height = Record.Word(2), Width = Record.Word(3);
    const double Y = Record.Word(4), X = Record.Word(5);
    Prepare();
    FPainter.PatternBlit(RectFromCorners(Device(X, Y), Device(X + Width, Y + Height)), Fill(), Background(),
                         Rop);
}

void TPlayer::DrawString(std::span<const std::uint8_t> Text, std::vector<double> Advances, double X,
                         double Y) {
    const bool UpdatePosition = (FState.TextAlign & taUpdateCP) != 0;
    const TWmfPointD Reference = UpdatePosition ? FState.Position : TWmfPointD{X, Y};
    TWmfTextOut Out;
    Out.Text = Text;
    Out.Advances = std::move(Advances);
    Out.Origin = Device(Reference.X, Reference.Y);
    Out.Align = FState.TextAlign;
    Out.Color = Resolve(FState.TextColor);
    Out.Background = Background();
    const TWmfMapping& Mapping = FState.Mapping;
    Out.EmScale = std::fabs(Mapping.ScaleY());
    Out.DefaultEm = 12.0 * Mapping.Inch() / 72.0 * Mapping.FrameScaleY(); // the system's twelve points
    // Escapement turns the baseline anticlockwise in logical space taken as running downwards, as on
    // a screen; a mapping that turns one axis around (charts often map y upwards) turns the text the
    // other way on the image.
    const double Turn = Mapping.ScaleX() * Mapping.ScaleY() < 0 ? 1 : -1;
    Out.Rotation = Turn * FState.Font.Escapement * std::numbers::pi / 1800.0;
    const double Advance = DrawText(FPainter, FState.Font, Out);
    if (UpdatePosition && FState.Mapping.ScaleX() != 0)
        FState.Position.X += Advance / FState.Mapping.ScaleX();
}

void TPlayer::TextOut(const TRecord& Record) {
    // Length, the string padded to a whole word, then y and x.
    const std::uint16_t Length = Record.UWord(0);
    const std::size_t Padded = (static_cast<std::size_t>(Length) + 1) & ~std::size_t{1};
    const TWmfBytes Text = Record.Params.Sub(2, Length);
    const double Y = Record.Params.S16(2 + Padded), X = Record.Params.S16(4 + Padded);
    Prepare();
    DrawString(Text.Span(), {}, X, Y);
}

void TPlayer::ExtTextOut(const TRecord& Record) {
    // y, x, length, options, the rectangle when the options name one, the string padded to a whole
    // word, then optionally one advance per byte (two values per byte with ETO_PDY).
    const double Y = Record.Word(0), X = Record.Word(1);
    const std::uint16_t Length = Record.UWord(2);
    const std::uint16_t Options = Record.UWord(3);
    const bool HasRect = (Options & (etoOpaque | etoClipped)) != 0;
    std::size_t Offset = 8;
    TWmfRectD Rect;
    if (HasRect) {
        Rect = DeviceBox(Record.Word(4), Record.Word(5), Record.Word(6), Record.Word(7));
        Offset += 8;
    }
    const TWmfBytes Text = Record.Params.Sub(Offset, Length);
    Offset += (static_cast<std::size_t>(Length) + 1) & ~std::size_t{1};
    std::vector<double> Advances;
    constexpr std::uint16_t PerByteYToo = 0x2000;
    const std::size_t Step = (Options & PerByteYToo) ? 4 : 2;
    if (Length > 0 && Record.Params.Has(Offset, Length * Step)) {
        Advances.reserve(Length);
        for (std::size_t Index = 0; Index < Length; ++Index)
            Advances.push_back(Record.Params.S16(Offset + Index * Step) * std::fabs(FState.Mapping.ScaleX()));
    }
    Prepare();
    if (Options & etoOpaque) FPainter.FillRect(Rect, Resolve(FState.BkColor));
    cairo_t* Context = FPainter.Context();
    cairo_save(Context);
    if (Options & etoClipped) {
        cairo_new_path(Context);
        FPainter.AddRectangle(Rect);
        cairo_clip(Context);
    }
    DrawString(Text.Span(), std::move(Advances), X, Y);
    cairo_restore(Context);
}

void TPlayer::Blit(const TRecord& Record) {
    const std::uint32_t Rop = Record.Params.U32(0);
    double SourceX = 0, SourceY = 0, SourceWidth = 0, SourceHeight = 0;
    double X = 0, Y = 0, Width = 0, Height = 0;
    std::uint16_t Usage = cuRGBColors;
    std::size_t DibOffset = 0;
    const bool HasBitmap = Record.Function == wfStretchDIB || Record.HasBitmap();
    switch (Record.Function) {
    case wfDIBBitBlt: {
        // Without a bitmap a reserved word follows the source position.
        const std::size_t Shift = HasBitmap ? 0 : 1;
        SourceY = Record.Word(2);
        SourceX = Record.Word(3);
        SourceHeight = Height = Record.Word(4 + Shift);
        SourceWidth = Width = Record.Word(5 + Shift);
        Y = Record.Word(6 + Shift);
        X = Record.Word(7 + Shift);
        DibOffset = 16;
        break;
    }
    case wfDIBStretchBlt: {
        const std::size_t Shift = HasBitmap ? 0 : 1;
        SourceHeight = Record.Word(2);
        SourceWidth = Record.Word(3);
        SourceY = Record.Word(4);
        SourceX = Record.Word(5);
        Height = Record.Word(6 + Shift);
        Width = Record.Word(7 + Shift);
        Y = Record.Word(8 + Shift);
        X = Record.Word(9 + Shift);
        DibOffset = 20;
        break;
    }
    default: // StretchDIB
        Usage = Record.UWord(2);
        SourceHeight = Record.Word(3);
        SourceWidth = Record.Word(4);
        SourceY = Record.Word(5);
        SourceX = Record.Word(6);
        Height = Record.Word(7);
        Width = Record.Word(8);
        Y = Record.Word(9);
        X = Record.Word(10);
        DibOffset = 22;
        break;
    }
    Prepare();
    const TWmfPointD Corner = Device(X, Y), Opposite = Device(X + Width, Y + Height);
    if (!HasBitmap || !RopUsesSource(Rop)) {
        FPainter.PatternBlit(RectFromCorners(Corner, Opposite), Fill(), Background(), Rop);
        return;
    }
    const std::optional<TWmfImage> Image =
        DecodeDib(Record.Params.From(DibOffset), Usage, PaletteEntries(), FPixelBudget);
    if (!Image) return;
    // StretchDIBits counts the source from the bitmap's last stored row, which is the bottom one of a
    // bottom-up bitmap; the blits of a bitmap selected into a context count from the top.
    if (Record.Function == wfStretchDIB && Image->BottomUp) SourceY = Image->Height - SourceY - SourceHeight;
    FPainter.ImageBlit(*Image, {SourceX, SourceY, SourceWidth, SourceHeight},
                       {Corner.X, Corner.Y, Opposite.X - Corner.X, Opposite.Y - Corner.Y}, Rop,
                       FState.StretchMode == smHalftone);
}

void TPlayer::SetDIBToDev(const TRecord& Record) {
    // Colour use, scan count, first scan, source y and x, height, width, destination y and x, the bitmap.
    const std::uint16_t Usage = Record.UWord(0);
    const std::uint16_t ScanCount = Record.UWord(1);
    const std::uint16_t StartScan = Record.UWord(2);
    const double SourceY = Record.UWord(3), SourceX = Record.UWord(4);
    const double Height = Record.UWord(5), Width = Record.UWord(6);
    const double Y = Record.Word(7), X = Record.Word(8);
    const std::optional<TWmfImage> Image =
        DecodeDib(Record.Params.From(18), Usage, PaletteEntries(), FPixelBudget, ScanCount);
    if (!Image) return;
    Prepare();
    // The bits hold rows StartScan on, counted from the bottom; sizes are device units, not logical.
    const double BandY = Image->BottomUp ? StartScan + Image->Height - SourceY - Height : SourceY - StartScan;
    const TWmfPointD Corner = Device(X, Y);
    const TWmfMapping& Mapping = FState.Mapping;
    FPainter.ImageBlit(*Image, {SourceX, BandY, Width, Height},
                       {Corner.X, Corner.Y, Width * Mapping.FrameScaleX(), Height * Mapping.FrameScaleY()},
                       r3SrcCopy, FState.StretchMode == smHalftone);
}

// Reads the placeable header and the metafile header, then plays the records.
std::vector<std::uint8_t> Render(const TWmfBytes& Data, int Width, int Height) {
    if (Data.U32(0) != PlaceableKey) FailWmf("Not a placeable metafile");
    std::uint16_t Checksum = 0;
    for (std::size_t Offset = 0; Offset < 20; Offset += 2)
        Checksum ^= Data.U16(Offset);
    if (Checksum != Data.U16(20)) FailWmf("Placeable metafile checksum wrong");
    TWmfFrame Frame;
    Frame.Left = Data.S16(6);
    Frame.Top = Data.S16(8);
    Frame.Width = Data.S16(10) - Frame.Left;
    Frame.Height = Data.S16(12) - Frame.Top;
    Frame.Inch = Data.U16(14);
    Frame.ImageWidth = Width;
    Frame.ImageHeight = Height;
    if (Frame.Width <= 0 || Frame.Height <= 0 || Frame.Inch == 0) FailWmf("Placeable metafile box empty");

    const TWmfBytes Metafile = Data.From(PlaceableHeaderSize);
    const std::uint16_t Type = Metafile.U16(0);
    const std::uint16_t HeaderWords = Metafile.U16(2);
    const std::uint16_t Version = Metafile.U16(4);
    if ((Type != 1 && Type != 2) || HeaderWords != MetafileHeaderSize / 2 ||
        (Version != 0x0100 && Version != 0x0300))
        FailWmf("Metafile header wrong");
    const std::uint16_t ObjectCount = Metafile.U16(10);

    TPlayer Player(Frame, ObjectCount);
    Player.Play(Metafile.From(MetafileHeaderSize));
    return Player.Painter().ToRgb();
}

} // namespace

std::optional<std::vector<std::uint8_t>> RenderWmf(std::span<const std::uint8_t> PlaceableMetafile, int Width,
                                                   int Height) {
    if (!ImageSizeAllowed(Width, Height)) return std::nullopt;
    try {
        return Render(TWmfBytes(PlaceableMetafile), Width, Height);
    } catch (const ECxError&) {
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<std::vector<std::uint8_t>> RenderWmfToPng(std::span<const std::uint8_t> PlaceableMetafile,
                                                        int Width, int Height) {
    const std::optional<std::vector<std::uint8_t>> Rgb = RenderWmf(PlaceableMetafile, Width, Height);
    if (!Rgb) return std::nullopt;
    return EncodePng(*Rgb, Width, Height);
}

void ReleaseGraphicsCaches() {
    cairo_debug_reset_static_data();
    FcFini();
}

} // namespace corvane::wmf
