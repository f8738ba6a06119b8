// The collaborator interfaces of the converter. Stages meet only through these: the reader reports to
// ICxWriter, the writer reads its settings through ICxWriterOptions, the output stages ask ICxTranslator,
// and so on. Shared objects are held as std::shared_ptr<I...>.
#pragma once

#include "CxSimpleDomInterfaces.h"
#include "CxTypes.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace corvane {

class TCxOptionsOptimize;
class TEmbeddedPicture;

// Byte-wise decoding of a Windows code page into UTF-8, double-byte pages included.
class IUnicodeConverter {
public:
    virtual ~IUnicodeConverter() = default;
    virtual std::int32_t GetCharset() const = 0;
    virtual void SetCharset(std::int32_t Charset) = 0;
    virtual bool IsDoubleByte() const = 0;
    virtual void SetDoubleByte(bool Value) = 0;
    // The code page of the document's own character set (DocumentCharset), as \ansicpg names it; 1252
    // until then.
    virtual void SetAnsiCodePage(std::int32_t CodePage) = 0;
    // Appends the character that Byte completes to Output; appends nothing while the first byte of a
    // double-byte character waits for its second.
    virtual void Convert(std::uint8_t Byte, std::string& Output) = 0;
    // The same as Convert for each byte in turn; a converter may take whole spans at once.
    virtual void ConvertBytes(std::string_view Bytes, std::string& Output) {
        for (const char Byte : Bytes)
            Convert(static_cast<std::uint8_t>(Byte), Output);
    }
};

// The reader-to-writer operations, in their fixed order.
class ICxWriter {
public:
    virtual ~ICxWriter() = default;
    virtual TCharacterProperties CloneCharacterProperties() const = 0;                // 1
    virtual void SetCharacterProperties(const TCharacterProperties& Properties) = 0;  // 2
    virtual TParagraphProperties CloneParagraphProperties() const = 0;                // 3
    virtual void SetParagraphProperties(const TParagraphProperties& Properties) = 0;  // 4
    virtual void ResetCharacterProperties() = 0;                                      // 5
    virtual void StartTextRun() = 0;                                                  // 6
    virtual void SetAlignment(std::uint8_t Alignment) = 0;                            // 7
    virtual std::int32_t GetDefaultCharset() const = 0;                               // 8
    virtual void SetDefaultCharset(std::int32_t Charset) = 0;                         // 9
    virtual bool GetNumbering() const = 0;                                            // 10
    virtual void SetNumbering(bool Numbering) = 0;                                    // 11
    virtual void SetListStyle(std::uint8_t ListStyle) = 0;                            // 12
    virtual std::uint8_t GetListStyle() const = 0;                                    // 13
    virtual void SetListItem(bool ListItem) = 0;                                      // 14
    virtual bool GetListItem() const = 0;                                             // 15
    virtual void SetDefaultFontName(const std::string& FontName) = 0;                 // 16
    virtual std::string GetDefaultFontName() const = 0;                               // 17
    virtual void SetFontColor(const std::string& Color) = 0;                          // 18
    virtual void SetBackgroundColor(const std::string& Color) = 0;                    // 19
    virtual void SetHighlightColor(const std::string& Color) = 0;                     // 20
    virtual void SetFontCharset(std::int32_t Charset) = 0;                            // 21
    virtual void SetFontStyle(TFontStyles Style) = 0;                                 // 22
    virtual TFontStyles GetFontStyle() const = 0;                                     // 23
    virtual void SetFontSize(std::int32_t Size) = 0;                                  // 24
    virtual bool GetHidden() const = 0;                                               // 25
    virtual void SetHidden(bool Hidden) = 0;                                          // 26
    virtual void SetSuperscript(bool Value) = 0;                                      // 27
    virtual bool GetSubscript() const = 0;                                            // 28
    virtual void SetSubscript(bool Value) = 0;                                        // 29
    virtual bool GetSuperscript() const = 0;                                          // 30
    virtual void SetLanguage(const std::string& Language) = 0;                        // 31
    virtual void SetLeftIndent(std::int32_t Twips) = 0;                               // 32
    virtual void SetRightIndent(std::int32_t Twips) = 0;                              // 33
    virtual void SetSpaceBefore(std::int32_t Twips) = 0;                              // 34
    virtual void SetSpaceAfter(std::int32_t Twips) = 0;                               // 35
    virtual void SetParagraphColor(const std::string& Color) = 0;                     // 36
    virtual void SetBorder(bool Border) = 0;                                          // 37
    virtual void SetAnchor(const std::string& Anchor) = 0;                            // 38
    virtual void SetFieldInstruction(const std::string& Instruction) = 0;             // 39
    virtual void SetFirstIndent(std::int32_t Twips) = 0;                              // 40
    virtual std::shared_ptr<ISimpleDomDocument> GetDocument() const = 0;              // 41
    virtual void SetFontName(const std::string& FontName) = 0;                        // 42
    virtual void SetRightToLeft(bool Value) = 0;                                      // 43
    virtual void SetParagraphRightToLeft(bool Value) = 0;                             // 44
    virtual void WriteChar(std::uint8_t Character) = 0;                               // 45
    virtual void ResetParagraphProperties() = 0;                                      // 46
    virtual void AddListTable() = 0;                                                  // 47
    virtual void AddListOverride() = 0;                                               // 48
    virtual void AddListLevel() = 0;                                                  // 49
    virtual void SetListId(std::int32_t Id) = 0;                                      // 50
    virtual void SetListOverrideListId(std::int32_t Id) = 0;                          // 51
    virtual void SetListTemplateId(std::int32_t Id) = 0;                              // 52
    virtual void SetListOverrideNumber(std::int32_t Number) = 0;                      // 53
    virtual void SetLevelNumberFormat(std::int32_t Format) = 0;                       // 54
    virtual bool IsBulletList(std::int32_t OverrideNumber) = 0;                       // 55
    virtual void SetInTable(bool Value) = 0;                                          // 56
    virtual void SetNestingLevel(std::int32_t Level) = 0;                             // 57
    virtual std::int32_t GetTableDepth() const = 0;                                   // 58
    // Ends the paragraph as the last of a table cell whose row Row defines.
    virtual void EndCell(std::shared_ptr<const TTableRowDefinition> Row) = 0;         // 59
    // Ends the row at the current depth, and the cell still open in it.
    virtual void EndRow(std::shared_ptr<const TTableRowDefinition> Row) = 0;          // 60
    // The document's \ansicpg: the code page of text in the ANSI character set.
    virtual void SetAnsiCodePage(std::int32_t CodePage) = 0;                          // 61
    // One of the paragraph's list numbering values (\ilvl, \ls, the old-style \pn format and start).
    virtual void SetListNumbering(TListField Field, std::int32_t Value) = 0;          // 62
    // \levelstartatN of the last level defined.
    virtual void SetLevelStartAt(std::int32_t Start) = 0;                             // 63
    // What follows goes to Part (dpHeader, dpFooter, dpFootnote or dpEndnote) until EndPart; a note
    // leaves its reference in the body text. Parts do not nest.
    virtual void BeginPart(TDocumentPart Part) = 0;                                   // 64
    virtual void EndPart() = 0;                                                       // 65
    // \chftn: in the body, the reference of the note that follows takes the formatting in force; in a
    // note, its own number (which links back).
    virtual void WriteNoteMark() = 0;                                                 // 66
    // \ftnalt: the note being written is an endnote.
    virtual void SetEndnote() = 0;                                                    // 67
    virtual void SetNoteNumbering(TNoteNumbering Field, std::int32_t Value) = 0;      // 68
    // \sect in the body: the section break is also the mark of the paragraph it stands in, unless that
    // paragraph is still empty (a paragraph mark came just before).
    virtual void EndSection() = 0;                                                    // 69
    // The same as WriteChar for each byte in turn; lets a writer take plain text a span at a time.
    virtual void WriteChars(std::string_view Characters) {
        for (const char Character : Characters)
            WriteChar(static_cast<std::uint8_t>(Character));
    }
    // The same as CloneCharacterProperties and CloneParagraphProperties for a group, into storage the
    // reader keeps from group to group, so that saving allocates nothing. The reader saves before the
    // group's first control word that may change the properties, and restores them with
    // SetCharacterProperties and SetParagraphProperties at the group's end only when it saved them.
    virtual void SaveProperties(TCharacterProperties& Character, TParagraphProperties& Paragraph) const {
        Character = CloneCharacterProperties();
        Paragraph = CloneParagraphProperties();
    }
};

// The settings the document writer reads, at the moment of use.
class ICxWriterOptions {
public:
    virtual bool GetConvertLanguage() const = 0;
    virtual std::string GetDefaultLanguage() const = 0;
    virtual TFontConversionOptions GetFontConversionOptions() const = 0;
    virtual const TCxOptionsOptimize& GetOptionsOptimize() const = 0;
    virtual std::string GetTabString() const = 0;

protected:
    ~ICxWriterOptions() = default; // the component is not owned through this view
};

class IPictureConverter;

// Names pictures, keeps the finished ones and makes their img elements.
class IPictureAdapter {
public:
    using TPictureMap = std::map<std::string, std::unique_ptr<TEmbeddedPicture>>;

    virtual ~IPictureAdapter() = default;
    virtual void Clear() = 0;
    virtual TEmbeddedPicture* NewPicture() = 0;
    virtual TEmbeddedPicture* GetPicture() = 0;
    virtual void FinishPicture() = 0;
    virtual std::string GetImageTag() = 0;
    virtual const TPictureMap& GetPictures() const = 0;
    virtual void SetConverter(std::shared_ptr<IPictureConverter> Converter) = 0;
    virtual void SetURLPrefix(const std::string& Prefix) = 0;
};

// May change a picture in place (type and bytes); leaves pictures it does not handle unchanged.
class IPictureConverter {
public:
    virtual ~IPictureConverter() = default;
    virtual void Convert(TEmbeddedPicture& Picture) = 0;
};

// What the reader needs of the component that owns the conversion.
class ICxReaderOwner {
public:
    virtual TFontConversionOptions GetFontConversionOptions() const = 0;
    virtual bool GetConvertIndent() const = 0;
    virtual bool GetConvertFields() const = 0;
    virtual bool GetConvertPictures() const = 0;
    virtual bool GetConvertTables() const = 0;
    virtual bool GetConvertLists() const = 0;
    virtual bool GetConvertNotes() const = 0;
    virtual bool GetConvertHeadersFooters() const = 0;
    virtual const TCxOptionsOptimize& GetOptionsOptimize() const = 0;
    // Throws "Property TCxBase.PictureAdapter is not assigned" while pictures are on and none is set.
    virtual std::shared_ptr<IPictureAdapter> GetPictureAdapter() const = 0;
    virtual void ReplaceFont(std::string& FontName) = 0;
    virtual std::string GetLineBreak() const = 0;
    virtual void Log(TLogLevel Level, const std::string& Text) = 0;
    virtual bool GetEndOfDocument() const = 0;
    virtual void SetEndOfDocument(bool Value) = 0;

protected:
    ~ICxReaderOwner() = default;
};

class IRtfReader {
public:
    virtual ~IRtfReader() = default;
    virtual void Parse(std::string_view Rtf) = 0;
};

// Indentation text per nesting level.
class IMarginBuilding {
public:
    virtual ~IMarginBuilding() = default;
    virtual std::string GetMargin(std::int32_t Level) const = 0;
    virtual void SetMarginWidth(std::int32_t Width) = 0;
    virtual std::int32_t GetMarginWidth() const = 0;
};

// Whole lines at a current nesting level.
class ICxFormatter {
public:
    virtual ~ICxFormatter() = default;
    virtual void SetLevel(std::int32_t Level) = 0;
    virtual void SetLineBreak(const std::string& LineBreak) = 0;
    virtual std::int32_t GetLevel() const = 0;
    virtual std::string GetLineBreak() const = 0;
    virtual std::string FormatLine(const std::string& Text) = 0;
    virtual std::string IndentLine(const std::string& Text) = 0;
    virtual std::string OutdentLine(const std::string& Text) = 0;
    virtual std::string GetMarginAt(std::int32_t Level) const = 0;
    virtual std::string GetCurrentMargin() const = 0;
};

// Turns a text run that is a link into its complete "a" element.
class IHyperlinkURIBuilder {
public:
    virtual ~IHyperlinkURIBuilder() = default;
    virtual std::string BuildLink(const ISimpleDomTextNode& Node) = 0;
};

// Everything that differs between the output dialects.
class ICxTranslator {
public:
    virtual ~ICxTranslator() = default;
    virtual std::string Encode(std::string_view Text) const = 0;
    virtual std::string FormatText(const std::string& Text, const TCharacterProperties& Props) const = 0;
    // Appends what FormatText returns to Output; lets a translator skip the intermediate string.
    virtual void AppendFormattedText(std::string& Output, const std::string& Text,
                                     const TCharacterProperties& Props) const {
        Output += FormatText(Text, Props);
    }
    virtual std::string GetEmptyElementEnd() const = 0;
    virtual std::string GetDocType() const = 0;
    virtual std::string GetFontSizeStyle(std::int32_t Size) const = 0;
    virtual std::string BuildParagraphStart(const std::string& Style, const std::string& Attributes) const = 0;
    virtual std::string GetParagraphStart(const TParagraphProperties& Props) const = 0;
    virtual std::string GetHtmlStartTag(const std::string& Language) const = 0;
    virtual std::string GetStyleAttribute(const std::string& Style) const = 0;
    virtual bool UsePresentationalTags() const = 0;
    virtual bool IsXml() const = 0;
    virtual bool IsDocTypeRequired() const = 0;
    virtual void SetFontSizeScale(TFontSizeScale Value) = 0;
    virtual void SetParagraphTag(const std::string& Value) = 0;
    virtual bool SupportsElement(const std::string& Name) const = 0;
    virtual bool SupportsAttribute(const std::string& Element, const std::string& Attribute) const = 0;
    // The table start tag; Bordered when any cell of the table has a border.
    virtual std::string GetTableStart(bool Bordered) const = 0;
    // A cell's start tag, th or td, with its spans and as much of its format as the dialect can carry.
    virtual std::string GetTableCellStart(const TTableCellFormat& Cell) const = 0;
    // Whether heading rows can stand apart in a thead.
    virtual bool SupportsTableHead() const = 0;
    // Whether a cell may hold a table.
    virtual bool SupportsNestedTables() const = 0;
    // An ol or ul start tag carrying as much of the numbering as the dialect can: its format (an RTF
    // \levelnfc value) and, for a numbered list, its first number.
    virtual std::string GetListStart(std::int32_t Format, std::int32_t Start) const = 0;
    // A CSS declaration for the first item of that list when its start tag cannot carry the first number.
    virtual std::string GetFirstListItemStyle(std::int32_t Format, std::int32_t Start) const = 0;
    // The start tag of a part written apart from the body text; Id, when given, is its id.
    virtual std::string GetPartStart(TDocumentPart Part, std::string_view Id) const = 0;
    virtual std::string GetPartEnd(TDocumentPart Part) const = 0;
    // What sets a part apart from the body text, inside it: a rule where the dialect has one.
    virtual std::string GetPartRule() const = 0;
};

// What the output writer needs of the component: run conversion, list tags and the shared builders.
class ICxRunConverter {
public:
    virtual std::string ConvertTextRun(ISimpleDomTextNode& Run) = 0;
    // Appends what ConvertTextRun returns to Output; lets a converter skip the intermediate string.
    virtual void AppendTextRun(ISimpleDomTextNode& Run, std::string& Output) { Output += ConvertTextRun(Run); }
    virtual std::string GetOrderedListTag() const = 0;
    virtual std::string GetUnorderedListTag() const = 0;
    virtual const ICxTranslator& GetTranslator() const = 0;
    virtual const IMarginBuilding& GetMarginBuilder() const = 0;

protected:
    ~ICxRunConverter() = default;
};

} // namespace corvane
