// Whole conversions compared byte for byte with hand-written expected files (tests/data/golden).
#include "CorvaneXHTML.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace corvane {
namespace {

namespace fs = std::filesystem;

const fs::path GoldenDir = fs::path(CORVANE_TEST_DATA_DIR) / "golden";

using test::ReadFile;

const std::map<std::string, TDocumentType> DialectsBySuffix = {
    {"html32", dtHTML3Flex},
    {"html401-transitional", dtHTML_401_Transitional},
    {"html401-strict", dtHTML_401_Strict},
    {"html5", dtHTML_50},
    {"xhtml10-transitional", dtXHTML_10_Transitional},
    {"xhtml10-strict", dtXHTML_10_Strict},
    {"xhtml-basic10", dtXHTML_Basic_10},
    {"xhtml-mp10", dtXHTML_MP_10},
    {"xhtml11", dtXHTML_11},
};

void ApplyOptionsFile(TRkCorvaneXHTML& Converter, const fs::path& Path) {
    const std::map<std::string, void (TCxBase::*)(bool)> setters = {
        {"ConvertAnchors", &TCxBase::SetConvertAnchors},
        {"ConvertEmptyParagraphs", &TCxBase::SetConvertEmptyParagraphs},
        {"ConvertFields", &TCxBase::SetConvertFields},
        {"ConvertHyperlinks", &TCxBase::SetConvertHyperlinks},
        {"ConvertIndent", &TCxBase::SetConvertIndent},
        {"ConvertLanguage", &TCxBase::SetConvertLanguage},
        {"ConvertSpaces", &TCxBase::SetConvertSpaces},
    };
    std::ifstream in(Path);
    for (std::string line; std::getline(in, line);) {
        const auto equals = line.find('=');
        ASSERT_NE(equals, std::string::npos) << line;
        const auto setter = setters.find(line.substr(0, equals));
        ASSERT_NE(setter, setters.end()) << line;
        (Converter.*(setter->second))(line.substr(equals + 1) == "true");
    }
}

struct GoldenCase {
    fs::path Rtf;
    fs::path Expected;
    std::string Variant; // a dialect suffix, or "plain"
};

std::vector<GoldenCase> CollectCases() {
    std::vector<GoldenCase> cases;
    for (const auto& entry : fs::directory_iterator(GoldenDir)) {
        const std::string name = entry.path().filename().string();
        const auto first = name.find('.');
        const auto last = name.rfind('.');
        if (first == last || (entry.path().extension() != ".html" && entry.path().extension() != ".txt"))
            continue;
        cases.push_back({GoldenDir / (name.substr(0, first) + ".rtf"), entry.path(),
                         name.substr(first + 1, last - first - 1)});
    }
    return cases;
}

TEST(GoldenConversion, EveryExpectedFileMatchesByteForByte) {
    const auto cases = CollectCases();
    ASSERT_GE(cases.size(), 20u);
    for (const GoldenCase& golden : cases) {
        SCOPED_TRACE(golden.Expected.filename().string());
        TRkCorvaneXHTML converter;
        fs::path options = golden.Rtf;
        options.replace_extension(".options");
        if (fs::exists(options)) ApplyOptionsFile(converter, options);
        if (golden.Variant == "plain") {
            converter.SetConvertToPlainText(true);
        } else {
            const auto dialect = DialectsBySuffix.find(golden.Variant);
            ASSERT_NE(dialect, DialectsBySuffix.end()) << golden.Variant;
            converter.SetDocumentType(dialect->second);
        }
        EXPECT_EQ(converter.Convert(ReadFile(golden.Rtf)), ReadFile(golden.Expected));
    }
}

} // namespace
} // namespace corvane
