#include "CxEmbeddedPicture.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace corvane {

namespace {

constexpr std::uint32_t TwipsPerPixel = 15;

std::uint32_t NonNegative(std::int32_t Value) {
    return Value < 0 ? 0u : static_cast<std::uint32_t>(Value);
}

std::uint32_t CeilPixels(std::uint32_t Twips) {
    return Twips / TwipsPerPixel + (Twips % TwipsPerPixel != 0 ? 1u : 0u);
}

// Computed wide so that a huge scale cannot wrap into a small size; the result saturates instead.
std::uint32_t Scaled(std::uint32_t Pixels, std::int32_t Scale) {
    if (Scale <= 0) return Pixels;
    const std::uint64_t Result = std::uint64_t{Pixels} * static_cast<std::uint64_t>(Scale) / 100;
    return static_cast<std::uint32_t>(
        std::min<std::uint64_t>(Result, std::numeric_limits<std::uint32_t>::max()));
}

template <typename T> void Store(T& Field, T Value) {
    if (Field != Value) Field = Value;
}

} // namespace

void TByteStream::Write(std::uint8_t Value) {
    if (FPosition < FBytes.size())
        FBytes[FPosition] = Value;
    else
        FBytes.push_back(Value);
    ++FPosition;
}

void TByteStream::Write(const std::uint8_t* Data, std::size_t Count) {
    if (Count == 0) return;
    const std::size_t End = FPosition + Count;
    if (End > FBytes.size()) FBytes.resize(End);
    std::memcpy(FBytes.data() + FPosition, Data, Count);
    FPosition = End;
}

void TByteStream::Reserve(std::size_t Capacity) {
    if (Capacity > FBytes.capacity()) FBytes.reserve(std::max(Capacity, FBytes.capacity() * 2));
}

std::size_t TByteStream::Read(std::uint8_t* Buffer, std::size_t Count) {
    const std::size_t Available = FPosition < FBytes.size() ? FBytes.size() - FPosition : 0;
    const std::size_t Copied = std::min(Count, Available);
    if (Copied > 0) std::memcpy(Buffer, FBytes.data() + FPosition, Copied);
    FPosition += Copied;
    return Copied;
}

void TByteStream::SetPosition(std::size_t Value) {
    // A position past the end would leave a gap of undefined bytes on the next write.
    FPosition = std::min(Value, FBytes.size());
}

void TByteStream::Clear() {
    FBytes.clear();
    FPosition = 0;
}

void TEmbeddedPicture::LoadFromStream(const TByteStream& Source) {
    if (&Source != &FData) {
        FData.Clear();
        FData.Write(Source.Bytes().data(), Source.Size());
    }
    FData.SetPosition(0);
}

void TEmbeddedPicture::SetShow(bool Value) {
    Store(FShow, Value);
}
void TEmbeddedPicture::SetPicWidth(std::int32_t Value) {
    Store(FPicWidth, Value);
}
void TEmbeddedPicture::SetPicHeight(std::int32_t Value) {
    Store(FPicHeight, Value);
}
void TEmbeddedPicture::SetGoalWidth(std::int32_t Value) {
    Store(FGoalWidth, NonNegative(Value));
}
void TEmbeddedPicture::SetGoalHeight(std::int32_t Value) {
    Store(FGoalHeight, NonNegative(Value));
}
void TEmbeddedPicture::SetScaleX(std::int32_t Value) {
    Store(FScaleX, std::max(Value, 0));
}
void TEmbeddedPicture::SetScaleY(std::int32_t Value) {
    Store(FScaleY, std::max(Value, 0));
}
void TEmbeddedPicture::SetPictureType(TPictureType Value) {
    Store(FPictureType, Value);
}
void TEmbeddedPicture::SetMappingMode(std::uint8_t Value) {
    Store(FMappingMode, Value);
}

void TEmbeddedPicture::SetURL(std::string Value) {
    if (FURL != Value) FURL = std::move(Value);
}

std::uint32_t TEmbeddedPicture::GetWidthPixels() const {
    return CeilPixels(FGoalWidth);
}
std::uint32_t TEmbeddedPicture::GetHeightPixels() const {
    return CeilPixels(FGoalHeight);
}
std::uint32_t TEmbeddedPicture::GetScaledWidth() const {
    return Scaled(GetWidthPixels(), FScaleX);
}
std::uint32_t TEmbeddedPicture::GetScaledHeight() const {
    return Scaled(GetHeightPixels(), FScaleY);
}

std::string TEmbeddedPicture::GetMimeType() const {
    switch (FPictureType) {
    case ptPNG:
        return "image/png";
    case ptJPEG:
        return "image/jpeg";
    case ptPICT:
        return "image/pict";
    case ptWMF:
        return "image/x-wmf";
    case ptNone:
    case ptEMF:
        break;
    }
    return {};
}

bool TEmbeddedPicture::IsDataURI() const {
    return FURL.starts_with("data:");
}

std::string TEmbeddedPicture::GetImageTag() const {
    // The same self-closing form in every dialect; the URL goes in as the adapter made it.
    std::string Tag;
    Tag.reserve(FURL.size() + 64);
    Tag += "<img src=\"";
    Tag += FURL;
    Tag += "\" height=\"";
    Tag += std::to_string(GetScaledHeight());
    Tag += "\" width=\"";
    Tag += std::to_string(GetScaledWidth());
    Tag += "\" alt=\"picture\"/>";
    return Tag;
}

} // namespace corvane
