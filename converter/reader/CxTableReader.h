// The control words of tables, read while tables are converted: the row definitions, kept per nesting
// level, and the paragraph marks that end cells and rows.
#pragma once

#include "CxInterfaces.h"
#include "CxTypes.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

enum TTableKeywordKind : std::uint8_t {
    tkCell,           // \cell, \nestcell
    tkRow,            // \row, \nestrow
    tkRowDefaults,    // \trowd
    tkHeaderRow,      // \trhdr
    tkRowLeft,        // \trleft
    tkCellRight,      // \cellx
    tkMerge,          // \clmgf, \clmrg: Value 1 first, 2 merged
    tkVerticalMerge,  // \clvmgf, \clvmrg
    tkCellAlignment,  // \clvertalt, \clvertalc, \clvertalb: Value 0, 1, 2
    tkCellShading,    // \clcbpat
    tkBorderSide,     // \clbrdrt, \clbrdrl, \clbrdrb, \clbrdrr: Value the side
    tkOtherBorder,    // borders of rows, paragraphs and characters: the next border keywords are theirs
    tkBorderStyle,    // \brdrs, \brdrdb, ...: Value the TCellBorderStyle
    tkBorderWidth,    // \brdrw
    tkBorderColor,    // \brdrcf
    tkInTable,        // \intbl
    tkNestingLevel,   // \itap
    tkNestedRowProps, // \nesttableprops: a destination whose keywords are read
    tkNoNestedTables, // \nonesttables: text for readers without nested tables, dropped
};

struct TTableKeyword {
    std::string_view Keyword;
    TTableKeywordKind Kind;
    std::uint8_t Value;
};

// The row of Keyword among the table control words, or null; \cell and \row included.
const TTableKeyword* FindTableKeyword(std::string_view Keyword);

class TCxTableReader {
public:
    // Colors is the reader's colour table, read at the moment of use.
    TCxTableReader(ICxWriter& Writer, const std::vector<std::string>& Colors)
        : FWriter(Writer), FColors(Colors) {}

    void Apply(const TTableKeyword& Keyword, bool HasParameter, std::int64_t Parameter);

private:
    // A level's definition as it is being written, and the shared copy the last cells were given.
    struct TLevel {
        TTableRowDefinition Building;
        std::shared_ptr<const TTableRowDefinition> Issued;
        bool Changed = false;
    };

    // The level of the paragraph in force, within 1..MaxTableDepth.
    std::int32_t CurrentLevel() const;
    TLevel& Level(std::int32_t Number);
    TTableRowDefinition& Building();
    std::shared_ptr<const TTableRowDefinition> Issue(std::int32_t Number);
    TCellBorder* SelectedBorder();
    std::string Color(std::int64_t Index) const;

    ICxWriter& FWriter;
    const std::vector<std::string>& FColors;
    std::vector<TLevel> FLevels;       // by nesting level; 0 unused
    std::int32_t FBuildingLevel = 1;   // the level the last \trowd began a definition for
    TTableCellDefinition FPendingCell; // the keywords read since the last \cellx
    int FBorderSide = -1;              // the cell border the border keywords describe; -1: none
};

} // namespace corvane
