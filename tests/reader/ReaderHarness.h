// A reader wired to a writer that records its calls, with the real component as its owner and a real
// decoder for font names.
#pragma once

#include "CxBase.h"
#include "CxDocument.h"
#include "CxReader.h"
#include "CxUnicode.h"

#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace corvane::test {

// An empty document whose additions are recorded instead of kept: as calls such as "AppendText(x)", and
// in the text that reaches the document.
class TRecordingDocument : public TSimpleDomDocument {
public:
    TRecordingDocument(std::vector<std::string>& Calls, std::string& Text) : FCalls(Calls), FText(Text) {}
    void AppendText(const std::string& Text) override { Record("AppendText", Text); }
    void AppendMarkup(const std::string& Markup) override { Record("AppendMarkup", Markup); }
    void AddParagraph() override { FCalls.emplace_back("AddParagraph"); }

private:
    void Record(const char* Name, const std::string& Text) {
        FCalls.push_back(std::string(Name) + "(" + Text + ")");
        FText += Text;
    }
    std::vector<std::string>& FCalls;
    std::string& FText;
};

// Records every call the reader makes, in order, as text such as "SetFontStyle(1)"; consecutive WriteChar
// bytes become one "Text(...)" entry. It keeps only the state the reader reads back.
class TRecordingWriter : public ICxWriter {
public:
    std::vector<std::string> Calls;
    // The text as it reaches the document: WriteChar bytes, appended text and markup.
    std::string Text;
    TCharacterProperties Character;
    bool Numbering = false;
    std::int32_t DefaultCharset = 0;
    std::string DefaultFontName;
    // Override numbers that IsBulletList answers true for.
    std::set<std::int32_t> BulletLists;

    void Record(std::string Call) { Calls.push_back(std::move(Call)); }
    // Records "Name(Value)", Booleans as 1 or 0, and hands Value back to be stored.
    template <typename TValue> TValue Record(const char* Name, TValue Value) {
        if constexpr (std::is_same_v<TValue, std::string>)
            Record(std::string(Name) + "(" + Value + ")");
        else
            Record(std::string(Name) + "(" + std::to_string(static_cast<long long>(Value)) + ")");
        return Value;
    }

    TCharacterProperties CloneCharacterProperties() const override { return Character; }
    void SetCharacterProperties(const TCharacterProperties& Properties) override {
        Record("SetCharacterProperties");
        Character = Properties;
    }
    // The reader reads no paragraph property back.
    TParagraphProperties CloneParagraphProperties() const override { return {}; }
    void SetParagraphProperties(const TParagraphProperties&) override { Record("SetParagraphProperties"); }
    void ResetCharacterProperties() override {
        Record("ResetCharacterProperties");
        Character.FontStyle = 0;
    }
    void ResetParagraphProperties() override {
        Record("ResetParagraphProperties");
        Numbering = false;
    }
    void StartTextRun() override { Record("StartTextRun"); }
    void WriteChar(std::uint8_t Byte) override {
        Text += static_cast<char>(Byte);
        if (Calls.empty() || !Calls.back().starts_with("Text(")) Record("Text()");
        Calls.back().insert(Calls.back().size() - 1, 1, static_cast<char>(Byte));
    }

    std::int32_t GetDefaultCharset() const override { return DefaultCharset; }
    bool GetNumbering() const override { return Numbering; }
    std::string GetDefaultFontName() const override { return DefaultFontName; }
    TFontStyles GetFontStyle() const override { return Character.FontStyle; }
    std::shared_ptr<ISimpleDomDocument> GetDocument() const override { return FDocument; }
    // The reader never asks these.
    std::uint8_t GetListStyle() const override { return 0; }
    bool GetListItem() const override { return false; }
    bool GetHidden() const override { return false; }
    bool GetSubscript() const override { return false; }
    bool GetSuperscript() const override { return false; }

    void SetDefaultCharset(std::int32_t Value) override {
        DefaultCharset = Record("SetDefaultCharset", Value);
    }
    void SetDefaultFontName(const std::string& Value) override {
        DefaultFontName = Record("SetDefaultFontName", Value);
    }
    void SetNumbering(bool Value) override { Numbering = Record("SetNumbering", Value); }
    void SetFontStyle(TFontStyles Value) override { Character.FontStyle = Record("SetFontStyle", Value); }
    void SetAlignment(std::uint8_t Value) override { Record("SetAlignment", Value); }
    void SetListStyle(std::uint8_t Value) override { Record("SetListStyle", Value); }
    void SetListItem(bool Value) override { Record("SetListItem", Value); }
    void SetFontColor(const std::string& Value) override { Record("SetFontColor", Value); }
    void SetBackgroundColor(const std::string& Value) override { Record("SetBackgroundColor", Value); }
    void SetHighlightColor(const std::string& Value) override { Record("SetHighlightColor", Value); }
    void SetFontCharset(std::int32_t Value) override { Record("SetFontCharset", Value); }
    void SetFontSize(std::int32_t Value) override { Record("SetFontSize", Value); }
    void SetHidden(bool Value) override { Record("SetHidden", Value); }
    void SetSuperscript(bool Value) override { Record("SetSuperscript", Value); }
    void SetSubscript(bool Value) override { Record("SetSubscript", Value); }
    void SetLanguage(const std::string& Value) override { Record("SetLanguage", Value); }
    void SetLeftIndent(std::int32_t Value) override { Record("SetLeftIndent", Value); }
    void SetRightIndent(std::int32_t Value) override { Record("SetRightIndent", Value); }
    void SetFirstIndent(std::int32_t Value) override { Record("SetFirstIndent", Value); }
    void SetSpaceBefore(std::int32_t Value) override { Record("SetSpaceBefore", Value); }
    void SetSpaceAfter(std::int32_t Value) override { Record("SetSpaceAfter", Value); }
    void SetParagraphColor(const std::string& Value) override { Record("SetParagraphColor", Value); }
    void SetBorder(bool Value) override { Record("SetBorder", Value); }
    void SetAnchor(const std::string& Value) override { Record("SetAnchor", Value); }
    void SetFieldInstruction(const std::string& Value) override { Record("SetFieldInstruction", Value); }
    void SetFontName(const std::string& Value) override { Record("SetFontName", Value); }
    void SetRightToLeft(bool Value) override { Record("SetRightToLeft", Value); }
    void SetParagraphRightToLeft(bool Value) override { Record("SetParagraphRightToLeft", Value); }

    void AddListTable() override { Record("AddListTable"); }
    void AddListOverride() override { Record("AddListOverride"); }
    void AddListLevel() override { Record("AddListLevel"); }
    void SetListId(std::int32_t Value) override { Record("SetListId", Value); }
    void SetListOverrideListId(std::int32_t Value) override { Record("SetListOverrideListId", Value); }
    void SetListTemplateId(std::int32_t Value) override { Record("SetListTemplateId", Value); }
    void SetListOverrideNumber(std::int32_t Value) override { Record("SetListOverrideNumber", Value); }
    void SetAnsiCodePage(std::int32_t Value) override { Record("SetAnsiCodePage", Value); }
    void SetListNumbering(TListField Field, std::int32_t Value) override {
        static constexpr const char* Names[] = {"SetListLevel", "SetListOverride", "SetListFormat",
                                                "SetListStart"};
        Record(Names[Field], Value);
    }
    void SetLevelStartAt(std::int32_t Value) override { Record("SetLevelStartAt", Value); }
    void BeginPart(TDocumentPart Part) override { Record("BeginPart", Part); }
    void EndPart() override { Record("EndPart"); }
    void WriteNoteMark() override { Record("WriteNoteMark"); }
    void EndSection() override { Record("EndSection"); }
    void SetEndnote() override { Record("SetEndnote"); }
    void SetNoteNumbering(TNoteNumbering Field, std::int32_t Value) override {
        Record("SetNoteNumbering(" + std::to_string(Field) + "," + std::to_string(Value) + ")");
    }
    void SetLevelNumberFormat(std::int32_t Value) override { Record("SetLevelNumberFormat", Value); }
    bool IsBulletList(std::int32_t OverrideNumber) override {
        return BulletLists.contains(Record("IsBulletList", OverrideNumber));
    }
    // Tables: the depth is what \itap set last; a row definition is recorded by its boundaries.
    std::int32_t NestingLevel = 0;
    void SetInTable(bool Value) override { Record("SetInTable", Value); }
    void SetNestingLevel(std::int32_t Value) override { NestingLevel = Record("SetNestingLevel", Value); }
    std::int32_t GetTableDepth() const override { return NestingLevel; }
    void EndCell(std::shared_ptr<const TTableRowDefinition> Row) override {
        Record(Boundaries("EndCell(", Row));
    }
    void EndRow(std::shared_ptr<const TTableRowDefinition> Row) override {
        Record(Boundaries("EndRow(", Row));
    }
    static std::string Boundaries(std::string Call, const std::shared_ptr<const TTableRowDefinition>& Row) {
        for (std::size_t Cell = 0; Row && Cell < Row->Cells.size(); ++Cell)
            Call.append(Cell > 0 ? " " : "").append(std::to_string(Row->Cells[Cell].Right));
        return Call.append(")");
    }

private:
    std::shared_ptr<TRecordingDocument> FDocument = std::make_shared<TRecordingDocument>(Calls, Text);
};

struct TReaderHarness {
    TCxBase Owner;
    std::shared_ptr<TRecordingWriter> Writer = std::make_shared<TRecordingWriter>();
    std::unique_ptr<TCxReader> Reader;
    std::vector<std::string> Warnings;

    // Font names pass unchanged; warnings are kept.
    TReaderHarness() {
        Owner.SetReplaceFonts({});
        Owner.SetOnLog([this](TCxBase&, TLogLevel Level, const std::string& Text) {
            if (Level == logWarning) Warnings.push_back(Text);
        });
    }
    // The same, having read Rtf with the default options.
    explicit TReaderHarness(std::string_view Rtf) : TReaderHarness() { Parse(Rtf); }

    // Creates the reader on first use, so options set before the call apply.
    TCxReader& GetReader() {
        if (!Reader)
            Reader = std::make_unique<TCxReader>(Owner, Writer, std::make_unique<TUnicodeConverter>());
        return *Reader;
    }
    void Parse(std::string_view Rtf) { GetReader().Parse(Rtf); }
    const std::string& Text() const { return Writer->Text; }
    // The calls whose text starts with Prefix, in order and joined by blanks; without the restoring calls
    // every group end makes unless WithRestores.
    std::string Calls(std::string_view Prefix = "", bool WithRestores = true) const {
        std::string Result;
        for (const std::string& Call : Writer->Calls)
            if (Call.starts_with(Prefix) &&
                (WithRestores || (Call != "SetCharacterProperties" && Call != "SetParagraphProperties")))
                Result += (Result.empty() ? "" : " ") + Call;
        return Result;
    }
    std::string CallsBesidesRestores(std::string_view Prefix = "") const { return Calls(Prefix, false); }
};

// The text of the ECxError that Action raises; empty when it raises none.
template <typename TAction> std::string ErrorOf(TAction&& Action) {
    try {
        Action();
    } catch (const ECxError& Error) {
        return Error.what();
    }
    return {};
}

// Text as UTF-8, for comparing with what the reader appends.
inline std::string Utf8(std::u8string_view Text) {
    return std::string(Text.begin(), Text.end());
}

} // namespace corvane::test
