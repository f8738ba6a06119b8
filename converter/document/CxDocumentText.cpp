#include "CxDocumentText.h"

namespace corvane {

namespace {

const std::string& EmptyText() {
    static const std::string Empty;
    return Empty;
}

// The set of a new run: the empty properties, shared by all runs without a control block.
std::shared_ptr<const TCharacterProperties> EmptyProperties() {
    static const TCharacterProperties Empty;
    return std::shared_ptr<const TCharacterProperties>(std::shared_ptr<void>(), &Empty);
}

} // namespace

TTextNode::TTextNode(TSimpleDomParent* Parent) : TSimpleDomNode(Parent), FProperties(EmptyProperties()) {}

TCharacterProperties& TTextNode::GetCharacterProperties() {
    if (!FOwned) {
        FProperties = std::make_shared<TCharacterProperties>(*FProperties);
        FOwned = true;
    }
    // The private copy was made writable above: only the pointer's type says const.
    return const_cast<TCharacterProperties&>(*FProperties);
}

void TTextNode::SetCharacterProperties(const TCharacterProperties& Properties) {
    // A run restarted with unchanged properties should not reallocate its strings.
    if (*FProperties == Properties) return;
    if (FOwned) {
        GetCharacterProperties().Assign(Properties);
    } else {
        FProperties = std::make_shared<TCharacterProperties>(Properties);
        FOwned = true;
    }
}

void TTextNode::ShareCharacterProperties(std::shared_ptr<const TCharacterProperties> Properties) {
    FProperties = std::move(Properties);
    FOwned = false;
}

const std::string& TTextNode::GetAnchor() const {
    return FLinkTargets ? FLinkTargets->Anchor : EmptyText();
}

void TTextNode::SetAnchor(std::string Anchor) {
    if (FLinkTargets || !Anchor.empty()) LinkTargets().Anchor = std::move(Anchor);
}

const std::string& TTextNode::GetFieldInstruction() const {
    return FLinkTargets ? FLinkTargets->FieldInstruction : EmptyText();
}

void TTextNode::SetFieldInstruction(std::string Instruction) {
    if (FLinkTargets || !Instruction.empty()) LinkTargets().FieldInstruction = std::move(Instruction);
}

void TTextNode::SetNote(std::int32_t Note) {
    if (FLinkTargets || Note != 0) LinkTargets().Note = Note;
}

TTextNode::TLinkTargets& TTextNode::LinkTargets() {
    if (!FLinkTargets) FLinkTargets = std::make_unique<TLinkTargets>();
    return *FLinkTargets;
}

} // namespace corvane
