// The conversion driver: checks the RTF header, runs reader, post-processing and output writer in their
// fixed order (the output writer takes settled paragraphs while the reader goes on when nothing needs the
// whole tree), and wraps the body in a complete document when asked to.
#pragma once

#include "CxBase.h"

#include <functional>
#include <string>
#include <string_view>

namespace corvane {

class TCxMain : public TCxBase {
public:
    // Returns the markup as UTF-8; empty when the input does not start with the RTF header.
    std::string Convert(std::string_view Rtf) { return DoConvert(Rtf); }

    // Receives a conversion's result piece by piece, in order.
    using TOutputSink = std::function<void(std::string_view Piece)>;
    // The same conversion as Convert (not an overridden DoConvert), for large documents: takes the input
    // over and releases it as soon as it has been read, and hands the result to Sink in pieces instead
    // of building it whole. The pieces joined are what Convert returns. When the conversion fails, Sink
    // may already have received the start of the result.
    void ConvertTo(std::string Rtf, const TOutputSink& Sink);
    // Told that the input's first Length bytes will not be read again; Length only grows.
    using TInputRelease = std::function<void(std::size_t Length)>;
    // The same for input the caller owns and gives back as it is read (a mapped file, say): Release is
    // called as reading goes on, the last time with the whole length once reading is done.
    void ConvertTo(std::string_view Rtf, const TInputRelease& Release, const TOutputSink& Sink);

    // Everything from the optional XML declaration to the body start tag, each line ending in CR LF.
    std::string GetHead();
    // The body and html end tags; no line break after the last one.
    std::string GetClosing() const;
    // The body rule of the default font, for the style element of the head.
    std::string GetDefaultFontStyle() const;

protected:
    virtual std::string DoConvert(std::string_view Rtf);

private:
    // Behind every entry point: converts Rtf, giving it back to *Release as it is read when given, and
    // returns the result, or hands it to *Sink when given.
    std::string Run(std::string_view Rtf, const TInputRelease* Release, const TOutputSink* Sink);
};

} // namespace corvane
