// A text run: text written with one set of character properties.
#pragma once

#include "CxDocumentNode.h"

namespace corvane {

class TTextNode : public TSimpleDomNode, public ISimpleDomTextNode {
public:
    explicit TTextNode(TSimpleDomNode* Parent) : TSimpleDomNode(Parent) {}

    TCharacterProperties& GetCharacterProperties() override { return FProperties; }
    void SetCharacterProperties(const TCharacterProperties& Properties) override;
    const std::string& GetAnchor() const override { return FAnchor; }
    void SetAnchor(std::string Anchor) override { FAnchor = std::move(Anchor); }
    bool GetRaw() const override { return FRaw; }
    void SetRaw(bool Raw) override { FRaw = Raw; }
    const std::string& GetFieldInstruction() const override { return FFieldInstruction; }
    void SetFieldInstruction(std::string Instruction) override { FFieldInstruction = std::move(Instruction); }

private:
    TCharacterProperties FProperties;
    std::string FAnchor;
    bool FRaw = false;
    std::string FFieldInstruction;
};

} // namespace corvane
