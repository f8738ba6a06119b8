#include "CxTableLayout.h"

#include "CxDocumentParagraph.h"

#include <algorithm>

namespace corvane {

// ---------------------------------------------------------------------------------------------------
// Walker.

TTablePlace TTableWalker::Enter(std::int32_t Depth, const TTableCellEnd* CellEnd, ITableEvents& Events) {
    // One table more at most: a paragraph can only lie in a table that has a cell open for it.
    std::int32_t target = std::clamp(Depth, 0, this->Depth() + 1);
    FCellEnd = CellEnd;
    if (target > FDeepest) {
        target = FDeepest;
        FCellEnd = nullptr;
    }
    while (this->Depth() > target)
        CloseLevel(Events);
    if (target > this->Depth()) {
        if (!FLevels.empty()) OpenCell(Events);
        FLevels.emplace_back();
        Events.OpenTable();
    }
    if (FLevels.empty())
        FCellEnd = nullptr;
    else
        OpenCell(Events);
    return {target, FCellEnd};
}

void TTableWalker::Leave(ITableEvents& Events) {
    if (FCellEnd == nullptr) return;
    TLevel& level = FLevels.back();
    if (level.CellOpen) {
        level.CellOpen = false;
        Events.CloseCell();
    }
    if (FCellEnd->RowEnd && level.RowOpen) {
        level.RowOpen = false;
        Events.CloseRow();
    }
}

void TTableWalker::Finish(ITableEvents& Events) {
    while (!FLevels.empty())
        CloseLevel(Events);
}

void TTableWalker::OpenCell(ITableEvents& Events) {
    TLevel& level = FLevels.back();
    if (!level.RowOpen) {
        level.RowOpen = true;
        Events.OpenRow();
    }
    if (!level.CellOpen) {
        level.CellOpen = true;
        Events.OpenCell();
    }
}

void TTableWalker::CloseLevel(ITableEvents& Events) {
    const TLevel level = FLevels.back();
    if (level.CellOpen) Events.CloseCell();
    if (level.RowOpen) Events.CloseRow();
    FLevels.pop_back();
    Events.CloseTable();
}

bool IsBlankParagraph(const ISimpleDomNode& Paragraph) {
    for (int r = 0, runs = Paragraph.GetChildCount(); r < runs; ++r)
        for (const char c : Paragraph.GetChild(r)->GetText())
            if (static_cast<unsigned char>(c) > ' ') return false;
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Layout.

namespace {

// A width in twips: never negative, and a sum of them does not overflow.
std::int32_t Saturated(std::int64_t Twips) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(Twips, 0, INT32_MAX));
}

} // namespace

TTableLayout::TTableLayout(ISimpleDomDocument& Document, std::int32_t Deepest, bool UseTableHead, int First,
                           int Last)
    : FUseTableHead(UseTableHead) {
    TTableWalker walker(Deepest);
    for (int i = First, count = Last < 0 ? Document.GetChildCount() : Last; i < count; ++i) {
        auto& paragraph = FastNodeCast<TParagraphNode, ISimpleDomParagraphNode>(Document.GetChild(i));
        const std::int32_t depth = paragraph.GetParagraphProperties().TableDepth();
        // Documents without tables cost one look at each paragraph.
        if (depth == 0 && walker.Depth() == 0) continue;
        const TTablePlace place = walker.Enter(depth, paragraph.GetCellEnd(), *this);
        if (place.Depth == 0) continue;
        TCell& cell = FCells[static_cast<std::size_t>(FOpenCells.back())];
        if (cell.Blank && !IsBlankParagraph(paragraph)) cell.Blank = false;
        // The row's last word on its definition counts: the one at its end.
        if (place.CellEnd != nullptr && place.CellEnd->Row)
            FRows[static_cast<std::size_t>(FOpenRows.back())].Definition = place.CellEnd->Row;
        walker.Leave(*this);
    }
    walker.Finish(*this);
}

void TTableLayout::OpenTable() {
    // A cell holding a table is never blank, nor ever merged away.
    if (!FOpenCells.empty()) FCells[static_cast<std::size_t>(FOpenCells.back())].Blank = false;
    FOpenTables.push_back(static_cast<std::int32_t>(FTables.size()));
    FOpenRows.push_back(-1);
    FOpenCells.push_back(-1);
    FTables.emplace_back();
}

void TTableLayout::OpenRow() {
    const auto index = static_cast<std::int32_t>(FRows.size());
    TTable& table = FTables[static_cast<std::size_t>(FOpenTables.back())];
    TRow& row = FRows.emplace_back();
    if (table.LastRow < 0) {
        table.FirstRow = index;
    } else {
        const TRow& last = FRows[static_cast<std::size_t>(table.LastRow)];
        row.Ordinal = last.Ordinal + 1;
        FRows[static_cast<std::size_t>(table.LastRow)].Next = index;
    }
    table.LastRow = index;
    FOpenRows.back() = index;
}

void TTableLayout::OpenCell() {
    const auto index = static_cast<std::int32_t>(FCells.size());
    TRow& row = FRows[static_cast<std::size_t>(FOpenRows.back())];
    FCells.emplace_back();
    if (row.LastCell < 0)
        row.FirstCell = index;
    else
        FCells[static_cast<std::size_t>(row.LastCell)].Next = index;
    row.LastCell = index;
    FOpenCells.back() = index;
}

void TTableLayout::CloseTable() {
    TTable& table = FTables[static_cast<std::size_t>(FOpenTables.back())];
    FOpenTables.pop_back();
    FOpenRows.pop_back();
    FOpenCells.pop_back();

    // The columns: every boundary of a cell that is there, in any row. Boundaries of cells a row
    // defines but never fills are left out, so the work stays with the cells.
    // Rows mostly repeat the boundaries of the row before; those add nothing to sort.
    std::vector<std::int32_t> grid;
    std::size_t previousStart = 0, previousEnd = 0;
    std::int32_t rows = 0, headRows = 0;
    for (std::int32_t r = table.FirstRow; r >= 0; r = FRows[static_cast<std::size_t>(r)].Next) {
        TRow& row = FRows[static_cast<std::size_t>(r)];
        row.Header = row.Definition && row.Definition->Header;
        if (row.Header && headRows == rows) ++headRows;
        ++rows;
        if (!row.Definition) continue;
        const std::vector<TTableCellDefinition>& defined = row.Definition->Cells;
        const std::size_t start = grid.size();
        std::size_t k = 0;
        for (std::int32_t c = row.FirstCell; c >= 0 && k < defined.size();
             c = FCells[static_cast<std::size_t>(c)].Next)
            grid.push_back(defined[k++].Right);
        if (grid.size() - start == previousEnd - previousStart &&
            std::equal(grid.begin() + static_cast<std::ptrdiff_t>(start), grid.end(),
                       grid.begin() + static_cast<std::ptrdiff_t>(previousStart))) {
            grid.resize(start);
        } else {
            previousStart = start;
            previousEnd = grid.size();
        }
    }
    std::sort(grid.begin(), grid.end());
    grid.erase(std::unique(grid.begin(), grid.end()), grid.end());
    // A thead needs a body after it.
    table.HeadRows = FUseTableHead && headRows < rows ? headRows : 0;

    for (std::int32_t r = table.FirstRow; r >= 0; r = FRows[static_cast<std::size_t>(r)].Next)
        PlaceRow(FRows[static_cast<std::size_t>(r)], grid);
    MergeVertically(table);
    DropEmptyColumns(table);
}

void TTableLayout::PlaceRow(TRow& Row, const std::vector<std::int32_t>& Grid) {
    const TTableRowDefinition* definition = Row.Definition.get();
    std::int32_t column = 0;
    std::int32_t left = definition != nullptr ? definition->Left : 0;
    std::size_t k = 0;
    TCell* previous = nullptr;
    for (std::int32_t c = Row.FirstCell; c >= 0; c = FCells[static_cast<std::size_t>(c)].Next, ++k) {
        TCell& cell = FCells[static_cast<std::size_t>(c)];
        cell.Format.Header = Row.Header;
        cell.Column = column;
        // The columns up to the cell's boundary: none when the boundary repeats the one before or runs
        // backwards, one when the row defines no more cells.
        std::int32_t extent = 1;
        std::int32_t width = 0;
        if (definition != nullptr && k < definition->Cells.size()) {
            const TTableCellDefinition& defined = definition->Cells[k];
            cell.Format.Definition = &defined;
            extent = static_cast<std::int32_t>(std::lower_bound(Grid.begin(), Grid.end(), defined.Right) -
                                               Grid.begin() + 1) -
                     column;
            width = Saturated(static_cast<std::int64_t>(defined.Right) - left);
            left = std::max(left, defined.Right);
        }
        // A blank cell merged into the one before widens it; one with text stays a cell of its own.
        const bool merged = cell.Format.Definition != nullptr && cell.Format.Definition->HorizontalMerge == 2;
        if (merged && cell.Blank && previous != nullptr) {
            column += std::max(0, extent);
            previous->Format.ColumnSpan += std::max(0, extent);
            previous->Format.Width = Saturated(static_cast<std::int64_t>(previous->Format.Width) + width);
            cell.Covered = true;
            continue;
        }
        // A cell of its own takes one column at least.
        const std::int32_t span = std::max(1, extent);
        column += span;
        cell.Format.ColumnSpan = span;
        cell.Format.Width = width;
        previous = &cell;
    }
}

void TTableLayout::MergeVertically(TTable& Table) {
    // The cell above a blank continuation, by column: the cell that started the merge and the row that
    // last continued it. A merge goes on only from the row just above, within one row group, and over
    // the same columns, so every cell it covers is one it replaces.
    struct TOpenMerge {
        std::int32_t Cell = -1;
        std::int32_t Row = -1;
    };
    std::vector<TOpenMerge> open;
    for (std::int32_t r = Table.FirstRow; r >= 0; r = FRows[static_cast<std::size_t>(r)].Next) {
        const std::int32_t ordinal = FRows[static_cast<std::size_t>(r)].Ordinal;
        const bool groupStart = ordinal == Table.HeadRows;
        std::int32_t written = 0;
        TCell* firstCovered = nullptr;
        std::int32_t firstCoveredIndex = -1;
        for (std::int32_t c = FRows[static_cast<std::size_t>(r)].FirstCell; c >= 0;
             c = FCells[static_cast<std::size_t>(c)].Next) {
            TCell& cell = FCells[static_cast<std::size_t>(c)];
            if (cell.Covered) continue;
            const TTableCellDefinition* defined = cell.Format.Definition;
            if (defined == nullptr || defined->VerticalMerge == 0) {
                ++written;
                continue;
            }
            if (open.size() <= static_cast<std::size_t>(cell.Column))
                open.resize(static_cast<std::size_t>(cell.Column) + 1);
            TOpenMerge& merge = open[static_cast<std::size_t>(cell.Column)];
            if (defined->VerticalMerge == 2 && cell.Blank && merge.Cell >= 0 && merge.Row == ordinal - 1 &&
                !groupStart &&
                FCells[static_cast<std::size_t>(merge.Cell)].Format.ColumnSpan == cell.Format.ColumnSpan) {
                ++FCells[static_cast<std::size_t>(merge.Cell)].Format.RowSpan;
                merge.Row = ordinal;
                cell.Covered = true;
                if (firstCovered == nullptr) {
                    firstCovered = &cell;
                    firstCoveredIndex = c;
                }
                continue;
            }
            merge = {c, ordinal};
            ++written;
        }
        // A row needs a cell of its own: the first it gave up takes its place again and starts anew.
        if (written == 0 && firstCovered != nullptr) {
            TOpenMerge& merge = open[static_cast<std::size_t>(firstCovered->Column)];
            --FCells[static_cast<std::size_t>(merge.Cell)].Format.RowSpan;
            firstCovered->Covered = false;
            merge = {firstCoveredIndex, ordinal};
        }
    }
}

void TTableLayout::DropEmptyColumns(TTable& Table) {
    // A column in which no cell starts is one a browser's table model refuses: the cells over it span
    // one column less.
    std::vector<std::int32_t> before; // before[j]: how many used columns lie left of column j
    for (std::int32_t r = Table.FirstRow; r >= 0; r = FRows[static_cast<std::size_t>(r)].Next)
        for (std::int32_t c = FRows[static_cast<std::size_t>(r)].FirstCell; c >= 0;
             c = FCells[static_cast<std::size_t>(c)].Next) {
            const TCell& cell = FCells[static_cast<std::size_t>(c)];
            if (cell.Covered) continue;
            const auto end =
                static_cast<std::size_t>(cell.Column) + static_cast<std::size_t>(cell.Format.ColumnSpan);
            if (before.size() <= end) before.resize(end + 1, 0);
            before[static_cast<std::size_t>(cell.Column)] = 1;
            if (const TTableCellDefinition* defined = cell.Format.Definition)
                for (const TCellBorder& border : defined->Borders)
                    if (border.Style != bdNone) Table.Bordered = true;
        }
    // From marks of used columns to counts of used columns before each.
    std::int32_t used = 0;
    for (std::int32_t& entry : before) {
        const std::int32_t mark = entry;
        entry = used;
        used += mark;
    }
    for (std::int32_t r = Table.FirstRow; r >= 0; r = FRows[static_cast<std::size_t>(r)].Next)
        for (std::int32_t c = FRows[static_cast<std::size_t>(r)].FirstCell; c >= 0;
             c = FCells[static_cast<std::size_t>(c)].Next) {
            TCell& cell = FCells[static_cast<std::size_t>(c)];
            if (cell.Covered) continue;
            const auto start = static_cast<std::size_t>(cell.Column);
            cell.Format.ColumnSpan =
                before[start + static_cast<std::size_t>(cell.Format.ColumnSpan)] - before[start];
        }
}

} // namespace corvane
