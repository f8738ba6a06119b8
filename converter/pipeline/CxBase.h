// The converter component's base: every setting of a conversion with its default, the two option groups,
// the log, font replacement, post-process listeners, the long-lived collaborators shared by all
// conversions (translator, formatter, margin and hyperlink builders), and the conversion of one text run
// into markup.
#pragma once

#include "CxInterfaces.h"
#include "CxOptions.h"
#include "CxPostProcessEventObject.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class TCxBase;
class TCustomTranslator;

using TLogEvent = std::function<void(TCxBase& Sender, TLogLevel logLevel, const std::string& logText)>;
using TEncodingEvent = std::function<void(TCxBase& Sender, ISimpleDomTextNode& TextElement)>;
using TReplaceFontEvent = std::function<void(TCxBase& Sender, std::string& FontName)>;

using TPostProcessEventListeners = std::vector<std::shared_ptr<IPostProcessEventListener>>;

class TCxBase : public ICxWriterOptions, public ICxReaderOwner, public ICxRunConverter {
public:
    TCxBase();
    virtual ~TCxBase();
    // The reader, writer and output writer hold references to the component during a conversion.
    TCxBase(const TCxBase&) = delete;
    TCxBase& operator=(const TCxBase&) = delete;

    // Published properties.
    bool ConvertAnchors() const { return FConvertAnchors; }
    void SetConvertAnchors(bool Value) { AssignIfChanged(FConvertAnchors, Value); }
    bool ConvertEmptyParagraphs() const { return FConvertEmptyParagraphs; }
    void SetConvertEmptyParagraphs(bool Value) { AssignIfChanged(FConvertEmptyParagraphs, Value); }
    bool ConvertFields() const { return FConvertFields; }
    void SetConvertFields(bool Value) { AssignIfChanged(FConvertFields, Value); }
    bool ConvertHyperlinks() const { return FConvertHyperlinks; }
    void SetConvertHyperlinks(bool Value) { AssignIfChanged(FConvertHyperlinks, Value); }
    bool ConvertIndent() const { return FConvertIndent; }
    void SetConvertIndent(bool Value) { AssignIfChanged(FConvertIndent, Value); }
    bool ConvertLanguage() const { return FConvertLanguage; }
    void SetConvertLanguage(bool Value) { AssignIfChanged(FConvertLanguage, Value); }
    bool ConvertPictures() const { return FConvertPictures; }
    void SetConvertPictures(bool Value) { AssignIfChanged(FConvertPictures, Value); }
    bool ConvertSpaces() const { return FConvertSpaces; }
    void SetConvertSpaces(bool Value) { AssignIfChanged(FConvertSpaces, Value); }
    bool ConvertToPlainText() const { return FConvertToPlainText; }
    void SetConvertToPlainText(bool Value) { AssignIfChanged(FConvertToPlainText, Value); }
    const std::string& DefaultLanguage() const { return FDefaultLanguage; }
    void SetDefaultLanguage(const std::string& Value) { AssignIfChanged(FDefaultLanguage, Value); }
    TDocumentType DocumentType() const { return FDocumentType; }
    // A mail body that carries its original HTML (\fromhtml with \htmltag groups) converts to that HTML.
    bool ExtractEncapsulatedHtml() const { return FExtractEncapsulatedHtml; }
    void SetExtractEncapsulatedHtml(bool Value) { AssignIfChanged(FExtractEncapsulatedHtml, Value); }
    // A different value replaces the translator; a value outside the nine dialects is stored but keeps it.
    void SetDocumentType(TDocumentType Value);
    TFontConversionOptions FontConversionOptions() const { return FFontConversionOptions; }
    void SetFontConversionOptions(TFontConversionOptions Value) {
        AssignIfChanged(FFontConversionOptions, Value);
    }
    TFontSizeScale FontSizeScale() const { return FFontSizeScale; }
    void SetFontSizeScale(TFontSizeScale Value) { AssignIfChanged(FFontSizeScale, Value); }
    bool IncludeDocType() const { return FIncludeDocType; }
    void SetIncludeDocType(bool Value) { AssignIfChanged(FIncludeDocType, Value); }
    bool IncludeXMLDeclaration() const { return FIncludeXMLDeclaration; }
    void SetIncludeXMLDeclaration(bool Value) { AssignIfChanged(FIncludeXMLDeclaration, Value); }
    TLogLevel LogLevel() const { return FLogLevel; }
    void SetLogLevel(TLogLevel Value) { AssignIfChanged(FLogLevel, Value); }
    const TStringList& ReplaceFonts() const { return FReplaceFonts; }
    void SetReplaceFonts(const TStringList& Value);
    const std::string& TabString() const { return FTabString; }
    void SetTabString(const std::string& Value) { AssignIfChanged(FTabString, Value); }
    static std::string Version() { return "8.1"; }

    TCxOptionsHead& OptionsHead() { return FOptionsHead; }
    const TCxOptionsHead& OptionsHead() const { return FOptionsHead; }
    TCxOptionsOptimize& OptionsOptimize() { return FOptionsOptimize; }
    const TCxOptionsOptimize& OptionsOptimize() const { return FOptionsOptimize; }
    TCxOptionsStructure& OptionsStructure() { return FOptionsStructure; }
    const TCxOptionsStructure& OptionsStructure() const { return FOptionsStructure; }
    TPostProcessEventListeners& PostProcessEventListeners() { return FPostProcessEventListeners; }
    const TPostProcessEventListeners& PostProcessEventListeners() const { return FPostProcessEventListeners; }

    const TEncodingEvent& OnAfterEncode() const { return FOnAfterEncode; }
    void SetOnAfterEncode(TEncodingEvent Value) { FOnAfterEncode = std::move(Value); }
    const TEncodingEvent& OnBeforeEncode() const { return FOnBeforeEncode; }
    void SetOnBeforeEncode(TEncodingEvent Value) { FOnBeforeEncode = std::move(Value); }
    const TLogEvent& OnLog() const { return FOnLog; }
    void SetOnLog(TLogEvent Value) { FOnLog = std::move(Value); }
    const TReplaceFontEvent& OnReplaceFont() const { return FOnReplaceFont; }
    void SetOnReplaceFont(TReplaceFontEvent Value) { FOnReplaceFont = std::move(Value); }

    // Public, unpublished members.
    // Throws "Property TCxBase.PictureAdapter is not assigned" while pictures are on and none is set.
    std::shared_ptr<IPictureAdapter> PictureAdapter() const;
    void SetPictureAdapter(std::shared_ptr<IPictureAdapter> Value);
    const std::shared_ptr<ICxTranslator>& Translator() const { return FTranslator; }
    const std::shared_ptr<ICxFormatter>& Formatter() const { return FFormatter; }
    const std::shared_ptr<IMarginBuilding>& MarginBuilder() const { return FMarginBuilder; }
    const std::shared_ptr<IHyperlinkURIBuilder>& HyperlinkURIBuilder() const { return FHyperlinkURIBuilder; }
    bool EndOfDocument() const { return FEndOfDocument; }

    void Log(TLogLevel Level, const std::string& Text) override;
    void ReplaceFont(std::string& FontName) override;
    void PostProcess(std::shared_ptr<ISimpleDomDocument> Document);

    // Text-run conversion and the fixed pieces of markup around it.
    std::string ConvertTextRun(ISimpleDomTextNode& Run) override;
    void AppendTextRun(ISimpleDomTextNode& Run, std::string& Output) override;
    bool IsHyperlink(ISimpleDomTextNode& Run) const;
    void CreateHyperlink(ISimpleDomTextNode& Run);
    std::string GetEmptyParagraph() const;
    std::string GetParagraphTag() const { return "<p"; }
    std::string GetOrderedListTag() const override { return "<ol>"; }
    std::string GetUnorderedListTag() const override { return "<ul>"; }
    std::string GetLineBreak() const override;

    // ICxWriterOptions and ICxReaderOwner.
    bool GetConvertLanguage() const override { return FConvertLanguage; }
    std::string GetDefaultLanguage() const override { return FDefaultLanguage; }
    TFontConversionOptions GetFontConversionOptions() const override { return FFontConversionOptions; }
    const TCxOptionsOptimize& GetOptionsOptimize() const override { return FOptionsOptimize; }
    std::string GetTabString() const override { return FTabString; }
    bool GetConvertIndent() const override { return FConvertIndent; }
    bool GetConvertFields() const override { return FConvertFields; }
    bool GetConvertPictures() const override { return FConvertPictures; }
    bool GetConvertTables() const override { return FOptionsStructure.Tables(); }
    bool GetConvertLists() const override { return FOptionsStructure.Lists(); }
    bool GetConvertNotes() const override { return FOptionsStructure.Notes(); }
    bool GetConvertHeadersFooters() const override { return FOptionsStructure.HeadersFooters(); }
    std::shared_ptr<IPictureAdapter> GetPictureAdapter() const override { return PictureAdapter(); }
    bool GetEndOfDocument() const override { return FEndOfDocument; }
    void SetEndOfDocument(bool Value) override { AssignIfChanged(FEndOfDocument, Value); }

    // ICxRunConverter.
    const ICxTranslator& GetTranslator() const override { return *FTranslator; }
    const IMarginBuilding& GetMarginBuilder() const override { return *FMarginBuilder; }

private:
    // One line of ReplaceFonts: its name part and the value the list holds for that name.
    struct TFontReplacement {
        std::string Name;
        std::string Value;
    };

    std::shared_ptr<TCustomTranslator> CreateTranslator(TDocumentType Type) const;
    void SetTranslator(std::shared_ptr<TCustomTranslator> Translator);

    bool FConvertAnchors = false;
    bool FConvertEmptyParagraphs = false;
    bool FConvertFields = false;
    bool FConvertHyperlinks = false;
    bool FConvertIndent = false;
    bool FConvertLanguage = false;
    bool FConvertPictures = false;
    bool FConvertSpaces = false;
    bool FConvertToPlainText = false;
    bool FExtractEncapsulatedHtml = false;
    std::string FDefaultLanguage;
    TDocumentType FDocumentType = dtHTML_50;
    TFontConversionOptions FFontConversionOptions = TFontConversionOptions::All();
    TFontSizeScale FFontSizeScale = fsPoint;
    bool FIncludeDocType = true;
    bool FIncludeXMLDeclaration = false;
    TLogLevel FLogLevel = logInfo;
    TStringList FReplaceFonts;
    std::vector<TFontReplacement> FFontReplacements; // derived from FReplaceFonts when it is set
    std::string FTabString;
    bool FEndOfDocument = false;

    TCxOptionsHead FOptionsHead;
    TCxOptionsOptimize FOptionsOptimize;
    TCxOptionsStructure FOptionsStructure;
    TPostProcessEventListeners FPostProcessEventListeners;

    TEncodingEvent FOnAfterEncode;
    TEncodingEvent FOnBeforeEncode;
    TLogEvent FOnLog;
    TReplaceFontEvent FOnReplaceFont;

    std::shared_ptr<IPictureAdapter> FPictureAdapter;
    std::shared_ptr<IMarginBuilding> FMarginBuilder;
    std::shared_ptr<ICxFormatter> FFormatter;
    std::shared_ptr<IHyperlinkURIBuilder> FHyperlinkURIBuilder;
    std::shared_ptr<ICxTranslator> FTranslator;
    // The same translator as its class, for what the interface does not offer.
    const TCustomTranslator* FOwnTranslator = nullptr;
};

// Replaces every pair of blanks, from the left, by two non-breaking-space entities in one pass.
std::string ReplaceBlankPairs(std::string_view Text);

} // namespace corvane
