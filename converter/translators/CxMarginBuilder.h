// Indentation text per nesting level, shared by the translator, the output writer and the formatter so
// that all output is indented with the same unit.
#pragma once

#include "CxInterfaces.h"

#include <cstdint>
#include <string>

namespace corvane {

class TMarginBuilder : public IMarginBuilding {
public:
    TMarginBuilder();

    // The unit repeated Level times; empty for a level of zero or below.
    std::string GetMargin(std::int32_t Level) const override;
    // Width blanks make one level; zero or a negative width means no indentation at all.
    void SetMarginWidth(std::int32_t Width) override;
    std::int32_t GetMarginWidth() const override;

private:
    std::string FMargin;
};

} // namespace corvane
