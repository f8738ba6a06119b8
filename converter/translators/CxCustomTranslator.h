// The behaviour every output dialect shares: escaping, CSS assembly, font-size arithmetic, paragraph
// margins in pixels, character formatting as tags or CSS, and language attributes. The dialect classes
// fill in the rest.
#pragma once

#include "CxInterfaces.h"
#include "CxListMarkup.h"
#include "CxPropertiesHash.h"
#include "CxTableMarkup.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace corvane {

class TCustomTranslator : public ICxTranslator {
public:
    explicit TCustomTranslator(std::shared_ptr<IMarginBuilding> MarginBuilder);

    // & " < > become entities; the characters XML and HTML forbid in text are dropped.
    std::string Encode(std::string_view Text) const final;
    // True when Encode would return Text unchanged; found without building the copy.
    bool EncodeKeeps(std::string_view Text) const;
    // The display name of the dialect.
    virtual std::string GetDialectName() const = 0;
    // False only when both names are empty.
    bool SupportsAttribute(const std::string& Element, const std::string& Attribute) const override;
    // The markup a dialect puts around a run's text: FormatText(Text, Props) is Before + Text + After.
    struct TTextFrame {
        std::string Before;
        std::string After;
    };
    // Text arrives escaped; the frame of its properties goes around it.
    std::string FormatText(const std::string& Text, const TCharacterProperties& Props) const final;
    void AppendFormattedText(std::string& Output, const std::string& Text,
                             const TCharacterProperties& Props) const final;
    // The same for the properties of a set runs share, which no one changes while it lives: its frame
    // is found by the set's address, without comparing properties.
    void AppendSharedFormattedText(std::string& Output, const std::string& Text,
                                   const std::shared_ptr<const TCharacterProperties>& SharedSet) const;
    // Runs share a handful of property sets, so each set's frame is built once and kept; the reference
    // is valid until the next call.
    const TTextFrame& TextFrame(const TCharacterProperties& Props) const;
    bool IsDocTypeRequired() const override { return false; }
    std::string GetTableStart(bool Bordered) const final { return BuildTableStart(TableMarkup(), Bordered); }
    std::string GetTableCellStart(const TTableCellFormat& Cell) const final;
    bool SupportsTableHead() const final {
        return TableMarkup() == tmTransitional || TableMarkup() == tmStyle;
    }
    bool SupportsNestedTables() const final { return TableMarkup() != tmBasic; }
    std::string GetListStart(std::int32_t Format, std::int32_t Start) const final {
        return BuildListStart(ListMarkup(), Format, Start);
    }
    std::string GetFirstListItemStyle(std::int32_t Format, std::int32_t Start) const final {
        return BuildFirstItemStyle(ListMarkup(), Format, Start);
    }

    // div elements with a class; HTML5 has elements of its own for the header, the footer and the notes.
    std::string GetPartStart(TDocumentPart Part, std::string_view Id) const final;
    std::string GetPartEnd(TDocumentPart Part) const final;
    std::string GetPartRule() const final;

    std::string GetFontSizeStyle(std::int32_t Size) const final;
    std::string BuildParagraphStart(const std::string& Style, const std::string& Attributes) const final;
    std::string GetStyleAttribute(const std::string& Style) const final;
    void SetFontSizeScale(TFontSizeScale Value) final;
    void SetParagraphTag(const std::string& Value) final;

    // The paragraph's CSS declarations, alignment left out (each dialect writes that its own way).
    std::string GetParagraphStyle(const TParagraphProperties& Props) const;
    // Rounded away from zero at 15 twips per pixel.
    static std::int32_t TwipsToPixels(std::int32_t Twips);

protected:
    // How the dialect writes tables: CSS unless a dialect says otherwise.
    virtual TTableMarkup TableMarkup() const { return tmStyle; }
    // How the dialect writes a list's numbering: CSS unless a dialect says otherwise.
    virtual TListMarkup ListMarkup() const { return lmStyle; }
    // Whether the dialect has header, footer and aside.
    virtual bool HasSectioningElements() const { return false; }
    // Styles become tags or CSS, the rest goes onto a span.
    virtual TTextFrame BuildTextFrame(const TCharacterProperties& Props) const;
    std::string GetLanguageAttributes(const std::string& Language) const;
    // Bold innermost, then italic, underline, strike-out, subscript, superscript.
    static void AddPresentationalTags(const TCharacterProperties& Props, TTextFrame& Frame);
    // "text-align:...;" for right, centred and justified paragraphs; empty for left ones.
    static std::string_view GetAlignmentStyle(std::uint8_t Alignment);

private:
    std::shared_ptr<IMarginBuilding> FMarginBuilder;
    std::string FParagraphTag;
    TFontSizeScale FFontSizeScale = fsPoint;
    // Frames already built; they depend on the font-size scale besides the properties.
    mutable std::unordered_map<TCharacterProperties, TTextFrame, TCharacterPropertiesHash> FFrames;
    // The frames used last, most recent first; they point into FFrames.
    mutable std::array<const std::pair<const TCharacterProperties, TTextFrame>*, 4> FRecentFrames{};
    // The frames of the shared sets used last, most recent first, found by address. Each entry holds
    // its set, so that the address cannot come back for another set while the entry stands.
    struct TSharedFrame {
        std::shared_ptr<const TCharacterProperties> Set;
        const TTextFrame* Frame = nullptr;
    };
    mutable std::array<TSharedFrame, 8> FSharedFrames{};
    void ForgetFrames() const;
    // The start tags of the cells written last. A table's cells repeat a few formats column by column,
    // but each row brings its own definitions, so a cell is known by its format's content.
    struct TCellStart {
        bool Used = false;
        TTableCellFormat Format;                        // its Definition unused: the content is below
        std::optional<TTableCellDefinition> Definition; // none for a cell its row does not define
        std::string Tag;
        bool Holds(const TTableCellFormat& Cell) const;
    };
    mutable std::array<TCellStart, 8> FCellStarts{};
    mutable std::size_t FNextCellStart = 0;
    static void AppendFramed(std::string& Output, const std::string& Text, const TTextFrame& Frame);
};

} // namespace corvane
