#include "CorvaneXHTML.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace corvane {
namespace {

// True when Text is well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view Text) {
    for (std::size_t i = 0; i < Text.size();) {
        const unsigned char Lead = static_cast<unsigned char>(Text[i]);
        std::size_t Length;
        std::uint32_t Code;
        if (Lead < 0x80)
            Length = 1, Code = Lead;
        else if ((Lead & 0xE0) == 0xC0)
            Length = 2, Code = Lead & 0x1F;
        else if ((Lead & 0xF0) == 0xE0)
            Length = 3, Code = Lead & 0x0F;
        else if ((Lead & 0xF8) == 0xF0)
            Length = 4, Code = Lead & 0x07;
        else
            return false;
        if (i + Length > Text.size()) return false;
        for (std::size_t k = 1; k < Length; ++k) {
            const unsigned char Next = static_cast<unsigned char>(Text[i + k]);
            if ((Next & 0xC0) != 0x80) return false;
            Code = (Code << 6) | (Next & 0x3F);
        }
        static constexpr std::uint32_t Minimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (Code < Minimum[Length] || Code > 0x10FFFF || (Code >= 0xD800 && Code <= 0xDFFF)) return false;
        i += Length;
    }
    return true;
}

// Every real document converts in every dialect and to plain text, with every option that changes the
// markup, into valid UTF-8; a second conversion with the same converter gives the same result. Nearly
// every document has text: a reader that lost its way would deliver none.
TEST(CxCorpus, EveryDocumentConvertsInEveryDialect) {
    const std::vector<std::filesystem::path> Files = test::CorpusFiles();
    ASSERT_FALSE(Files.empty());
    std::size_t WithText = 0;
    for (int Type = dtHTML3Flex; Type <= dtXHTML_11 + 1; ++Type) {
        const bool PlainText = Type > dtXHTML_11;
        TRkCorvaneXHTML Cx;
        Cx.SetConvertToPlainText(PlainText);
        if (!PlainText) Cx.SetDocumentType(static_cast<TDocumentType>(Type));
        for (auto Set :
             {&TCxBase::SetConvertAnchors, &TCxBase::SetConvertFields, &TCxBase::SetConvertHyperlinks,
              &TCxBase::SetConvertIndent, &TCxBase::SetConvertLanguage, &TCxBase::SetConvertSpaces,
              &TCxBase::SetConvertEmptyParagraphs})
            (Cx.*Set)(true);
        for (const auto& File : Files) {
            SCOPED_TRACE(File.filename().string() + " in dialect " + std::to_string(Type));
            std::string First;
            ASSERT_NO_THROW(First = Cx.ConvertFromFile(File.string()));
            EXPECT_TRUE(IsValidUtf8(First));
            EXPECT_EQ(Cx.ConvertFromFile(File.string()), First);
            if (PlainText) WithText += First.find_first_not_of(" \t\r\n") != std::string::npos;
        }
    }
    EXPECT_GE(WithText, Files.size() * 9 / 10);
}

// Words checked by hand against the documents: text given as \u numbers, as \'hh bytes of a Western and a
// Japanese code page, table cells and link results all reach the plain text.
TEST(CxCorpus, VisibleWordsReachThePlainText) {
    const std::pair<const char*, std::vector<std::string>> Cases[] = {
        {"hello_world.rtf", {"Hello world."}},
        {"utf8.rtf",
         {"Lietuvi\u0161kos raid\u0117s", "\u0440\u0443\u0441\u0441\u043a\u0438\u0439",
          "le code \u00e0 c\u00f4t\u00e9"}},
        {"japanese.rtf",
         {"NeoOffice/J\u306fPatrick Luby\u3068Edward Peterlin",
          "\u3088\u304f\u3042\u308b\u8cea\u554f (FAQ)"}},
        {"tables.rtf", {"Cell 1:1\tCell 1:2\tCell 1:3", "cell 2:2 (with right padding)"}},
        {"Hyperlink.rtf", {"Include www link http://www.cnn.com/", "Hyperlink within doc bookmark_1"}},
    };
    TRkCorvaneXHTML Cx;
    Cx.SetConvertToPlainText(true);
    Cx.SetConvertFields(true);
    Cx.SetTabString("\t");
    for (const auto& [File, Words] : Cases) {
        const std::string Text =
            Cx.ConvertFromFile((std::filesystem::path(CORVANE_CORPUS_DIR) / "rtfpipe" / File).string());
        for (const std::string& Word : Words)
            EXPECT_NE(Text.find(Word), std::string::npos) << File << ": " << Word;
    }
}

} // namespace
} // namespace corvane
