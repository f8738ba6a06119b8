#include "CxMemoryPictureAdapterDataURI.h"

#include <cassert>
#include <string_view>

namespace corvane {

namespace {

constexpr std::string_view Base64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string_view Extension(TPictureType Type) {
    switch (Type) {
    case ptPNG:
        return "png";
    case ptJPEG:
        return "jpg";
    default:
        return "unknown";
    }
}

} // namespace

void AppendBase64(const std::uint8_t* Data, std::size_t Size, std::string& Output) {
    const std::size_t Start = Output.size();
    Output.resize(Start + (Size + 2) / 3 * 4);
    char* Out = Output.data() + Start;
    std::size_t i = 0;
    for (; i + 3 <= Size; i += 3) {
        const std::uint32_t Group =
            std::uint32_t{Data[i]} << 16 | std::uint32_t{Data[i + 1]} << 8 | Data[i + 2];
        *Out++ = Base64Alphabet[Group >> 18];
        *Out++ = Base64Alphabet[(Group >> 12) & 0x3F];
        *Out++ = Base64Alphabet[(Group >> 6) & 0x3F];
        *Out++ = Base64Alphabet[Group & 0x3F];
    }
    if (const std::size_t Rest = Size - i; Rest > 0) {
        const std::uint32_t Group =
            std::uint32_t{Data[i]} << 16 | (Rest == 2 ? std::uint32_t{Data[i + 1]} << 8 : 0);
        *Out++ = Base64Alphabet[Group >> 18];
        *Out++ = Base64Alphabet[(Group >> 12) & 0x3F];
        *Out++ = Rest == 2 ? Base64Alphabet[(Group >> 6) & 0x3F] : '=';
        *Out++ = '=';
    }
}

TMemoryPictureAdapterDataURI::TMemoryPictureAdapterDataURI(std::int32_t MaxSizeKB) : FMaxSize(MaxSizeKB) {}

void TMemoryPictureAdapterDataURI::Clear() {
    // Also forgets a picture a failed conversion left unfinished, so no pointer outlives its picture.
    FPictures.clear();
    FUnfinished.reset();
    FPicture = nullptr;
}

TEmbeddedPicture* TMemoryPictureAdapterDataURI::NewPicture() {
    FUnfinished = std::make_unique<TEmbeddedPicture>();
    FPicture = FUnfinished.get();
    return FPicture;
}

void TMemoryPictureAdapterDataURI::FinishPicture() {
    // Finishing twice (a group nested in the picture closes first) must not store the picture twice.
    if (!FUnfinished) return;
    TEmbeddedPicture& Picture = *FUnfinished;
    Picture.Rewind();
    if (FConverter) FConverter->Convert(Picture);

    std::string Name = "image";
    Name += std::to_string(FPictures.size() + 1);
    Name += '.';
    Name += Extension(Picture.PictureType());

    const std::vector<std::uint8_t>& Data = Picture.GetData().Bytes();
    if (static_cast<std::int64_t>(Data.size()) <= std::int64_t{FMaxSize} * 1024) {
        const std::string Mime = Picture.GetMimeType();
        std::string URL;
        URL.reserve(5 + Mime.size() + 8 + (Data.size() + 2) / 3 * 4);
        URL += "data:";
        URL += Mime;
        URL += ";base64,";
        AppendBase64(Data.data(), Data.size(), URL);
        Picture.SetURL(std::move(URL));
    } else {
        Picture.SetURL(FURLPrefix + Name);
    }
    [[maybe_unused]] const bool Added = FPictures.emplace(std::move(Name), std::move(FUnfinished)).second;
    assert(Added && "names count up from the number of stored pictures and never repeat");
}

std::string TMemoryPictureAdapterDataURI::GetImageTag() {
    assert(FPicture != nullptr && "GetImageTag needs a current picture");
    return FPicture != nullptr ? FPicture->GetImageTag() : std::string();
}

void TMemoryPictureAdapterDataURI::SetConverter(std::shared_ptr<IPictureConverter> Converter) {
    if (FConverter != Converter) FConverter = std::move(Converter);
}

void TMemoryPictureAdapterDataURI::SetURLPrefix(const std::string& Prefix) {
    if (FURLPrefix != Prefix) FURLPrefix = Prefix;
}

} // namespace corvane
