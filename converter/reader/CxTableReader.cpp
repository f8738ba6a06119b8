#include "CxTableReader.h"

#include <algorithm>
#include <array>

namespace corvane {

namespace {

constexpr std::array<TTableKeyword, 50> TableKeywords{{
    {"brdrb", tkOtherBorder, 0},
    {"brdrbar", tkOtherBorder, 0},
    {"brdrbtw", tkOtherBorder, 0},
    {"brdrcf", tkBorderColor, 0},
    {"brdrdash", tkBorderStyle, bdDashed},
    {"brdrdashsm", tkBorderStyle, bdDashed},
    {"brdrdb", tkBorderStyle, bdDouble},
    {"brdrdot", tkBorderStyle, bdDotted},
    {"brdremboss", tkBorderStyle, bdSolid},
    {"brdrengrave", tkBorderStyle, bdSolid},
    {"brdrhair", tkBorderStyle, bdSolid},
    {"brdrinset", tkBorderStyle, bdSolid},
    {"brdrl", tkOtherBorder, 0},
    {"brdrnil", tkBorderStyle, bdNone},
    {"brdrnone", tkBorderStyle, bdNone},
    {"brdroutset", tkBorderStyle, bdSolid},
    {"brdrr", tkOtherBorder, 0},
    {"brdrs", tkBorderStyle, bdSolid},
    {"brdrsh", tkBorderStyle, bdSolid},
    {"brdrt", tkOtherBorder, 0},
    {"brdrtbl", tkBorderStyle, bdNone},
    {"brdrth", tkBorderStyle, bdSolid},
    {"brdrtriple", tkBorderStyle, bdDouble},
    {"brdrw", tkBorderWidth, 0},
    {"brdrwavy", tkBorderStyle, bdSolid},
    {"cell", tkCell, 0},
    {"cellx", tkCellRight, 0},
    {"chbrdr", tkOtherBorder, 0},
    {"clbrdrb", tkBorderSide, bsBottom},
    {"clbrdrl", tkBorderSide, bsLeft},
    {"clbrdrr", tkBorderSide, bsRight},
    {"clbrdrt", tkBorderSide, bsTop},
    {"clcbpat", tkCellShading, 0},
    {"clmgf", tkMerge, 1},
    {"clmrg", tkMerge, 2},
    {"clvertalb", tkCellAlignment, 2},
    {"clvertalc", tkCellAlignment, 1},
    {"clvertalt", tkCellAlignment, 0},
    {"clvmgf", tkVerticalMerge, 1},
    {"clvmrg", tkVerticalMerge, 2},
    {"intbl", tkInTable, 0},
    {"itap", tkNestingLevel, 0},
    {"nestcell", tkCell, 0},
    {"nestrow", tkRow, 0},
    {"nesttableprops", tkNestedRowProps, 0},
    {"nonesttables", tkNoNestedTables, 0},
    {"row", tkRow, 0},
    {"trhdr", tkHeaderRow, 0},
    {"trleft", tkRowLeft, 0},
    {"trowd", tkRowDefaults, 0},
}};

// \trbrdrt and the other row borders: keywords of their own, not in the table above.
bool IsRowBorder(std::string_view Keyword) {
    return Keyword.size() == 7 && Keyword.starts_with("trbrdr");
}

constexpr TTableKeyword RowBorder{"trbrdr", tkOtherBorder, 0};

std::int32_t Low32(std::int64_t Value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(Value, INT32_MIN, INT32_MAX));
}

// Most control words a reader meets are not table keywords: an open-addressing table on a cheap hash
// turns them away after one probe, mostly without comparing a character.
class TTableKeywordIndex {
public:
    TTableKeywordIndex() {
        for (std::size_t Row = 0; Row < TableKeywords.size(); ++Row) {
            const std::uint32_t Hash = HashOf(TableKeywords[Row].Keyword);
            std::size_t Slot = Hash & SlotMask;
            while (FSlots[Slot].Row != 0)
                Slot = (Slot + 1) & SlotMask;
            FSlots[Slot] = {static_cast<std::uint8_t>(Hash >> 24), static_cast<std::uint8_t>(Row + 1)};
        }
    }
    const TTableKeyword* Find(std::string_view Keyword) const {
        if (Keyword.empty()) return nullptr;
        const std::uint32_t Hash = HashOf(Keyword);
        const auto Tag = static_cast<std::uint8_t>(Hash >> 24);
        for (std::size_t Slot = Hash & SlotMask;; Slot = (Slot + 1) & SlotMask) {
            const TSlot Candidate = FSlots[Slot];
            if (Candidate.Row == 0) return nullptr;
            if (Candidate.Tag == Tag && TableKeywords[Candidate.Row - 1].Keyword == Keyword)
                return &TableKeywords[Candidate.Row - 1];
        }
    }

private:
    static std::uint32_t HashOf(std::string_view Keyword) {
        const auto At = [Keyword](std::size_t Index) {
            return static_cast<std::uint32_t>(static_cast<std::uint8_t>(Keyword[Index]));
        };
        const std::uint32_t Hash = (static_cast<std::uint32_t>(Keyword.size()) * 0x9E3779B1u) ^
                                   (At(0) * 0x85EBCA77u) ^ (At(Keyword.size() - 1) * 0xC2B2AE3Du) ^
                                   (At(Keyword.size() / 2) * 0x27D4EB2Fu);
        return Hash ^ (Hash >> 15);
    }
    struct TSlot {
        std::uint8_t Tag = 0;
        std::uint8_t Row = 0; // row + 1; 0 is an empty slot
    };
    static constexpr std::size_t SlotMask = 255; // a fifth full
    std::array<TSlot, SlotMask + 1> FSlots{};
};

} // namespace

const TTableKeyword* FindTableKeyword(std::string_view Keyword) {
    static const TTableKeywordIndex Index;
    if (const TTableKeyword* Found = Index.Find(Keyword)) return Found;
    return IsRowBorder(Keyword) ? &RowBorder : nullptr;
}

std::int32_t TCxTableReader::CurrentLevel() const {
    return std::clamp(FWriter.GetTableDepth(), 1, MaxTableDepth);
}

TCxTableReader::TLevel& TCxTableReader::Level(std::int32_t Number) {
    if (FLevels.size() <= static_cast<std::size_t>(Number))
        FLevels.resize(static_cast<std::size_t>(Number) + 1);
    return FLevels[static_cast<std::size_t>(Number)];
}

TTableRowDefinition& TCxTableReader::Building() {
    TLevel& level = Level(FBuildingLevel);
    level.Changed = true;
    return level.Building;
}

std::shared_ptr<const TTableRowDefinition> TCxTableReader::Issue(std::int32_t Number) {
    TLevel& level = Level(Number);
    // Cells share one copy until the definition changes; no definition at all gives none.
    if (level.Changed) {
        level.Issued = std::make_shared<const TTableRowDefinition>(level.Building);
        level.Changed = false;
    }
    return level.Issued;
}

TCellBorder* TCxTableReader::SelectedBorder() {
    if (FBorderSide < 0) return nullptr;
    return &FPendingCell.Borders[static_cast<std::size_t>(FBorderSide)];
}

std::string TCxTableReader::Color(std::int64_t Index) const {
    // As for character backgrounds, 0 (the automatic colour) is none.
    if (Index <= 0 || static_cast<std::uint64_t>(Index) >= FColors.size()) return {};
    return FColors[static_cast<std::size_t>(Index)];
}

void TCxTableReader::Apply(const TTableKeyword& Keyword, bool HasParameter, std::int64_t Parameter) {
    switch (Keyword.Kind) {
    case tkCell:
        FWriter.EndCell(Issue(CurrentLevel()));
        break;
    case tkRow:
        FWriter.EndRow(Issue(CurrentLevel()));
        break;
    case tkRowDefaults: {
        // Nested rows are defined inside the nested cells' paragraphs; a row of the outermost table
        // is defined wherever it stands, between rows or before the table.
        const std::int32_t depth = FWriter.GetTableDepth();
        FBuildingLevel = depth >= 2 ? std::min(depth, MaxTableDepth) : 1;
        Building() = TTableRowDefinition();
        FPendingCell = TTableCellDefinition();
        FBorderSide = -1;
        break;
    }
    case tkHeaderRow:
        Building().Header = true;
        break;
    case tkRowLeft:
        Building().Left = Low32(Parameter);
        break;
    case tkCellRight:
        FPendingCell.Right = Low32(Parameter);
        Building().Cells.push_back(std::move(FPendingCell));
        FPendingCell = TTableCellDefinition();
        FBorderSide = -1;
        break;
    case tkMerge:
        FPendingCell.HorizontalMerge = Keyword.Value;
        break;
    case tkVerticalMerge:
        FPendingCell.VerticalMerge = Keyword.Value;
        break;
    case tkCellAlignment:
        FPendingCell.VerticalAlignment = Keyword.Value;
        break;
    case tkCellShading:
        FPendingCell.Shading = Color(Parameter);
        break;
    case tkBorderSide:
        FBorderSide = Keyword.Value;
        break;
    case tkOtherBorder:
        FBorderSide = -1;
        break;
    case tkBorderStyle:
        if (TCellBorder* border = SelectedBorder())
            border->Style = static_cast<TCellBorderStyle>(Keyword.Value);
        break;
    case tkBorderWidth:
        if (TCellBorder* border = SelectedBorder()) border->Width = std::max(0, Low32(Parameter));
        break;
    case tkBorderColor:
        if (TCellBorder* border = SelectedBorder()) border->Color = Color(Parameter);
        break;
    case tkInTable:
        FWriter.SetInTable(true);
        break;
    case tkNestingLevel:
        FWriter.SetNestingLevel(
            HasParameter ? static_cast<std::int32_t>(std::clamp<std::int64_t>(Parameter, 0, MaxTableDepth))
                         : 1);
        break;
    case tkNestedRowProps:
    case tkNoNestedTables:
        break; // the reader decides about the group
    }
}

} // namespace corvane
