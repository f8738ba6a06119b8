// The five XHTML output dialects under a common XHTML base.
#pragma once

#include "CxCustomTranslator.h"

namespace corvane {

// XML: empty elements end in " />", the html element carries the namespace, languages get xml:lang.
class TXHTMLTranslator : public TCustomTranslator {
public:
    using TCustomTranslator::TCustomTranslator;

    std::string GetHtmlStartTag(const std::string& Language) const override;
    std::string GetEmptyElementEnd() const override { return " />"; }
    bool IsXml() const override { return true; }
};

class TXHTML10StrictTranslator : public TXHTMLTranslator {
public:
    using TXHTMLTranslator::TXHTMLTranslator;

    std::string GetDocType() const override;
    std::string GetDialectName() const override { return "XHTML 1.0 Strict"; }
    std::string GetParagraphStart(const TParagraphProperties& Props) const override;
    bool SupportsElement(const std::string& Name) const override { return Name != "br"; }
    bool SupportsAttribute(const std::string& Element, const std::string& Attribute) const override;
    bool UsePresentationalTags() const override { return false; }
};

// Refuses lang (xml:lang alone carries the language) and always writes its DOCTYPE.
class TXHTML11Translator : public TXHTML10StrictTranslator {
public:
    using TXHTML10StrictTranslator::TXHTML10StrictTranslator;

    std::string GetDocType() const override;
    std::string GetDialectName() const override { return "XHTML 1.1"; }
    bool SupportsAttribute(const std::string& Element, const std::string& Attribute) const override;
    bool IsDocTypeRequired() const override { return true; }
};

class TXHTML10TransitionalTranslator : public TXHTMLTranslator {
public:
    using TXHTMLTranslator::TXHTMLTranslator;

    std::string GetDocType() const override;
    std::string GetDialectName() const override { return "XHTML 1.0 Transitional"; }
    std::string GetParagraphStart(const TParagraphProperties& Props) const override;
    bool SupportsElement(const std::string& Name) const override { return !Name.empty(); }
    bool UsePresentationalTags() const override { return true; }

protected:
    TTableMarkup TableMarkup() const override { return tmTransitional; }
    TListMarkup ListMarkup() const override { return lmAttributes; }
};

// The reduced profile for small devices: bare paragraphs, only strong and em for characters.
class TXHTMLBasic10Translator : public TXHTMLTranslator {
public:
    using TXHTMLTranslator::TXHTMLTranslator;

    std::string GetDocType() const override;
    std::string GetDialectName() const override { return "XHTML Basic 1.0"; }
    std::string GetParagraphStart(const TParagraphProperties& Props) const override;
    bool SupportsElement(const std::string& Name) const override { return Name != "style" && Name != "hr"; }
    bool SupportsAttribute(const std::string& Element, const std::string& Attribute) const override;
    bool UsePresentationalTags() const override { return false; }

protected:
    TTextFrame BuildTextFrame(const TCharacterProperties& Props) const override;
    TTableMarkup TableMarkup() const override { return tmBasic; }
    TListMarkup ListMarkup() const override { return lmPlain; }
};

// As XHTML Basic, but the head may carry a style element.
class TXHTMLMobileProfile10Translator : public TXHTMLBasic10Translator {
public:
    using TXHTMLBasic10Translator::TXHTMLBasic10Translator;

    std::string GetDocType() const override;
    std::string GetDialectName() const override { return "XHTML Mobile 1.0"; }
    bool SupportsElement(const std::string&) const override { return true; }
    bool UsePresentationalTags() const override { return false; }

protected:
    TListMarkup ListMarkup() const override { return lmStyleStart; }
};

} // namespace corvane
