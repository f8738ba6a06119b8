#include "CxDocument.h"

namespace corvane {

TSimpleDomDocument::TSimpleDomDocument() : TSimpleDomNode(nullptr) {
    AddParagraph();
}

TSimpleDomDocument::~TSimpleDomDocument() {
    // The members go before the base class's children would: the tree must go before its arena.
    DestroyChildren();
}

void TSimpleDomDocument::AddParagraph() {
    AppendNewChild<TParagraphNode>(&FArena, this, &FArena);
}

void TSimpleDomDocument::AppendMarkup(const std::string& Markup) {
    // Empty markup would leave an empty raw run behind, and the text written next would join it
    // unescaped.
    if (Markup.empty()) return;
    TParagraphNode& paragraph = LastParagraph();
    paragraph.CloseTextRun();
    TTextNode& run = paragraph.LastRun();
    run.SetRaw(true);
    run.MutableText() += Markup;
    paragraph.CloseTextRun();
}

} // namespace corvane
