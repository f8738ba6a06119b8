#include "CxFormatter.h"

#include <cassert>
#include <utility>

namespace corvane {

TCxFormatter::TCxFormatter(std::shared_ptr<IMarginBuilding> MarginBuilder)
    : FMarginBuilder(std::move(MarginBuilder)) {
    assert(FMarginBuilder && "TCxFormatter needs a margin builder");
}

void TCxFormatter::SetLevel(std::int32_t Level) {
    if (FLevel != Level) FLevel = Level;
}

void TCxFormatter::SetLineBreak(const std::string& LineBreak) {
    if (FLineBreak != LineBreak) FLineBreak = LineBreak;
}

std::string TCxFormatter::FormatLine(const std::string& Text) {
    std::string Result = GetCurrentMargin();
    Result.reserve(Result.size() + Text.size() + FLineBreak.size());
    Result += Text;
    Result += FLineBreak;
    return Result;
}

std::string TCxFormatter::IndentLine(const std::string& Text) {
    ++FLevel;
    return FormatLine(Text);
}

std::string TCxFormatter::OutdentLine(const std::string& Text) {
    --FLevel;
    return FormatLine(Text);
}

std::string TCxFormatter::GetMarginAt(std::int32_t Level) const {
    return FMarginBuilder->GetMargin(Level);
}

std::string TCxFormatter::GetCurrentMargin() const {
    return GetMarginAt(FLevel);
}

} // namespace corvane
