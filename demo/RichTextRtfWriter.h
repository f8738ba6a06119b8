// Saves the editor's rich text as RTF, so that the demo converts the editor's content the same way it
// converts a file.
#pragma once

#include <string>

class QTextDocument;

namespace corvane {

class TRichTextRtfWriter {
public:
    // The document as 7-bit RTF: font and colour tables, one paragraph per block with its alignment,
    // indents and bullet or number, and character runs with font, size, styles and colours. Text outside
    // ASCII is written as \u with a "?" fallback.
    static std::string Write(const QTextDocument& Document);
};

} // namespace corvane
