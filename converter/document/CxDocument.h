// The document: its paragraphs, and the insertion point, the last run of the last paragraph.
#pragma once

#include "CxDocumentParagraph.h"

#include <stdexcept>

namespace corvane {

class TSimpleDomDocument : public TSimpleDomParent, public ISimpleDomDocument {
public:
    // Brings its first paragraph, so the insertion point exists from the start.
    TSimpleDomDocument();
    ~TSimpleDomDocument() override;

    // Goes to the last run of the last paragraph, joining whatever it holds.
    void AppendText(const std::string& Text) override { LastTextRun().MutableText() += Text; }
    void AppendMarkup(const std::string& Markup) override;
    void AddParagraph() override;
    // Destroys the first Count paragraphs, which have been written, and gives their memory back for
    // the paragraphs still to come.
    void RemoveFirstParagraphs(int Count);

    // Both throw std::out_of_range once every paragraph (or every run of the last) has been removed.
    TParagraphNode& LastParagraph() {
        if (Children().empty()) throw std::out_of_range("List index out of bounds (-1)");
        // Paragraphs are the only children a document gets.
        return static_cast<TParagraphNode&>(*Children().back());
    }
    TTextNode& LastTextRun() { return LastParagraph().LastRun(); }

private:
    // Where the paragraphs and runs of this document are made.
    TNodeArena FArena;
};

} // namespace corvane
