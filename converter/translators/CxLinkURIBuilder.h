// Turns a text run that is a link into its "a" element, and the small text helpers that links and
// attribute values need.
#pragma once

#include "CxInterfaces.h"

#include <string>
#include <string_view>

namespace corvane {

// Escapes text for markup content and attribute values alike: & " < > become entities, and the
// characters XML and HTML forbid in text (C0 controls other than tab, LF and CR; U+FFFE, U+FFFF) are
// dropped. Input and output are UTF-8; every other byte is copied, so valid input stays valid.
std::string EscapeMarkup(std::string_view Text);
// True when EscapeMarkup would change Text.
bool EscapeChanges(std::string_view Text);
// Undoes the four entities EscapeMarkup writes (&amp; &lt; &gt; &quot;), in one left-to-right pass.
std::string UnescapeMarkup(std::string_view Text);
// Every byte of the UTF-8 text that is not an unreserved URI character becomes %XX (upper case).
std::string PercentEncode(std::string_view Text);
// True when the instruction starts with "HYPERLINK" (exact case) after its leading blanks.
bool IsHyperlinkInstruction(std::string_view Instruction);
// The href value of a HYPERLINK field instruction, ready to be put between the attribute's quotes:
// http://, https:// and mailto: targets as written (attribute-escaped), anything else as a relative
// target with ".rtf" turned into ".html", percent-encoded, plus "#anchor" from the \l switch.
std::string ParseHyperlinkInstruction(std::string_view Instruction);

class TLinkURIBuilder : public IHyperlinkURIBuilder {
public:
    // The complete a element for the run. Without a HYPERLINK instruction the run's own text is the
    // target; that text arrives escaped, so the target is taken from its unescaped form.
    std::string BuildLink(const ISimpleDomTextNode& Node) override;

private:
    std::string FInstruction;
    std::string FLinkText;
};

} // namespace corvane
