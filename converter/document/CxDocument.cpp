#include "CxDocument.h"

namespace corvane {

TSimpleDomDocument::TSimpleDomDocument() : TSimpleDomParent(nullptr) {
    AddParagraph();
}

TSimpleDomDocument::~TSimpleDomDocument() {
    // The members go before the base class's children would: the tree must go before its arena. It goes
    // paragraph by paragraph, and every block whose nodes are all gone is handed back at once: the
    // allocator then tidies up the text the nodes held while it is still in the cache. All nodes made
    // before a paragraph belong to the paragraphs before it, so those blocks are free.
    DestroyChildren([this](const TSimpleDomNode* Next) { FArena.ReleaseBlocksBefore(Next); });
}

void TSimpleDomDocument::AddParagraph() {
    AppendNewChild<TParagraphNode>(&FArena, this, &FArena);
}

void TSimpleDomDocument::RemoveFirstParagraphs(int Count) {
    RemoveFirstChildren(Count);
    // As in the destructor: whatever was made before the first paragraph left belonged to those gone.
    if (!Children().empty()) FArena.ReleaseBlocksBefore(Children().front().get());
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
