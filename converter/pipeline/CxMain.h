// The conversion driver: checks the RTF header, runs reader, post-processing and output writer in their
// fixed order, and wraps the body in a complete document when asked to.
#pragma once

#include "CxBase.h"

#include <string>
#include <string_view>

namespace corvane {

class TCxMain : public TCxBase {
public:
    // Returns the markup as UTF-8; empty when the input does not start with the RTF header.
    std::string Convert(std::string_view Rtf) { return DoConvert(Rtf); }

    // Everything from the optional XML declaration to the body start tag, each line ending in CR LF.
    std::string GetHead();
    // The body and html end tags; no line break after the last one.
    std::string GetClosing() const;
    // The body rule of the default font, for the style element of the head.
    std::string GetDefaultFontStyle() const;

protected:
    virtual std::string DoConvert(std::string_view Rtf);
};

} // namespace corvane
