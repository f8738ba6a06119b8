#include "CxBase.h"

#include "CxCustomTranslator.h"
#include "CxDocumentText.h"
#include "CxFormatter.h"
#include "CxHtmlTranslator.h"
#include "CxLinkURIBuilder.h"
#include "CxMarginBuilder.h"
#include "CxUnicode.h"
#include "CxXhtmlTranslator.h"

#include <cstddef>
#include <utility>

namespace corvane {

namespace {

const TStringList DefaultReplaceFonts = {
    "Arial=Arial,Helvetica,sans-serif",
    "Courier=Courier,monospace",
    "Symbol=Symbol",
    "Times=Times,serif",
};

constexpr std::string_view CRLF = "\r\n";

bool SameTextAscii(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (std::size_t i = 0; i < A.size(); ++i) {
        char a = A[i], b = B[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

} // namespace

TCxBase::TCxBase() {
    FTabString.reserve(48);
    for (int i = 0; i < 8; ++i)
        FTabString += "&nbsp;";
    FHyperlinkURIBuilder = std::make_shared<TLinkURIBuilder>();
    SetReplaceFonts(DefaultReplaceFonts);
    FMarginBuilder = std::make_shared<TMarginBuilder>();
    FMarginBuilder->SetMarginWidth(2);
    FFormatter = std::make_shared<TCxFormatter>(FMarginBuilder);
    SetTranslator(CreateTranslator(FDocumentType));
}

TCxBase::~TCxBase() = default;

void TCxBase::SetTranslator(std::shared_ptr<TCustomTranslator> Translator) {
    FOwnTranslator = Translator.get();
    FTranslator = std::move(Translator);
}

std::shared_ptr<TCustomTranslator> TCxBase::CreateTranslator(TDocumentType Type) const {
    switch (Type) {
    case dtHTML3Flex:
        return std::make_shared<THTML3FlexTranslator>(FMarginBuilder);
    case dtHTML_401_Transitional:
        return std::make_shared<THTML401TransitionalTranslator>(FMarginBuilder);
    case dtHTML_401_Strict:
        return std::make_shared<THTML401StrictTranslator>(FMarginBuilder);
    case dtHTML_50:
        return std::make_shared<THTML50Translator>(FMarginBuilder);
    case dtXHTML_10_Transitional:
        return std::make_shared<TXHTML10TransitionalTranslator>(FMarginBuilder);
    case dtXHTML_10_Strict:
        return std::make_shared<TXHTML10StrictTranslator>(FMarginBuilder);
    case dtXHTML_Basic_10:
        return std::make_shared<TXHTMLBasic10Translator>(FMarginBuilder);
    case dtXHTML_MP_10:
        return std::make_shared<TXHTMLMobileProfile10Translator>(FMarginBuilder);
    case dtXHTML_11:
        return std::make_shared<TXHTML11Translator>(FMarginBuilder);
    }
    return nullptr;
}

void TCxBase::SetDocumentType(TDocumentType Value) {
    if (Value == FDocumentType) return;
    FDocumentType = Value;
    // An unknown dialect has no translator class; the current one stays so that the component stays usable.
    if (auto Translator = CreateTranslator(Value)) SetTranslator(std::move(Translator));
}

void TCxBase::SetReplaceFonts(const TStringList& Value) {
    if (Value == FReplaceFonts) return;
    FReplaceFonts = Value;
    // Each line's replacement is the value of the first line with the same name (names compared without
    // regard to case); resolving that once here keeps ReplaceFont linear in the list.
    FFontReplacements.clear();
    for (const std::string& Line : FReplaceFonts) {
        const std::size_t Separator = Line.find('=');
        if (Separator == std::string::npos || Separator == 0) continue; // such a line never matches
        std::string_view Name(Line.data(), Separator);
        std::string_view Replacement(Line);
        Replacement.remove_prefix(Separator + 1);
        for (const TFontReplacement& Earlier : FFontReplacements)
            if (SameTextAscii(Earlier.Name, Name)) {
                Replacement = Earlier.Value;
                break;
            }
        FFontReplacements.push_back({std::string(Name), std::string(Replacement)});
    }
}

std::shared_ptr<IPictureAdapter> TCxBase::PictureAdapter() const {
    if (FConvertPictures && !FPictureAdapter)
        throw ECxError("Property TCxBase.PictureAdapter is not assigned");
    return FPictureAdapter;
}

void TCxBase::SetPictureAdapter(std::shared_ptr<IPictureAdapter> Value) {
    if (Value != FPictureAdapter) FPictureAdapter = std::move(Value);
}

void TCxBase::Log(TLogLevel Level, const std::string& Text) {
    if (Level >= FLogLevel && FOnLog) FOnLog(*this, Level, Text);
}

void TCxBase::ReplaceFont(std::string& FontName) {
    if (FOnReplaceFont) {
        FOnReplaceFont(*this, FontName);
        return;
    }
    // Every line is tried against the name as replaced so far.
    for (const TFontReplacement& Replacement : FFontReplacements)
        if (FontName.starts_with(Replacement.Name)) FontName = Replacement.Value;
}

void TCxBase::PostProcess(std::shared_ptr<ISimpleDomDocument> Document) {
    TPostProcessEventObject EventObject(std::move(Document));
    // By index: a listener may register another one while it runs.
    for (std::size_t i = 0; i < FPostProcessEventListeners.size(); ++i) {
        std::shared_ptr<IPostProcessEventListener> Listener = FPostProcessEventListeners[i];
        if (Listener) Listener->HandleEvent(*this, EventObject);
    }
}

std::string TCxBase::ConvertTextRun(ISimpleDomTextNode& Run) {
    std::string Result;
    AppendTextRun(Run, Result);
    return Result;
}

void TCxBase::AppendTextRun(ISimpleDomTextNode& Run, std::string& Output) {
    if (FOnBeforeEncode) FOnBeforeEncode(*this, Run);
    // Read without taking the run's own copy of shared properties; changed through Change, which does.
    const TCharacterProperties* Props = &ReadCharacterProperties(Run);
    const auto Change = [&Run, &Props]() -> TCharacterProperties& {
        TCharacterProperties& Own = Run.GetCharacterProperties();
        Props = &Own;
        return Own;
    };

    // The default font is written once for the whole document, so runs leave it out.
    if (FOptionsOptimize.IncludeDefaultFontStyle()) {
        if (!Props->FontName.empty() && Props->FontName == FOptionsOptimize.DefaultFontName())
            Change().FontName.clear();
        if (!Props->FontColor.empty() && Props->FontColor == FOptionsOptimize.DefaultFontColor())
            Change().FontColor.clear();
        if (Props->FontSize != 0 && Props->FontSize == FOptionsOptimize.DefaultFontSize())
            Change().FontSize = 0;
    }
    if (Props->FontName == "Symbol") {
        Change().FontName.clear();
        Run.SetText(SymbolToUnicode(Run.GetText()));
    }
    if (!Run.GetRaw()) {
        // Most runs have nothing to escape and keep their text as it is.
        if (!FOwnTranslator->EncodeKeeps(Run.GetText())) Run.SetText(FTranslator->Encode(Run.GetText()));
        Run.SetRaw(true);
    }
    // A link loses what made it one, so converting the run again leaves it alone.
    if (FConvertHyperlinks && IsHyperlink(Run)) {
        CreateHyperlink(Run);
        TCharacterProperties& Own = Change();
        Own.SetUnderline(false);
        Own.FontColor.clear();
        Run.SetFieldInstruction(std::string());
    }
    if (FConvertSpaces && Run.GetText().find("  ") != std::string::npos)
        Run.SetText(ReplaceBlankPairs(Run.GetText()));
    if (FOnAfterEncode) {
        FOnAfterEncode(*this, Run);
        // What the event changed is what the run is written with.
        Props = &ReadCharacterProperties(Run);
    }

    if (FConvertAnchors && !Run.GetAnchor().empty()) {
        // The bookmark name comes from the document: escaped so that it cannot leave the attribute.
        Output += "<span id=\"";
        Output += FTranslator->Encode(Run.GetAnchor());
        Output += "\"></span>";
    }
    const std::shared_ptr<const TCharacterProperties>* const Shared = ReadSharedCharacterProperties(Run);
    if (FOwnTranslator != nullptr && Shared != nullptr && Shared->get() == Props)
        FOwnTranslator->AppendSharedFormattedText(Output, Run.GetText(), *Shared);
    else
        FTranslator->AppendFormattedText(Output, Run.GetText(), *Props);
}

bool TCxBase::IsHyperlink(ISimpleDomTextNode& Run) const {
    // The same test as the link builder's, leading blanks included ("{ HYPERLINK ...}").
    if (IsHyperlinkInstruction(Run.GetFieldInstruction())) return true;
    const TCharacterProperties& Props = ReadCharacterProperties(Run);
    return Props.IsUnderline() && Props.FontColor == "#0000ff";
}

void TCxBase::CreateHyperlink(ISimpleDomTextNode& Run) {
    Run.SetText(FHyperlinkURIBuilder->BuildLink(Run));
}

std::string TCxBase::GetEmptyParagraph() const {
    const std::string Margin = FMarginBuilder->GetMargin(2);
    std::string Result;
    Result.append(Margin).append(GetParagraphTag()).append(">").append(CRLF);
    Result.append(Margin).append("</p>").append(CRLF);
    return Result;
}

std::string TCxBase::GetLineBreak() const {
    if (FConvertToPlainText) return std::string(CRLF);
    return "<br" + FTranslator->GetEmptyElementEnd();
}

std::string ReplaceBlankPairs(std::string_view Text) {
    // The replacement holds no blank, so no new pair can form: replacing the leftmost pair again and
    // again gives the same as one scan that takes pairs from the left.
    std::string Result;
    Result.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == ' ' && i + 1 < Text.size() && Text[i + 1] == ' ') {
            Result += "&nbsp;&nbsp;";
            ++i;
        } else {
            Result += Text[i];
        }
    }
    return Result;
}

} // namespace corvane
