#include "CxCustomTranslator.h"

#include "CxLinkURIBuilder.h"

#include <algorithm>
#include <array>
#include <cassert>
#include <charconv>
#include <cstdint>
#include <utility>

namespace corvane {

namespace {

constexpr std::uint64_t PowerOfTen(int Exponent) {
    std::uint64_t Result = 1;
    for (int I = 0; I < Exponent; ++I)
        Result *= 10;
    return Result;
}

template <typename TInteger> void AppendInteger(std::string& Out, TInteger Value) {
    std::array<char, 24> Buffer{};
    const auto [End, Error] = std::to_chars(Buffer.data(), Buffer.data() + Buffer.size(), Value);
    assert(Error == std::errc());
    Out.append(Buffer.data(), End);
}

// Appends Numerator / Denominator in the general number format: Precision significant digits, halves
// rounded away from zero, trailing zeros dropped, exponent form ("1.08E003") once the integer part
// needs more digits than the precision. Worked in integers so that the rounding is exact and the
// decimal point is "." whatever the locale. The callers' values are at least 1/12 in magnitude, so
// the small-number exponent form is never needed.
void AppendGeneral(std::string& Out, std::int64_t Numerator, std::int64_t Denominator, int Precision) {
    assert(Denominator > 0 && Precision > 0 && Precision < 10);
    if (Numerator == 0) {
        Out += '0';
        return;
    }
    if (Numerator < 0) Out += '-';
    const std::uint64_t N = Numerator < 0 ? 0 - static_cast<std::uint64_t>(Numerator) : Numerator;
    const auto D = static_cast<std::uint64_t>(Denominator);

    // Decimal exponent E of the value: 10^E <= N/D < 10^(E+1).
    int Exponent = 0;
    if (N >= D) {
        for (std::uint64_t Bound = D * 10; N >= Bound; Bound *= 10)
            ++Exponent;
    } else {
        for (std::uint64_t Scaled = N; Scaled < D; Scaled *= 10)
            --Exponent;
    }

    // The significant digits as one integer of exactly Precision digits.
    const int Shift = Precision - 1 - Exponent;
    const std::uint64_t Scaled = Shift >= 0 ? N * PowerOfTen(Shift) : N;
    const std::uint64_t Divisor = Shift >= 0 ? D : D * PowerOfTen(-Shift);
    std::uint64_t Digits = Scaled / Divisor;
    if (2 * (Scaled % Divisor) >= Divisor) ++Digits;
    if (Digits == PowerOfTen(Precision)) { // 9.95 -> 10: one more digit before the point
        Digits /= 10;
        ++Exponent;
    }

    std::array<char, 10> Text{};
    for (int I = Precision - 1; I >= 0; --I, Digits /= 10)
        Text[I] = static_cast<char>('0' + Digits % 10);
    int Significant = Precision;
    while (Significant > 1 && Text[Significant - 1] == '0')
        --Significant;

    if (Exponent >= Precision) {
        Out += Text[0];
        if (Significant > 1) {
            Out += '.';
            Out.append(Text.data() + 1, Significant - 1);
        }
        Out += 'E';
        // At least three exponent digits; only positive exponents come here.
        if (Exponent < 100) Out += '0';
        if (Exponent < 10) Out += '0';
        AppendInteger(Out, Exponent);
        return;
    }
    if (Exponent >= 0) {
        Out.append(Text.data(), Exponent + 1);
        if (Significant > Exponent + 1) {
            Out += '.';
            Out.append(Text.data() + Exponent + 1, Significant - Exponent - 1);
        }
        return;
    }
    Out += "0.";
    Out.append(static_cast<std::size_t>(-Exponent - 1), '0');
    Out.append(Text.data(), Significant);
}

void AppendPixels(std::string& Out, std::string_view Property, std::int32_t Twips) {
    Out += Property;
    AppendInteger(Out, TCustomTranslator::TwipsToPixels(Twips));
    Out += "px;";
}

// A font name inside a style attribute: no character that could end the declaration or the rule, and
// escaped for the attribute.
std::string CssFontName(const std::string& Name) {
    std::string Cleaned;
    Cleaned.reserve(Name.size());
    for (const char C : Name)
        if (C != ';' && C != '{' && C != '}') Cleaned += C;
    return EscapeMarkup(Cleaned);
}

} // namespace

TCustomTranslator::TCustomTranslator(std::shared_ptr<IMarginBuilding> MarginBuilder)
    : FMarginBuilder(std::move(MarginBuilder)) {
    assert(FMarginBuilder && "a translator needs a margin builder");
}

std::string TCustomTranslator::Encode(std::string_view Text) const {
    return EscapeMarkup(Text);
}

bool TCustomTranslator::EncodeKeeps(std::string_view Text) const {
    return !EscapeChanges(Text);
}

bool TCustomTranslator::SupportsAttribute(const std::string& Element, const std::string& Attribute) const {
    return !(Element.empty() && Attribute.empty());
}

namespace {

const char* PartClass(TDocumentPart Part) {
    switch (Part) {
    case dpHeader:
        return "header";
    case dpFooter:
        return "footer";
    case dpNotes:
        return "notes";
    case dpFootnote:
        return "footnote";
    case dpEndnote:
        return "endnote";
    }
    return "";
}

} // namespace

std::string TCustomTranslator::GetPartStart(TDocumentPart Part, std::string_view Id) const {
    std::string Result;
    if (HasSectioningElements() && Part == dpHeader) {
        Result = "<header";
    } else if (HasSectioningElements() && Part == dpFooter) {
        Result = "<footer";
    } else {
        Result = HasSectioningElements() && Part == dpNotes ? "<aside" : "<div";
        Result.append(" class=\"").append(PartClass(Part)).append("\"");
    }
    if (!Id.empty()) Result.append(" id=\"").append(Id).append("\"");
    return Result + '>';
}

std::string TCustomTranslator::GetPartEnd(TDocumentPart Part) const {
    if (HasSectioningElements() && Part == dpHeader) return "</header>";
    if (HasSectioningElements() && Part == dpFooter) return "</footer>";
    if (HasSectioningElements() && Part == dpNotes) return "</aside>";
    return "</div>";
}

std::string TCustomTranslator::GetPartRule() const {
    return SupportsElement("hr") ? "<hr" + GetEmptyElementEnd() : std::string();
}

std::string TCustomTranslator::GetFontSizeStyle(std::int32_t Size) const {
    std::string Result = "font-size:";
    switch (FFontSizeScale) {
    case fsPoint:
        AppendInteger(Result, Size);
        Result += "pt;";
        break;
    case fsEM:
        AppendGeneral(Result, Size, 12, 2);
        Result += "em;";
        break;
    case fsEX: // the same number as em: the scale names the unit, not a different ratio
        AppendGeneral(Result, Size, 12, 2);
        Result += "ex;";
        break;
    case fsPercent:
        AppendGeneral(Result, static_cast<std::int64_t>(Size) * 100, 12, 3);
        Result += "%;";
        break;
    }
    return Result;
}

std::string TCustomTranslator::BuildParagraphStart(const std::string& Style,
                                                   const std::string& Attributes) const {
    std::string Result = FMarginBuilder->GetMargin(2);
    Result += FParagraphTag;
    Result += Attributes;
    Result += GetStyleAttribute(Style);
    Result += ">\r\n";
    Result += FMarginBuilder->GetMargin(3);
    return Result;
}

std::string TCustomTranslator::GetStyleAttribute(const std::string& Style) const {
    if (Style.empty()) return {};
    std::string Result;
    Result.reserve(Style.size() + 9);
    Result += " style=\"";
    Result += Style;
    Result += '"';
    return Result;
}

void TCustomTranslator::SetFontSizeScale(TFontSizeScale Value) {
    if (FFontSizeScale == Value) return;
    FFontSizeScale = Value;
    ForgetFrames(); // their font sizes are written in the old unit
}

void TCustomTranslator::SetParagraphTag(const std::string& Value) {
    if (FParagraphTag != Value) FParagraphTag = Value;
}

std::string TCustomTranslator::GetTableCellStart(const TTableCellFormat& Cell) const {
    for (const TCellStart& Known : FCellStarts)
        if (Known.Holds(Cell)) return Known.Tag;
    TCellStart& Entry = FCellStarts[FNextCellStart];
    FNextCellStart = (FNextCellStart + 1) % FCellStarts.size();
    Entry.Used = true;
    Entry.Format = Cell;
    Entry.Format.Definition = nullptr;
    Entry.Definition.reset();
    if (Cell.Definition != nullptr) Entry.Definition = *Cell.Definition;
    Entry.Tag = BuildTableCellStart(TableMarkup(), Cell);
    return Entry.Tag;
}

bool TCustomTranslator::TCellStart::Holds(const TTableCellFormat& Cell) const {
    return Used && Format.Width == Cell.Width && Format.ColumnSpan == Cell.ColumnSpan &&
           Format.RowSpan == Cell.RowSpan && Format.Header == Cell.Header &&
           Definition.has_value() == (Cell.Definition != nullptr) &&
           (!Definition || *Definition == *Cell.Definition);
}

std::int32_t TCustomTranslator::TwipsToPixels(std::int32_t Twips) {
    // In 64 bits so that the extremes of the 32-bit range cannot overflow while rounding.
    const std::int64_t Value = Twips;
    const std::int64_t Pixels = Value >= 0 ? (Value + 14) / 15 : -((-Value + 14) / 15);
    return static_cast<std::int32_t>(Pixels);
}

std::string TCustomTranslator::GetParagraphStyle(const TParagraphProperties& Props) const {
    std::string Result;
    if (Props.LeftIndent != 0) AppendPixels(Result, "margin-left:", Props.LeftIndent);
    if (Props.RightIndent != 0) AppendPixels(Result, "margin-right:", Props.RightIndent);
    if (Props.FirstIndent != 0) AppendPixels(Result, "text-indent:", Props.FirstIndent);
    if (Props.RightToLeft) Result += "direction:rtl;";
    if (Props.SpaceBefore > 0) AppendPixels(Result, "margin-top:", Props.SpaceBefore);
    if (Props.SpaceAfter > 0) AppendPixels(Result, "margin-bottom:", Props.SpaceAfter);
    if (!Props.ShadingColor.empty()) {
        Result += "background-color:";
        Result += Props.ShadingColor;
        Result += ';';
    }
    if (Props.Border) Result += "border:thin solid black;";
    return Result;
}

std::string TCustomTranslator::GetLanguageAttributes(const std::string& Language) const {
    std::string Result;
    if (Language.empty()) return Result;
    if (IsXml()) {
        Result += " xml:lang=\"";
        Result += Language;
        Result += '"';
    }
    if (SupportsAttribute("", "lang")) {
        Result += " lang=\"";
        Result += Language;
        Result += '"';
    }
    return Result;
}

void TCustomTranslator::AddPresentationalTags(const TCharacterProperties& Props, TTextFrame& Frame) {
    // Listed outermost first; the closing tags run the other way.
    const std::array<std::pair<bool, std::string_view>, 6> Tags{{
        {Props.VerticalPosition == 2, "sup"},
        {Props.VerticalPosition == 1, "sub"},
        {Props.IsStrikeOut(), "strike"},
        {Props.IsUnderline(), "u"},
        {Props.IsItalic(), "i"},
        {Props.IsBold(), "b"},
    }};
    for (const auto& [On, Name] : Tags) {
        if (!On) continue;
        Frame.Before += '<';
        Frame.Before += Name;
        Frame.Before += '>';
    }
    for (auto Tag = Tags.rbegin(); Tag != Tags.rend(); ++Tag) {
        if (!Tag->first) continue;
        Frame.After += "</";
        Frame.After += Tag->second;
        Frame.After += '>';
    }
}

std::string_view TCustomTranslator::GetAlignmentStyle(std::uint8_t Alignment) {
    switch (Alignment) {
    case 1:
        return "text-align:right;";
    case 2:
        return "text-align:center;";
    case 3:
        return "text-align:justify;";
    default:
        return {};
    }
}

TCustomTranslator::TTextFrame TCustomTranslator::BuildTextFrame(const TCharacterProperties& Props) const {
    const bool PresentationalTags = UsePresentationalTags();
    TTextFrame Tags;
    std::string Styles;
    if (PresentationalTags) {
        AddPresentationalTags(Props, Tags);
    } else {
        if (Props.IsBold()) Styles += "font-weight:bold;";
        if (Props.IsItalic()) Styles += "font-style:italic;";
        if (Props.IsUnderline()) Styles += "text-decoration:underline;";
        if (Props.IsStrikeOut()) Styles += "text-decoration:line-through;";
        if (Props.VerticalPosition == 1) Styles += "vertical-align:sub;";
        if (Props.VerticalPosition == 2) Styles += "vertical-align:super;";
    }

    if (!Props.FontName.empty()) {
        Styles += "font-family:";
        Styles += CssFontName(Props.FontName);
        Styles += ';';
    }
    if (!Props.FontColor.empty()) {
        Styles += "color:";
        Styles += Props.FontColor;
        Styles += ';';
    }
    const std::string& Background =
        Props.HighlightColor.empty() ? Props.BackgroundColor : Props.HighlightColor;
    if (!Background.empty()) {
        Styles += "background-color:";
        Styles += Background;
        Styles += ';';
    }
    if (Props.FontSize != 0) Styles += GetFontSizeStyle(Props.FontSize);
    if (Props.RightToLeft) Styles += "direction:rtl;";

    const std::string StyleAttribute = GetStyleAttribute(Styles);
    const std::string LanguageAttributes = GetLanguageAttributes(Props.Language);
    if (StyleAttribute.empty() && LanguageAttributes.empty()) return Tags;

    TTextFrame Frame;
    Frame.Before = "<span";
    Frame.Before += StyleAttribute;
    Frame.Before += LanguageAttributes;
    Frame.Before += '>';
    Frame.Before += Tags.Before;
    Frame.After = std::move(Tags.After);
    Frame.After += "</span>";
    return Frame;
}

const TCustomTranslator::TTextFrame& TCustomTranslator::TextFrame(const TCharacterProperties& Props) const {
    // Runs mostly alternate between a few property sets, which the recent frames catch without hashing.
    for (std::size_t Index = 0; Index < FRecentFrames.size() && FRecentFrames[Index]; ++Index) {
        if (!(FRecentFrames[Index]->first == Props)) continue;
        std::rotate(FRecentFrames.begin(), FRecentFrames.begin() + static_cast<std::ptrdiff_t>(Index),
                    FRecentFrames.begin() + static_cast<std::ptrdiff_t>(Index) + 1);
        return FRecentFrames.front()->second;
    }
    auto Found = FFrames.find(Props);
    if (Found == FFrames.end()) {
        // A document with ever new property sets must not make the store grow without bound.
        constexpr std::size_t MaxFrames = 4096;
        if (FFrames.size() >= MaxFrames) ForgetFrames();
        Found = FFrames.emplace(Props, BuildTextFrame(Props)).first;
    }
    std::rotate(FRecentFrames.begin(), FRecentFrames.end() - 1, FRecentFrames.end());
    FRecentFrames.front() = &*Found;
    return Found->second;
}

void TCustomTranslator::ForgetFrames() const {
    FFrames.clear();
    FRecentFrames.fill(nullptr);
    FSharedFrames.fill({});
}

std::string TCustomTranslator::FormatText(const std::string& Text, const TCharacterProperties& Props) const {
    std::string Result;
    AppendFormattedText(Result, Text, Props);
    return Result;
}

void TCustomTranslator::AppendFormattedText(std::string& Output, const std::string& Text,
                                            const TCharacterProperties& Props) const {
    AppendFramed(Output, Text, TextFrame(Props));
}

void TCustomTranslator::AppendFramed(std::string& Output, const std::string& Text, const TTextFrame& Frame) {
    Output += Frame.Before;
    Output += Text;
    Output += Frame.After;
}

void TCustomTranslator::AppendSharedFormattedText(
    std::string& Output, const std::string& Text,
    const std::shared_ptr<const TCharacterProperties>& SharedSet) const {
    // A document's runs share a handful of sets: the entries are searched in full, most recent first,
    // and the least recent one makes room for a new set.
    if (FSharedFrames.front().Set != SharedSet) {
        auto Entry =
            std::find_if(FSharedFrames.begin() + 1, FSharedFrames.end(),
                         [&SharedSet](const TSharedFrame& Shared) { return Shared.Set == SharedSet; });
        if (Entry == FSharedFrames.end()) {
            // TextFrame may forget every frame, and the entries with them, before it returns the new one.
            const TTextFrame& Frame = TextFrame(*SharedSet);
            Entry = FSharedFrames.end() - 1;
            *Entry = {SharedSet, &Frame};
        }
        std::rotate(FSharedFrames.begin(), Entry, Entry + 1);
    }
    AppendFramed(Output, Text, *FSharedFrames.front().Frame);
}

} // namespace corvane
