// Table layouts the golden cases leave out, seen as the bare structure of an HTML5 fragment: tags with
// their spans, cell text, nothing else.
#include "CorvaneXHTML.h"

#include <gtest/gtest.h>

#include <string_view>

namespace corvane {
namespace {

std::string Structure(const std::string& Rows) {
    TRkCorvaneXHTML Converter;
    Converter.OptionsStructure().SetTables(true);
    Converter.OptionsHead().SetAddOuterHTML(false);
    std::string Rtf = "{\\rtf1\\ansi ";
    Rtf += Rows;
    Rtf += '}';
    const std::string Html = Converter.Convert(Rtf);
    std::string Bare;
    bool LineStart = true;
    for (std::size_t I = 0; I < Html.size();) {
        const std::string_view Rest = std::string_view(Html).substr(I);
        if (Rest.starts_with(" style=\"")) {
            I = Html.find('"', I + 8) + 1;
        } else if (Rest.starts_with("<p>") || Rest.starts_with("</p>")) {
            I += Rest[1] == '/' ? 4 : 3;
        } else if (Html[I] == '\r' || Html[I] == '\n' || (LineStart && Html[I] == ' ')) {
            if (Html[I] != ' ') LineStart = true;
            ++I;
        } else {
            LineStart = false;
            Bare += Html[I++];
        }
    }
    return Bare;
}

TEST(TableLayout, SpansMergesAndRowGroups) {
    const std::pair<const char*, const char*> Cases[] = {
        // A merged cell that repeats the boundary before it spans no column of its own.
        {"\\trowd\\clmgf\\cellx2000\\clmrg\\cellx2000\\pard\\intbl a\\cell\\cell\\row"
         "\\trowd\\cellx1000\\cellx2000\\pard\\intbl b\\cell c\\cell\\row",
         "<table><tr><td colspan=\"2\">a</td></tr><tr><td>b</td><td>c</td></tr></table>"},
        // No cell starts at 2000: the column it would begin goes, and the wide cell spans one less.
        {"\\trowd\\cellx3000\\pard\\intbl a\\cell\\row\\trowd\\cellx1000\\cellx2000\\pard\\intbl b\\cell "
         "c\\cell\\row",
         "<table><tr><td colspan=\"2\">a</td></tr><tr><td>b</td><td>c</td></tr></table>"},
        // A row made only of continued cells keeps its first one.
        {"\\trowd\\clvmgf\\cellx1000\\pard\\intbl "
         "a\\cell\\row\\trowd\\clvmrg\\cellx1000\\pard\\intbl\\cell\\row",
         "<table><tr><td>a</td></tr><tr><td></td></tr></table>"},
        // Continued cells with text of their own stay cells.
        {"\\trowd\\clvmgf\\cellx1000\\pard\\intbl "
         "a\\cell\\row\\trowd\\clvmrg\\clmgf\\cellx1000\\clmrg\\cellx2000"
         "\\pard\\intbl b\\cell c\\cell\\row",
         "<table><tr><td>a</td></tr><tr><td>b</td><td>c</td></tr></table>"},
        // A merge does not reach from the heading rows into the body.
        {"\\trowd\\trhdr\\clvmgf\\cellx1000\\pard\\intbl "
         "h\\cell\\row\\trowd\\clvmrg\\cellx1000\\pard\\intbl\\cell\\row",
         "<table><thead><tr><th>h</th></tr></thead><tbody><tr><td></td></tr></tbody></table>"},
        // Heading rows alone form no thead.
        {"\\trowd\\trhdr\\cellx1000\\pard\\intbl h\\cell\\row", "<table><tr><th>h</th></tr></table>"},
    };
    for (const auto& [Rows, Expected] : Cases)
        EXPECT_EQ(Structure(Rows), Expected) << Rows;
}

} // namespace
} // namespace corvane
