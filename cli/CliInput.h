// The input of one job as the converter reads it. A large regular file is mapped, not copied: reading
// it costs no copy and no fresh memory, and its pages go back to the system as the conversion passes
// them. Anything else (standard input, a pipe, a small file) is read into memory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvane {

class TInputDocument {
public:
    // Files from this size on are mapped.
    static constexpr std::size_t MapFrom = std::size_t{256} << 10;

    explicit TInputDocument(std::string Data) : FData(std::move(Data)) {}
    // Maps or reads the file; throws std::runtime_error with the reason ("cannot open: ...").
    static TInputDocument Open(const std::string& Path);

    TInputDocument(TInputDocument&& Other) noexcept;
    TInputDocument& operator=(TInputDocument&&) = delete;
    TInputDocument(const TInputDocument&) = delete;
    TInputDocument& operator=(const TInputDocument&) = delete;
    ~TInputDocument();

    std::string_view View() const { return FMapped ? std::string_view(FMapped, FMappedSize) : FData; }
    bool IsMapped() const { return FMapped != nullptr; }
    // The first Length bytes will not be read again: their memory goes back to the system. A mapped file
    // reads the same afterwards; read-in data reads as zeros.
    void Release(std::size_t Length);
    // A mapped file that another program cut short while it was read reads as zeros past its new end
    // instead of stopping the process; this tells that it happened.
    bool Truncated() const;

private:
    TInputDocument() = default;
    void Map(int Descriptor, std::size_t Size);

    std::string FData;
    const char* FMapped = nullptr;
    std::size_t FMappedSize = 0;
    int FGuard = -1; // the slot that watches the mapping for a shrinking file
    std::size_t FReleased = 0;
};

} // namespace corvane
