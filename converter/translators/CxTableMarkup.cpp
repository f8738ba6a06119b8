#include "CxTableMarkup.h"

#include "CxCustomTranslator.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace corvane {

namespace {

void AppendAttribute(std::string& Tag, std::string_view Name, std::string_view Value) {
    Tag += ' ';
    Tag += Name;
    Tag += "=\"";
    Tag += Value;
    Tag += '"';
}

void AppendPixels(std::string& Css, std::string_view Property, std::int32_t Twips) {
    Css += Property;
    Css += std::to_string(TCustomTranslator::TwipsToPixels(Twips));
    Css += "px;";
}

// CSS for the borders a cell has: top, right, bottom, left, as the shorthand orders them.
void AppendBorderStyle(std::string& Css, const TTableCellDefinition& Cell) {
    static constexpr std::array<std::pair<TCellBorderSide, std::string_view>, 4> Sides{{
        {bsTop, "border-top:"},
        {bsRight, "border-right:"},
        {bsBottom, "border-bottom:"},
        {bsLeft, "border-left:"},
    }};
    static constexpr std::array<std::string_view, 5> Styles{"", " solid", " double", " dotted", " dashed"};
    for (const auto& [Side, Property] : Sides) {
        const TCellBorder& Border = Cell.Borders[Side];
        if (Border.Style == bdNone) continue;
        // A double line needs three pixels to show as two; any line at least one.
        const std::int32_t Least = Border.Style == bdDouble ? 3 : 1;
        Css += Property;
        Css += std::to_string(std::max(Least, TCustomTranslator::TwipsToPixels(Border.Width)));
        Css += "px";
        Css += Styles[Border.Style];
        if (!Border.Color.empty()) {
            Css += ' ';
            Css += Border.Color;
        }
        Css += ';';
    }
}

constexpr std::array<std::string_view, 3> Alignments{"top", "middle", "bottom"};

} // namespace

std::string BuildTableStart(TTableMarkup Markup, bool Bordered) {
    switch (Markup) {
    case tmAttributes:
        return Bordered ? R"(<table border="1">)" : "<table>";
    case tmTransitional:
    case tmStyle:
        // Cell borders meet in one line, as in a word processor.
        return R"(<table style="border-collapse:collapse;">)";
    case tmBasic:
        break;
    }
    return "<table>";
}

std::string BuildTableCellStart(TTableMarkup Markup, const TTableCellFormat& Cell) {
    std::string Tag = Cell.Header ? "<th" : "<td";
    if (Cell.ColumnSpan > 1) AppendAttribute(Tag, "colspan", std::to_string(Cell.ColumnSpan));
    if (Cell.RowSpan > 1) AppendAttribute(Tag, "rowspan", std::to_string(Cell.RowSpan));
    const TTableCellDefinition* Definition = Cell.Definition;
    if (Definition == nullptr) return Tag + '>';
    const std::string_view Alignment = Alignments[std::min<std::size_t>(Definition->VerticalAlignment, 2)];
    // Room for a width, an alignment, a shading and four borders: the tag is built without growing.
    constexpr std::size_t TypicalCss = 192;
    std::string Css;
    Css.reserve(TypicalCss);
    Tag.reserve(TypicalCss + 64);
    switch (Markup) {
    case tmAttributes:
    case tmTransitional:
        if (Cell.Width > 0)
            AppendAttribute(Tag, "width", std::to_string(TCustomTranslator::TwipsToPixels(Cell.Width)));
        AppendAttribute(Tag, "valign", Alignment);
        if (!Definition->Shading.empty()) AppendAttribute(Tag, "bgcolor", Definition->Shading);
        if (Markup == tmTransitional) AppendBorderStyle(Css, *Definition);
        break;
    case tmStyle:
        if (Cell.Width > 0) AppendPixels(Css, "width:", Cell.Width);
        Css += "vertical-align:";
        Css += Alignment;
        Css += ';';
        if (!Definition->Shading.empty()) {
            Css += "background-color:";
            Css += Definition->Shading;
            Css += ';';
        }
        AppendBorderStyle(Css, *Definition);
        break;
    case tmBasic:
        AppendAttribute(Tag, "valign", Alignment);
        break;
    }
    if (!Css.empty()) AppendAttribute(Tag, "style", Css);
    Tag += '>';
    return Tag;
}

} // namespace corvane
