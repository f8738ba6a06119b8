// Writes whole lines at a current nesting level; the document wrapper builds the head with it.
#pragma once

#include "CxInterfaces.h"

#include <cstdint>
#include <memory>
#include <string>

namespace corvane {

class TCxFormatter : public ICxFormatter {
public:
    explicit TCxFormatter(std::shared_ptr<IMarginBuilding> MarginBuilder);

    void SetLevel(std::int32_t Level) override;
    void SetLineBreak(const std::string& LineBreak) override;
    std::int32_t GetLevel() const override { return FLevel; }
    std::string GetLineBreak() const override { return FLineBreak; }
    // Current margin + Text + line break.
    std::string FormatLine(const std::string& Text) override;
    // Raises the level first, then formats the line.
    std::string IndentLine(const std::string& Text) override;
    // Lowers the level first (it may go below zero, which indents nothing), then formats the line.
    std::string OutdentLine(const std::string& Text) override;
    std::string GetMarginAt(std::int32_t Level) const override;
    std::string GetCurrentMargin() const override;

private:
    std::int32_t FLevel = 0;
    std::shared_ptr<IMarginBuilding> FMarginBuilder;
    std::string FLineBreak = "\r\n";
};

} // namespace corvane
