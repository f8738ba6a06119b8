#include "CxDocument.h"

namespace corvane {

TSimpleDomDocument::TSimpleDomDocument() : TSimpleDomNode(nullptr) {
    AddParagraph();
}

void TSimpleDomDocument::AddParagraph() {
    AppendChildNode(std::make_unique<TParagraphNode>(this));
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
