#include "CxDocumentNode.h"

#include <cassert>
#include <memory>
#include <stdexcept>

namespace corvane {

namespace {

[[noreturn]] void ThrowOutOfBounds(int Index) {
    throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
}

} // namespace

ISimpleDomNode* TSimpleDomNode::GetChild(int Index) const {
    ThrowOutOfBounds(Index);
}

ISimpleDomNode* TSimpleDomNode::GetPreviousSibling() const {
    if (FParent == nullptr || FIndex < 1) return nullptr;
    return FParent->FChildren[static_cast<std::size_t>(FIndex) - 1].get();
}

ISimpleDomNode* TSimpleDomNode::GetNextSibling() const {
    if (FParent == nullptr || FIndex < 0 || static_cast<std::size_t>(FIndex) + 1 >= FParent->FChildren.size())
        return nullptr;
    return FParent->FChildren[static_cast<std::size_t>(FIndex) + 1].get();
}

void TSimpleDomNode::RemoveChild([[maybe_unused]] ISimpleDomNode* Node) {
    assert(false && "RemoveChild of a node that is not a child");
}

ISimpleDomNode* TSimpleDomParent::GetChild(int Index) const {
    if (Index < 0 || static_cast<std::size_t>(Index) >= FChildren.size()) ThrowOutOfBounds(Index);
    return FChildren[static_cast<std::size_t>(Index)].get();
}

int TSimpleDomParent::IndexOf(const ISimpleDomNode* Node) const {
    const auto* node = dynamic_cast<const TSimpleDomNode*>(Node);
    return node != nullptr && node->FParent == this ? node->FIndex : -1;
}

void TSimpleDomParent::RemoveChild(ISimpleDomNode* Node) {
    const int index = IndexOf(Node);
    assert(index >= 0 && "RemoveChild of a node that is not a child");
    if (index < 0) return;
    FChildren.erase(FChildren.begin() + index);
    // Children after the removed one move up by one; removing the last child costs nothing.
    for (std::size_t i = static_cast<std::size_t>(index); i < FChildren.size(); ++i)
        FChildren[i]->FIndex = static_cast<int>(i);
}

void TSimpleDomParent::RemoveFirstChildren(int Count) {
    assert(Count >= 0 && static_cast<std::size_t>(Count) <= FChildren.size());
    FChildren.erase(FChildren.begin(), FChildren.begin() + Count);
    for (std::size_t i = 0; i < FChildren.size(); ++i)
        FChildren[i]->FIndex = static_cast<int>(i);
}

void TSimpleDomParent::AppendChildNode(TNodePtr Child) {
    assert(Child && Child->FParent == this);
    Child->FIndex = static_cast<int>(FChildren.size());
    // Room for eight runs at once: most paragraphs hold fewer, and a list in an arena that grows leaves
    // its old room behind.
    if (FChildren.capacity() == 0) FChildren.reserve(8);
    FChildren.push_back(std::move(Child));
}

void TSimpleDomNode::TNodeDeleter::operator()(TSimpleDomNode* Node) const {
    if (Node->FInArena)
        std::destroy_at(Node); // the arena keeps the memory
    else
        delete Node;
}

} // namespace corvane
