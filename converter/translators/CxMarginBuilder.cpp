#include "CxMarginBuilder.h"

namespace corvane {

TMarginBuilder::TMarginBuilder() {
    SetMarginWidth(2);
}

std::string TMarginBuilder::GetMargin(std::int32_t Level) const {
    std::string Result;
    if (Level <= 0 || FMargin.empty()) return Result;
    Result.reserve(FMargin.size() * static_cast<std::size_t>(Level));
    for (std::int32_t I = 0; I < Level; ++I)
        Result += FMargin;
    return Result;
}

void TMarginBuilder::SetMarginWidth(std::int32_t Width) {
    const std::size_t Length = Width > 0 ? static_cast<std::size_t>(Width) : 0;
    if (FMargin.size() != Length) FMargin.assign(Length, ' ');
}

std::int32_t TMarginBuilder::GetMarginWidth() const {
    return static_cast<std::int32_t>(FMargin.size());
}

} // namespace corvane
