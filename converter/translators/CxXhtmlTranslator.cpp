#include "CxXhtmlTranslator.h"

namespace corvane {

namespace {

constexpr std::string_view HtmlStart = R"(<html xmlns="http://www.w3.org/1999/xhtml")";

bool IsTargetOnLink(const std::string& Element, const std::string& Attribute) {
    return Element == "a" && Attribute == "target";
}

} // namespace

std::string TXHTMLTranslator::GetHtmlStartTag(const std::string& Language) const {
    std::string Result(HtmlStart);
    if (!Language.empty()) Result += GetLanguageAttributes(Language);
    Result += '>';
    return Result;
}

std::string TXHTML10StrictTranslator::GetDocType() const {
    return R"(<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Strict//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-strict.dtd">)";
}

std::string TXHTML10StrictTranslator::GetParagraphStart(const TParagraphProperties& Props) const {
    std::string Style(GetAlignmentStyle(Props.Alignment));
    Style += GetParagraphStyle(Props);
    return BuildParagraphStart(Style, "");
}

bool TXHTML10StrictTranslator::SupportsAttribute(const std::string& Element,
                                                 const std::string& Attribute) const {
    return !IsTargetOnLink(Element, Attribute);
}

std::string TXHTML11Translator::GetDocType() const {
    return R"(<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.1//EN" "http://www.w3.org/TR/xhtml11/DTD/xhtml11.dtd">)";
}

bool TXHTML11Translator::SupportsAttribute(const std::string& Element, const std::string& Attribute) const {
    return Attribute != "lang" && TXHTML10StrictTranslator::SupportsAttribute(Element, Attribute);
}

std::string TXHTML10TransitionalTranslator::GetDocType() const {
    return R"(<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML 1.0 Transitional//EN" "http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd">)";
}

std::string TXHTML10TransitionalTranslator::GetParagraphStart(const TParagraphProperties& Props) const {
    // Right and centre have an align value; justify is written as CSS.
    std::string Attributes;
    std::string Style;
    switch (Props.Alignment) {
    case 1:
        Attributes = R"( align="right")";
        break;
    case 2:
        Attributes = R"( align="center")";
        break;
    case 3:
        Style = "text-align:justify;";
        break;
    default:
        break;
    }
    Style += GetParagraphStyle(Props);
    return BuildParagraphStart(Style, Attributes);
}

TCustomTranslator::TTextFrame
TXHTMLBasic10Translator::BuildTextFrame(const TCharacterProperties& Props) const {
    TTextFrame Frame;
    if (Props.IsItalic()) Frame.Before += "<em>";
    if (Props.IsBold()) Frame.Before += "<strong>";
    if (Props.IsBold()) Frame.After += "</strong>";
    if (Props.IsItalic()) Frame.After += "</em>";
    return Frame;
}

std::string TXHTMLBasic10Translator::GetDocType() const {
    return R"(<!DOCTYPE html PUBLIC "-//W3C//DTD XHTML Basic 1.0//EN" "http://www.w3.org/TR/xhtml-basic/xhtml-basic10.dtd">)";
}

std::string TXHTMLBasic10Translator::GetParagraphStart(const TParagraphProperties&) const {
    return BuildParagraphStart("", "");
}

bool TXHTMLBasic10Translator::SupportsAttribute(const std::string& Element,
                                                const std::string& Attribute) const {
    return !IsTargetOnLink(Element, Attribute);
}

std::string TXHTMLMobileProfile10Translator::GetDocType() const {
    return R"(<!DOCTYPE html PUBLIC "-//WAPFORUM//DTD XHTML Mobile 1.0//EN" "http://www.wapforum.org/DTD/xhtml-mobile10.dtd">)";
}

} // namespace corvane
