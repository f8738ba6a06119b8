// Serialises the document tree, finished, or the body's settled paragraphs while the rest is still read:
// paragraphs, lists (flat, or nested by level) and tables laid out on indented CR LF lines, or plain text,
// with the header, the notes and the footer around the body when they are converted. Every run is
// converted by the component's text-run conversion.
#pragma once

#include "CxDocumentParts.h"
#include "CxInterfaces.h"
#include "CxListNumbering.h"
#include "CxTableLayout.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

class TCxOutputWriter : private ITableEvents {
public:
    // Converter must outlive the writer.
    explicit TCxOutputWriter(ICxRunConverter& Converter) : FConverter(Converter) {}

    std::shared_ptr<ISimpleDomDocument> GetDocument() const { return FDocument; }
    void SetDocument(std::shared_ptr<ISimpleDomDocument> Document) { FDocument = std::move(Document); }
    bool GetPlainText() const { return FPlainText; }
    void SetPlainText(bool Value) { FPlainText = Value; }
    // Non-null: lists nest by level and carry their numbering, which Lists defines (it must outlive
    // Execute). Null: lists are flat.
    void SetNestedLists(const TListHeaderInfo* Lists) {
        FLists = Lists;
        FNestedLists = Lists != nullptr;
    }
    // Non-null: the header goes before the body, the notes and the footer after it (Parts must outlive
    // Execute).
    void SetParts(const TDocumentParts* Parts) { FParts = Parts; }
    const ICxTranslator& GetTranslator() const { return FConverter.GetTranslator(); }

    // Markup walk, or plain-text walk when plain text is set. The markup walk removes trailing empty
    // paragraphs from the document and converts runs in place, so a second Execute gives the same output.
    void Execute();
    const std::string& GetOutput() const { return FOutput; }

    // Writing the body while it is read: the document's first Count paragraphs, the last of which
    // EndsSettledOutput; the caller then removes them, and Execute writes the rest.
    void WriteFirstParagraphs(int Count);
    // Whether the output up to and including Paragraph no longer depends on what follows: the paragraph
    // stands outside tables and lists, and its text keeps it from being trimmed as a blank one at the end.
    static bool EndsSettledOutput(ISimpleDomParagraphNode& Paragraph);

    // With a sink, Execute hands the output over in pieces as it goes, so that the whole of it never
    // needs to be held; GetOutput then keeps nothing after Execute.
    using TSink = std::function<void(std::string_view Piece)>;
    void SetSink(TSink Sink) { FSink = std::move(Sink); }

    // Set by the creator before Execute.
    std::string FEmptyParagraph;        // what an empty paragraph becomes
    bool FBreakEmptyParagraphs = false; // empty paragraphs become margin(2) + FLineBreak instead
    std::string FLineBreak;
    bool FBodyNeedsBlock = false; // the body may not be empty: an empty document gives one empty paragraph

private:
    // What goes before the body, once per Execute: the header, and the body's lists reset.
    void Begin();
    void ExecuteMarkup();
    void ExecutePlainText();
    void ResetLists();
    // The paragraphs First..Last-1 of Document as blocks, with their lists and tables, FPartLevel deeper;
    // WriteBlockRange goes on with the lists of the range before.
    void WriteBlocks(ISimpleDomDocument& Document, int First, int Last);
    void WriteBlockRange(ISimpleDomDocument& Document, int First, int Last);
    // The header or the footer in its element, when it holds text.
    void WritePart(TDocumentPart Part, ISimpleDomDocument& Document);
    // The notes, footnotes before endnotes, each linking back to its reference.
    void WriteNotes();
    // Plain text: the paragraphs First..Last-1 of Document, a line each (a table row is one line);
    // WritePlainRange goes on with the lists of the range before.
    void WritePlainParagraphs(ISimpleDomDocument& Document, int First, int Last);
    void WritePlainRange(ISimpleDomDocument& Document, int First, int Last);
    // Plain text: a part after the text before it and an empty line.
    void WritePlainPart(ISimpleDomDocument& Document, int First, int Last);
    void WritePlainNotes();
    // A note's reference (in the body) or its mark (in the note) as a link to the other.
    void AppendNoteLink(std::int32_t Note, std::string_view Mark, const TCharacterProperties& Properties);
    // Last, less the blank paragraphs before it that end no table cell.
    static int TrimmedEnd(ISimpleDomDocument& Document, int First, int Last);
    // A size the output of the current document will rarely exceed: what to reserve for it.
    std::size_t EstimateOutputSize() const;
    void ReserveOutput();
    // Hands the output gathered so far to the sink once it is large enough (or at the end).
    void Deliver(bool Final);
    // The converted runs of a paragraph, into FContent.
    void ConvertContent(ISimpleDomParagraphNode& Paragraph);
    // The paragraph's converted content (FContent) as a paragraph, a list item or an empty paragraph.
    void AppendBlock(const TParagraphProperties& Properties, bool Blank);
    // The item's start tag and content at the margin level of the li; Close adds the end tag. Style is a
    // CSS declaration the li carries besides its alignment.
    void AppendListItem(const TParagraphProperties& Properties, std::int32_t Level, bool Close,
                        std::string_view Style = {});
    // An item of a nested list: lists close and open around it as its level says.
    void AppendNestedItem(const TParagraphProperties& Properties);
    // Closes the innermost open nested list, and its open item.
    void CloseNestedList();
    // A list paragraph's marker and indent in plain text.
    void AppendPlainMarker(const TParagraphProperties& Properties);
    void AppendParagraph(const TParagraphProperties& Properties);
    // Appends a piece of markup as whole lines: a final CR LF is added when the piece lacks one.
    void AppendLines(std::string_view Piece);
    std::string GetAlignmentStyle(std::uint8_t Alignment) const;
    void CloseList();

    // Tables, as the walker opens and closes them; their markup comes from the layout.
    void OpenTable() override;
    void OpenRow() override;
    void OpenCell() override;
    void CloseCell() override;
    void CloseRow() override;
    void CloseTable() override;
    // The margin of a level, made once.
    const std::string& Margin(std::int32_t Level);
    // Appends Margin(Level) + Tag + CR LF.
    void AppendLine(std::int32_t Level, std::string_view Tag);
    // Indents the output from Start on, line by line, by Margin(Level).
    void Indent(std::size_t Start, std::int32_t Level);
    // The margin level of the table tag at the current depth.
    std::int32_t TableLevel() const {
        return FPartLevel + 2 + 3 * (static_cast<std::int32_t>(FOpenTables.size()) - 1);
    }

    ICxRunConverter& FConverter;
    std::shared_ptr<ISimpleDomDocument> FDocument;
    TSink FSink;
    bool FPlainText = false;
    bool FBegun = false;
    bool FBodyWritten = false; // paragraphs of the body went out before Execute
    std::string FOutput;
    std::string FContent;
    // The start tag of the last paragraph written, and the formatting it was built for.
    std::optional<std::string> FLastParagraphStart;
    TParagraphProperties FLastParagraphProperties;
    std::string FMargin1, FMargin2, FMargin3;
    bool FListOpen = false;
    std::string_view FListEnd; // the end tag of the open list, remembered rather than sought

    // Nested lists: the lists open around the current paragraph, outermost first.
    struct TOpenList {
        TListItem Item; // what the list's items share: list, level and format
        std::string_view End;
    };
    const TListHeaderInfo* FLists = nullptr;
    bool FNestedLists = false;
    std::vector<TOpenList> FOpenLists;
    TListCounter FListCounter;

    struct TOpenTable {
        const TTableLayout::TTable* Table;
        bool Covered = false;    // the open cell is merged into another: its blank paragraphs are not written
        bool Header = false;     // the open cell is a th
        bool HasContent = false; // something was written into the open cell
    };
    const TTableLayout* FLayout = nullptr; // during a markup walk
    std::int32_t FNextTable = 0, FNextRow = 0, FNextCell = 0;
    std::vector<TOpenTable> FOpenTables;
    std::vector<std::string> FMargins;
    std::string FIndented;

    // Parts: how many levels deeper than the body the part being written stands, whether it is a note,
    // and the mark a note without one of its own gets in front of its text.
    const TDocumentParts* FParts = nullptr;
    std::int32_t FPartLevel = 0;
    bool FInNotes = false;
    std::string FPendingMark;
    // Plain text: the line being written holds something, and the last line ended held nothing.
    bool FLineHasText = false;
    bool FLastLineBlank = true;
};

} // namespace corvane
