// Small stand-ins for the collaborators of the reader, the writer and the output writer, for the
// benchmarks that time those stages alone.
#pragma once

#include "CxDocument.h"
#include "CxHtmlTranslator.h"
#include "CxInterfaces.h"
#include "CxMarginBuilder.h"
#include "CxOptions.h"

#include <memory>
#include <string>

namespace corvane::fakes {

// Latin-1 to UTF-8.
class TLatin1Converter : public IUnicodeConverter {
public:
    std::int32_t GetCharset() const override { return FCharset; }
    void SetCharset(std::int32_t Charset) override { FCharset = Charset; }
    bool IsDoubleByte() const override { return false; }
    void SetDoubleByte(bool) override {}
    void SetAnsiCodePage(std::int32_t) override {}
    void Convert(std::uint8_t Byte, std::string& Output) override {
        if (Byte >= 0x80) Output += static_cast<char>(0xC0 | (Byte >> 6));
        Output += static_cast<char>(Byte < 0x80 ? Byte : 0x80 | (Byte & 0x3F));
    }

private:
    std::int32_t FCharset = 0;
};

class TFakeWriterOptions : public ICxWriterOptions {
public:
    virtual ~TFakeWriterOptions() = default;
    bool GetConvertLanguage() const override { return false; }
    std::string GetDefaultLanguage() const override { return {}; }
    TFontConversionOptions GetFontConversionOptions() const override { return TFontConversionOptions::All(); }
    const TCxOptionsOptimize& GetOptionsOptimize() const override { return FOptimize; }
    std::string GetTabString() const override { return "&nbsp;&nbsp;"; }

private:
    TCxOptionsOptimize FOptimize;
};

// Escapes "<", marking the run raw as the real conversion does. Paragraph starts and margins are those of
// the real HTML 5 translator.
class TFakeRunConverter : public ICxRunConverter {
public:
    TFakeRunConverter() { FTranslator.SetParagraphTag("<p"); }
    virtual ~TFakeRunConverter() = default;
    std::string ConvertTextRun(ISimpleDomTextNode& Run) override {
        if (!Run.GetRaw()) {
            std::string Escaped;
            for (char Character : Run.GetText())
                Escaped += Character == '<' ? std::string("&lt;") : std::string(1, Character);
            Run.SetText(Escaped);
            Run.SetRaw(true);
        }
        return Run.GetText();
    }
    std::string GetOrderedListTag() const override { return "<ol>"; }
    std::string GetUnorderedListTag() const override { return "<ul>"; }
    const ICxTranslator& GetTranslator() const override { return FTranslator; }
    const IMarginBuilding& GetMarginBuilder() const override { return *FMargins; }

private:
    std::shared_ptr<TMarginBuilder> FMargins = std::make_shared<TMarginBuilder>();
    THTML50Translator FTranslator{FMargins};
};

} // namespace corvane::fakes
