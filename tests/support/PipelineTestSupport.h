// A stand-alone text run and a log recorder for the component's tests.
#pragma once

#include "CxBase.h"
#include "CxDocumentText.h"

#include <string>
#include <utility>
#include <vector>

namespace corvane::test {

// A text run outside any tree: enough for converting it on its own.
class TTestRun : public TTextNode {
public:
    explicit TTestRun(std::string Text, const TCharacterProperties& Props = {}) : TTextNode(nullptr) {
        SetText(std::move(Text));
        GetCharacterProperties() = Props;
    }
};

struct TLogLine {
    TLogLevel Level;
    std::string Text;
    bool operator==(const TLogLine&) const = default;
};

// Records every delivered log line of a converter.
inline std::vector<TLogLine>& RecordLog(TCxBase& Converter, std::vector<TLogLine>& Lines) {
    Converter.SetOnLog([&Lines](TCxBase&, TLogLevel Level, const std::string& Text) {
        Lines.push_back({Level, Text});
    });
    return Lines;
}

} // namespace corvane::test
