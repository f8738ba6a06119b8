// Small stand-ins for the collaborators of the writer and the output writer.
#pragma once

#include "CxDocument.h"
#include "CxHtmlTranslator.h"
#include "CxInterfaces.h"
#include "CxMarginBuilder.h"
#include "CxOptions.h"

#include <memory>
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

// Escapes "<" once, marking the run raw as the real conversion does; counts its calls. Paragraph starts
// and margins are those of the real HTML 5 translator.
class TFakeRunConverter : public ICxRunConverter {
public:
    TFakeRunConverter() { Translator.SetParagraphTag("<p"); }
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
    const IMarginBuilding& GetMarginBuilder() const override { return *Margins; }

    std::shared_ptr<TMarginBuilder> Margins = std::make_shared<TMarginBuilder>();
    THTML50Translator Translator{Margins};
    int Calls = 0;
};

} // namespace corvane::fakes
