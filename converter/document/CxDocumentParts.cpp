#include "CxDocumentParts.h"

#include "CxListNumbering.h"
#include "CxTableLayout.h"

#include <algorithm>
#include <string_view>

namespace corvane {

namespace {

std::string_view TrimBlanks(std::string_view Text) {
    const auto IsBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    while (!Text.empty() && IsBlank(Text.front()))
        Text.remove_prefix(1);
    while (!Text.empty() && IsBlank(Text.back()))
        Text.remove_suffix(1);
    return Text;
}

} // namespace

bool IsCustomNoteMark(const TTextNode& Run) {
    if (Run.GetRaw() || Run.GetNote() != 0) return false;
    const std::string_view text = TrimBlanks(Run.GetText());
    constexpr std::size_t LongestMark = 10;
    if (text.empty() || text.size() > LongestMark) return false;
    if (Run.CharacterProperties().VerticalPosition == 2) return true;
    return std::none_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
    });
}

bool HoldsText(ISimpleDomDocument& Document) {
    for (int i = 0, count = Document.GetChildCount(); i < count; ++i)
        if (!IsBlankParagraph(*Document.GetChild(i))) return true;
    return false;
}

std::string TDocumentParts::TSequence::Next() const {
    const std::int64_t number = std::min<std::int64_t>(static_cast<std::int64_t>(Start) + Count, INT32_MAX);
    return FormatListNumber(Format, static_cast<std::int32_t>(number));
}

TDocumentParts::TDocumentParts()
    : FHeader(std::make_shared<TSimpleDomDocument>()), FFooter(std::make_shared<TSimpleDomDocument>()),
      FNotes(std::make_shared<TSimpleDomDocument>()) {}

const std::shared_ptr<TSimpleDomDocument>& TDocumentParts::BeginHeaderFooter(TDocumentPart Part) {
    std::shared_ptr<TSimpleDomDocument>& part = Part == dpHeader ? FHeader : FFooter;
    part = std::make_shared<TSimpleDomDocument>();
    return part;
}

const std::shared_ptr<TSimpleDomDocument>& TDocumentParts::BeginNote(bool Endnote, TTextNode& Reference,
                                                                     bool Custom) {
    // The first note takes the paragraph the tree starts with.
    if (!FNoteList.empty()) FNotes->AddParagraph();
    TNote& note = FNoteList.emplace_back();
    note.FirstParagraph = FNotes->GetChildCount() - 1;
    note.Endnote = Endnote;
    FReference = &Reference;
    FMark = nullptr;
    FCustom = Custom;
    Reference.SetNote(static_cast<std::int32_t>(FNoteList.size()));
    // Until the note ends, \ftnalt may still make it an endnote: the number given now may change.
    if (Custom)
        note.Mark = TrimBlanks(Reference.GetText());
    else
        Reference.MutableText() = SequenceOf(Endnote).Next();
    return FNotes;
}

void TDocumentParts::SetEndnote() {
    if (InNote()) FNoteList.back().Endnote = true;
}

void TDocumentParts::SetNoteMark(TTextNode& Run) {
    if (!InNote() || FMark != nullptr) return;
    FMark = &Run;
    Run.SetNote(static_cast<std::int32_t>(FNoteList.size()));
    const TNote& note = FNoteList.back();
    Run.MutableText() = FCustom ? note.Mark : SequenceOf(note.Endnote).Next();
}

void TDocumentParts::EndNote() {
    if (!InNote()) return;
    TNote& note = FNoteList.back();
    if (!FCustom) {
        TSequence& sequence = SequenceOf(note.Endnote);
        note.Mark = sequence.Next();
        ++sequence.Count;
        FReference->MutableText() = note.Mark;
        if (FMark != nullptr) FMark->MutableText() = note.Mark;
    } else if (FMark == nullptr) {
        // A note with a mark of its own repeats it in front of its text, in a run that is not \chftn.
        FMark = CustomMarkInNote();
        if (FMark != nullptr) FMark->SetNote(static_cast<std::int32_t>(FNoteList.size()));
    }
    note.MarkInText = FMark != nullptr;
    FReference = FMark = nullptr;
}

TTextNode* TDocumentParts::CustomMarkInNote() const {
    const TNote& note = FNoteList.back();
    for (int p = note.FirstParagraph, paragraphs = FNotes->GetChildCount(); p < paragraphs; ++p) {
        const ISimpleDomNode& paragraph = *FNotes->GetChild(p);
        for (int r = 0, runs = paragraph.GetChildCount(); r < runs; ++r) {
            auto& run = NodeCast<TTextNode>(paragraph.GetChild(r));
            const std::string_view text = TrimBlanks(run.GetText());
            if (text.empty()) continue;
            return !run.GetRaw() && text == note.Mark ? &run : nullptr;
        }
    }
    return nullptr;
}

void TDocumentParts::SetNumbering(TNoteNumbering Field, std::int32_t Value) {
    switch (Field) {
    case nnFootnoteFormat:
        FFootnotes.Format = Value;
        break;
    case nnFootnoteStart:
        FFootnotes.Start = std::max(Value, 1);
        break;
    case nnEndnoteFormat:
        FEndnotes.Format = Value;
        break;
    case nnEndnoteStart:
        FEndnotes.Start = std::max(Value, 1);
        break;
    }
}

} // namespace corvane
