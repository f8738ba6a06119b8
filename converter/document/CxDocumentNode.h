// The nodes of the document tree: the common node, and the node that owns children.
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

class TSimpleDomParent;

// A node without children: the runs, which are most of a tree. Children live in TSimpleDomParent only, as
// every byte of a run is memory the system clears for each of the hundreds of thousands of runs of a long
// document.
class TSimpleDomNode : public virtual ISimpleDomNode {
public:
    explicit TSimpleDomNode(TSimpleDomParent* Parent) : FParent(Parent) {}
    ~TSimpleDomNode() override = default;
    TSimpleDomNode(const TSimpleDomNode&) = delete;
    TSimpleDomNode& operator=(const TSimpleDomNode&) = delete;

    void AppendText(const std::string& Text) override { FText += Text; }
    const std::string& GetText() const override { return FText; }
    void SetText(std::string Text) override { FText = std::move(Text); }
    int GetChildCount() const override { return 0; }
    ISimpleDomNode* GetChild(int Index) const override;
    ISimpleDomNode* GetLastChild() const override { return GetChild(GetChildCount() - 1); }
    int IndexOf(const ISimpleDomNode*) const override { return -1; }
    ISimpleDomNode* GetPreviousSibling() const override;
    ISimpleDomNode* GetNextSibling() const override;
    void RemoveChild(ISimpleDomNode* Node) override;

    TSimpleDomParent* GetParent() const { return FParent; }
    // The node's position among its parent's children; -1 for a node without parent.
    int GetIndex() const { return FIndex; }
    // Direct access for the writer, which decodes characters straight into the last run.
    std::string& MutableText() { return FText; }

protected:
    // Destroys a node the way it was made: in place in an arena, or from the heap.
    struct TNodeDeleter {
        void operator()(TSimpleDomNode* Node) const;
    };
    using TNodePtr = std::unique_ptr<TSimpleDomNode, TNodeDeleter>;

private:
    friend class TSimpleDomParent;

    TSimpleDomParent* FParent;
    int FIndex = -1;
    bool FInArena = false;
    std::string FText;
};

// A node that owns children (the document, its paragraphs) and knows each one's position, so sibling
// access is constant time.
class TSimpleDomParent : public TSimpleDomNode {
public:
    // The list of children goes into Arena when one is given (it must outlive the node).
    explicit TSimpleDomParent(TSimpleDomParent* Parent, TNodeArena* Arena = nullptr)
        : TSimpleDomNode(Parent), FChildren(TArenaAllocator<TNodePtr>(Arena)) {}

    int GetChildCount() const override { return static_cast<int>(FChildren.size()); }
    ISimpleDomNode* GetChild(int Index) const override;
    int IndexOf(const ISimpleDomNode* Node) const override;
    void RemoveChild(ISimpleDomNode* Node) override;

protected:
    using TChildren = std::vector<TNodePtr, TArenaAllocator<TNodePtr>>;

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
    const TChildren& Children() const { return FChildren; }
    TNodeArena* Arena() const { return FChildren.get_allocator().Arena(); }
    // A node that owns the arena of its descendants destroys them before the arena goes: in order,
    // telling Destroyed after each child which child comes next (null after the last).
    template <typename TCallback> void DestroyChildren(TCallback&& Destroyed) {
        for (std::size_t Index = 0; Index < FChildren.size(); ++Index) {
            FChildren[Index].reset();
            Destroyed(Index + 1 < FChildren.size() ? FChildren[Index + 1].get() : nullptr);
        }
        FChildren.clear();
    }
    // Destroys the first Count children; the others move up.
    void RemoveFirstChildren(int Count);

private:
    friend class TSimpleDomNode;

    void AppendChildNode(TNodePtr Child);

    TChildren FChildren;
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
