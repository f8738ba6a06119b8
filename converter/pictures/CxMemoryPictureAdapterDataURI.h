// The picture adapter that keeps every finished picture in memory and embeds the small ones into the
// document as data: URIs; larger ones get a relative file name for the application to save them under.
#pragma once

#include "CxEmbeddedPicture.h"
#include "CxInterfaces.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace corvane {

// Appends the Base64 form of Data (standard alphabet, "=" padding, no line breaks) to Output.
void AppendBase64(const std::uint8_t* Data, std::size_t Size, std::string& Output);

class TMemoryPictureAdapterDataURI : public IPictureAdapter {
public:
    // MaxSizeKB: the largest picture, in units of 1024 bytes, that is still embedded.
    explicit TMemoryPictureAdapterDataURI(std::int32_t MaxSizeKB);

    void Clear() override;
    TEmbeddedPicture* NewPicture() override;
    TEmbeddedPicture* GetPicture() override { return FPicture; }
    void FinishPicture() override;
    std::string GetImageTag() override;
    const TPictureMap& GetPictures() const override { return FPictures; }
    void SetConverter(std::shared_ptr<IPictureConverter> Converter) override;
    void SetURLPrefix(const std::string& Prefix) override;

    std::int32_t MaxSize() const { return FMaxSize; }
    const std::string& URLPrefix() const { return FURLPrefix; }

private:
    TPictureMap FPictures;
    // The picture between NewPicture and FinishPicture; once finished it belongs to FPictures.
    std::unique_ptr<TEmbeddedPicture> FUnfinished;
    // The current picture: the unfinished one, or the one finished last; null after Clear.
    TEmbeddedPicture* FPicture = nullptr;
    std::shared_ptr<IPictureConverter> FConverter;
    std::string FURLPrefix;
    std::int32_t FMaxSize;
};

} // namespace corvane
