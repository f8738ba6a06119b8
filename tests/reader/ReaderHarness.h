// A reader wired to a recording writer, a fake owner and a Latin-1 font-name converter that records.
#pragma once

#include "../document/DocumentFakes.h"
#include "CxReader.h"
#include "FakeReaderOwner.h"
#include "RecordingWriter.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::test {

using fakes::TLatin1Converter;

struct TReaderHarness {
    TFakeReaderOwner Owner;
    std::shared_ptr<TRecordingWriter> Writer = std::make_shared<TRecordingWriter>();
    std::unique_ptr<TCxReader> Reader;
    TLatin1Converter* Converter = nullptr; // owned by Reader

    TReaderHarness() { Owner.ReplaceFonts.clear(); }

    // Creates the reader on first use, so options set before the call apply.
    TCxReader& GetReader() {
        if (!Reader) {
            auto FontNameConverter = std::make_unique<TLatin1Converter>();
            FontNameConverter->RecordBytes = true;
            Converter = FontNameConverter.get();
            Reader = std::make_unique<TCxReader>(Owner, Writer, std::move(FontNameConverter));
        }
        return *Reader;
    }
    TReaderHarness& Parse(std::string_view Rtf) {
        GetReader().Parse(Rtf);
        return *this;
    }
    const std::string& Text() const { return Writer->Text; }
    const std::vector<std::string>& Calls() const { return Writer->Calls; }
    std::vector<std::string> Calls(const std::string& Prefix) const {
        return Writer->CallsStartingWith(Prefix);
    }
    // The same without the restoring calls every group end makes.
    std::vector<std::string> CallsBesidesRestores(const std::string& Prefix) const {
        std::vector<std::string> Result;
        for (std::string& Call : Writer->CallsStartingWith(Prefix))
            if (Call != "SetCharacterProperties" && Call != "SetParagraphProperties")
                Result.push_back(std::move(Call));
        return Result;
    }
    std::vector<std::string> Warnings() const { return Owner.Logged(logWarning); }
};

// The text of the ECxError that Action raises; empty when it raises none.
template <typename TAction> std::string ErrorOf(TAction&& Action) {
    try {
        Action();
    } catch (const ECxError& Error) {
        return Error.what();
    }
    return {};
}

// Text as UTF-8, for comparing with what the reader appends.
inline std::string Utf8(std::u8string_view Text) {
    return std::string(Text.begin(), Text.end());
}

} // namespace corvane::test
