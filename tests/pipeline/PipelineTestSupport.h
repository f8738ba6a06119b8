// A stand-alone text run and a log recorder for the component's tests.
#pragma once

#include "CxBase.h"

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace corvane::test {

// A text run outside any tree: enough for converting it on its own.
class TTestRun : public ISimpleDomTextNode {
public:
    explicit TTestRun(std::string Text, TCharacterProperties Props = {})
        : FText(std::move(Text)), FProps(std::move(Props)) {}

    void AppendText(const std::string& Text) override { FText += Text; }
    const std::string& GetText() const override { return FText; }
    void SetText(std::string Text) override { FText = std::move(Text); }
    int GetChildCount() const override { return 0; }
    ISimpleDomNode* GetChild(int) const override { throw std::out_of_range("no children"); }
    ISimpleDomNode* GetLastChild() const override { return nullptr; }
    int IndexOf(const ISimpleDomNode*) const override { return -1; }
    ISimpleDomNode* GetPreviousSibling() const override { return nullptr; }
    ISimpleDomNode* GetNextSibling() const override { return nullptr; }
    void RemoveChild(ISimpleDomNode*) override {}

    TCharacterProperties& GetCharacterProperties() override { return FProps; }
    void SetCharacterProperties(const TCharacterProperties& Properties) override { FProps = Properties; }
    const std::string& GetAnchor() const override { return FAnchor; }
    void SetAnchor(std::string Anchor) override { FAnchor = std::move(Anchor); }
    bool GetRaw() const override { return FRaw; }
    void SetRaw(bool Raw) override { FRaw = Raw; }
    const std::string& GetFieldInstruction() const override { return FInstruction; }
    void SetFieldInstruction(std::string Instruction) override { FInstruction = std::move(Instruction); }

private:
    std::string FText;
    TCharacterProperties FProps;
    std::string FAnchor;
    bool FRaw = false;
    std::string FInstruction;
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
