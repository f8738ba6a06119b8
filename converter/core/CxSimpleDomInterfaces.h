// The interfaces through which every stage reaches the document tree: a document holds paragraphs,
// a paragraph holds text runs. Children are owned by their parent and handed out as plain pointers.
#pragma once

#include "CxTypes.h"

#include <cstdint>
#include <string>

namespace corvane {

class ISimpleDomNode {
public:
    virtual ~ISimpleDomNode() = default;

    virtual void AppendText(const std::string& Text) = 0;
    virtual const std::string& GetText() const = 0;
    virtual void SetText(std::string Text) = 0;
    virtual int GetChildCount() const = 0;
    // An index outside 0..count-1 throws std::out_of_range.
    virtual ISimpleDomNode* GetChild(int Index) const = 0;
    virtual ISimpleDomNode* GetLastChild() const = 0;
    virtual int IndexOf(const ISimpleDomNode* Node) const = 0;
    // Constant time: a node knows its own position in its parent.
    virtual ISimpleDomNode* GetPreviousSibling() const = 0;
    virtual ISimpleDomNode* GetNextSibling() const = 0;
    // Destroys the child with its subtree.
    virtual void RemoveChild(ISimpleDomNode* Node) = 0;
};

class ISimpleDomTextNode : public virtual ISimpleDomNode {
public:
    virtual TCharacterProperties& GetCharacterProperties() = 0;
    virtual void SetCharacterProperties(const TCharacterProperties& Properties) = 0;
    virtual const std::string& GetAnchor() const = 0;
    virtual void SetAnchor(std::string Anchor) = 0;
    // A raw run's text is markup already and is never escaped again.
    virtual bool GetRaw() const = 0;
    virtual void SetRaw(bool Raw) = 0;
    virtual const std::string& GetFieldInstruction() const = 0;
    virtual void SetFieldInstruction(std::string Instruction) = 0;
    // The note (counted from 1) whose reference the run is in the body text, or whose own mark it is in
    // the note; 0 for every other run.
    virtual std::int32_t GetNote() const = 0;
    virtual void SetNote(std::int32_t Note) = 0;
};

class ISimpleDomParagraphNode : public virtual ISimpleDomNode {
public:
    virtual TParagraphProperties& GetParagraphProperties() = 0;
    // Appends a new empty run when the last run has text; otherwise does nothing.
    virtual void CloseTextRun() = 0;
    virtual void SetParagraphProperties(const TParagraphProperties& Properties) = 0;
    // Null unless the paragraph is the last of a table cell.
    virtual const TTableCellEnd* GetCellEnd() const = 0;
    virtual void SetCellEnd(TTableCellEnd CellEnd) = 0;
};

class ISimpleDomDocument : public virtual ISimpleDomNode {
public:
    // Puts ready-made markup into a raw run of its own at the end of the last paragraph.
    virtual void AppendMarkup(const std::string& Markup) = 0;
    virtual void AddParagraph() = 0;
};

} // namespace corvane
