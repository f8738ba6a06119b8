// Small stand-ins for the collaborators of the writer and the output writer.
#pragma once

#include "CxDocument.h"
#include "CxInterfaces.h"
#include "CxOptions.h"

#include <string>
#include <utility>
#include <vector>

namespace corvane::fakes {

// Latin-1 to UTF-8; remembers every charset it is given and, when asked to, every byte with the charset it
// arrived under.
class TLatin1Converter : public IUnicodeConverter {
public:
    std::vector<std::int32_t> CharsetsSet;
    bool RecordBytes = false;
    std::vector<std::pair<std::int32_t, std::uint8_t>> Bytes;

    std::int32_t GetCharset() const override { return FCharset; }
    void SetCharset(std::int32_t Charset) override {
        CharsetsSet.push_back(Charset);
        FCharset = Charset;
    }
    bool IsDoubleByte() const override { return false; }
    void SetDoubleByte(bool) override {}
    void Convert(std::uint8_t Byte, std::string& Output) override {
        if (RecordBytes) Bytes.emplace_back(FCharset, Byte);
        if (Byte < 0x80) {
            Output += static_cast<char>(Byte);
        } else {
            Output += static_cast<char>(0xC0 | (Byte >> 6));
            Output += static_cast<char>(0x80 | (Byte & 0x3F));
        }
    }

private:
    std::int32_t FCharset = 0;
};

class TFakeWriterOptions : public ICxWriterOptions {
public:
    virtual ~TFakeWriterOptions() = default;
    bool GetConvertLanguage() const override { return ConvertLanguage; }
    std::string GetDefaultLanguage() const override { return DefaultLanguage; }
    TFontConversionOptions GetFontConversionOptions() const override { return FontOptions; }
    const TCxOptionsOptimize& GetOptionsOptimize() const override { return Optimize; }
    std::string GetTabString() const override { return TabString; }

    bool ConvertLanguage = false;
    std::string DefaultLanguage;
    TFontConversionOptions FontOptions = TFontConversionOptions::All();
    TCxOptionsOptimize Optimize;
    std::string TabString = "&nbsp;&nbsp;";
};

class TFakeMargins : public IMarginBuilding {
public:
    std::string GetMargin(std::int32_t Level) const override { return std::string(2 * Level, ' '); }
    void SetMarginWidth(std::int32_t) override {}
    std::int32_t GetMarginWidth() const override { return 2; }
};

class TFakeTranslator : public ICxTranslator {
public:
    std::string Encode(std::string_view Text) const override { return std::string(Text); }
    std::string FormatText(const std::string& Text, const TCharacterProperties&) const override {
        return Text;
    }
    std::string GetEmptyElementEnd() const override { return " />"; }
    std::string GetDocType() const override { return {}; }
    std::string GetFontSizeStyle(std::int32_t) const override { return {}; }
    std::string BuildParagraphStart(const std::string&, const std::string&) const override { return {}; }
    std::string GetParagraphStart(const TParagraphProperties&) const override { return "    <p>\r\n      "; }
    std::string GetHtmlStartTag(const std::string&) const override { return {}; }
    std::string GetStyleAttribute(const std::string&) const override { return {}; }
    bool UsePresentationalTags() const override { return Presentational; }
    bool IsXml() const override { return true; }
    bool IsDocTypeRequired() const override { return false; }
    void SetFontSizeScale(TFontSizeScale) override {}
    void SetParagraphTag(const std::string&) override {}
    bool SupportsElement(const std::string&) const override { return true; }
    bool SupportsAttribute(const std::string&, const std::string&) const override { return true; }

    bool Presentational = false;
};

// Escapes "<" once, marking the run raw as the real conversion does; counts its calls.
class TFakeRunConverter : public ICxRunConverter {
public:
    virtual ~TFakeRunConverter() = default;
    std::string ConvertTextRun(ISimpleDomTextNode& Run) override {
        ++Calls;
        if (!Run.GetRaw()) {
            std::string escaped;
            for (char c : Run.GetText())
                escaped += c == '<' ? std::string("&lt;") : std::string(1, c);
            Run.SetText(escaped);
            Run.SetRaw(true);
        }
        return Run.GetText();
    }
    std::string GetOrderedListTag() const override { return "<ol>"; }
    std::string GetUnorderedListTag() const override { return "<ul>"; }
    const ICxTranslator& GetTranslator() const override { return Translator; }
    const IMarginBuilding& GetMarginBuilder() const override { return Margins; }

    TFakeTranslator Translator;
    TFakeMargins Margins;
    int Calls = 0;
};

} // namespace corvane::fakes
