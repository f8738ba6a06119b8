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
    void AddText(const std::string& Name, const std::string& Value) {
        Text += Value;
        Record(Name + "(" + Value + ")");
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
    void StartTextRun() override { Record("StartTextRun"); }
    void SetAlignment(std::uint8_t Alignment) override {
        Record("SetAlignment(" + std::to_string(Alignment) + ")");
        Paragraph.Alignment = Alignment;
    }
    std::int32_t GetDefaultCharset() const override { return DefaultCharset; }
    void SetDefaultCharset(std::int32_t Charset) override {
        Record("SetDefaultCharset(" + std::to_string(Charset) + ")");
        DefaultCharset = Charset;
    }
    bool GetNumbering() const override { return Numbering; }
    void SetNumbering(bool Value) override {
        Record(std::string("SetNumbering(") + (Value ? "1" : "0") + ")");
        Numbering = Value;
    }
    void SetListStyle(std::uint8_t ListStyle) override {
        Record("SetListStyle(" + std::to_string(ListStyle) + ")");
        Paragraph.ListStyle = ListStyle;
    }
    std::uint8_t GetListStyle() const override { return Paragraph.ListStyle; }
    void SetListItem(bool ListItem) override {
        Record(std::string("SetListItem(") + (ListItem ? "1" : "0") + ")");
        Paragraph.ListItem = ListItem;
    }
    bool GetListItem() const override { return Paragraph.ListItem; }
    void SetDefaultFontName(const std::string& FontName) override {
        Record("SetDefaultFontName(" + FontName + ")");
        DefaultFontName = FontName;
    }
    std::string GetDefaultFontName() const override { return DefaultFontName; }
    void SetFontColor(const std::string& Color) override {
        Record("SetFontColor(" + Color + ")");
        Character.FontColor = Color;
    }
    void SetBackgroundColor(const std::string& Color) override {
        Record("SetBackgroundColor(" + Color + ")");
        Character.BackgroundColor = Color;
    }
    void SetHighlightColor(const std::string& Color) override {
        Record("SetHighlightColor(" + Color + ")");
        Character.HighlightColor = Color;
    }
    void SetFontCharset(std::int32_t Charset) override {
        Record("SetFontCharset(" + std::to_string(Charset) + ")");
        Character.Charset = Charset;
    }
    void SetFontStyle(TFontStyles Style) override {
        Record("SetFontStyle(" + std::to_string(Style) + ")");
        Character.FontStyle = Style;
    }
    TFontStyles GetFontStyle() const override { return Character.FontStyle; }
    void SetFontSize(std::int32_t Size) override {
        Record("SetFontSize(" + std::to_string(Size) + ")");
        Character.FontSize = Size;
    }
    bool GetHidden() const override { return Hidden; }
    void SetHidden(bool Value) override {
        Record(std::string("SetHidden(") + (Value ? "1" : "0") + ")");
        Hidden = Value;
    }
    void SetSuperscript(bool Value) override {
        Record(std::string("SetSuperscript(") + (Value ? "1" : "0") + ")");
        if (Value)
            Character.VerticalPosition = 2;
        else if (Character.VerticalPosition == 2)
            Character.VerticalPosition = 0;
    }
    bool GetSubscript() const override { return Character.VerticalPosition == 1; }
    void SetSubscript(bool Value) override {
        Record(std::string("SetSubscript(") + (Value ? "1" : "0") + ")");
        if (Value)
            Character.VerticalPosition = 1;
        else if (Character.VerticalPosition == 1)
            Character.VerticalPosition = 0;
    }
    bool GetSuperscript() const override { return Character.VerticalPosition == 2; }
    void SetLanguage(const std::string& Language) override {
        Record("SetLanguage(" + Language + ")");
        Character.Language = Language;
    }
    void SetLeftIndent(std::int32_t Twips) override {
        Record("SetLeftIndent(" + std::to_string(Twips) + ")");
        Paragraph.LeftIndent = Twips;
    }
    void SetRightIndent(std::int32_t Twips) override {
        Record("SetRightIndent(" + std::to_string(Twips) + ")");
        Paragraph.RightIndent = Twips;
    }
    void SetSpaceBefore(std::int32_t Twips) override {
        Record("SetSpaceBefore(" + std::to_string(Twips) + ")");
        Paragraph.SpaceBefore = Twips;
    }
    void SetSpaceAfter(std::int32_t Twips) override {
        Record("SetSpaceAfter(" + std::to_string(Twips) + ")");
        Paragraph.SpaceAfter = Twips;
    }
    void SetParagraphColor(const std::string& Color) override {
        Record("SetParagraphColor(" + Color + ")");
        Paragraph.ShadingColor = Color;
    }
    void SetBorder(bool Border) override {
        Record(std::string("SetBorder(") + (Border ? "1" : "0") + ")");
        Paragraph.Border = Border;
    }
    void SetAnchor(const std::string& Anchor) override { Record("SetAnchor(" + Anchor + ")"); }
    void SetFieldInstruction(const std::string& Instruction) override {
        Record("SetFieldInstruction(" + Instruction + ")");
    }
    void SetFirstIndent(std::int32_t Twips) override {
        Record("SetFirstIndent(" + std::to_string(Twips) + ")");
        Paragraph.FirstIndent = Twips;
    }
    std::shared_ptr<ISimpleDomDocument> GetDocument() const override { return FDocument; }
    void SetFontName(const std::string& FontName) override {
        Record("SetFontName(" + FontName + ")");
        Character.FontName = FontName;
    }
    void SetRightToLeft(bool Value) override {
        Record(std::string("SetRightToLeft(") + (Value ? "1" : "0") + ")");
        Character.RightToLeft = Value;
    }
    void SetParagraphRightToLeft(bool Value) override {
        Record(std::string("SetParagraphRightToLeft(") + (Value ? "1" : "0") + ")");
        Paragraph.RightToLeft = Value;
    }
    void WriteChar(std::uint8_t Byte) override {
        Text += static_cast<char>(Byte);
        if (Calls.empty() || Calls.back().compare(0, 5, "Text(") != 0) Calls.emplace_back("Text()");
        Calls.back().insert(Calls.back().size() - 1, 1, static_cast<char>(Byte));
    }
    void ResetParagraphProperties() override {
        Record("ResetParagraphProperties");
        const bool RightToLeft = Paragraph.RightToLeft;
        Paragraph = TParagraphProperties();
        Paragraph.RightToLeft = RightToLeft;
        Numbering = false;
    }
    void AddListTable() override { Record("AddListTable"); }
    void AddListOverride() override { Record("AddListOverride"); }
    void AddListLevel() override { Record("AddListLevel"); }
    void SetListId(std::int32_t Id) override { Record("SetListId(" + std::to_string(Id) + ")"); }
    void SetListOverrideListId(std::int32_t Id) override {
        Record("SetListOverrideListId(" + std::to_string(Id) + ")");
    }
    void SetListTemplateId(std::int32_t Id) override {
        Record("SetListTemplateId(" + std::to_string(Id) + ")");
    }
    void SetListOverrideNumber(std::int32_t Number) override {
        Record("SetListOverrideNumber(" + std::to_string(Number) + ")");
    }
    void SetLevelNumberFormat(std::int32_t Format) override {
        Record("SetLevelNumberFormat(" + std::to_string(Format) + ")");
    }
    bool IsBulletList(std::int32_t OverrideNumber) override {
        Record("IsBulletList(" + std::to_string(OverrideNumber) + ")");
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
