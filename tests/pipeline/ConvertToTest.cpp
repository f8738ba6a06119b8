// ConvertTo hands the result over in pieces and may build the head before the body, and the body is
// written while it is read; the pieces joined must be exactly what Convert returns, and what the whole tree
// gives, whatever the settings.
#include "CorvaneXHTML.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace corvane {
namespace {

std::string Joined(TRkCorvaneXHTML& Converter, const std::string& Rtf, int* Pieces = nullptr) {
    std::string Result;
    int Count = 0;
    Converter.ConvertTo(Rtf, [&](std::string_view Piece) {
        EXPECT_FALSE(Piece.empty());
        Result += Piece;
        ++Count;
    });
    if (Pieces) *Pieces = Count;
    return Result;
}

std::string Document(int Paragraphs) {
    std::string Rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\froman Times New Roman;}{\\f1\\fswiss Arial;}}"
                      "{\\colortbl;\\red255\\green0\\blue0;}";
    for (int i = 0; i < Paragraphs; ++i)
        Rtf += "\\pard\\qc plain {\\b\\f1 bold} {\\cf1\\i red & <italic>}\\tab caf\\'e9\\par ";
    return Rtf + "}";
}

TEST(ConvertTo, PiecesJoinedAreTheResultOfConvert) {
    const std::string Small = Document(3);
    const std::string Large = Document(8000); // well over one piece
    TRkCorvaneXHTML Converter;
    int Pieces = 0;
    EXPECT_EQ(Joined(Converter, Large, &Pieces), Converter.Convert(Large));
    EXPECT_GT(Pieces, 3);

    Converter.SetDocumentType(dtXHTML_11);
    Converter.SetConvertLanguage(true);
    Converter.OptionsHead().SetDocumentTitle("T");
    EXPECT_EQ(Joined(Converter, Small), Converter.Convert(Small));
    Converter.OptionsHead().SetAddOuterHTML(false);
    EXPECT_EQ(Joined(Converter, Small), Converter.Convert(Small));
    Converter.OptionsHead().SetAddOuterHTML(true);
    Converter.SetConvertToPlainText(true);
    EXPECT_EQ(Joined(Converter, Large), Converter.Convert(Large));

    EXPECT_EQ(Joined(Converter, "no header", &Pieces), "");
    EXPECT_EQ(Pieces, 0);
}

// A listener of the finished tree makes the converter read the whole body before it writes any of it;
// without one, the body goes out while it is read, a few settled paragraphs at a time. Both must give the
// same result wherever those pieces end: in tables, lists and notes, and before blank paragraphs at the end.
TEST(ConvertTo, TheBodyWrittenWhileReadIsTheBodyWrittenWhole) {
    struct TWholeTree : IPostProcessEventListener {
        void HandleEvent(TCxBase&, TPostProcessEventObject&) override {}
    };
    const std::string Start =
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
        "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\levelstartat3}"
        "{\\listlevel\\levelnfc23}\\listid7}}{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}";
    const std::string Pieces[] = {
        "\\pard text {\\b bold}\\par \\par {\\cf1 red}\\tab\\par ",
        "\\trowd\\cellx2000\\cellx4000\\pard\\intbl a\\cell \\cell\\row \\pard after\\par ",
        "\\pard\\ls1 one\\par\\pard\\ls1\\ilvl1 two\\par\\pard\\ls1 \\par\\pard plain\\par ",
        "\\pard note{\\super\\chftn}{\\footnote\\pard{\\super\\chftn} said\\par more}\\par ",
        "{\\field{\\*\\fldinst HYPERLINK \"http://example.com\"}{\\fldrslt link}}\\par \\pard\\tab\\par ",
    };
    // Blank paragraphs at the end are dropped. These hold a blank, so that only its being blank keeps
    // one from being written early.
    std::string Blanks;
    for (int i = 0; i < 100; ++i)
        Blanks += "\\pard  \\par ";
    std::vector<std::string> Documents;
    std::string Mixed = Start;
    for (const std::string& Piece : Pieces) {
        std::string Repeated = Start;
        for (int i = 0; i < 150; ++i) {
            Repeated += Piece;
            if (i % 5 == 0) Mixed += Piece;
        }
        Documents.push_back(Repeated + Blanks + "}");
    }
    Documents.push_back(Mixed + "}");
    // Headers early and late, and a mail's own HTML named late, come out as when the tree is read whole: the
    // body waits while a later header may still replace the one read. A word that only begins like a
    // header's holds nothing back, nor does a footer.
    for (const auto& [Early, Late] : {std::pair{"", "{\\headerr late\\par}"},
                                      {"{\\headerl left\\par}", "{\\headerr every page\\par}"},
                                      {"{\\headerr every page\\par}", "{\\headerl left\\par}"},
                                      {"{\\headerf first\\par}", "\\sect{\\header next section\\par}"},
                                      {"", "\\fromhtml1{\\*\\htmltag0 <p>mail</p>}"},
                                      {"\\headery720", "{\\footer foot\\par}"}})
        Documents.push_back(Start + Early + Mixed.substr(Start.size()) + Late + "}");
    // Every length up to well past a piece, so that one ends just before the blanks; without fonts, so
    // that the blanks are not formatted text.
    std::string Plain = "{\\rtf1\\ansi ";
    for (int i = 0; i < 130; ++i)
        Documents.push_back((Plain += "\\pard text\\par ") + Blanks + "}");

    for (const auto& [Structure, PlainText] : {std::pair{false, false}, {true, false}, {true, true}}) {
        TRkCorvaneXHTML Streamed, Whole;
        for (TRkCorvaneXHTML* Converter : {&Streamed, &Whole}) {
            Converter->OptionsStructure().SetTables(Structure);
            Converter->OptionsStructure().SetLists(Structure);
            Converter->OptionsStructure().SetNotes(Structure);
            Converter->OptionsStructure().SetHeadersFooters(Structure);
            Converter->SetExtractEncapsulatedHtml(Structure);
            Converter->SetConvertHyperlinks(Structure);
            Converter->SetConvertToPlainText(PlainText);
            // The one dialect whose body may not be empty.
            if (Structure) Converter->SetDocumentType(dtHTML_401_Strict);
        }
        Whole.PostProcessEventListeners().push_back(std::make_shared<TWholeTree>());
        for (std::size_t d = 0; d < Documents.size(); ++d)
            EXPECT_EQ(Streamed.Convert(Documents[d]), Whole.Convert(Documents[d]))
                << Structure << PlainText << ", document " << d;
    }
}

// The input ConvertTo takes is given back in steps while it is read; reading must never look back into
// what was given back, not even for the line breaks between a group's "{" and its "\*".
TEST(ConvertTo, InputGivenBackWhileReadConvertsAsAKeptCopy) {
    std::string Rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\froman Times;}}";
    while (Rtf.size() < 10'000'000)
        Rtf += "\\pard {\\b bold}{\r\n\r\n\\*\\unknown hidden} text\\par\r\n";
    Rtf += "}";
    TRkCorvaneXHTML Converter;
    const std::string Expected = Converter.Convert(Rtf);
    EXPECT_EQ(Expected.find("hidden"), std::string::npos);
    EXPECT_EQ(Joined(Converter, Rtf), Expected);
}

TEST(ConvertTo, TheHeadShowsWhatTheEncodingEventsChanged) {
    // An event that changes the head's settings while the body converts: the head must follow the body.
    TRkCorvaneXHTML Converter;
    int Runs = 0;
    Converter.SetOnAfterEncode([&Runs](TCxBase& Sender, ISimpleDomTextNode&) {
        static_cast<TRkCorvaneXHTML&>(Sender).OptionsHead().SetDocumentTitle("after " +
                                                                             std::to_string(++Runs));
    });
    const std::string Rtf = Document(2);
    const std::string Expected = Converter.Convert(Rtf);
    EXPECT_NE(Expected.find("after " + std::to_string(Runs)), std::string::npos);
    Runs = 0;
    EXPECT_EQ(Joined(Converter, Rtf), Expected);
}

// A run's properties as an encoding event leaves them are what the run is written with, whichever event
// changed them.
TEST(ConvertTo, EncodingEventsChangeTheRunsTheyAreGiven) {
    const auto Embolden = [](TCxBase&, ISimpleDomTextNode& Run) {
        Run.GetCharacterProperties().FontStyle = fsBold;
    };
    for (const bool After : {false, true}) {
        TRkCorvaneXHTML Converter;
        Converter.OptionsHead().SetAddOuterHTML(false);
        if (After)
            Converter.SetOnAfterEncode(Embolden);
        else
            Converter.SetOnBeforeEncode(Embolden);
        // Not the last paragraph, which converts twice (the first time to learn whether it is blank).
        EXPECT_NE(Converter.Convert("{\\rtf1 plain\\par tail}").find("font-weight:bold;\">plain<"),
                  std::string::npos)
            << After;
    }
}

} // namespace
} // namespace corvane
