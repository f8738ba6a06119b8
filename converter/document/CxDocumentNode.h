// The common node of the document tree. A node owns its children and knows its own position in its
// parent, so sibling access is constant time.
#pragma once

#include "CxNodeArena.h"
#include "CxSimpleDomInterfaces.h"

#include <memory>
#include <new>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

namespace corvane {

class TSimpleDomNode : public virtual ISimpleDomNode {
public:
    explicit TSimpleDomNode(TSimpleDomNode* Parent) : FParent(Parent) {}
    ~TSimpleDomNode() override = default;
    TSimpleDomNode(const TSimpleDomNode&) = delete;
    TSimpleDomNode& operator=(const TSimpleDomNode&) = delete;

    void AppendText(const std::string& Text) override { FText += Text; }
    const std::string& GetText() const override { return FText; }
    void SetText(std::string Text) override { FText = std::move(Text); }
    int GetChildCount() const override { return static_cast<int>(FChildren.size()); }
    ISimpleDomNode* GetChild(int Index) const override;
    ISimpleDomNode* GetLastChild() const override;
    int IndexOf(const ISimpleDomNode* Node) const override;
    ISimpleDomNode* GetPreviousSibling() const override;
    ISimpleDomNode* GetNextSibling() const override;
    void RemoveChild(ISimpleDomNode* Node) override;

    TSimpleDomNode* GetParent() const { return FParent; }
    // The node's position among its parent's children; -1 for a node without parent.
    int GetIndex() const { return FIndex; }
    // Direct access for the writer, which decodes characters straight into the last run.
    std::string& MutableText() { return FText; }

protected:
    // Destroys a child the way it was made: in place in an arena, or from the heap.
    struct TNodeDeleter {
        void operator()(TSimpleDomNode* Node) const;
    };
    using TNodePtr = std::unique_ptr<TSimpleDomNode, TNodeDeleter>;

    // Makes a child of class TNode (which receives this node as its parent among Arguments) in Arena, or
    // on the heap without one, and appends it.
    template <typename TNode, typename... TArguments>
    TNode* AppendNewChild(TNodeArena* Arena, TArguments&&... Arguments) {
        TNode* Node;
        if (Arena != nullptr) {
            Node = ::new (Arena->Allocate(sizeof(TNode), alignof(TNode)))
                TNode(std::forward<TArguments>(Arguments)...);
            static_cast<TSimpleDomNode*>(Node)->FInArena = true;
        } else {
            Node = new TNode(std::forward<TArguments>(Arguments)...);
        }
        AppendChildNode(TNodePtr(Node));
        return Node;
    }
    const std::vector<TNodePtr>& Children() const { return FChildren; }
    // A node that owns the arena of its descendants destroys them before the arena goes: in order,
    // telling Destroyed after each child which child comes next (null after the last).
    template <typename TCallback> void DestroyChildren(TCallback&& Destroyed) {
        for (std::size_t Index = 0; Index < FChildren.size(); ++Index) {
            FChildren[Index].reset();
            Destroyed(Index + 1 < FChildren.size() ? FChildren[Index + 1].get() : nullptr);
        }
        FChildren.clear();
    }

private:
    void AppendChildNode(TNodePtr Child);

    TSimpleDomNode* FParent;
    int FIndex = -1;
    bool FInArena = false;
    std::vector<TNodePtr> FChildren;
    std::string FText;
};

// The safe cast of a child handed out by the tree: throws std::bad_cast when the node is of another class.
template <typename T> T& NodeCast(ISimpleDomNode* Node) {
    if (Node == nullptr) throw std::bad_cast();
    return dynamic_cast<T&>(*Node);
}

// The same cast, quicker for the tree's own classes, which are recognised by their exact type first:
// the general cross-cast through the virtual base walks the class hierarchy, which cost more than the
// rest of a short run's conversion.
template <typename TNode, typename TInterface> TInterface& FastNodeCast(ISimpleDomNode* Node) {
    if (Node != nullptr && typeid(*Node) == typeid(TNode))
        return *static_cast<TNode*>(dynamic_cast<void*>(Node));
    return NodeCast<TInterface>(Node);
}

} // namespace corvane
