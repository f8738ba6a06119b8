// The common node of the document tree. A node owns its children and knows its own position in its
// parent, so sibling access is constant time.
#pragma once

#include "CxSimpleDomInterfaces.h"

#include <memory>
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
    // The child received this node as its parent in its constructor.
    TSimpleDomNode* AppendChildNode(std::unique_ptr<TSimpleDomNode> Child);
    const std::vector<std::unique_ptr<TSimpleDomNode>>& Children() const { return FChildren; }

private:
    TSimpleDomNode* FParent;
    int FIndex = -1;
    std::vector<std::unique_ptr<TSimpleDomNode>> FChildren;
    std::string FText;
};

// The safe cast of a child handed out by the tree: throws std::bad_cast when the node is of another class.
template <typename T> T& NodeCast(ISimpleDomNode* Node) {
    if (Node == nullptr) throw std::bad_cast();
    return dynamic_cast<T&>(*Node);
}

} // namespace corvane
