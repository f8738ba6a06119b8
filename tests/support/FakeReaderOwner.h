// The component as the reader sees it, for tests: options set directly, every log line kept (whatever
// its level), and font replacement by name=replacement lines as the component applies them.
#pragma once

#include "CxInterfaces.h"
#include "CxOptions.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace corvane::test {

class TFakeReaderOwner : public ICxReaderOwner {
public:
    virtual ~TFakeReaderOwner() = default;

    TFontConversionOptions FontConversionOptions = TFontConversionOptions::All();
    bool ConvertIndent = false;
    bool ConvertFields = false;
    bool ConvertPictures = false;
    TCxOptionsOptimize OptionsOptimize;
    std::shared_ptr<IPictureAdapter> PictureAdapter;
    // name=replacement lines; empty by default, so font names pass unchanged.
    std::vector<std::string> ReplaceFonts;
    std::string LineBreak = "<br>";
    bool EndOfDocument = false;
    std::vector<std::pair<TLogLevel, std::string>> LogLines;

    // The log lines of one level, in order.
    std::vector<std::string> Logged(TLogLevel Level) const {
        std::vector<std::string> Result;
        for (const auto& [LineLevel, Text] : LogLines)
            if (LineLevel == Level) Result.push_back(Text);
        return Result;
    }

    TFontConversionOptions GetFontConversionOptions() const override { return FontConversionOptions; }
    bool GetConvertIndent() const override { return ConvertIndent; }
    bool GetConvertFields() const override { return ConvertFields; }
    bool GetConvertPictures() const override { return ConvertPictures; }
    const TCxOptionsOptimize& GetOptionsOptimize() const override { return OptionsOptimize; }
    std::shared_ptr<IPictureAdapter> GetPictureAdapter() const override {
        if (ConvertPictures && !PictureAdapter)
            throw std::runtime_error("Property TCxBase.PictureAdapter is not assigned");
        return PictureAdapter;
    }
    // Every line is tried in order against the name as replaced so far; a name that starts with the
    // line's name part becomes the replacement of the first line with that name.
    void ReplaceFont(std::string& FontName) override {
        for (const std::string& Line : ReplaceFonts) {
            const std::string Name = Line.substr(0, Line.find('='));
            if (Name.empty() || FontName.compare(0, Name.size(), Name) != 0) continue;
            for (const std::string& First : ReplaceFonts)
                if (First.substr(0, First.find('=')) == Name) {
                    FontName = First.substr(First.find('=') + 1);
                    break;
                }
        }
    }
    std::string GetLineBreak() const override { return LineBreak; }
    void Log(TLogLevel Level, const std::string& Text) override { LogLines.emplace_back(Level, Text); }
    bool GetEndOfDocument() const override { return EndOfDocument; }
    void SetEndOfDocument(bool Value) override { EndOfDocument = Value; }
};

} // namespace corvane::test
