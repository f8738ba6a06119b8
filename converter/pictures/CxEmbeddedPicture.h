// A picture taken from the RTF input: its bytes, its size keywords and the URL its img element points to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

enum TPictureType : std::uint8_t {
    ptNone = 0, // no type keyword seen
    ptEMF = 1,
    ptPNG = 2,
    ptJPEG = 3,
    ptPICT = 4,
    ptWMF = 5,
};

// A growable in-memory byte stream with a read/write position. Writing at the end extends it; writing
// before the end overwrites.
class TByteStream {
public:
    void Write(std::uint8_t Value);
    void Write(const std::uint8_t* Data, std::size_t Count);
    // Makes room for at least Capacity bytes. Grows at least geometrically, so that a writer reserving
    // piece by piece still copies the bytes only a constant number of times overall.
    void Reserve(std::size_t Capacity);
    // Copies up to Count bytes from the position on; returns how many were copied.
    std::size_t Read(std::uint8_t* Buffer, std::size_t Count);
    std::size_t Position() const { return FPosition; }
    void SetPosition(std::size_t Value);
    std::size_t Size() const { return FBytes.size(); }
    const std::vector<std::uint8_t>& Bytes() const { return FBytes; }
    void Clear();

private:
    std::vector<std::uint8_t> FBytes;
    std::size_t FPosition = 0;
};

class TEmbeddedPicture {
public:
    void AppendByte(std::uint8_t Value) { FData.Write(Value); }
    void Rewind() { FData.SetPosition(0); }
    TByteStream& GetData() { return FData; }
    const TByteStream& GetData() const { return FData; }
    // Replaces the picture's bytes by all of Source (from its start, whatever its position); the
    // position is then 0.
    void LoadFromStream(const TByteStream& Source);

    bool GetShow() const { return FShow; }
    void SetShow(bool Value);

    std::int32_t PicWidth() const { return FPicWidth; }
    void SetPicWidth(std::int32_t Value);
    std::int32_t PicHeight() const { return FPicHeight; }
    void SetPicHeight(std::int32_t Value);
    // Goal sizes are twips and scales percent; a negative value counts as 0.
    std::uint32_t GoalWidth() const { return FGoalWidth; }
    void SetGoalWidth(std::int32_t Value);
    std::uint32_t GoalHeight() const { return FGoalHeight; }
    void SetGoalHeight(std::int32_t Value);
    std::int32_t ScaleX() const { return FScaleX; }
    void SetScaleX(std::int32_t Value);
    std::int32_t ScaleY() const { return FScaleY; }
    void SetScaleY(std::int32_t Value);
    TPictureType PictureType() const { return FPictureType; }
    void SetPictureType(TPictureType Value);
    std::uint8_t MappingMode() const { return FMappingMode; }
    void SetMappingMode(std::uint8_t Value);
    const std::string& URL() const { return FURL; }
    void SetURL(std::string Value);

    // The goal size in pixels at 15 twips per pixel, rounded up.
    std::uint32_t GetWidthPixels() const;
    std::uint32_t GetHeightPixels() const;
    // The pixel size times the scale in percent (truncated); unscaled when no scale was given.
    std::uint32_t GetScaledWidth() const;
    std::uint32_t GetScaledHeight() const;
    std::string GetMimeType() const;
    bool IsDataURI() const;
    std::string GetImageTag() const;

private:
    std::int32_t FPicWidth = 0;
    std::int32_t FPicHeight = 0;
    std::string FURL;
    std::int32_t FScaleX = 0;
    std::int32_t FScaleY = 0;
    std::uint32_t FGoalWidth = 0;
    std::uint32_t FGoalHeight = 0;
    TPictureType FPictureType = ptNone;
    std::uint8_t FMappingMode = 0;
    TByteStream FData;
    bool FShow = false;
};

} // namespace corvane
