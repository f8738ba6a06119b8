#include "CxWriter.h"

#include "CxByteScan.h"
#include "CxOptions.h"

#include <algorithm>
#include <cassert>

namespace corvane {

namespace {

// Stores Value in Field; true when that changed the field.
template <typename T> bool Replace(T& Field, const T& Value) {
    if (Field == Value) return false;
    Field = Value;
    return true;
}

} // namespace

TCxWriter::TCxWriter(const ICxWriterOptions& Options, std::unique_ptr<IUnicodeConverter> Converter)
    : FOptions(Options), FUnicodeConverter(std::move(Converter)),
      FDocument(std::make_shared<TSimpleDomDocument>()), FBody(FDocument) {
    assert(FUnicodeConverter);
    FUnicodeConverter->SetCharset(FDefaultCharset);
}

TCharacterProperties TCxWriter::CloneCharacterProperties() const {
    FSavedHidden.push_back(FHidden);
    return FCharacterProperties;
}

void TCxWriter::SaveProperties(TCharacterProperties& Character, TParagraphProperties& Paragraph) const {
    FSavedHidden.push_back(FHidden);
    Character = FCharacterProperties;
    Paragraph = FParagraphProperties;
}

void TCxWriter::SetCharacterProperties(const TCharacterProperties& Properties) {
    // Most groups close on the formatting they opened with: nothing to set then, one comparison instead
    // of a dozen setters.
    if (Properties == FCharacterProperties) {
        RestoreSavedHidden();
        return;
    }
    // Each property changes as its setter would change it: a gated property stays as it is, and only
    // real changes start a run. The options are read once, not once per property, and the run starts
    // once for the properties before the character set, as the setters in turn would leave it.
    const TFontConversionOptions Options = FOptions.GetFontConversionOptions();
    TCharacterProperties& Current = FCharacterProperties;
    bool Changed = Replace(Current.RightToLeft, Properties.RightToLeft);
    if (Options.Contains(opFontBGColor))
        Changed |= Replace(Current.BackgroundColor, Properties.BackgroundColor);
    if (Options.Contains(opFontHLColor))
        Changed |= Replace(Current.HighlightColor, Properties.HighlightColor);
    if (Options.Contains(opFontColor)) Changed |= Replace(Current.FontColor, Properties.FontColor);
    if (Options.Contains(opFontSize)) Changed |= Replace(Current.FontSize, Properties.FontSize);
    if (Options.Contains(opFontStyle)) Changed |= Replace(Current.FontStyle, Properties.FontStyle);
    if (Options.Contains(opFontName)) Changed |= Replace(Current.FontName, Properties.FontName);
    if (Changed) StartTextRun();
    SetFontCharset(Properties.Charset);
    SetLanguage(Properties.Language);
    switch (Properties.VerticalPosition) {
    case 1:
        SetSubscript(true);
        break;
    case 2:
        SetSuperscript(true);
        break;
    default:
        SetSubscript(false);
        SetSuperscript(false);
        break;
    }
    RestoreSavedHidden();
}

void TCxWriter::RestoreSavedHidden() {
    if (!FSavedHidden.empty()) {
        FHidden = FSavedHidden.back();
        FSavedHidden.pop_back();
    }
}

void TCxWriter::SetParagraphProperties(const TParagraphProperties& Properties) {
    // ListStyle stays, and so do the format and start: what an old-style numbering group sets outlives
    // the group. The node is not touched; it keeps what it was last given until the next paragraph
    // change or mark.
    const std::uint8_t listStyle = FParagraphProperties.ListStyle;
    const std::int32_t listFormat = FParagraphProperties.ListFormat;
    const std::int32_t listStart = FParagraphProperties.ListStart;
    if (FParagraphProperties == Properties) return;
    const bool depthChanged = FParagraphProperties.InTable != Properties.InTable ||
                              FParagraphProperties.NestingLevel != Properties.NestingLevel;
    FParagraphProperties.Assign(Properties);
    FParagraphProperties.ListStyle = listStyle;
    FParagraphProperties.ListFormat = listFormat;
    FParagraphProperties.ListStart = listStart;
    // The table depth is structure, not formatting: the last paragraph always has the depth in force,
    // or a cell's paragraph after a group that reset it would fall out of its table.
    if (depthChanged) {
        TParagraphProperties& last = FDocument->LastParagraph().GetParagraphProperties();
        last.InTable = Properties.InTable;
        last.NestingLevel = Properties.NestingLevel;
    }
}

void TCxWriter::ResetCharacterProperties() {
    // As the setters in turn would reset them: a gated property stays as it is, and the run starts
    // once for the changes before the character set and once for those after it.
    const TCxOptionsOptimize& optimize = FOptions.GetOptionsOptimize();
    const TFontConversionOptions Options = FOptions.GetFontConversionOptions();
    TCharacterProperties& Current = FCharacterProperties;
    bool Changed = false;
    if (Options.Contains(opFontBGColor)) Changed |= Replace(Current.BackgroundColor, std::string());
    if (Options.Contains(opFontHLColor)) Changed |= Replace(Current.HighlightColor, std::string());
    if (Changed) StartTextRun();
    SetFontCharset(FDefaultCharset);
    Changed = false;
    if (Options.Contains(opFontColor)) Changed |= Replace(Current.FontColor, optimize.DefaultFontColor());
    if (Options.Contains(opFontName)) Changed |= Replace(Current.FontName, optimize.DefaultFontName());
    if (Options.Contains(opFontSize)) Changed |= Replace(Current.FontSize, optimize.DefaultFontSize());
    if (Options.Contains(opFontStyle)) Changed |= Replace(Current.FontStyle, TFontStyles{0});
    Changed |= Replace(Current.VerticalPosition, std::uint8_t{0});
    if (Changed) StartTextRun();
    SetHidden(false);
}

void TCxWriter::StartTextRun() {
    // A run that waits for its properties is still empty, so it is the one restarted here.
    FDocument->LastParagraph().CloseTextRun();
    FRunStarted = true;
    FStartedCharset = FCharacterProperties.Charset;
}

void TCxWriter::SetStartedRunProperties() const {
    FRunStarted = false;
    TTextNode& run = FDocument->LastTextRun();
    if (FStartedCharset == FCharacterProperties.Charset) {
        run.ShareCharacterProperties(SharedSet(FCharacterProperties));
    } else {
        TCharacterProperties started = FCharacterProperties;
        started.Charset = FStartedCharset;
        run.ShareCharacterProperties(SharedSet(started));
    }
}

std::shared_ptr<const TCharacterProperties>
TCxWriter::SharedSet(const TCharacterProperties& Properties) const {
    // Formatting mostly toggles between a few sets (a group's formatting and back), which the recent
    // ones catch before any hashing.
    for (std::size_t index = 0; index < FRecentSets.size() && FRecentSets[index]; ++index) {
        if (!(*FRecentSets[index] == Properties)) continue;
        std::rotate(FRecentSets.begin(), FRecentSets.begin() + static_cast<std::ptrdiff_t>(index),
                    FRecentSets.begin() + static_cast<std::ptrdiff_t>(index) + 1);
        return FRecentSets.front();
    }
    auto found = FSharedSets.find(Properties);
    if (found == FSharedSets.end())
        found = FSharedSets.insert(std::make_shared<const TCharacterProperties>(Properties)).first;
    std::rotate(FRecentSets.begin(), FRecentSets.end() - 1, FRecentSets.end());
    FRecentSets.front() = *found;
    return FRecentSets.front();
}

void TCxWriter::SetDefaultFontName(const std::string& FontName) {
    if (FDefaultFontName != FontName) FDefaultFontName = FontName;
}

void TCxWriter::SetFontColor(const std::string& Color) {
    if (Allows(opFontColor)) ChangeRun(FCharacterProperties.FontColor, Color);
}

void TCxWriter::SetBackgroundColor(const std::string& Color) {
    if (Allows(opFontBGColor)) ChangeRun(FCharacterProperties.BackgroundColor, Color);
}

void TCxWriter::SetHighlightColor(const std::string& Color) {
    if (Allows(opFontHLColor)) ChangeRun(FCharacterProperties.HighlightColor, Color);
}

void TCxWriter::SetFontCharset(std::int32_t Charset) {
    // Not a run property: it changes how the following bytes decode, and reaches runs with their copy.
    if (FCharacterProperties.Charset == Charset) return;
    FCharacterProperties.Charset = Charset;
    FUnicodeConverter->SetCharset(Charset);
}

void TCxWriter::SetFontStyle(TFontStyles Style) {
    if (Allows(opFontStyle)) ChangeRun(FCharacterProperties.FontStyle, Style);
}

void TCxWriter::SetFontSize(std::int32_t Size) {
    if (Allows(opFontSize)) ChangeRun(FCharacterProperties.FontSize, Size);
}

void TCxWriter::SetFontName(const std::string& FontName) {
    if (Allows(opFontName)) ChangeRun(FCharacterProperties.FontName, FontName);
}

void TCxWriter::SetSuperscript(bool Value) {
    if (Value == (FCharacterProperties.VerticalPosition == 2)) return;
    FCharacterProperties.VerticalPosition = Value ? 2 : 0;
    StartTextRun();
}

void TCxWriter::SetSubscript(bool Value) {
    if (Value == (FCharacterProperties.VerticalPosition == 1)) return;
    FCharacterProperties.VerticalPosition = Value ? 1 : 0;
    StartTextRun();
}

void TCxWriter::SetLanguage(const std::string& Language) {
    if (!FOptions.GetConvertLanguage() || Language == FCharacterProperties.Language) return;
    // The document language is written once on the html element, so runs in it store no language.
    // The code is compared with the stored value: restating the document language starts a run.
    FCharacterProperties.Language = Language == FOptions.GetDefaultLanguage() ? std::string() : Language;
    StartTextRun();
}

void TCxWriter::SetParagraphColor(const std::string& Color) {
    ChangeParagraph(FParagraphProperties.ShadingColor, Color);
}

void TCxWriter::SetFieldInstruction(const std::string& Instruction) {
    FDocument->LastTextRun().SetFieldInstruction(Instruction);
}

void TCxWriter::WriteChar(std::uint8_t Character) {
    if (FHidden) return;
    switch (Character) {
    case 0:
    case 12:
        return;
    case 9:
        WriteTab();
        return;
    case 10:
        WriteParagraphMark();
        return;
    default:
        // Decoded straight into the last run: the hot path allocates nothing of its own.
        SetStartedRun();
        FUnicodeConverter->Convert(Character, FDocument->LastTextRun().MutableText());
        return;
    }
}

void TCxWriter::WriteChars(std::string_view Characters) {
    if (FHidden) return;
    // Spans between the bytes WriteChar treats specially go to the decoder whole.
    const char* Start = Characters.data();
    const char* const End = Start + Characters.size();
    for (const char* Special; (Special = FindStop<srNone, '\0', '\t', '\n', '\f'>(Start, End)) != End;
         Start = Special + 1) {
        if (Special > Start)
            DecodeIntoLastRun(std::string_view(Start, static_cast<std::size_t>(Special - Start)));
        WriteChar(static_cast<std::uint8_t>(*Special));
    }
    if (Start < End) DecodeIntoLastRun(std::string_view(Start, static_cast<std::size_t>(End - Start)));
}

void TCxWriter::DecodeIntoLastRun(std::string_view Bytes) {
    SetStartedRun();
    FUnicodeConverter->ConvertBytes(Bytes, FDocument->LastTextRun().MutableText());
}

void TCxWriter::WriteTab() {
    // The tab text is markup of its own, in a raw run without a font name.
    StartTextRun();
    FRunStarted = false;
    TCharacterProperties tabProperties = FCharacterProperties;
    tabProperties.FontName.clear();
    FDocument->LastTextRun().ShareCharacterProperties(SharedSet(tabProperties));
    FDocument->AppendMarkup(FOptions.GetTabString());
    StartTextRun();
}

void TCxWriter::WriteParagraphMark() {
    SetStartedRun();
    FDocument->AddParagraph();
    FDocument->LastParagraph().SetParagraphProperties(FParagraphProperties);
    StartTextRun();
    if (FOnBodyParagraphEnded && FDocument == FBody) FOnBodyParagraphEnded(*FDocument);
}

void TCxWriter::EndSection() {
    // Word processors end a section's last paragraph with the break alone: without a mark of its own,
    // its words would run into the next section's.
    if (FHidden) return;
    TParagraphNode& Paragraph = FDocument->LastParagraph();
    for (int r = 0, Runs = Paragraph.GetChildCount(); r < Runs; ++r)
        if (!FastNodeCast<TTextNode, ISimpleDomTextNode>(Paragraph.GetChild(r)).GetText().empty())
            return WriteParagraphMark();
}

void TCxWriter::SetListNumbering(TListField Field, std::int32_t Value) {
    switch (Field) {
    case lfLevel:
        ChangeParagraph(FParagraphProperties.ListLevel, Value);
        break;
    case lfOverride:
        ChangeParagraph(FParagraphProperties.ListOverride, Value);
        break;
    case lfFormat:
        ChangeParagraph(FParagraphProperties.ListFormat, Value);
        break;
    case lfStart:
        ChangeParagraph(FParagraphProperties.ListStart, Value);
        break;
    }
}

void TCxWriter::ResetParagraphProperties() {
    // The paragraph gets the properties once, after all of them changed.
    TParagraphProperties& Current = FParagraphProperties;
    bool Changed = Replace(Current.Alignment, std::uint8_t{0});
    Changed |= Replace(Current.ListItem, false);
    Changed |= Replace(Current.ListStyle, std::uint8_t{0});
    Changed |= Replace(Current.ListLevel, 0);
    Changed |= Replace(Current.ListOverride, 0);
    Changed |= Replace(Current.ListFormat, -1);
    Changed |= Replace(Current.ListStart, 0);
    Changed |= Replace(Current.LeftIndent, 0);
    Changed |= Replace(Current.RightIndent, 0);
    Changed |= Replace(Current.FirstIndent, 0);
    FNumbering = false;
    Changed |= Replace(Current.SpaceBefore, 0);
    Changed |= Replace(Current.SpaceAfter, 0);
    Changed |= Replace(Current.ShadingColor, std::string());
    Changed |= Replace(Current.Border, false);
    Changed |= Replace(Current.InTable, false);
    Changed |= Replace(Current.NestingLevel, 0);
    if (Changed) UpdateParagraph();
}

void TCxWriter::EndCell(std::shared_ptr<const TTableRowDefinition> Row) {
    TParagraphNode& cell = FDocument->LastParagraph();
    // A cell ended outside any table still is one.
    if (cell.GetParagraphProperties().TableDepth() == 0) cell.GetParagraphProperties().InTable = true;
    cell.SetCellEnd({std::move(Row), false});
    WriteParagraphMark();
}

namespace {

// Nothing but blanks: what writers leave between a row's last cell and its end. A long paragraph
// counts as text without being looked through, so repeated row ends cost nothing each.
bool HoldsNoText(const TParagraphNode& Paragraph) {
    constexpr int MostRuns = 8;
    const int runs = Paragraph.GetChildCount();
    if (runs > MostRuns) return false;
    for (int r = 0; r < runs; ++r)
        for (const char c : Paragraph.GetChild(r)->GetText())
            if (static_cast<unsigned char>(c) > ' ') return false;
    return true;
}

} // namespace

void TCxWriter::EndRow(std::shared_ptr<const TTableRowDefinition> Row) {
    const std::int32_t depth = std::max(1, FParagraphProperties.TableDepth());
    // The row's last cell ended just before; text since then, or a row without a cell of its own
    // depth, ends one more cell here, so nothing is left outside the row.
    auto* ended = dynamic_cast<TParagraphNode*>(FDocument->LastParagraph().GetPreviousSibling());
    if (!HoldsNoText(FDocument->LastParagraph()) || ended == nullptr || ended->GetCellEnd() == nullptr ||
        ended->GetParagraphProperties().TableDepth() != depth) {
        EndCell(Row);
        ended = &NodeCast<TParagraphNode>(FDocument->LastParagraph().GetPreviousSibling());
    } else if (ended->GetCellEnd()->RowEnd) {
        return; // the row has ended already
    }
    ended->SetCellEnd({std::move(Row), true});
}

void TCxWriter::BeginPart(TDocumentPart Part) {
    // Parts do not nest: one begins only from the body.
    if (FDocument != FBody) return;
    SetStartedRun();
    FBodyParagraph = FParagraphProperties;
    FBodyNumbering = FNumbering;
    if (Part == dpFootnote || Part == dpEndnote) {
        bool custom = false;
        TTextNode& reference = NoteReference(custom);
        FDocument = FParts.BeginNote(Part == dpEndnote, reference, custom);
    } else {
        FDocument = FParts.BeginHeaderFooter(Part);
    }
    // A part is text of its own: it starts outside any list or table of the paragraph it is read in.
    FParagraphProperties = TParagraphProperties();
    FNumbering = false;
    UpdateParagraph();
    StartTextRun();
}

TTextNode& TCxWriter::NoteReference(bool& Custom) {
    TParagraphNode& paragraph = FBody->LastParagraph();
    Custom = false;
    if (!FReferencePending) {
        TTextNode* last = &paragraph.LastRun();
        if (last->GetText().empty() && last->GetPreviousSibling() != nullptr)
            last = &NodeCast<TTextNode>(last->GetPreviousSibling());
        if (IsCustomNoteMark(*last)) {
            Custom = true;
            return *last;
        }
    }
    paragraph.CloseTextRun();
    TTextNode& reference = paragraph.LastRun();
    TCharacterProperties properties = FReferencePending ? FReferenceProperties : FCharacterProperties;
    // Without \chftn the number stands raised, as reference marks do.
    if (!FReferencePending) properties.VerticalPosition = 2;
    FReferencePending = false;
    reference.ShareCharacterProperties(SharedSet(properties));
    return reference;
}

void TCxWriter::WriteNoteMark() {
    if (FHidden) return;
    if (FDocument == FBody) {
        FReferenceProperties = FCharacterProperties;
        FReferencePending = true;
        return;
    }
    // A header's \chftn, and a note's second one, show nothing.
    if (!FParts.InNote() || FParts.HasNoteMark()) return;
    SetStartedRun();
    TParagraphNode& paragraph = FDocument->LastParagraph();
    paragraph.CloseTextRun();
    TTextNode& mark = paragraph.LastRun();
    mark.ShareCharacterProperties(SharedSet(FCharacterProperties));
    FParts.SetNoteMark(mark);
    StartTextRun();
}

void TCxWriter::EndPart() {
    if (FDocument == FBody) return;
    SetStartedRun();
    FParts.EndNote();
    FDocument = FBody;
    FParagraphProperties = FBodyParagraph;
    FNumbering = FBodyNumbering;
    StartTextRun();
}

} // namespace corvane
