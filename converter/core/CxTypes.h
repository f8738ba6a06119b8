// Types shared by every stage of the converter: the enumerations, the formatting records that travel
// from the reader through the writer into the tree and the translators, the keyword table's row type
// and the one exception type the system raises.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// Every failure of the system itself; what() is the failure's fixed text ("ceUnknownCharacter", ...).
class ECxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TDocumentType : std::uint8_t {
    dtHTML3Flex = 0,
    dtHTML_401_Transitional = 1,
    dtHTML_401_Strict = 2,
    dtHTML_50 = 3,
    dtXHTML_10_Transitional = 4,
    dtXHTML_10_Strict = 5,
    dtXHTML_Basic_10 = 6,
    dtXHTML_MP_10 = 7,
    dtXHTML_11 = 8,
};

enum TFontSizeScale : std::uint8_t { fsPoint = 0, fsEM = 1, fsEX = 2, fsPercent = 3 };

enum TFontOption : std::uint8_t {
    opFontName = 0,
    opFontSize = 1,
    opFontStyle = 2,
    opFontColor = 3,
    opFontBGColor = 4,
    opFontHLColor = 5,
};

// A set of TFontOption values.
class TFontConversionOptions {
public:
    constexpr TFontConversionOptions() = default;
    constexpr TFontConversionOptions(std::initializer_list<TFontOption> options) {
        for (TFontOption option : options) Include(option);
    }
    static constexpr TFontConversionOptions All() {
        return {opFontName, opFontSize, opFontStyle, opFontColor, opFontBGColor, opFontHLColor};
    }
    constexpr bool Contains(TFontOption option) const { return (FBits >> option) & 1u; }
    constexpr void Include(TFontOption option) { FBits = static_cast<std::uint8_t>(FBits | (1u << option)); }
    constexpr void Exclude(TFontOption option) { FBits = static_cast<std::uint8_t>(FBits & ~(1u << option)); }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr bool operator==(const TFontConversionOptions&) const = default;

private:
    std::uint8_t FBits = 0;
};

enum TLogLevel : std::uint8_t { logDebug = 0, logInfo = 1, logWarning = 2, logError = 3, logFatal = 4 };

// Bits of TCharacterProperties::FontStyle.
enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = std::uint8_t;

enum TKeywordKind : std::uint8_t {
    kwCharacter = 0,
    kwDestination = 1,
    kwProperty = 2,
    kwSpecial = 3,
    kwFontFamily = 4,
};

enum TDestination : std::uint8_t {
    dsSkip = 0,
    dsFontTable = 1,
    dsFileTable = 2,
    dsColorTable = 3,
    dsStyleSheet = 4,
    dsRevisionTable = 5,
    dsTemplate = 6,
    dsNormal = 7,
    dsBookmarkStart = 8,
    dsBookmarkEnd = 9,
    dsInfo = 10,
    dsUpr = 11,
    dsParagraphNumbering = 12,
    dsPicture = 13,
    dsField = 15,
    dsFieldInstruction = 16,
    dsFieldResult = 17,
    dsListTable = 18,
    dsList = 19,
    dsListOverrideTable = 20,
    dsListOverride = 21,
    dsListLevel = 22,
    dsHtmlTag = 23, // {\*\htmltag …}: a piece of a mail body's original HTML
    dsFootnote = 24, // {\footnote …}: a footnote, or an endnote
    dsHeader = 25,   // \header, \headerl, \headerr, \headerf
    dsFooter = 26,   // \footer, \footerl, \footerr, \footerf
};

enum TSpecialAction : std::uint8_t {
    spBinary = 0,
    spHexByte = 1,
    spSkipDestination = 2,
    spPlain = 3,
    spSkipText = 4,
    spLineBreak = 5,
    spBullet = 6,
    spNonShapePicture = 7,
    spSectionBreak = 8,
};

enum TFontFamily : std::uint8_t {
    ffNil = 0,
    ffRoman = 1,
    ffSwiss = 2,
    ffModern = 3,
    ffScript = 4,
    ffDecor = 5,
    ffTech = 6,
    ffBidi = 7,
};

enum TInputState : std::uint8_t { isNormal = 0, isBinary = 1, isHex = 2 };

enum TPropertyIndex : std::uint8_t {
    ipAnsi = 0,
    ipMac = 1,
    ipLeftIndent = 3,
    ipRightIndent = 4,
    ipFirstIndent = 5,
    ipSpaceBefore = 6,
    ipSpaceAfter = 7,
    ipParagraphShading = 8,
    ipBox = 9,
    ipBold = 10,
    ipItalic = 11,
    ipUnderline = 12,
    ipHidden = 13,
    ipAlignLeft = 14,
    ipAlignCenter = 15,
    ipAlignRight = 16,
    ipAlignJustify = 17,
    ipParagraphDefault = 18,
    ipRed = 19,
    ipGreen = 20,
    ipBlue = 21,
    ipFontSize = 22,
    ipFont = 23,
    ipForeColor = 24,
    ipCharset = 25,
    ipBackColor = 26,
    ipHighlight = 27,
    ipStrike = 28,
    ipNumberingLevel = 29,
    ipNumberingContinue = 30,
    ipDefaultFont = 31,
    ipSuperscript = 32,
    ipSubscript = 33,
    ipNoSuperSub = 34,
    ipLanguage = 35,
    ipLtrChar = 36,
    ipRtlChar = 37,
    ipLtrPar = 38,
    ipRtlPar = 39,
    ipUnicodeChar = 40,
    ipUnicodeSkip = 41,
    ipEmfBlip = 42,
    ipPngBlip = 43,
    ipJpegBlip = 44,
    ipMacPict = 45,
    ipWmetafile = 46,
    ipPicWidth = 47,
    ipPicHeight = 48,
    ipPicGoalWidth = 49,
    ipPicGoalHeight = 50,
    ipPicScaleX = 51,
    ipPicScaleY = 52,
    ipListId = 53,
    ipListTemplateId = 54,
    ipListOverride = 55,
    ipLevelNfc = 56,
    ipAnsiCodePage = 57,
    ipFromHtml = 58,
    ipHtmlRtf = 59,
};

// One row of the keyword table; only the column that belongs to Kind is meaningful.
struct TTokenDef {
    std::string_view Keyword;
    std::int32_t DefaultValue;
    bool PassDefault;
    TKeywordKind Kind;
    TPropertyIndex PropertyIndex;
    std::uint8_t CharCode;
    TDestination DestinationIndex;
    TSpecialAction SpecialIndex;
    TFontFamily FontFamily;
};

// The fixed vocabulary of control words, in table order; keyword look-up is exact and case-sensitive.
inline constexpr std::size_t KeywordCount = 140;
extern const std::array<TTokenDef, KeywordCount> KeywordTable;

// The character formatting in force; copied into every text run.
class TCharacterProperties {
public:
    std::string Language;
    bool RightToLeft = false;
    std::string FontName;
    std::string FontColor;
    std::string BackgroundColor;
    std::string HighlightColor;
    TFontStyles FontStyle = 0;
    std::int32_t FontSize = 0;
    std::int32_t Charset = 0;
    std::uint8_t VerticalPosition = 0; // 0 normal, 1 subscript, 2 superscript

    void Assign(const TCharacterProperties& Source) { *this = Source; }
    std::unique_ptr<TCharacterProperties> Clone() const { return std::make_unique<TCharacterProperties>(*this); }
    bool IsBold() const { return FontStyle & fsBold; }
    bool IsItalic() const { return FontStyle & fsItalic; }
    bool IsUnderline() const { return FontStyle & fsUnderline; }
    bool IsStrikeOut() const { return FontStyle & fsStrikeOut; }
    void SetUnderline(bool Value) {
        FontStyle = static_cast<TFontStyles>(Value ? (FontStyle | fsUnderline) : (FontStyle & ~fsUnderline));
    }
    // Scalars first: sets that differ mostly differ there, and each string costs a comparison call.
    bool operator==(const TCharacterProperties& Other) const {
        return FontStyle == Other.FontStyle && FontSize == Other.FontSize && Charset == Other.Charset &&
               VerticalPosition == Other.VerticalPosition && RightToLeft == Other.RightToLeft &&
               FontName == Other.FontName && FontColor == Other.FontColor && Language == Other.Language &&
               BackgroundColor == Other.BackgroundColor && HighlightColor == Other.HighlightColor;
    }
};

// The paragraph formatting in force; copied into every paragraph.
class TParagraphProperties {
public:
    std::uint8_t Alignment = 0; // 0 left, 1 right, 2 centre, 3 justified
    bool RightToLeft = false;
    bool ListItem = false;
    std::uint8_t ListStyle = 0; // 11 bulleted; any other value of a list item is numbered
    std::int32_t LeftIndent = 0;
    std::int32_t RightIndent = 0;
    std::int32_t FirstIndent = 0;
    std::int32_t SpaceBefore = 0;
    std::int32_t SpaceAfter = 0;
    std::string ShadingColor;
    bool Border = false;
    bool InTable = false;          // \intbl
    std::int32_t NestingLevel = 0; // \itapN
    // Read only while lists are converted.
    std::int32_t ListLevel = 0;    // \ilvlN
    std::int32_t ListOverride = 0; // \lsN
    std::int32_t ListFormat = -1;  // old-style numbering's format as a \levelnfc value; -1: none given
    std::int32_t ListStart = 0;    // old-style \pnstartN; 0: none given

    void Assign(const TParagraphProperties& Source) { *this = Source; }
    // How many tables the paragraph lies in: 0 for body text.
    std::int32_t TableDepth() const { return NestingLevel > 0 ? NestingLevel : (InTable ? 1 : 0); }
    std::unique_ptr<TParagraphProperties> Clone() const { return std::make_unique<TParagraphProperties>(*this); }
    bool operator==(const TParagraphProperties&) const = default;
};

enum TListField : std::uint8_t { lfLevel, lfOverride, lfFormat, lfStart };

// The parts of a document written apart from its body text: the header and the footer, and the notes
// with each footnote and endnote among them.
enum TDocumentPart : std::uint8_t { dpHeader, dpFooter, dpNotes, dpFootnote, dpEndnote };

// How the document numbers its notes: the format (a \levelnfc value) and first number of each kind.
enum TNoteNumbering : std::uint8_t { nnFootnoteFormat, nnFootnoteStart, nnEndnoteFormat, nnEndnoteStart };

// Tables nest no deeper than this; deeper levels count as this one.
inline constexpr std::int32_t MaxTableDepth = 64;

enum TCellBorderSide : std::uint8_t { bsTop = 0, bsLeft = 1, bsBottom = 2, bsRight = 3 };
enum TCellBorderStyle : std::uint8_t { bdNone = 0, bdSolid = 1, bdDouble = 2, bdDotted = 3, bdDashed = 4 };

struct TCellBorder {
    TCellBorderStyle Style = bdNone;
    std::int32_t Width = 0; // twips; 0 is the thinnest line
    std::string Color;      // colour string; empty: the text colour
    bool operator==(const TCellBorder&) const = default;
};

// One cell of a table row as the row definition describes it: the keywords up to its \cellx.
struct TTableCellDefinition {
    std::int32_t Right = 0;             // right boundary, twips
    std::uint8_t HorizontalMerge = 0;   // 0 none, 1 first of merged cells, 2 merged into the cell before
    std::uint8_t VerticalMerge = 0;     // 0 none, 1 first of merged cells, 2 merged into the cell above
    std::uint8_t VerticalAlignment = 0; // 0 top, 1 centre, 2 bottom
    std::string Shading;                // background colour; empty: none
    std::array<TCellBorder, 4> Borders; // by TCellBorderSide
    bool operator==(const TTableCellDefinition&) const = default;
};

// A table row's definition, from \trowd on; paragraphs that end cells share it.
struct TTableRowDefinition {
    bool Header = false;   // \trhdr: repeated at the top of each page, a heading row
    std::int32_t Left = 0; // \trleft: where the first cell starts, twips
    std::vector<TTableCellDefinition> Cells;
};

// What a paragraph that is the last of a table cell records: the definition of the cell's row, and
// whether the row ends with the cell.
struct TTableCellEnd {
    std::shared_ptr<const TTableRowDefinition> Row; // empty when no row was defined
    bool RowEnd = false;
};

// A cell as the output writes it: its place in the table's columns and rows, and its definition.
struct TTableCellFormat {
    const TTableCellDefinition* Definition = nullptr; // null for a cell its row does not define
    std::int32_t Width = 0;                           // twips; 0 when unknown
    std::int32_t ColumnSpan = 1;
    std::int32_t RowSpan = 1;
    bool Header = false; // a cell of a heading row
};

// One entry of the reader's font table.
struct TFontDescriptor {
    std::string Name; // the finished CSS font-family text
    std::int32_t Charset = 0;
};

// The state saved at "{" and restored at the matching "}".
struct TReaderProperties {
    TCharacterProperties CharacterProperties;
    TParagraphProperties ParagraphProperties;
    TInputState InputState = isNormal;
    TDestination Destination = dsNormal;
};

} // namespace corvane
