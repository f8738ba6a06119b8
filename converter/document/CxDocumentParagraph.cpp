#include "CxDocumentParagraph.h"

#include <stdexcept>

namespace corvane {

TParagraphNode::TParagraphNode(TSimpleDomParent* Parent, TNodeArena* Arena)
    : TSimpleDomParent(Parent, Arena) {
    AppendRun();
}

TTextNode* TParagraphNode::AppendRun() {
    // Runs are the only children a paragraph gets, so the casts below cannot fail.
    return AppendNewChild<TTextNode>(Arena(), this);
}

TTextNode& TParagraphNode::LastRun() {
    if (Children().empty()) throw std::out_of_range("List index out of bounds (-1)");
    return static_cast<TTextNode&>(*Children().back());
}

void TParagraphNode::CloseTextRun() {
    // A paragraph whose runs were all removed gets a run again instead of failing.
    if (Children().empty() || !LastRun().GetText().empty()) AppendRun();
}

void TParagraphNode::SetParagraphProperties(const TParagraphProperties& Properties) {
    if (!(FProperties == Properties)) FProperties.Assign(Properties);
}

void TParagraphNode::SetCellEnd(TTableCellEnd CellEnd) {
    if (FCellEnd)
        *FCellEnd = std::move(CellEnd);
    else
        FCellEnd = std::make_unique<TTableCellEnd>(std::move(CellEnd));
}

} // namespace corvane
