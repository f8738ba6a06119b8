#include "CxMain.h"

#include "CxControlWordSearch.h"
#include "CxDocumentParts.h"
#include "CxMemoryPages.h"
#include "CxOutputWriter.h"
#include "CxReader.h"
#include "CxUnicode.h"
#include "CxWriter.h"

#include <cassert>
#include <exception>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace corvane {

namespace {

constexpr std::string_view CRLF = "\r\n";
constexpr std::string_view RtfHeader = "{\\rtf";
// Settled paragraphs written at once while the body is read: enough to make the writing's own start
// and end cost nothing, few enough that the tree they free is still in the cache.
constexpr int SettledParagraphsPerPiece = 64;

std::string LowerAscii(std::string_view Text) {
    std::string Result(Text);
    for (char& c : Result)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return Result;
}

// Each guarded region writes the failure to the log and lets it travel on, so an exception is logged once
// for every region it passes through.
template <typename TBody> void Guarded(TCxBase& Converter, TBody&& Body) {
    try {
        Body();
    } catch (const std::exception& E) {
        Converter.Log(logError, E.what());
        throw;
    } catch (...) {
        Converter.Log(logError, "Unknown exception");
        throw;
    }
}

// The mail's own HTML passes unchanged but for what no HTML may hold: C0 control characters other than
// tab, line feed and carriage return, and U+FFFE and U+FFFF.
std::string WithoutForbiddenCharacters(std::string_view Html) {
    std::string Result;
    Result.reserve(Html.size());
    for (std::size_t i = 0; i < Html.size(); ++i) {
        const auto Byte = static_cast<unsigned char>(Html[i]);
        if (Byte < 0x20 && Byte != '\t' && Byte != '\n' && Byte != '\r') continue;
        if (Byte == 0xEF && i + 2 < Html.size() && Html[i + 1] == '\xBF' &&
            (Html[i + 2] == '\xBE' || Html[i + 2] == '\xBF')) {
            i += 2;
            continue;
        }
        Result += Html[i];
    }
    return Result;
}

} // namespace

std::string TCxMain::DoConvert(std::string_view Rtf) {
    return Run(Rtf, nullptr, nullptr);
}

void TCxMain::ConvertTo(std::string Rtf, const TOutputSink& Sink) {
    // Read pages go back to the system: the tree grows while the input shrinks.
    std::size_t Released = 0;
    ConvertTo(
        Rtf,
        [&Rtf, &Released](std::size_t Length) {
            if (Length <= Released) return;
            ReleasePages(Rtf.data() + Released, Length - Released);
            Released = Length;
        },
        Sink);
}

void TCxMain::ConvertTo(std::string_view Rtf, const TInputRelease& Release, const TOutputSink& Sink) {
    [[maybe_unused]] const std::string Rest = Run(Rtf, &Release, &Sink);
    assert(Rest.empty() && "with a sink, the whole result goes to the sink");
}

std::string TCxMain::Run(std::string_view Rtf, const TInputRelease* Release, const TOutputSink* Sink) {
    Log(logDebug, "TCustomCorvane.DoConvert " + std::to_string(static_cast<int>(LogLevel())));
    if (Rtf.substr(0, RtfHeader.size()) != RtfHeader) {
        Log(logError, "No RTF header found");
        return std::string();
    }

    const auto Writer = std::make_shared<TCxWriter>(*this, std::make_unique<TUnicodeConverter>());
    std::string Result;
    const std::size_t InputSize = Rtf.size();
    const auto Append = [&](std::string_view Piece) {
        if (Piece.empty()) return;
        if (Sink)
            (*Sink)(Piece);
        else
            Result += Piece;
    };
    Guarded(*this, [&] {
        Translator()->SetParagraphTag(GetParagraphTag());
        Translator()->SetFontSizeScale(FontSizeScale());
        // A conversion with pictures on cannot run without an adapter: fail here, before any reading.
        if (ConvertPictures()) PictureAdapter();
        auto Reader = std::make_shared<TCxReader>(*this, Writer, std::make_unique<TUnicodeConverter>());
        // Plain text is what the document's RTF shows; only markup output takes the mail's own HTML.
        const bool MayBeEncapsulated = ExtractEncapsulatedHtml() && !ConvertToPlainText();
        Reader->SetExtractEncapsulatedHtml(MayBeEncapsulated);
        if (Release) Reader->SetInputRelease(*Release);

        TCxOutputWriter Output(*this);
        Output.SetDocument(Writer->GetDocument());
        Output.FBreakEmptyParagraphs = ConvertEmptyParagraphs() && Translator()->SupportsElement("br");
        Output.FEmptyParagraph = GetEmptyParagraph();
        Output.FLineBreak = GetLineBreak();
        Output.SetPlainText(ConvertToPlainText());
        if (OptionsStructure().Lists()) Output.SetNestedLists(&Writer->ListHeaderInfo());
        if (OptionsStructure().Notes() || OptionsStructure().HeadersFooters())
            Output.SetParts(&Writer->Parts());
        const bool OuterHTML = OptionsHead().AddOuterHTML() && !ConvertToPlainText();
        // HTML 4.01 Strict is the one dialect whose body must hold at least one block.
        Output.FBodyNeedsBlock = OuterHTML && DocumentType() == dtHTML_401_Strict;

        // The output is UTF-8 already. The head reflects the settings as the body leaves them, and only
        // the encoding events can change them on the way: without those, the head goes first and the body
        // follows it piece by piece, never held whole twice.
        const bool Encoded = OnBeforeEncode() || OnAfterEncode();
        const bool HeadFirst = !OuterHTML || !Encoded;
        bool Begun = false;
        const auto Begin = [&] {
            const std::string Head = OuterHTML ? GetHead() : std::string();
            // The result seldom outgrows the input by much; reserved space never written to costs
            // address space only.
            if (!Sink) Result.reserve(Head.size() + InputSize + InputSize / 4 + GetClosing().size());
            Append(Head);
            Output.SetSink(Append);
            Begun = true;
        };
        // The body is written while it is read when nothing needs it whole: no listener walks the tree, and
        // the document cannot turn out to be a mail's own HTML. The header goes before the body, so the body
        // waits until no later header can replace the one read so far. The HTML's mark may come anywhere and
        // a header anywhere in the first section, so the input's bytes are searched for those words first;
        // most documents name neither. Every few settled paragraphs go out, and the paragraphs read next
        // reuse their memory, so the tree stays small however long the document.
        const bool MayStream = !Encoded && PostProcessEventListeners().empty();
        const bool HeadersFooters = OptionsStructure().HeadersFooters();
        std::vector<TControlWordForms> LateWords;
        if (HeadersFooters) LateWords.push_back({"header", "flr"});
        if (MayBeEncapsulated) LateWords.push_back({"fromhtml", ""});
        const std::uint32_t Held = MayStream && !LateWords.empty() ? ControlWordsHeld(Rtf, LateWords) : 0;
        const bool MayHoldHeader = HeadersFooters && (Held & 1) != 0;
        const bool MayHoldHtml = MayBeEncapsulated && (Held & (HeadersFooters ? 2u : 1u)) != 0;
        if (MayStream && !MayHoldHtml) {
            Writer->SetOnBodyParagraphEnded([&, Settled = 0](TSimpleDomDocument& Body) mutable {
                // The paragraph just ended. A row's end may still mark the one before the last, but only
                // when it ends a cell, and a settled paragraph stands outside tables.
                const int Ended = Body.GetChildCount() - 2;
                if (Ended >= 0 &&
                    TCxOutputWriter::EndsSettledOutput(
                        FastNodeCast<TParagraphNode, ISimpleDomParagraphNode>(Body.GetChild(Ended))))
                    Settled = Ended + 1;
                if (Settled < SettledParagraphsPerPiece || (MayHoldHeader && !Reader->HeaderIsFinal()))
                    return;
                if (!Begun) Begin();
                Guarded(*this, [&] { Output.WriteFirstParagraphs(Settled); });
                Body.RemoveFirstParagraphs(Settled);
                Settled = 0;
            });
        }

        Guarded(*this, [&] {
            Reader->Parse(Rtf);
            if (Release) (*Release)(Rtf.size());
            if (const std::string* Html = Reader->EncapsulatedHtml()) {
                Append(WithoutForbiddenCharacters(*Html));
                return;
            }
            // A header or footer left out may be all there is to read: say which switch shows it. Only a
            // paragraph with text is written before the end.
            if (!OptionsStructure().HeadersFooters() && Reader->SkippedHeaderFooterText() && !Begun &&
                !HoldsText(*Writer->Document()))
                Log(logWarning, "The document's body is empty but its header or footer holds text; "
                                "OptionsStructure.HeadersFooters (--headers-footers) converts them");
            PostProcess(Writer->GetDocument());

            if (HeadFirst) {
                if (!Begun) Begin();
                Guarded(*this, [&] { Output.Execute(); });
                if (OuterHTML) Append(GetClosing());
            } else {
                Guarded(*this, [&] { Output.Execute(); });
                const std::string Head = GetHead();
                const std::string Closing = GetClosing();
                if (!Sink) Result.reserve(Head.size() + Output.GetOutput().size() + Closing.size());
                Append(Head);
                Append(Output.GetOutput());
                Append(Closing);
            }
        });
    });
    return Result;
}

std::string TCxMain::GetHead() {
    ICxFormatter& Formatter = *this->Formatter();
    const ICxTranslator& Translator = *this->Translator();
    const TCxOptionsHead& Head = OptionsHead();
    const std::string ElementEnd = Translator.GetEmptyElementEnd();

    std::string Result;
    auto AddLine = [&](const std::string& Line) {
        Result += Line;
        Result += CRLF;
    };
    auto AddMeta = [&](std::string_view Attribute, const std::string& Name, const std::string& Content) {
        if (Content.empty()) return;
        std::string Line = "<meta ";
        Line.append(Attribute).append("=\"").append(Name).append("\" content=\"").append(Content);
        Line.append("\"").append(ElementEnd);
        AddLine(Formatter.FormatLine(Line));
    };
    auto AddNameMeta = [&](const std::string& Name, const std::string& Content) {
        AddMeta("name", Name, Content);
    };

    Formatter.SetLevel(0);
    Formatter.SetLineBreak(std::string());
    if (IncludeXMLDeclaration() && Translator.IsXml())
        AddLine(Formatter.FormatLine("<?xml version=\"1.0\"?>"));
    if (IncludeDocType() || Translator.IsDocTypeRequired())
        AddLine(Formatter.FormatLine(Translator.GetDocType()));
    AddLine(Formatter.FormatLine(
        Translator.GetHtmlStartTag(ConvertLanguage() ? DefaultLanguage() : std::string())));
    AddLine(Formatter.IndentLine("<head>"));
    Formatter.SetLevel(Formatter.GetLevel() + 1);

    if (DocumentType() != dtHTML_50)
        AddMeta("http-equiv", "content-type", Head.MetaContentType());
    else
        AddLine(Formatter.FormatLine("<meta charset=\"UTF-8\">"));
    AddNameMeta("viewport", Head.MetaViewport());

    AddLine(Formatter.FormatLine("<title>"));
    AddLine(Formatter.IndentLine(Head.DocumentTitle()));
    AddLine(Formatter.OutdentLine("</title>"));

    AddNameMeta("description", Head.MetaDescription());
    AddNameMeta("keywords", Head.MetaKeywords());
    AddNameMeta("author", Head.MetaAuthor());

    // A line's content is the value of the first line with the same name (compared without regard to
    // case); a line without "=" has the empty name.
    std::unordered_map<std::string, std::string> MetaValues;
    for (const std::string& Line : Head.MetaTags()) {
        const std::size_t Separator = Line.find('=');
        if (Separator != std::string::npos)
            MetaValues.try_emplace(LowerAscii(std::string_view(Line).substr(0, Separator)),
                                   Line.substr(Separator + 1));
    }
    for (const std::string& Line : Head.MetaTags()) {
        const std::size_t Separator = Line.find('=');
        const std::string Name = Separator == std::string::npos ? std::string() : Line.substr(0, Separator);
        const auto Found = MetaValues.find(LowerAscii(Name));
        if (Found != MetaValues.end()) AddNameMeta(Name, Found->second);
    }

    for (const std::string& Line : Head.HeadTags())
        AddLine(Formatter.FormatLine(Line));

    if (!Head.StyleSheetLink().empty())
        AddLine(Formatter.FormatLine("<link rel=\"stylesheet\" type=\"text/css\" href=\"" +
                                     Head.StyleSheetLink() + "\"" + ElementEnd));

    const bool IncludeDefaultFontStyle = OptionsOptimize().IncludeDefaultFontStyle();
    if ((!Head.StyleSheetInclude().empty() || IncludeDefaultFontStyle) &&
        Translator.SupportsElement("style")) {
        AddLine(Formatter.FormatLine(Translator.IsXml() ? "<style type=\"text/css\">" : "<style>"));
        Formatter.SetLevel(Formatter.GetLevel() + 1);
        if (IncludeDefaultFontStyle) AddLine(Formatter.FormatLine(GetDefaultFontStyle()));
        for (const std::string& Line : Head.StyleSheetInclude())
            AddLine(Formatter.FormatLine(Line));
        Formatter.SetLevel(Formatter.GetLevel() - 1);
        AddLine(Formatter.FormatLine("</style>"));
    }

    AddLine(Formatter.OutdentLine("</head>"));
    AddLine(Formatter.FormatLine("<body>"));
    return Result;
}

std::string TCxMain::GetClosing() const {
    std::string Result = MarginBuilder()->GetMargin(1);
    Result.append("</body>").append(CRLF).append("</html>");
    return Result;
}

std::string TCxMain::GetDefaultFontStyle() const {
    const TCxOptionsOptimize& Options = OptionsOptimize();
    std::string Result = "body {";
    if (!Options.DefaultFontName().empty())
        Result.append("font-family:").append(Options.DefaultFontName()).append(";");
    if (Options.DefaultFontSize() > 0) Result += Translator()->GetFontSizeStyle(Options.DefaultFontSize());
    if (!Options.DefaultFontColor().empty())
        Result.append("color:").append(Options.DefaultFontColor()).append(";");
    Result += " }";
    return Result;
}

} // namespace corvane
