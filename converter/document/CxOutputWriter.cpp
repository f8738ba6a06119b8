#include "CxOutputWriter.h"

#include "CxDocumentParagraph.h"

#include <algorithm>
#include <cassert>
#include <string>

namespace corvane {

namespace {

constexpr std::string_view CRLF = "\r\n";

// Output delivered to a sink goes in pieces of about this size: small enough to stay in the cache,
// large enough to keep the sink's calls few.
constexpr std::size_t PieceSize = 256 * 1024;

// Nothing but blanks and control characters.
bool IsBlank(std::string_view Text) {
    return std::all_of(Text.begin(), Text.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

ISimpleDomParagraphNode& AsParagraph(ISimpleDomNode* Node) {
    return FastNodeCast<TParagraphNode, ISimpleDomParagraphNode>(Node);
}

ISimpleDomTextNode& AsTextRun(ISimpleDomNode* Node) {
    return FastNodeCast<TTextNode, ISimpleDomTextNode>(Node);
}

ISimpleDomParagraphNode& ParagraphAt(ISimpleDomDocument& Document, int Index) {
    return AsParagraph(Document.GetChild(Index));
}

bool IsListItem(ISimpleDomNode* Paragraph) {
    return Paragraph != nullptr && AsParagraph(Paragraph).GetParagraphProperties().ListItem;
}

std::string NoteId(std::int32_t Note) {
    return "note-" + std::to_string(Note);
}

} // namespace

void TCxOutputWriter::Execute() {
    assert(FDocument && "Execute without a document");
    if (!FDocument) return;
    if (!FBegun) Begin();
    if (FPlainText)
        ExecutePlainText();
    else
        ExecuteMarkup();
    Deliver(true);
    FBegun = false;
    FBodyWritten = false;
}

void TCxOutputWriter::WriteFirstParagraphs(int Count) {
    assert(FDocument && Count >= 0 && Count <= FDocument->GetChildCount());
    if (!FBegun) Begin();
    if (FPlainText)
        WritePlainRange(*FDocument, 0, Count);
    else
        WriteBlockRange(*FDocument, 0, Count);
    FBodyWritten = FBodyWritten || Count > 0;
}

bool TCxOutputWriter::EndsSettledOutput(ISimpleDomParagraphNode& Paragraph) {
    const TParagraphProperties& properties = Paragraph.GetParagraphProperties();
    if (properties.TableDepth() != 0 || properties.ListItem) return false;
    // A visible ASCII character in a run not yet converted stays visible whatever the conversion makes
    // of the run (an entity, a symbol, a link); a raw run may be markup of blanks.
    for (int r = 0, runs = Paragraph.GetChildCount(); r < runs; ++r) {
        ISimpleDomTextNode& run = AsTextRun(Paragraph.GetChild(r));
        if (run.GetRaw()) continue;
        for (const char c : run.GetText())
            if (c > ' ' && c < '\x7F') return true;
    }
    return false;
}

void TCxOutputWriter::Begin() {
    FOutput.clear();
    FBegun = true;
    ReserveOutput();
    if (FPlainText) {
        FLineHasText = false;
        FLastLineBlank = true;
        if (FParts) {
            ISimpleDomDocument& header = *FParts->Header();
            if (const int end = TrimmedEnd(header, 0, header.GetChildCount()); end > 0) {
                WritePlainParagraphs(header, 0, end);
                FOutput += CRLF;
                FLastLineBlank = true;
            }
        }
    } else {
        const IMarginBuilding& margins = FConverter.GetMarginBuilder();
        FMargin1 = margins.GetMargin(1);
        FMargin2 = margins.GetMargin(2);
        FMargin3 = margins.GetMargin(3);
        if (FParts) WritePart(dpHeader, *FParts->Header());
    }
    ResetLists();
}

void TCxOutputWriter::ResetLists() {
    FListOpen = false;
    FOpenLists.clear();
    FListCounter = {};
}

std::size_t TCxOutputWriter::EstimateOutputSize() const {
    if (!FDocument) return 0;
    std::size_t text = 0;
    std::size_t runs = 0;
    const int count = FDocument->GetChildCount();
    for (int i = 0; i < count; ++i) {
        ISimpleDomNode* paragraph = FDocument->GetChild(i);
        const int runCount = paragraph->GetChildCount();
        runs += static_cast<std::size_t>(runCount);
        for (int r = 0; r < runCount; ++r)
            text += paragraph->GetChild(r)->GetText().size();
    }
    const auto paragraphs = static_cast<std::size_t>(count);
    if (FPlainText) return text + paragraphs * CRLF.size();
    // Escaping adds a little to the text; a formatted run's span with its style, a paragraph's tags and
    // margins add most of the rest. Reserved space that stays unused is never touched, so it costs
    // address space, not memory.
    return text + text / 4 + runs * 96 + paragraphs * 64;
}

void TCxOutputWriter::ReserveOutput() {
    // Delivered in pieces, the output needs room for about one piece at a time.
    FOutput.reserve(FSink ? PieceSize + PieceSize / 4 : EstimateOutputSize());
}

void TCxOutputWriter::Deliver(bool Final) {
    if (!FSink || FOutput.empty() || (!Final && FOutput.size() < PieceSize)) return;
    FSink(FOutput);
    FOutput.clear();
}

void TCxOutputWriter::ExecutePlainText() {
    WritePlainRange(*FDocument, 0, FDocument->GetChildCount());
    if (!FParts) return;
    WritePlainNotes();
    ISimpleDomDocument& footer = *FParts->Footer();
    WritePlainPart(footer, 0, TrimmedEnd(footer, 0, footer.GetChildCount()));
}

void TCxOutputWriter::WritePlainPart(ISimpleDomDocument& Document, int First, int Last) {
    if (First == Last) return;
    if (!FLastLineBlank) FOutput += CRLF;
    WritePlainParagraphs(Document, First, Last);
}

void TCxOutputWriter::WritePlainNotes() {
    ISimpleDomDocument& document = *FParts->Notes();
    const std::vector<TDocumentParts::TNote>& notes = FParts->NoteList();
    // The notes stand together, apart from the text before them.
    if (!notes.empty() && !FLastLineBlank) FOutput += CRLF;
    for (const bool endnotes : {false, true}) {
        for (std::size_t n = 0; n < notes.size(); ++n) {
            const TDocumentParts::TNote& note = notes[n];
            if (note.Endnote != endnotes) continue;
            const int last = n + 1 < notes.size() ? notes[n + 1].FirstParagraph : document.GetChildCount();
            const int end = TrimmedEnd(document, note.FirstParagraph, last);
            if (!note.MarkInText) {
                FOutput += '[';
                FOutput += note.Mark;
                // A note without text still shows its mark.
                FOutput += end == note.FirstParagraph ? "]\r\n" : "] ";
                FLineHasText = end != note.FirstParagraph;
                FLastLineBlank = false;
            }
            WritePlainParagraphs(document, note.FirstParagraph, end);
        }
    }
}

void TCxOutputWriter::WritePlainParagraphs(ISimpleDomDocument& Document, int First, int Last) {
    ResetLists();
    WritePlainRange(Document, First, Last);
}

void TCxOutputWriter::WritePlainRange(ISimpleDomDocument& Document, int First, int Last) {
    // Only the depth a paragraph is written at matters here, not the tables around it.
    struct : ITableEvents {
        void OpenTable() override {}
        void OpenRow() override {}
        void OpenCell() override {}
        void CloseCell() override {}
        void CloseRow() override {}
        void CloseTable() override {}
    } ignored;
    TTableWalker walker;
    const auto appendRun = [this](std::string& Output, ISimpleDomNode* Run) {
        if (FParts != nullptr && AsTextRun(Run).GetNote() != 0) {
            Output += '[';
            Output += Run->GetText();
            Output += ']';
        } else {
            Output += Run->GetText();
        }
    };
    for (int i = First; i < Last; ++i) {
        ISimpleDomParagraphNode& paragraph = ParagraphAt(Document, i);
        const std::size_t start = FOutput.size();
        if (FNestedLists) {
            FContent.clear();
            for (int r = 0, runs = paragraph.GetChildCount(); r < runs; ++r)
                appendRun(FContent, paragraph.GetChild(r));
            AppendPlainMarker(paragraph.GetParagraphProperties());
            FOutput += FContent;
        } else {
            for (int r = 0, runs = paragraph.GetChildCount(); r < runs; ++r)
                appendRun(FOutput, paragraph.GetChild(r));
        }
        if (FOutput.size() > start) FLineHasText = true;
        // A row of the outermost table is one line: its cells separated by tabs, the paragraphs of a cell
        // (and the rows of tables inside it) by blanks and tabs.
        const auto [depth, cellEnd] =
            walker.Enter(paragraph.GetParagraphProperties().TableDepth(), paragraph.GetCellEnd(), ignored);
        walker.Leave(ignored);
        if (depth == 0 || (cellEnd != nullptr && cellEnd->RowEnd && depth == 1) || i + 1 == Last ||
            ParagraphAt(Document, i + 1).GetParagraphProperties().TableDepth() == 0) {
            FOutput += CRLF;
            FLastLineBlank = !FLineHasText;
            FLineHasText = false;
        } else {
            FOutput += cellEnd != nullptr ? '\t' : ' ';
            FLineHasText = true;
        }
        Deliver(false);
    }
}

void TCxOutputWriter::AppendPlainMarker(const TParagraphProperties& Properties) {
    // As in markup, an empty item counts only inside a list, and shows no marker.
    const bool inList = FListOpen;
    FListOpen = Properties.ListItem && (inList || !IsBlank(FContent));
    if (!FListOpen) FListCounter.EndOldStyle();
    if (!FListOpen) return;
    const TListItem item = ResolveListItem(Properties, FLists);
    if (IsBlank(FContent)) {
        FListCounter.Next(item);
        return;
    }
    // Four blanks a level, then the marker as the reader of the document sees it.
    FOutput.append(static_cast<std::size_t>(item.Level) * 4, ' ');
    FOutput += FormatListNumber(item.Format, FListCounter.Next(item));
    if (!item.Bullet()) FOutput += '.';
    FOutput += ' ';
}

void TCxOutputWriter::ConvertContent(ISimpleDomParagraphNode& Paragraph) {
    FContent.clear();
    for (int r = 0, runs = Paragraph.GetChildCount(); r < runs; ++r) {
        ISimpleDomTextNode& run = AsTextRun(Paragraph.GetChild(r));
        if (FParts != nullptr && run.GetNote() != 0)
            AppendNoteLink(run.GetNote(), run.GetText(), ReadCharacterProperties(run));
        // An empty run contributes nothing, not even its anchor.
        else if (!run.GetText().empty())
            FConverter.AppendTextRun(run, FContent);
    }
}

void TCxOutputWriter::ExecuteMarkup() {
    // Trailing empty paragraphs go. A paragraph converts to the empty-paragraph markup exactly when its
    // converted content is blank, so that is the test; the runs are converted either way.
    while (FDocument->GetChildCount() > 0) {
        ISimpleDomParagraphNode& last = ParagraphAt(*FDocument, FDocument->GetChildCount() - 1);
        // A table keeps its cells, empty ones too.
        if (last.GetCellEnd() != nullptr) break;
        ConvertContent(last);
        if (!IsBlank(FContent)) break;
        FDocument->RemoveChild(&last);
    }

    const int count = FDocument->GetChildCount();
    WriteBlockRange(*FDocument, 0, count);
    if (count == 0 && !FBodyWritten && FBodyNeedsBlock) AppendLines(FEmptyParagraph);
    if (!FParts) return;
    WriteNotes();
    WritePart(dpFooter, *FParts->Footer());
}

void TCxOutputWriter::WriteBlocks(ISimpleDomDocument& Document, int First, int Last) {
    ResetLists();
    WriteBlockRange(Document, First, Last);
}

void TCxOutputWriter::WriteBlockRange(ISimpleDomDocument& Document, int First, int Last) {
    // Tables are laid out whole before the first is written; a document without any costs a look at
    // each paragraph.
    const std::int32_t deepest = GetTranslator().SupportsNestedTables() ? MaxTableDepth : 1;
    const TTableLayout layout(Document, deepest, GetTranslator().SupportsTableHead(), First, Last);
    FLayout = &layout;
    FNextTable = FNextRow = FNextCell = 0;
    TTableWalker walker(deepest);
    // Lists are flat: a list is a run of consecutive list paragraphs in one cell (or outside tables).
    // It opens at its first item with content, so a list that starts with an empty item still has its
    // start tag, and it closes after its last paragraph whatever that holds.
    for (int i = First; i < Last; ++i) {
        ISimpleDomParagraphNode& paragraph = ParagraphAt(Document, i);
        const TParagraphProperties& properties = paragraph.GetParagraphProperties();
        ConvertContent(paragraph);
        const auto [depth, cellEnd] =
            layout.Empty() ? TTablePlace{0, nullptr}
                           : walker.Enter(properties.TableDepth(), paragraph.GetCellEnd(), *this);
        const std::size_t start = FOutput.size();
        // The mark a note gets in front of its text makes its first paragraph one with content.
        const bool blank = IsBlank(FContent) && FPendingMark.empty();
        // A covered cell holds blanks only; a cell's only paragraph, when blank, is an empty cell.
        const bool skipped =
            depth > 0 &&
            (FOpenTables.back().Covered ||
             (blank && cellEnd != nullptr && !FOpenTables.back().HasContent && !properties.ListItem));
        if (!skipped && !FPendingMark.empty()) {
            FContent.insert(0, FPendingMark);
            FPendingMark.clear();
        }
        if (!skipped) AppendBlock(properties, blank);
        if (FListOpen && properties.ListItem) {
            ISimpleDomNode* next = i + 1 < Last ? paragraph.GetNextSibling() : nullptr;
            // The next item must stand in the same cell: no cell ends between, no table opens or closes.
            const bool goesOn =
                IsListItem(next) && cellEnd == nullptr &&
                AsParagraph(next).GetParagraphProperties().TableDepth() == properties.TableDepth();
            if (!goesOn) CloseList();
        }
        const bool written = FOutput.size() > start;
        if (depth > 0 && written) FOpenTables.back().HasContent = true;
        if (written && 3 * depth + FPartLevel > 0) Indent(start, 3 * depth + FPartLevel);
        if (depth > 0) walker.Leave(*this);
        Deliver(false);
    }
    walker.Finish(*this);
    FLayout = nullptr;
}

int TCxOutputWriter::TrimmedEnd(ISimpleDomDocument& Document, int First, int Last) {
    while (Last > First) {
        ISimpleDomParagraphNode& last = ParagraphAt(Document, Last - 1);
        if (last.GetCellEnd() != nullptr || !IsBlankParagraph(last)) break;
        --Last;
    }
    return Last;
}

void TCxOutputWriter::WritePart(TDocumentPart Part, ISimpleDomDocument& Document) {
    const int end = TrimmedEnd(Document, 0, Document.GetChildCount());
    if (end == 0) return;
    // The rule stands between the part and the body.
    const std::string rule = GetTranslator().GetPartRule();
    AppendLine(2, GetTranslator().GetPartStart(Part, {}));
    if (Part == dpFooter && !rule.empty()) AppendLine(3, rule);
    FPartLevel = 1;
    WriteBlocks(Document, 0, end);
    FPartLevel = 0;
    if (Part == dpHeader && !rule.empty()) AppendLine(3, rule);
    AppendLine(2, GetTranslator().GetPartEnd(Part));
}

void TCxOutputWriter::WriteNotes() {
    const std::vector<TDocumentParts::TNote>& notes = FParts->NoteList();
    if (notes.empty()) return;
    ISimpleDomDocument& document = *FParts->Notes();
    AppendLine(2, GetTranslator().GetPartStart(dpNotes, {}));
    if (const std::string rule = GetTranslator().GetPartRule(); !rule.empty()) AppendLine(3, rule);
    FInNotes = true;
    // Footnotes first, then the endnotes, which the document puts at its end.
    for (const bool endnotes : {false, true}) {
        for (std::size_t n = 0; n < notes.size(); ++n) {
            const TDocumentParts::TNote& note = notes[n];
            if (note.Endnote != endnotes) continue;
            const auto number = static_cast<std::int32_t>(n + 1);
            AppendLine(3,
                       GetTranslator().GetPartStart(note.Endnote ? dpEndnote : dpFootnote, NoteId(number)));
            if (!note.MarkInText) {
                // Raised, as the marks of notes stand, and apart from the text.
                TCharacterProperties raised;
                raised.VerticalPosition = 2;
                FContent.clear();
                AppendNoteLink(number, note.Mark, raised);
                FPendingMark = std::move(FContent);
                FPendingMark += ' ';
            }
            const int last = n + 1 < notes.size() ? notes[n + 1].FirstParagraph : document.GetChildCount();
            FPartLevel = 2;
            WriteBlocks(document, note.FirstParagraph, TrimmedEnd(document, note.FirstParagraph, last));
            if (!FPendingMark.empty()) {
                // A note without text still links back.
                const std::size_t start = FOutput.size();
                FContent = std::move(FPendingMark);
                FPendingMark.clear();
                AppendParagraph(TParagraphProperties());
                Indent(start, FPartLevel);
            }
            FPartLevel = 0;
            AppendLine(3, GetTranslator().GetPartEnd(note.Endnote ? dpEndnote : dpFootnote));
            Deliver(false);
        }
    }
    FInNotes = false;
    AppendLine(2, GetTranslator().GetPartEnd(dpNotes));
}

void TCxOutputWriter::AppendNoteLink(std::int32_t Note, std::string_view Mark,
                                     const TCharacterProperties& Properties) {
    // The reference carries the id its note links back to.
    std::string link = "<a href=\"#" + NoteId(Note);
    link += FInNotes ? "-ref\">" : "\" id=\"" + NoteId(Note) + "-ref\">";
    link += GetTranslator().Encode(Mark);
    link += "</a>";
    GetTranslator().AppendFormattedText(FContent, link, Properties);
}

void TCxOutputWriter::AppendBlock(const TParagraphProperties& Properties, bool Blank) {
    if (Blank) {
        if (FListOpen && Properties.ListItem) {
            // An empty numbered line inside a list stays an item: nothing but items may stand there.
            if (FNestedLists)
                AppendNestedItem(Properties);
            else
                AppendListItem(Properties, 3, true);
        } else if (FBreakEmptyParagraphs) {
            FOutput += FMargin2;
            FOutput += FLineBreak;
            FOutput += CRLF;
        } else {
            AppendLines(FEmptyParagraph);
        }
    } else if (Properties.ListItem && FNestedLists) {
        AppendNestedItem(Properties);
    } else if (Properties.ListItem) {
        if (!FListOpen) {
            const bool bullet = Properties.ListStyle == 11;
            FOutput += FMargin2;
            FOutput += bullet ? FConverter.GetUnorderedListTag() : FConverter.GetOrderedListTag();
            FOutput += CRLF;
            FListEnd = bullet ? "</ul>" : "</ol>";
            FListOpen = true;
        }
        AppendListItem(Properties, 3, true);
    } else {
        AppendParagraph(Properties);
    }
}

void TCxOutputWriter::CloseList() {
    if (!FListOpen) return;
    if (FNestedLists) {
        while (!FOpenLists.empty())
            CloseNestedList();
        FListCounter.EndOldStyle();
        FListOpen = false;
        return;
    }
    FOutput += FMargin2;
    FOutput += FListEnd;
    FOutput += CRLF;
    FListOpen = false;
}

const std::string& TCxOutputWriter::Margin(std::int32_t Level) {
    const auto index = static_cast<std::size_t>(Level);
    while (FMargins.size() <= index)
        FMargins.push_back(
            FConverter.GetMarginBuilder().GetMargin(static_cast<std::int32_t>(FMargins.size())));
    return FMargins[index];
}

void TCxOutputWriter::AppendLine(std::int32_t Level, std::string_view Tag) {
    FOutput += Margin(Level);
    FOutput += Tag;
    FOutput += CRLF;
}

void TCxOutputWriter::Indent(std::size_t Start, std::int32_t Level) {
    const std::string& margin = Margin(Level);
    FIndented.clear();
    std::string_view rest(FOutput.data() + Start, FOutput.size() - Start);
    while (!rest.empty()) {
        const std::size_t end = rest.find(CRLF);
        const std::size_t length = end == std::string_view::npos ? rest.size() : end + CRLF.size();
        FIndented += margin;
        FIndented += rest.substr(0, length);
        rest.remove_prefix(length);
    }
    FOutput.resize(Start);
    FOutput += FIndented;
}

void TCxOutputWriter::OpenTable() {
    CloseList();
    if (!FOpenTables.empty()) FOpenTables.back().HasContent = true;
    const TTableLayout::TTable& table = FLayout->Table(FNextTable++);
    FOpenTables.push_back({&table});
    AppendLine(TableLevel(), GetTranslator().GetTableStart(table.Bordered));
    if (table.HeadRows > 0) AppendLine(TableLevel() + 1, "<thead>");
}

void TCxOutputWriter::OpenRow() {
    const TTableLayout::TRow& row = FLayout->Row(FNextRow++);
    const TTableLayout::TTable& table = *FOpenTables.back().Table;
    if (table.HeadRows > 0 && row.Ordinal == table.HeadRows) {
        AppendLine(TableLevel() + 1, "</thead>");
        AppendLine(TableLevel() + 1, "<tbody>");
    }
    AppendLine(TableLevel() + 1, "<tr>");
}

void TCxOutputWriter::OpenCell() {
    const TTableLayout::TCell& cell = FLayout->Cell(FNextCell++);
    TOpenTable& open = FOpenTables.back();
    open.Covered = cell.Covered;
    open.Header = cell.Format.Header;
    open.HasContent = false;
    if (!cell.Covered) AppendLine(TableLevel() + 2, GetTranslator().GetTableCellStart(cell.Format));
}

void TCxOutputWriter::CloseCell() {
    CloseList();
    const TOpenTable& open = FOpenTables.back();
    if (!open.Covered) AppendLine(TableLevel() + 2, open.Header ? "</th>" : "</td>");
}

void TCxOutputWriter::CloseRow() {
    AppendLine(TableLevel() + 1, "</tr>");
}

void TCxOutputWriter::CloseTable() {
    CloseList();
    if (FOpenTables.back().Table->HeadRows > 0) AppendLine(TableLevel() + 1, "</tbody>");
    AppendLine(TableLevel(), "</table>");
    FOpenTables.pop_back();
}

void TCxOutputWriter::AppendNestedItem(const TParagraphProperties& Properties) {
    const TListItem item = ResolveListItem(Properties, FLists);
    while (!FOpenLists.empty() && FOpenLists.back().Item.Level > item.Level)
        CloseNestedList();
    // Another list, or another format, at the same level is a list of its own.
    if (!FOpenLists.empty() && FOpenLists.back().Item.Level == item.Level &&
        (FOpenLists.back().Item.Key != item.Key || FOpenLists.back().Item.Format != item.Format))
        CloseNestedList();
    auto depth = static_cast<std::int32_t>(FOpenLists.size());
    std::string firstStyle;
    if (FOpenLists.empty() || FOpenLists.back().Item.Level < item.Level) {
        // A deeper level opens one list inside the open item, however many levels it skips.
        const std::int32_t first = FListCounter.Peek(item);
        AppendLine(2 + 2 * depth, GetTranslator().GetListStart(item.Format, first));
        firstStyle = GetTranslator().GetFirstListItemStyle(item.Format, first);
        FOpenLists.push_back({item, item.Bullet() ? "</ul>" : "</ol>"});
        ++depth;
    } else {
        AppendLine(1 + 2 * depth, "</li>");
    }
    FListCounter.Next(item);
    FListOpen = true;
    AppendListItem(Properties, 1 + 2 * depth, false, firstStyle);
}

void TCxOutputWriter::CloseNestedList() {
    const auto depth = static_cast<std::int32_t>(FOpenLists.size());
    // Every open list holds an open item: lists open only to take one.
    AppendLine(1 + 2 * depth, "</li>");
    AppendLine(2 * depth, FOpenLists.back().End);
    FOpenLists.pop_back();
}

void TCxOutputWriter::AppendListItem(const TParagraphProperties& Properties, std::int32_t Level, bool Close,
                                     std::string_view Style) {
    FOutput += Margin(Level);
    FOutput += "<li";
    if (GetTranslator().UsePresentationalTags()) {
        switch (Properties.Alignment) {
        case 1:
            FOutput += " align=\"right\"";
            break;
        case 2:
            FOutput += " align=\"center\"";
            break;
        case 3:
            FOutput += " align=\"justify\"";
            break;
        default:
            break;
        }
    } else if (Style.empty()) {
        FOutput += GetAlignmentStyle(Properties.Alignment);
    } else {
        std::string style = GetAlignmentStyle(Properties.Alignment);
        if (style.empty())
            style.append(" style=\"").append(Style).append("\"");
        else
            style.insert(style.size() - 1, std::string(";").append(Style));
        FOutput += style;
    }
    FOutput += '>';
    FOutput += CRLF;
    FOutput += Margin(Level);
    FOutput += FMargin1;
    FOutput += FContent;
    FOutput += CRLF;
    if (Close) AppendLine(Level, "</li>");
}

void TCxOutputWriter::AppendParagraph(const TParagraphProperties& Properties) {
    // Paragraphs mostly follow others of the same formatting, whose start tag is built already.
    if (!FLastParagraphStart || !(FLastParagraphProperties == Properties)) {
        FLastParagraphStart = GetTranslator().GetParagraphStart(Properties);
        FLastParagraphProperties = Properties;
    }
    FOutput += *FLastParagraphStart;
    FOutput += FContent;
    FOutput += CRLF;
    FOutput += FMargin2;
    FOutput += "</p>";
    FOutput += CRLF;
}

void TCxOutputWriter::AppendLines(std::string_view Piece) {
    FOutput += Piece;
    if (!Piece.ends_with(CRLF)) FOutput += CRLF;
}

std::string TCxOutputWriter::GetAlignmentStyle(std::uint8_t Alignment) const {
    switch (Alignment) {
    case 1:
        return " style=\"text-align:right\"";
    case 2:
        return " style=\"text-align:center\"";
    case 3:
        return " style=\"text-align:justify\"";
    default:
        return {};
    }
}

} // namespace corvane
