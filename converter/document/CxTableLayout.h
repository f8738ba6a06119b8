// Tables in a flat list of paragraphs. Each paragraph knows how many tables it lies in and whether it
// ends a cell or a row; the walker turns that into tables, rows and cells opening and closing around
// the paragraphs, and the layout places every cell of a table on the table's columns before anything of
// it is written.
#pragma once

#include "CxInterfaces.h"

#include <cstdint>
#include <vector>

namespace corvane {

// What opens and closes around the paragraphs.
class ITableEvents {
public:
    virtual ~ITableEvents() = default;
    virtual void OpenTable() = 0;
    virtual void OpenRow() = 0;
    virtual void OpenCell() = 0;
    virtual void CloseCell() = 0;
    virtual void CloseRow() = 0;
    virtual void CloseTable() = 0;
};

// Where a paragraph is written: at which depth, and the cell end that counts for it there.
struct TTablePlace {
    std::int32_t Depth;
    const TTableCellEnd* CellEnd;
};

// Whatever the marks say, every paragraph lands in exactly one place: a depth that jumps opens one
// table more, a cell or row that never ends closes with its table, a row without a cell gets one.
// Tables deeper than Deepest are not opened: their paragraphs join the cell around them, and the
// cells and rows they end are not that cell's.
class TTableWalker {
public:
    explicit TTableWalker(std::int32_t Deepest = MaxTableDepth) : FDeepest(Deepest) {}
    // Before a paragraph of depth Depth that ends CellEnd (or null): closes the tables it lies outside
    // of and opens what it lies in.
    TTablePlace Enter(std::int32_t Depth, const TTableCellEnd* CellEnd, ITableEvents& Events);
    // After the paragraph entered last.
    void Leave(ITableEvents& Events);
    // After the last paragraph.
    void Finish(ITableEvents& Events);
    std::int32_t Depth() const { return static_cast<std::int32_t>(FLevels.size()); }

private:
    struct TLevel {
        bool RowOpen = false;
        bool CellOpen = false;
    };
    void OpenCell(ITableEvents& Events);
    void CloseLevel(ITableEvents& Events);

    std::int32_t FDeepest;
    std::vector<TLevel> FLevels;
    const TTableCellEnd* FCellEnd = nullptr; // of the paragraph entered last
};

// Nothing but blanks and control characters in the paragraph's runs, before any conversion.
bool IsBlankParagraph(const ISimpleDomNode& Paragraph);

// The cells of every table of a document, in the order the walker opens them.
class TTableLayout : private ITableEvents {
public:
    struct TCell {
        TTableCellFormat Format;
        bool Covered = false; // merged into a cell before or above it: not written
        // For the layout.
        bool Blank = true;
        std::int32_t Column = 0;
        std::int32_t Next = -1; // the next cell of the row
    };
    struct TRow {
        std::int32_t Ordinal = 0; // within its table
        bool Header = false;
        // For the layout.
        std::shared_ptr<const TTableRowDefinition> Definition;
        std::int32_t FirstCell = -1, LastCell = -1;
        std::int32_t Next = -1; // the next row of the table
    };
    struct TTable {
        std::int32_t HeadRows = 0; // leading heading rows that form a thead
        bool Bordered = false;
        // For the layout.
        std::int32_t FirstRow = -1, LastRow = -1;
    };

    // Walks the paragraphs First..Last-1 of the document once (Last -1: all of them), with tables no
    // deeper than Deepest. HeadRows stays 0 unless UseTableHead.
    TTableLayout(ISimpleDomDocument& Document, std::int32_t Deepest, bool UseTableHead, int First = 0,
                 int Last = -1);

    bool Empty() const { return FTables.empty(); }
    const TTable& Table(std::int32_t Index) const { return FTables[static_cast<std::size_t>(Index)]; }
    const TRow& Row(std::int32_t Index) const { return FRows[static_cast<std::size_t>(Index)]; }
    const TCell& Cell(std::int32_t Index) const { return FCells[static_cast<std::size_t>(Index)]; }

private:
    void OpenTable() override;
    void OpenRow() override;
    void OpenCell() override;
    void CloseCell() override {}
    void CloseRow() override {}
    void CloseTable() override;

    void PlaceRow(TRow& Row, const std::vector<std::int32_t>& Grid);
    void MergeVertically(TTable& Table);
    void DropEmptyColumns(TTable& Table);

    bool FUseTableHead;
    std::vector<TTable> FTables;
    std::vector<TRow> FRows;
    std::vector<TCell> FCells;
    // By depth, the open table and its current row and cell.
    std::vector<std::int32_t> FOpenTables, FOpenRows, FOpenCells;
};

} // namespace corvane
