#include "CxOutputWriter.h"

#include "CxDocumentParagraph.h"

#include <algorithm>
#include <cassert>
#include <typeinfo>

namespace corvane {

namespace {

constexpr std::string_view CRLF = "\r\n";

// Output delivered to a sink goes in pieces of about this size: small enough to stay in the cache,
// large enough to keep the sink's calls few.
constexpr std::size_t PieceSize = 256 * 1024;

// Nothing but blanks and control characters.
bool IsBlank(std::string_view Text) {
    return std::all_of(Text.begin(), Text.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

// The tree's own classes are recognised by their exact type first: the general cross-cast through the
// virtual base walks the class hierarchy, which cost more than the rest of a short run's conversion.
template <typename TNode, typename TInterface> TInterface& FastNodeCast(ISimpleDomNode* Node) {
    if (Node != nullptr && typeid(*Node) == typeid(TNode))
        return *static_cast<TNode*>(dynamic_cast<void*>(Node));
    return NodeCast<TInterface>(Node);
}

ISimpleDomParagraphNode& AsParagraph(ISimpleDomNode* Node) {
    return FastNodeCast<TParagraphNode, ISimpleDomParagraphNode>(Node);
}

ISimpleDomTextNode& AsTextRun(ISimpleDomNode* Node) {
    return FastNodeCast<TTextNode, ISimpleDomTextNode>(Node);
}

ISimpleDomParagraphNode& ParagraphAt(ISimpleDomDocument& Document, int Index) {
    return AsParagraph(Document.GetChild(Index));
}

bool IsListItem(ISimpleDomNode* Paragraph) {
    return Paragraph != nullptr && AsParagraph(Paragraph).GetParagraphProperties().ListItem;
}

} // namespace

void TCxOutputWriter::Execute() {
    FOutput.clear();
    assert(FDocument && "Execute without a document");
    if (!FDocument) return;
    if (FPlainText)
        ExecutePlainText();
    else
        ExecuteMarkup();
    Deliver(true);
}

std::size_t TCxOutputWriter::EstimateOutputSize() const {
    if (!FDocument) return 0;
    std::size_t text = 0;
    std::size_t runs = 0;
    const int count = FDocument->GetChildCount();
    for (int i = 0; i < count; ++i) {
        ISimpleDomNode* paragraph = FDocument->GetChild(i);
        const int runCount = paragraph->GetChildCount();
        runs += static_cast<std::size_t>(runCount);
        for (int r = 0; r < runCount; ++r)
            text += paragraph->GetChild(r)->GetText().size();
    }
    const auto paragraphs = static_cast<std::size_t>(count);
    if (FPlainText) return text + paragraphs * CRLF.size();
    // Escaping adds a little to the text; a formatted run's span with its style, a paragraph's tags and
    // margins add most of the rest. Reserved space that stays unused is never touched, so it costs
    // address space, not memory.
    return text + text / 4 + runs * 96 + paragraphs * 64;
}

void TCxOutputWriter::ReserveOutput() {
    // Delivered in pieces, the output needs room for about one piece at a time.
    FOutput.reserve(FSink ? PieceSize + PieceSize / 4 : EstimateOutputSize());
}

void TCxOutputWriter::Deliver(bool Final) {
    if (!FSink || FOutput.empty() || (!Final && FOutput.size() < PieceSize)) return;
    FSink(FOutput);
    FOutput.clear();
}

void TCxOutputWriter::ExecutePlainText() {
    ReserveOutput();
    const int count = FDocument->GetChildCount();
    for (int i = 0; i < count; ++i) {
        ISimpleDomNode* paragraph = FDocument->GetChild(i);
        for (int r = 0, runs = paragraph->GetChildCount(); r < runs; ++r)
            FOutput += paragraph->GetChild(r)->GetText();
        FOutput += CRLF;
        Deliver(false);
    }
}

void TCxOutputWriter::ConvertContent(ISimpleDomParagraphNode& Paragraph) {
    FContent.clear();
    for (int r = 0, runs = Paragraph.GetChildCount(); r < runs; ++r) {
        ISimpleDomTextNode& run = AsTextRun(Paragraph.GetChild(r));
        // An empty run contributes nothing, not even its anchor.
        if (!run.GetText().empty()) FConverter.AppendTextRun(run, FContent);
    }
}

void TCxOutputWriter::ExecuteMarkup() {
    const IMarginBuilding& margins = FConverter.GetMarginBuilder();
    FMargin1 = margins.GetMargin(1);
    FMargin2 = margins.GetMargin(2);
    FMargin3 = margins.GetMargin(3);

    // Trailing empty paragraphs go. A paragraph converts to the empty-paragraph markup exactly when its
    // converted content is blank, so that is the test; the runs are converted either way.
    while (FDocument->GetChildCount() > 0) {
        ISimpleDomParagraphNode& last = ParagraphAt(*FDocument, FDocument->GetChildCount() - 1);
        ConvertContent(last);
        if (!IsBlank(FContent)) break;
        FDocument->RemoveChild(&last);
    }

    ReserveOutput();
    // Lists are flat: a list is a run of consecutive list paragraphs. It opens at its first item with
    // content, so a list that starts with an empty item still has its start tag, and it closes after its
    // last paragraph whatever that holds; the end tag is the one opened, remembered rather than sought.
    bool listOpen = false;
    std::string_view listEnd;
    const int count = FDocument->GetChildCount();
    for (int i = 0; i < count; ++i) {
        ISimpleDomParagraphNode& paragraph = ParagraphAt(*FDocument, i);
        const TParagraphProperties& properties = paragraph.GetParagraphProperties();
        ConvertContent(paragraph);
        if (IsBlank(FContent)) {
            if (listOpen && properties.ListItem) {
                // An empty numbered line inside a list stays an item: nothing but items may stand there.
                AppendListItem(properties);
            } else if (FBreakEmptyParagraphs) {
                FOutput += FMargin2;
                FOutput += FLineBreak;
                FOutput += CRLF;
            } else {
                AppendLines(FEmptyParagraph);
            }
        } else if (properties.ListItem) {
            if (!listOpen) {
                const bool bullet = properties.ListStyle == 11;
                FOutput += FMargin2;
                FOutput += bullet ? FConverter.GetUnorderedListTag() : FConverter.GetOrderedListTag();
                FOutput += CRLF;
                listEnd = bullet ? "</ul>" : "</ol>";
                listOpen = true;
            }
            AppendListItem(properties);
        } else {
            AppendParagraph(properties);
        }
        if (listOpen && properties.ListItem && !IsListItem(paragraph.GetNextSibling())) {
            FOutput += FMargin2;
            FOutput += listEnd;
            FOutput += CRLF;
            listOpen = false;
        }
        Deliver(false);
    }
    if (count == 0 && FBodyNeedsBlock) AppendLines(FEmptyParagraph);
}

void TCxOutputWriter::AppendListItem(const TParagraphProperties& Properties) {
    FOutput += FMargin3;
    FOutput += "<li";
    if (GetTranslator().UsePresentationalTags()) {
        switch (Properties.Alignment) {
        case 1:
            FOutput += " align=\"right\"";
            break;
        case 2:
            FOutput += " align=\"center\"";
            break;
        case 3:
            FOutput += " align=\"justify\"";
            break;
        default:
            break;
        }
    } else {
        FOutput += GetAlignmentStyle(Properties.Alignment);
    }
    FOutput += '>';
    FOutput += CRLF;
    FOutput += FMargin3;
    FOutput += FMargin1;
    FOutput += FContent;
    FOutput += CRLF;
    FOutput += FMargin3;
    FOutput += "</li>";
    FOutput += CRLF;
}

void TCxOutputWriter::AppendParagraph(const TParagraphProperties& Properties) {
    FOutput += GetTranslator().GetParagraphStart(Properties);
    FOutput += FContent;
    FOutput += CRLF;
    FOutput += FMargin2;
    FOutput += "</p>";
    FOutput += CRLF;
}

void TCxOutputWriter::AppendLines(std::string_view Piece) {
    FOutput += Piece;
    if (!Piece.ends_with(CRLF)) FOutput += CRLF;
}

std::string TCxOutputWriter::GetAlignmentStyle(std::uint8_t Alignment) const {
    switch (Alignment) {
    case 1:
        return " style=\"text-align:right\"";
    case 2:
        return " style=\"text-align:center\"";
    case 3:
        return " style=\"text-align:justify\"";
    default:
        return {};
    }
}

} // namespace corvane
