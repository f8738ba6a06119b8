// The receiving end of the RTF reader: keeps the character and paragraph properties in force, decides
// where a text run begins, decodes body bytes and builds the document tree.
#pragma once

#include "CxDocument.h"
#include "CxDocumentParts.h"
#include "CxInterfaces.h"
#include "CxLists.h"
#include "CxPropertiesHash.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace corvane {

// Hidden text (\v) is scoped to its group like every other character property, although it is not a
// field of TCharacterProperties (runs never carry it). The writer saves it itself on the reader's group
// calls: every CloneCharacterProperties (a group start) pushes the hidden state, and every
// SetCharacterProperties (the matching group end) pops it and restores it. The reader calls both only
// for its group snapshots, in nested order; a snapshot it never restores (the outermost group) only
// leaves an entry behind. \v0 and \plain still end hidden text at once.
//
// A run takes the properties in force when it was last started. Formatting changes restart the run
// many times before any text arrives (a group's end restores property by property), so the run only
// notes that it was started and gets its properties when it is about to change: text, markup or a
// new paragraph arrives, or the tree is handed out. Until then the run's own properties are not yet
// set; a caller that keeps the tree from an earlier GetDocument while writing goes on sees that.
class TCxWriter : public ICxWriter {
public:
    // Options is read at the moment of use and must outlive the writer; Converter decodes body bytes.
    TCxWriter(const ICxWriterOptions& Options, std::unique_ptr<IUnicodeConverter> Converter);

    TCharacterProperties CloneCharacterProperties() const override;
    void SetCharacterProperties(const TCharacterProperties& Properties) override;
    TParagraphProperties CloneParagraphProperties() const override { return FParagraphProperties; }
    void SaveProperties(TCharacterProperties& Character, TParagraphProperties& Paragraph) const override;
    void SetParagraphProperties(const TParagraphProperties& Properties) override;
    void ResetCharacterProperties() override;
    void StartTextRun() override;
    void SetAlignment(std::uint8_t Alignment) override {
        ChangeParagraph(FParagraphProperties.Alignment, Alignment);
    }
    std::int32_t GetDefaultCharset() const override { return FDefaultCharset; }
    void SetDefaultCharset(std::int32_t Charset) override { FDefaultCharset = Charset; }
    bool GetNumbering() const override { return FNumbering; }
    void SetNumbering(bool Numbering) override { FNumbering = Numbering; }
    void SetListStyle(std::uint8_t ListStyle) override {
        ChangeParagraph(FParagraphProperties.ListStyle, ListStyle);
    }
    std::uint8_t GetListStyle() const override { return FParagraphProperties.ListStyle; }
    void SetListItem(bool ListItem) override { ChangeParagraph(FParagraphProperties.ListItem, ListItem); }
    bool GetListItem() const override { return FParagraphProperties.ListItem; }
    void SetDefaultFontName(const std::string& FontName) override;
    std::string GetDefaultFontName() const override { return FDefaultFontName; }
    void SetFontColor(const std::string& Color) override;
    void SetBackgroundColor(const std::string& Color) override;
    void SetHighlightColor(const std::string& Color) override;
    void SetFontCharset(std::int32_t Charset) override;
    void SetFontStyle(TFontStyles Style) override;
    TFontStyles GetFontStyle() const override { return FCharacterProperties.FontStyle; }
    void SetFontSize(std::int32_t Size) override;
    bool GetHidden() const override { return FHidden; }
    void SetHidden(bool Hidden) override { FHidden = Hidden; }
    void SetSuperscript(bool Value) override;
    bool GetSubscript() const override { return FCharacterProperties.VerticalPosition == 1; }
    void SetSubscript(bool Value) override;
    bool GetSuperscript() const override { return FCharacterProperties.VerticalPosition == 2; }
    void SetLanguage(const std::string& Language) override;
    void SetLeftIndent(std::int32_t Twips) override {
        ChangeParagraph(FParagraphProperties.LeftIndent, Twips);
    }
    void SetRightIndent(std::int32_t Twips) override {
        ChangeParagraph(FParagraphProperties.RightIndent, Twips);
    }
    void SetSpaceBefore(std::int32_t Twips) override {
        ChangeParagraph(FParagraphProperties.SpaceBefore, Twips);
    }
    void SetSpaceAfter(std::int32_t Twips) override {
        ChangeParagraph(FParagraphProperties.SpaceAfter, Twips);
    }
    void SetParagraphColor(const std::string& Color) override;
    void SetBorder(bool Border) override { ChangeParagraph(FParagraphProperties.Border, Border); }
    void SetAnchor(const std::string& Anchor) override { FDocument->LastTextRun().SetAnchor(Anchor); }
    void SetFieldInstruction(const std::string& Instruction) override;
    void SetFirstIndent(std::int32_t Twips) override {
        ChangeParagraph(FParagraphProperties.FirstIndent, Twips);
    }
    std::shared_ptr<ISimpleDomDocument> GetDocument() const override {
        SetStartedRun();
        return FDocument;
    }
    void SetFontName(const std::string& FontName) override;
    void SetRightToLeft(bool Value) override { ChangeRun(FCharacterProperties.RightToLeft, Value); }
    void SetParagraphRightToLeft(bool Value) override {
        ChangeParagraph(FParagraphProperties.RightToLeft, Value);
    }
    void WriteChar(std::uint8_t Character) override;
    void WriteChars(std::string_view Characters) override;
    void ResetParagraphProperties() override;
    void AddListTable() override { FListHeaderInfo.AddList(); }
    void AddListOverride() override { FListHeaderInfo.AddOverride(); }
    void AddListLevel() override { FListHeaderInfo.AddLevel(); }
    void SetListId(std::int32_t Id) override { FListHeaderInfo.SetListId(Id); }
    void SetListOverrideListId(std::int32_t Id) override { FListHeaderInfo.SetOverrideListId(Id); }
    void SetListTemplateId(std::int32_t Id) override { FListHeaderInfo.SetListTemplateId(Id); }
    void SetListOverrideNumber(std::int32_t Number) override { FListHeaderInfo.SetOverrideNumber(Number); }
    void SetLevelNumberFormat(std::int32_t Format) override { FListHeaderInfo.SetLevelNumberFormat(Format); }
    void SetAnsiCodePage(std::int32_t CodePage) override { FUnicodeConverter->SetAnsiCodePage(CodePage); }
    void SetLevelStartAt(std::int32_t Start) override { FListHeaderInfo.SetLevelStartAt(Start); }
    void SetListNumbering(TListField Field, std::int32_t Value) override;
    bool IsBulletList(std::int32_t OverrideNumber) override {
        return FListHeaderInfo.IsBulletList(OverrideNumber);
    }
    void SetInTable(bool Value) override { ChangeParagraph(FParagraphProperties.InTable, Value); }
    void SetNestingLevel(std::int32_t Level) override {
        ChangeParagraph(FParagraphProperties.NestingLevel, Level);
    }
    std::int32_t GetTableDepth() const override { return FParagraphProperties.TableDepth(); }
    void EndCell(std::shared_ptr<const TTableRowDefinition> Row) override;
    void EndRow(std::shared_ptr<const TTableRowDefinition> Row) override;
    void BeginPart(TDocumentPart Part) override;
    void EndPart() override;
    void WriteNoteMark() override;
    void EndSection() override;
    void SetEndnote() override { FParts.SetEndnote(); }
    void SetNoteNumbering(TNoteNumbering Field, std::int32_t Value) override {
        FParts.SetNumbering(Field, Value);
    }

    // Told after each paragraph of the body the reader ends, with the body: who writes the body as it
    // is read takes the paragraphs it may from there. The last one is being read, and a row's end may
    // still mark the cell that ended before it.
    using TBodyParagraphEnded = std::function<void(TSimpleDomDocument& Body)>;
    void SetOnBodyParagraphEnded(TBodyParagraphEnded Event) { FOnBodyParagraphEnded = std::move(Event); }

    // The tree being written (the body's, or a part's while one is open) as its concrete class, for
    // callers inside the document subsystem.
    const std::shared_ptr<TSimpleDomDocument>& Document() const {
        SetStartedRun();
        return FDocument;
    }
    const TCharacterProperties& CharacterProperties() const { return FCharacterProperties; }
    const TParagraphProperties& ParagraphProperties() const { return FParagraphProperties; }
    const TListHeaderInfo& ListHeaderInfo() const { return FListHeaderInfo; }
    const TDocumentParts& Parts() const { return FParts; }

private:
    bool Allows(TFontOption Option) const { return FOptions.GetFontConversionOptions().Contains(Option); }
    // Stores a changed character property and starts a run; an unchanged value does nothing.
    template <typename T> void ChangeRun(T& Field, const T& Value) {
        if (Field == Value) return;
        Field = Value;
        StartTextRun();
    }
    // Stores a changed paragraph property and copies the properties into the last paragraph.
    template <typename T> void ChangeParagraph(T& Field, const T& Value) {
        if (Field == Value) return;
        Field = Value;
        UpdateParagraph();
    }
    void UpdateParagraph() { FDocument->LastParagraph().SetParagraphProperties(FParagraphProperties); }
    void WriteTab();
    // The hidden state saved when the group that is closing opened.
    void RestoreSavedHidden();
    void WriteParagraphMark();
    void DecodeIntoLastRun(std::string_view Bytes);
    // The run of the body that stands for the note about to begin; Custom when it is the document's own mark.
    TTextNode& NoteReference(bool& Custom);
    // Gives a run started since the last change of the tree the properties it was started with.
    void SetStartedRun() const {
        if (FRunStarted) SetStartedRunProperties();
    }
    void SetStartedRunProperties() const;
    // The one shared copy of Properties that runs of that formatting get.
    std::shared_ptr<const TCharacterProperties> SharedSet(const TCharacterProperties& Properties) const;

    const ICxWriterOptions& FOptions;
    TCharacterProperties FCharacterProperties;
    TParagraphProperties FParagraphProperties;
    std::string FDefaultFontName;
    std::unique_ptr<IUnicodeConverter> FUnicodeConverter;
    std::int32_t FDefaultCharset = 0;
    std::shared_ptr<TSimpleDomDocument> FDocument;
    bool FNumbering = false;
    bool FHidden = false;
    // The hidden state at each open group start (see the class comment).
    mutable std::vector<bool> FSavedHidden;
    TListHeaderInfo FListHeaderInfo;
    TBodyParagraphEnded FOnBodyParagraphEnded;

    // Parts: the body's tree while a part is written, and what the body had in force when it began.
    TDocumentParts FParts;
    std::shared_ptr<TSimpleDomDocument> FBody;
    TParagraphProperties FBodyParagraph;
    bool FBodyNumbering = false;
    // The formatting in force at the body's last \chftn, for the reference of the note that follows.
    TCharacterProperties FReferenceProperties;
    bool FReferencePending = false;

    // Every formatting given to a run so far, once, and the sets given most recently, latest first.
    struct TSetHash : TCharacterPropertiesHash {
        using is_transparent = void;
        using TCharacterPropertiesHash::operator();
        std::size_t operator()(const std::shared_ptr<const TCharacterProperties>& Set) const {
            return (*this)(*Set);
        }
    };
    struct TSetEqual {
        using is_transparent = void;
        static const TCharacterProperties& Of(const TCharacterProperties& Properties) { return Properties; }
        static const TCharacterProperties& Of(const std::shared_ptr<const TCharacterProperties>& Set) {
            return *Set;
        }
        template <typename A, typename B> bool operator()(const A& Left, const B& Right) const {
            return Of(Left) == Of(Right);
        }
    };
    mutable std::unordered_set<std::shared_ptr<const TCharacterProperties>, TSetHash, TSetEqual> FSharedSets;
    mutable std::array<std::shared_ptr<const TCharacterProperties>, 4> FRecentSets;
    // The last run was started and still waits for its properties: those in force, except the
    // character set, which changes without starting a run.
    mutable bool FRunStarted = false;
    std::int32_t FStartedCharset = 0;
};

} // namespace corvane
