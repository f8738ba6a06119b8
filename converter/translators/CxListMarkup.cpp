#include "CxListMarkup.h"

namespace corvane {

namespace {

struct TListType {
    const char* Attribute; // the type attribute's value
    const char* Style;     // the list-style-type
};

// Decimal for every format that has no HTML counterpart (ordinals, cardinal text, Far East numbers).
TListType ListType(std::int32_t Format) {
    switch (Format) {
    case 1:
        return {"I", "upper-roman"};
    case 2:
        return {"i", "lower-roman"};
    case 3:
        return {"A", "upper-alpha"};
    case 4:
        return {"a", "lower-alpha"};
    default:
        return {"1", "decimal"};
    }
}

} // namespace

std::string BuildListStart(TListMarkup Markup, std::int32_t Format, std::int32_t Start) {
    if (Format == 23 || Format == 255) return "<ul>";
    const TListType type = ListType(Format);
    const bool decimal = type.Attribute[0] == '1';
    std::string result = "<ol";
    switch (Markup) {
    case lmAttributes:
        if (!decimal) result += std::string(" type=\"") + type.Attribute + '"';
        if (Start != 1) result += " start=\"" + std::to_string(Start) + '"';
        break;
    case lmStyle:
    case lmStyleStart:
        if (!decimal) result += std::string(" style=\"list-style-type:") + type.Style + '"';
        if (Start != 1 && Markup == lmStyleStart) result += " start=\"" + std::to_string(Start) + '"';
        break;
    case lmPlain:
        break;
    }
    return result + '>';
}

std::string BuildFirstItemStyle(TListMarkup Markup, std::int32_t Format, std::int32_t Start) {
    if (Markup != lmStyle || Start == 1 || Format == 23 || Format == 255) return {};
    // The list's item counter stands at 0 before its first item, whose own step then lands on Start.
    return "counter-increment:list-item " + std::to_string(Start);
}

} // namespace corvane
