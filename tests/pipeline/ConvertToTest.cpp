// ConvertTo hands the result over in pieces and may build the head before the body; the pieces joined
// must be exactly what Convert returns, whatever the settings.
#include "CorvaneXHTML.h"

#include <gtest/gtest.h>

#include <string>

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
