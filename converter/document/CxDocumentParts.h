// The parts of a document that are written apart from its body text: the header, the footer and the
// notes. Each is a tree of its own; the notes share one, each note starting a paragraph of it, and are
// numbered here as the document asks.
#pragma once

#include "CxDocument.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace corvane {

// A run of a few characters standing on its own, raised or no word: the mark a document gives a note in
// place of its number, when no \chftn comes before the note.
bool IsCustomNoteMark(const TTextNode& Run);

// True when any paragraph of Document holds more than blanks (markup counts, as pictures are markup).
bool HoldsText(ISimpleDomDocument& Document);

class TDocumentParts {
public:
    struct TNote {
        std::int32_t FirstParagraph = 0; // in Notes()
        bool Endnote = false;
        std::string Mark; // its number as the document writes it, or its own mark
        // The note holds a run with its mark; otherwise the output puts the mark in front of its text.
        bool MarkInText = false;
    };

    TDocumentParts();

    // A header or footer starts anew, replacing one read before.
    const std::shared_ptr<TSimpleDomDocument>& BeginHeaderFooter(TDocumentPart Part);
    // A note starts a paragraph of Notes() and links to Reference, a run of the body that stands for it:
    // an empty run that takes the note's number, or (Custom) the document's own mark.
    const std::shared_ptr<TSimpleDomDocument>& BeginNote(bool Endnote, TTextNode& Reference, bool Custom);
    bool InNote() const { return FReference != nullptr; }
    void SetEndnote();
    // Run, an empty run of the note, becomes the note's mark, unless it has one already.
    void SetNoteMark(TTextNode& Run);
    bool HasNoteMark() const { return FMark != nullptr; }
    // Numbers the note that was begun last and gives its runs their final text.
    void EndNote();
    void SetNumbering(TNoteNumbering Field, std::int32_t Value);

    const std::shared_ptr<TSimpleDomDocument>& Header() const { return FHeader; }
    const std::shared_ptr<TSimpleDomDocument>& Footer() const { return FFooter; }
    const std::shared_ptr<TSimpleDomDocument>& Notes() const { return FNotes; }
    const std::vector<TNote>& NoteList() const { return FNoteList; }

private:
    struct TSequence {
        std::int32_t Format;
        std::int32_t Start = 1;
        std::int32_t Count = 0;
        std::string Next() const;
    };
    TSequence& SequenceOf(bool Endnote) { return Endnote ? FEndnotes : FFootnotes; }
    // The first run of the note with text, when its text is the note's custom mark.
    TTextNode* CustomMarkInNote() const;

    std::shared_ptr<TSimpleDomDocument> FHeader, FFooter, FNotes;
    std::vector<TNote> FNoteList;
    // Footnotes count 1, 2, 3 and endnotes i, ii, iii unless the document says otherwise.
    TSequence FFootnotes{0}, FEndnotes{2};
    // The runs of the note being read: its reference in the body and its own mark.
    TTextNode* FReference = nullptr;
    TTextNode* FMark = nullptr;
    bool FCustom = false;
};

} // namespace corvane
