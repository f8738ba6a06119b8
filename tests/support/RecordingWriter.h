// A document writer for tests: records every call the reader makes, in order, as text such as
// "SetFontStyle(1)", and keeps just enough state for the getters to answer sensibly. Consecutive
// WriteChar bytes are merged into one "Text(...)" entry; what the reader appends to the document
// appears as "AppendText(...)" and "AppendMarkup(...)".
#pragma once

#include "CxInterfaces.h"

#include <cstdint>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

namespace corvane::test {

class TRecordingWriter;

// The document as far as the reader reaches it: text and markup appended to the last run.
class TRecordingDocument : public ISimpleDomDocument {
public:
    explicit TRecordingDocument(TRecordingWriter& Writer) : FWriter(Writer) {}

    void AppendText(const std::string& Text) override;
    void AppendMarkup(const std::string& Markup) override;
    void AddParagraph() override;
    const std::string& GetText() const override { return FText; }
    void SetText(std::string Text) override { FText = std::move(Text); }
    int GetChildCount() const override { return 0; }
    ISimpleDomNode* GetChild(int) const override {
        throw std::out_of_range("TRecordingDocument has no children");
    }
    ISimpleDomNode* GetLastChild() const override { return nullptr; }
    int IndexOf(const ISimpleDomNode*) const override { return -1; }
    ISimpleDomNode* GetPreviousSibling() const override { return nullptr; }
    ISimpleDomNode* GetNextSibling() const override { return nullptr; }
    void RemoveChild(ISimpleDomNode*) override {}

private:
    TRecordingWriter& FWriter;
    std::string FText;
};

class TRecordingWriter : public ICxWriter {
public:
    TRecordingWriter() : FDocument(std::make_shared<TRecordingDocument>(*this)) {}

    // Every call in order, and the text as it reaches the document (WriteChar bytes as they are,
    // appended text and markup as given).
    std::vector<std::string> Calls;
    std::string Text;

    // State behind the getters.
    TCharacterProperties Character;
    TParagraphProperties Paragraph;
    bool Numbering = false;
    bool Hidden = false;
    std::int32_t DefaultCharset = 0;
    std::string DefaultFontName;
    // Override numbers that IsBulletList answers true for.
    std::set<std::int32_t> BulletLists;

    // Calls whose text starts with Prefix, in order.
    std::vector<std::string> CallsStartingWith(const std::string& Prefix) const {
        std::vector<std::string> Result;
        for (const std::string& Call : Calls)
            if (Call.compare(0, Prefix.size(), Prefix) == 0) Result.push_back(Call);
        return Result;
    }
    // How often exactly this call was made.
    int Count(const std::string& Call) const {
        int Result = 0;
        for (const std::string& Each : Calls)
            Result += Each == Call;
        return Result;
    }

    void Record(std::string Call) { Calls.push_back(std::move(Call)); }
    // "Name(Value)": Booleans as 1 or 0, numbers in decimal.
    template <typename TValue> void Record(const char* Name, const TValue& Value) {
        if constexpr (std::is_same_v<TValue, bool>)
            Record(std::string(Name) + (Value ? "(1)" : "(0)"));
        else if constexpr (std::is_integral_v<TValue>)
            Record(std::string(Name) + "(" + std::to_string(Value) + ")");
        else
            Record(std::string(Name) + "(" + Value + ")");
    }
    void AddText(const char* Name, const std::string& Value) {
        Text += Value;
        Record(Name, Value);
    }

    TCharacterProperties CloneCharacterProperties() const override { return Character; }
    void SetCharacterProperties(const TCharacterProperties& Properties) override {
        Record("SetCharacterProperties");
        Character = Properties;
    }
    TParagraphProperties CloneParagraphProperties() const override { return Paragraph; }
    void SetParagraphProperties(const TParagraphProperties& Properties) override {
        Record("SetParagraphProperties");
        // The list style of an old-style numbering group outlives the group, as in the real writer.
        const std::uint8_t ListStyle = Paragraph.ListStyle;
        Paragraph = Properties;
        Paragraph.ListStyle = ListStyle;
    }
    void ResetCharacterProperties() override {
        Record("ResetCharacterProperties");
        Character.BackgroundColor.clear();
        Character.HighlightColor.clear();
        Character.Charset = DefaultCharset;
        Character.FontStyle = 0;
        Character.VerticalPosition = 0;
        Hidden = false;
    }
    void ResetParagraphProperties() override {
        Record("ResetParagraphProperties");
        const bool RightToLeft = Paragraph.RightToLeft;
        Paragraph = TParagraphProperties();
        Paragraph.RightToLeft = RightToLeft;
        Numbering = false;
    }
    void StartTextRun() override { Record("StartTextRun"); }
    void WriteChar(std::uint8_t Byte) override {
        Text += static_cast<char>(Byte);
        if (Calls.empty() || Calls.back().compare(0, 5, "Text(") != 0) Calls.emplace_back("Text()");
        Calls.back().insert(Calls.back().size() - 1, 1, static_cast<char>(Byte));
    }

    std::int32_t GetDefaultCharset() const override { return DefaultCharset; }
    bool GetNumbering() const override { return Numbering; }
    std::uint8_t GetListStyle() const override { return Paragraph.ListStyle; }
    bool GetListItem() const override { return Paragraph.ListItem; }
    std::string GetDefaultFontName() const override { return DefaultFontName; }
    TFontStyles GetFontStyle() const override { return Character.FontStyle; }
    bool GetHidden() const override { return Hidden; }
    bool GetSubscript() const override { return Character.VerticalPosition == 1; }
    bool GetSuperscript() const override { return Character.VerticalPosition == 2; }
    std::shared_ptr<ISimpleDomDocument> GetDocument() const override { return FDocument; }

    void SetAlignment(std::uint8_t Value) override { Record("SetAlignment", Paragraph.Alignment = Value); }
    void SetDefaultCharset(std::int32_t Value) override {
        Record("SetDefaultCharset", DefaultCharset = Value);
    }
    void SetNumbering(bool Value) override { Record("SetNumbering", Numbering = Value); }
    void SetListStyle(std::uint8_t Value) override { Record("SetListStyle", Paragraph.ListStyle = Value); }
    void SetListItem(bool Value) override { Record("SetListItem", Paragraph.ListItem = Value); }
    void SetDefaultFontName(const std::string& Value) override {
        Record("SetDefaultFontName", DefaultFontName = Value);
    }
    void SetFontColor(const std::string& Value) override {
        Record("SetFontColor", Character.FontColor = Value);
    }
    void SetBackgroundColor(const std::string& Value) override {
        Record("SetBackgroundColor", Character.BackgroundColor = Value);
    }
    void SetHighlightColor(const std::string& Value) override {
        Record("SetHighlightColor", Character.HighlightColor = Value);
    }
    void SetFontCharset(std::int32_t Value) override { Record("SetFontCharset", Character.Charset = Value); }
    void SetFontStyle(TFontStyles Value) override { Record("SetFontStyle", Character.FontStyle = Value); }
    void SetFontSize(std::int32_t Value) override { Record("SetFontSize", Character.FontSize = Value); }
    void SetHidden(bool Value) override { Record("SetHidden", Hidden = Value); }
    void SetSuperscript(bool Value) override {
        Record("SetSuperscript", Value);
        if (Value || Character.VerticalPosition == 2) Character.VerticalPosition = Value ? 2 : 0;
    }
    void SetSubscript(bool Value) override {
        Record("SetSubscript", Value);
        if (Value || Character.VerticalPosition == 1) Character.VerticalPosition = Value ? 1 : 0;
    }
    void SetLanguage(const std::string& Value) override { Record("SetLanguage", Character.Language = Value); }
    void SetLeftIndent(std::int32_t Value) override { Record("SetLeftIndent", Paragraph.LeftIndent = Value); }
    void SetRightIndent(std::int32_t Value) override {
        Record("SetRightIndent", Paragraph.RightIndent = Value);
    }
    void SetFirstIndent(std::int32_t Value) override {
        Record("SetFirstIndent", Paragraph.FirstIndent = Value);
    }
    void SetSpaceBefore(std::int32_t Value) override {
        Record("SetSpaceBefore", Paragraph.SpaceBefore = Value);
    }
    void SetSpaceAfter(std::int32_t Value) override { Record("SetSpaceAfter", Paragraph.SpaceAfter = Value); }
    void SetParagraphColor(const std::string& Value) override {
        Record("SetParagraphColor", Paragraph.ShadingColor = Value);
    }
    void SetBorder(bool Value) override { Record("SetBorder", Paragraph.Border = Value); }
    void SetAnchor(const std::string& Value) override { Record("SetAnchor", Value); }
    void SetFieldInstruction(const std::string& Value) override { Record("SetFieldInstruction", Value); }
    void SetFontName(const std::string& Value) override { Record("SetFontName", Character.FontName = Value); }
    void SetRightToLeft(bool Value) override { Record("SetRightToLeft", Character.RightToLeft = Value); }
    void SetParagraphRightToLeft(bool Value) override {
        Record("SetParagraphRightToLeft", Paragraph.RightToLeft = Value);
    }

    void AddListTable() override { Record("AddListTable"); }
    void AddListOverride() override { Record("AddListOverride"); }
    void AddListLevel() override { Record("AddListLevel"); }
    void SetListId(std::int32_t Value) override { Record("SetListId", Value); }
    void SetListOverrideListId(std::int32_t Value) override { Record("SetListOverrideListId", Value); }
    void SetListTemplateId(std::int32_t Value) override { Record("SetListTemplateId", Value); }
    void SetListOverrideNumber(std::int32_t Value) override { Record("SetListOverrideNumber", Value); }
    void SetLevelNumberFormat(std::int32_t Value) override { Record("SetLevelNumberFormat", Value); }
    bool IsBulletList(std::int32_t OverrideNumber) override {
        Record("IsBulletList", OverrideNumber);
        return BulletLists.count(OverrideNumber) != 0;
    }

private:
    std::shared_ptr<TRecordingDocument> FDocument;
};

inline void TRecordingDocument::AppendText(const std::string& Text) {
    FText += Text;
    FWriter.AddText("AppendText", Text);
}
inline void TRecordingDocument::AppendMarkup(const std::string& Markup) {
    FText += Markup;
    FWriter.AddText("AppendMarkup", Markup);
}
inline void TRecordingDocument::AddParagraph() {
    FWriter.Record("AddParagraph");
}

} // namespace corvane::test
