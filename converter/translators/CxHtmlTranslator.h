// The four HTML output dialects under a common HTML base.
#pragma once

#include "CxCustomTranslator.h"

namespace corvane {

// Not XML: empty elements end in ">", no xml:lang, no namespace.
class THTMLTranslator : public TCustomTranslator {
public:
    using TCustomTranslator::TCustomTranslator;

    std::string GetHtmlStartTag(const std::string& Language) const override;
    std::string GetEmptyElementEnd() const override { return ">"; }
    bool IsXml() const override { return false; }
};

// Tags and a font element for characters; paragraph alignment is not written.
class THTML3FlexTranslator : public THTMLTranslator {
public:
    using THTMLTranslator::THTMLTranslator;

    std::string GetDocType() const override;
    std::string GetDialectName() const override { return "HTML 3.2/Flex"; }
    std::string GetParagraphStart(const TParagraphProperties& Props) const override;
    bool SupportsElement(const std::string& Name) const override { return !Name.empty(); }
    bool UsePresentationalTags() const override { return false; }

protected:
    TTextFrame BuildTextFrame(const TCharacterProperties& Props) const override;
    TTableMarkup TableMarkup() const override { return tmAttributes; }
    TListMarkup ListMarkup() const override { return lmAttributes; }
};

class THTML401TransitionalTranslator : public THTMLTranslator {
public:
    using THTMLTranslator::THTMLTranslator;

    std::string GetDocType() const override;
    std::string GetDialectName() const override { return "HTML 4.01 Transitional"; }
    std::string GetParagraphStart(const TParagraphProperties& Props) const override;
    bool SupportsElement(const std::string& Name) const override { return !Name.empty(); }
    bool UsePresentationalTags() const override { return true; }

protected:
    TTableMarkup TableMarkup() const override { return tmTransitional; }
    TListMarkup ListMarkup() const override { return lmAttributes; }
};

class THTML401StrictTranslator : public THTMLTranslator {
public:
    using THTMLTranslator::THTMLTranslator;

    std::string GetDocType() const override;
    std::string GetDialectName() const override { return "HTML 4.01 Strict"; }
    std::string GetParagraphStart(const TParagraphProperties& Props) const override;
    bool SupportsElement(const std::string& Name) const override { return Name != "br"; }
    bool SupportsAttribute(const std::string& Element, const std::string& Attribute) const override;
    bool UsePresentationalTags() const override { return false; }
};

class THTML50Translator : public THTMLTranslator {
public:
    using THTMLTranslator::THTMLTranslator;

    std::string GetDocType() const override { return "<!DOCTYPE html>"; }
    std::string GetDialectName() const override { return "HTML5"; }
    std::string GetParagraphStart(const TParagraphProperties& Props) const override;
    bool SupportsElement(const std::string& Name) const override { return !Name.empty(); }
    bool UsePresentationalTags() const override { return false; }

protected:
    TListMarkup ListMarkup() const override { return lmStyleStart; }
    bool HasSectioningElements() const override { return true; }
};

} // namespace corvane
