// A text run: text written with one set of character properties.
#pragma once

#include "CxDocumentNode.h"

#include <memory>
#include <typeinfo>

namespace corvane {

// A document has many runs and few distinct formattings, so runs of the same formatting share one
// immutable copy of it; a run takes a private copy only when its properties are handed out for change.
// Anchors, field instructions and notes are rare and live apart, so a run stays small.
class TTextNode : public TSimpleDomNode, public ISimpleDomTextNode {
public:
    explicit TTextNode(TSimpleDomParent* Parent);

    // Takes a private copy first if the properties are shared; the reference stays valid until
    // ShareCharacterProperties.
    TCharacterProperties& GetCharacterProperties() override;
    void SetCharacterProperties(const TCharacterProperties& Properties) override;
    const std::string& GetAnchor() const override;
    void SetAnchor(std::string Anchor) override;
    bool GetRaw() const override { return FRaw; }
    void SetRaw(bool Raw) override { FRaw = Raw; }
    const std::string& GetFieldInstruction() const override;
    void SetFieldInstruction(std::string Instruction) override;
    std::int32_t GetNote() const override { return FLinkTargets ? FLinkTargets->Note : 0; }
    void SetNote(std::int32_t Note) override;

    // The properties in force, without taking a copy.
    const TCharacterProperties& CharacterProperties() const { return *FProperties; }
    // The set the run shares with others, which no one changes while it lives; null once the run has
    // its own copy.
    const std::shared_ptr<const TCharacterProperties>* SharedCharacterProperties() const {
        return FOwned ? nullptr : &FProperties;
    }
    // Gives the run a set other runs may share; any private copy is dropped.
    void ShareCharacterProperties(std::shared_ptr<const TCharacterProperties> Properties);

private:
    struct TLinkTargets {
        std::string Anchor;
        std::string FieldInstruction;
        std::int32_t Note = 0;
    };

    TLinkTargets& LinkTargets();

    // A set other runs share, or, once FOwned, the run's private copy: one pointer instead of two keeps
    // the run small, and a long document has hundreds of thousands of runs.
    std::shared_ptr<const TCharacterProperties> FProperties; // never null
    std::unique_ptr<TLinkTargets> FLinkTargets;
    bool FRaw = false;
    bool FOwned = false;
};

// The run's properties for reading: a run of the tree gives them without taking a private copy. Inline:
// every run that is written asks.
inline const TCharacterProperties& ReadCharacterProperties(ISimpleDomTextNode& Run) {
    // By exact type: a cast through the class hierarchy would cost more than the copy it avoids.
    if (typeid(Run) == typeid(TTextNode)) return static_cast<TTextNode&>(Run).CharacterProperties();
    return Run.GetCharacterProperties();
}
// The set a run of the tree shares with others (TTextNode::SharedCharacterProperties); null for a run
// with its own copy, and for runs of other classes.
inline const std::shared_ptr<const TCharacterProperties>*
ReadSharedCharacterProperties(ISimpleDomTextNode& Run) {
    if (typeid(Run) == typeid(TTextNode)) return static_cast<TTextNode&>(Run).SharedCharacterProperties();
    return nullptr;
}

} // namespace corvane
