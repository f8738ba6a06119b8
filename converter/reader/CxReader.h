// The RTF reader: one pass over the input bytes, a saved state per group, control words dispatched
// through the keyword table, and every formatting change, character and structural event reported to
// the document writer.
#pragma once

#include "CxEmbeddedPicture.h"
#include "CxInterfaces.h"
#include "CxTableReader.h"
#include "CxTypes.h"
#include "CxUnicode.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// The keyword table row for Keyword (exact, case-sensitive), or nullptr. Gives the same row as a linear
// scan of KeywordTable, without scanning.
const TTokenDef* FindKeyword(std::string_view Keyword);

// Deeper group nesting ends the conversion with "Property stack overflow" instead of exhausting memory.
inline constexpr std::size_t MaxGroupDepth = 10000;

class TCxReader : public IRtfReader {
public:
    TCxReader(ICxReaderOwner& Owner, std::shared_ptr<ICxWriter> Writer,
              std::unique_ptr<IUnicodeConverter> FontNameConverter);
    TCxReader(const TCxReader&) = delete;
    TCxReader& operator=(const TCxReader&) = delete;

    void Parse(std::string_view Rtf) override;

    // A mail body that carries its original HTML (\fromhtml with \htmltag groups) gives that HTML back
    // while it is read, next to the ordinary conversion. Set before Parse.
    void SetExtractEncapsulatedHtml(bool Value) { FExtractHtml = Value; }
    // Called as reading passes every further few megabytes of the input, with the length of its start that
    // will not be read again; the input's owner may then give that memory back.
    void SetInputRelease(std::function<void(std::size_t Length)> Release) {
        FInputRelease = std::move(Release);
    }
    // After Parse: the original HTML (UTF-8, control characters left in), or nullptr when extraction
    // was off or the document carries none.
    const std::string* EncapsulatedHtml() const { return FFromHtml && FHtmlTagSeen ? &FHtml : nullptr; }
    // After Parse: a header or footer that was left out (headers and footers are not converted) holds text.
    bool SkippedHeaderFooterText() const { return FSkippedPartText; }
    // While reading the body: no header read later can replace the one taken so far (if any), as the first
    // section has ended or its header of every page came already.
    bool HeaderIsFinal() const { return FSectionEnded || FHeaderRank == 0; }

private:
    // One open group: what "{" saved, plus whether the group lies inside a destination whose whole
    // content is dropped (headers, footnotes, ...), where no destination keyword may lead text back
    // into the body.
    struct TGroupState {
        TReaderProperties Properties;
        bool Discarding = false;
        bool HtmlRtf = false;
    };
    // What the optional readers make of a word with a short key (FStructureWords).
    struct TStructureWord {
        std::uint64_t Key = 0;
        const TTableKeyword* TableRow = nullptr;
    };

    // Tokenizer.
    // The control word or symbol after the backslash at Backslash, the current position.
    void ReadControlWord(std::size_t Backslash);
    void ReadControlWordByBytes();
    void TakeControlWord(const TTokenDef* Row, std::string_view Word, std::uint64_t Key, bool HasParameter,
                         std::int64_t Parameter);
    void Dispatch(const TTokenDef& Row, bool HasParameter, std::int64_t Parameter);
    void TakeHexDigit(std::uint8_t Byte);
    void DeliverByte(std::uint8_t Byte);
    void DeliverTextRun();
    void DeliverHtmlTagRun();
    // \* marks a destination only as the first token of a group.
    bool StartsGroup(std::size_t Backslash) const;
    void SkipPlainBytes();
    std::size_t PlainRunEnd() const;
    void SkipText();
    void TakeBinary(std::int64_t Count);

    // Pictures.
    bool InPictureData() const {
        return FPicture != nullptr && FDestination == dsPicture && FGroupDepth == FPictureDepth;
    }
    void StartPicture();
    void ApplyPictureProperty(TPropertyIndex Property, std::int64_t Value);
    void TakePictureData();
    void TakePictureDigit(std::uint8_t Byte);
    void TakeBinaryPictureData(std::string_view Bytes);
    void FinishPicture();

    // Groups. A group saves the writer's properties only before its first control word that may change
    // them; one that holds only text and unknown words saves and restores nothing.
    void OpenGroup();
    void CloseGroup();
    void SaveOpenGroups() {
        if (FUnsavedFrom < FStackDepth) SaveUnsavedGroups();
    }
    void SaveUnsavedGroups();

    // Keyword kinds.
    void ChangeDestination(TDestination Destination);
    // After \* an unknown destination is dropped with everything in it.
    void SkipUnknownDestination() {
        if (FSkipDestinationIfUnknown) SkipDestination();
    }
    void SkipDestination();
    void ApplyProperty(TPropertyIndex Property, std::int64_t Value);
    // The value a property word gives: its number, or the row's default without one or when the row
    // always passes its default.
    static std::int64_t PropertyValue(const TTokenDef& Row, bool HasParameter, std::int64_t Parameter) {
        return Row.PassDefault || !HasParameter ? Row.DefaultValue : Parameter;
    }
    void ApplyTextProperty(TPropertyIndex Property, std::int64_t Value);
    void ApplyListProperty(TPropertyIndex Property, std::int64_t Value);
    void RunSpecial(TSpecialAction Action, bool HasParameter, std::int64_t Parameter);
    void ChangeFontStyle(TFontStyle Style, std::int64_t Value);

    // Font and colour tables.
    void CompleteFontEntry();
    void CompleteFontTable();
    // Text in no font yet, or after \plain, is in the default font: decoded with its character set.
    void UseDefaultFontCharset();
    void SetAnsiCodePage(std::int64_t CodePage);
    const std::string& FontName(std::int32_t Number);
    std::int32_t FontCharset(std::int32_t Number) const;
    void CompleteColorEntry();
    void SelectFontColor(std::int64_t Index);
    void SelectBackgroundColor(std::int64_t Index, bool Highlight);
    void SelectParagraphColor(std::int64_t Index);
    void LogColorNotFound(std::int64_t Index);
    bool ColorInTable(std::int64_t Index) const;

    // Text appended straight to the document: \u characters, bullets, line breaks.
    void UnicodeCharacter(std::int64_t Value);
    void AppendCodePoint(char32_t CodePoint);
    void FlushPendingSurrogate();

    bool InTextDestination() const { return FDestination == dsNormal || FDestination == dsFieldResult; }
    // Text that belongs to the encapsulated HTML: a tag's text, or body text outside \htmlrtf regions.
    bool CollectingHtml() const { return FExtractHtml && FFromHtml; }
    bool CollectingHtmlText() const { return CollectingHtml() && !FHtmlRtf && FPartDepth == 0; }
    void AppendHtmlTextByte(std::uint8_t Byte, TUnicodeConverter& Decoder);

    // A word the keyword table does not know, for the optional readers when one is on; false when none of
    // them takes it. Key is the word's short key, 0 for a long word.
    bool TakeStructureKeyword(std::string_view Keyword, std::uint64_t Key, bool HasParameter,
                              std::int64_t Parameter);
    // What TakeStructureKeyword has found of the word with this short key; null when it has not met it.
    const TStructureWord* KnownStructureWord(std::uint64_t Key) const;
    void RememberStructureWord(std::uint64_t Key, const TTableKeyword* TableRow);
    std::size_t StructureWordSlot(std::uint64_t Key) const;
    // A word, by its short key, that TakeStructureKeyword has found none of the readers knows.
    bool NoStructureWord(std::uint64_t Key) const;
    // With tables on, a table control word in text: true when it was one and has been acted on.
    bool TakeTableKeyword(std::string_view Keyword, bool HasParameter, std::int64_t Parameter);
    bool TakeTableKeyword(const TTableKeyword& Row, bool HasParameter, std::int64_t Parameter);
    // The numbering control words that only nested lists read: \ilvl, \levelstartat, \pnstart and
    // the old-style formats. False when Keyword is none of them, or lists are off.
    bool TakeListKeyword(std::string_view Keyword, std::int64_t Parameter);

    // Parts: the notes, the header and the footer, read into their own trees when they are converted.
    void EnterPart(TDestination Part, std::string_view Keyword);
    void BeginPart(TDocumentPart Part);
    void EndPart();
    // The control words of notes, while notes are converted; false when Keyword is none of them.
    bool TakePartKeyword(std::string_view Keyword, std::int64_t Parameter);
    // \sect: ends the body's paragraph, and the first section for headers and footers.
    void TakeSectionBreak();
    // Inside a header or footer that is left out, the group being entered shows no text.
    void HideSkippedPartText();

    ICxReaderOwner& FOwner;
    std::shared_ptr<ICxWriter> FWriter;
    std::unique_ptr<IUnicodeConverter> FUnicodeConverter;
    // Bookmark names and field instructions are read in the platform's default 8-bit code page.
    TUnicodeConverter FDefaultCodePage;

    // The options the reader consults, read once per Parse.
    TFontConversionOptions FFontOptions;
    bool FConvertIndent = false;
    bool FConvertFields = false;
    // Set when pictures are converted; fetched once, when the reader is created.
    std::shared_ptr<IPictureAdapter> FPictureAdapter;

    // Input.
    const std::uint8_t* FInput = nullptr;
    std::size_t FInputLength = 0;
    std::size_t FPosition = 0; // index of the current byte
    bool FEndOfDocument = false;

    // Tokenizer and group state.
    bool FSkipDestinationIfUnknown = false;
    TDestination FDestination = dsNormal;
    bool FDiscarding = false;
    TInputState FInputState = isNormal;
    std::int32_t FGroupDepth = 0;
    std::size_t FGroupOpenedAt = 0; // position of the last "{"
    std::function<void(std::size_t)> FInputRelease;
    std::size_t FNextInputRelease = 0; // the position at which FInputRelease is called next
    std::vector<TGroupState> FStack;
    std::size_t FStackDepth = 0; // entries in use; those above stay for reuse
    std::size_t FUnsavedFrom = 0; // entries from this one up have not saved the writer's properties
    char FHexPair[2] = {0, 0};
    int FHexCount = 0;

    // Font table and the entry being read.
    std::map<std::int32_t, TFontDescriptor> FFontTable;
    std::int32_t FDefaultFont = 0;
    std::int32_t FFontNumber = 0;
    std::string FFontName;
    TFontFamily FFontFamily = ffNil;
    std::int32_t FFontCharset = 0;
    bool FWarnedCodePage = false; // an unknown \ansicpg is reported once
    bool FAnsiCodePageGiven = false;

    // Colour table and the entry being read.
    std::vector<std::string> FColorTable;
    std::int32_t FRed = 0;
    std::int32_t FGreen = 0;
    std::int32_t FBlue = 0;

    // \u and its fallback characters; neither count belongs to a group.
    std::int32_t FUnicodeSkip = 1;
    std::int32_t FPendingSkip = 0;
    char16_t FPendingHighSurrogate = 0;

    // Fields, bookmarks and pictures.
    std::string FBookmarkName;
    std::string FFieldInstruction;
    bool FNonShapePicture = false;
    // The picture being read (owned by the adapter), the depth of the group that entered \pict, and
    // the first hexadecimal digit of a pair still waiting for its second (-1: none).
    TEmbeddedPicture* FPicture = nullptr;
    std::int32_t FPictureDepth = 0;
    int FPictureHighDigit = -1;

    // Encapsulated HTML. Text between tags decodes in the current font's code page, the tags' own text
    // in the document's ANSI code page.
    bool FExtractHtml = false;
    bool FFromHtml = false;
    bool FHtmlTagSeen = false;
    bool FHtmlRtf = false; // inside \htmlrtf … \htmlrtf0: RTF the HTML never held
    std::string FHtml;
    TUnicodeConverter FHtmlTextDecoder;
    TUnicodeConverter FHtmlTagDecoder;
    // Tables, when they are converted; made after the colour table it reads.
    std::unique_ptr<TCxTableReader> FTables;
    bool FLists = false; // lists are converted with their levels and numbering

    // Parts, when they are converted: the depth of the group of the part being read (0: the body), the
    // body's table state meanwhile, and which header and footer of the first section have been read
    // (the lower the rank, the more pages carry it; 3: none yet).
    bool FNotes = false;
    bool FHeadersFooters = false;
    bool FStructureReaders = false; // any of the four above
    // What the optional readers make of a word, by its short key: word processors repeat a few dozen
    // words throughout a document, and each would be looked up in every optional reader's table again.
    // A slot that holds the key says that no reader knows the word or, with a row, that the word is
    // that table word. A word takes the first free slot of the few from its own on, so that the words
    // of one document seldom push each other out.
    static constexpr unsigned StructureWordBits = 9;
    static constexpr std::size_t StructureWordProbes = 4;
    std::array<TStructureWord, std::size_t{1} << StructureWordBits> FStructureWords{};
    std::int32_t FPartDepth = 0;
    std::unique_ptr<TCxTableReader> FBodyTables;
    std::uint8_t FHeaderRank = 3;
    std::uint8_t FFooterRank = 3;
    bool FSectionEnded = false;
    // \enddoc or \endnotes without \fet: an older writer's way of saying that every note is an endnote.
    bool FFootnotesAtEnd = false;
    bool FNoteTypesGiven = false;
    // Headers and footers that are left out: the depth of the one being skipped (0: none), of a group in it
    // that shows no text (0: none), and whether any showed text.
    std::int32_t FSkippedPartDepth = 0;
    std::int32_t FSkippedHiddenDepth = 0;
    bool FSkippedPartText = false;
};

} // namespace corvane
