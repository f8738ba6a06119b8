// A paragraph: its properties and its text runs. A paragraph always ends in a run that can take text.
#pragma once

#include "CxDocumentText.h"

#include <memory>

namespace corvane {

class TParagraphNode : public TSimpleDomParent, public ISimpleDomParagraphNode {
public:
    // Brings its first, empty run. Runs and their list are made in Arena when one is given (it must
    // outlive them).
    explicit TParagraphNode(TSimpleDomParent* Parent, TNodeArena* Arena = nullptr);

    TParagraphProperties& GetParagraphProperties() override { return FProperties; }
    void CloseTextRun() override;
    void SetParagraphProperties(const TParagraphProperties& Properties) override;
    const TTableCellEnd* GetCellEnd() const override { return FCellEnd.get(); }
    void SetCellEnd(TTableCellEnd CellEnd) override;

    TTextNode* AppendRun();
    // Throws std::out_of_range when the paragraph has no run (only after runs were removed).
    TTextNode& LastRun();

private:
    TParagraphProperties FProperties;
    std::unique_ptr<TTableCellEnd> FCellEnd; // apart: few paragraphs end a cell
};

} // namespace corvane
