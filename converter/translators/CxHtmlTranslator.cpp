#include "CxHtmlTranslator.h"

#include "CxLinkURIBuilder.h"

#include <string>
#include <string_view>

namespace corvane {

namespace {

// Strict HTML writes the alignment as CSS in front of the paragraph's own declarations.
std::string GetAlignedParagraphStyle(std::string_view Alignment, const std::string& ParagraphStyle) {
    std::string Result(Alignment);
    Result += ParagraphStyle;
    return Result;
}

} // namespace

std::string THTMLTranslator::GetHtmlStartTag(const std::string& Language) const {
    if (Language.empty()) return "<html>";
    return "<html" + GetLanguageAttributes(Language) + ">";
}

std::string THTML3FlexTranslator::GetDocType() const {
    return R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 3.2 Final//EN">)";
}

std::string THTML3FlexTranslator::GetParagraphStart(const TParagraphProperties& Props) const {
    return BuildParagraphStart(GetParagraphStyle(Props), "");
}

TCustomTranslator::TTextFrame THTML3FlexTranslator::BuildTextFrame(const TCharacterProperties& Props) const {
    std::string Attributes;
    if (!Props.FontName.empty()) {
        Attributes += " face=\"";
        Attributes += EscapeMarkup(Props.FontName);
        Attributes += '"';
    }
    if (!Props.FontColor.empty()) {
        Attributes += " color=\"";
        Attributes += Props.FontColor;
        Attributes += '"';
    }
    if (Props.FontSize != 0) {
        // Whole points, not the 1 to 7 scale of the font element.
        Attributes += " size=\"";
        Attributes += std::to_string(Props.FontSize);
        Attributes += '"';
    }
    TTextFrame Frame;
    if (!Attributes.empty()) Frame.Before = "<font" + Attributes + ">";
    AddPresentationalTags(Props, Frame);
    if (!Attributes.empty()) Frame.After += "</font>";
    return Frame;
}

std::string THTML401TransitionalTranslator::GetDocType() const {
    return R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Transitional//EN" "http://www.w3.org/TR/html4/loose.dtd">)";
}

std::string THTML401TransitionalTranslator::GetParagraphStart(const TParagraphProperties& Props) const {
    std::string Attributes;
    switch (Props.Alignment) {
    case 1:
        Attributes = R"( align="right")";
        break;
    case 2:
        Attributes = R"( align="center")";
        break;
    case 3:
        Attributes = R"( align="justify")";
        break;
    default:
        break;
    }
    return BuildParagraphStart(GetParagraphStyle(Props), Attributes);
}

std::string THTML401StrictTranslator::GetDocType() const {
    return R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01//EN" "http://www.w3.org/TR/html4/strict.dtd">)";
}

std::string THTML401StrictTranslator::GetParagraphStart(const TParagraphProperties& Props) const {
    return BuildParagraphStart(
        GetAlignedParagraphStyle(GetAlignmentStyle(Props.Alignment), GetParagraphStyle(Props)), "");
}

bool THTML401StrictTranslator::SupportsAttribute(const std::string& Element,
                                                 const std::string& Attribute) const {
    return !(Element == "a" && Attribute == "target");
}

std::string THTML50Translator::GetParagraphStart(const TParagraphProperties& Props) const {
    return BuildParagraphStart(
        GetAlignedParagraphStyle(GetAlignmentStyle(Props.Alignment), GetParagraphStyle(Props)), "");
}

} // namespace corvane
