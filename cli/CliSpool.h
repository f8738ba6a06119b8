// A result that may only be shown once complete: standard output gets nothing from a failed conversion.
// Small results stay in memory; a large one moves to an unlinked temporary file as it grows, so that it
// is not held in memory beside the document tree it is made from.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace corvane {

class TSpooledOutput {
public:
    static constexpr std::size_t DefaultLimit = std::size_t{1} << 20;

    // Folder holds the temporary file; the default is $TMPDIR, or /tmp.
    explicit TSpooledOutput(std::size_t Limit = DefaultLimit, std::string Folder = std::string());
    TSpooledOutput(const TSpooledOutput&) = delete;
    TSpooledOutput& operator=(const TSpooledOutput&) = delete;
    ~TSpooledOutput();

    // Never throws: when no temporary file can be made or written, the result stays in memory.
    void Write(std::string_view Piece);
    // Hands the whole result to Output, in order, in pieces of at most a few MB. Throws std::runtime_error
    // when a temporary file that holds part of it cannot be read back.
    void Replay(const std::function<void(std::string_view)>& Output);

private:
    void MoveToFile();
    // Appends Data to the file; on a failure, moves the result back to memory and returns false.
    bool WriteToFile(std::string_view Data);
    // What the file holds comes back into memory, ahead of what memory holds.
    void MoveBackToMemory();
    // Reads what the file holds, in order, handing each chunk to Chunk; false on a read error.
    bool ReadBack(const std::function<void(std::string_view)>& Chunk);

    std::size_t FLimit;
    std::string FFolder;
    std::string FMemory;
    int FDescriptor = -1;
    std::size_t FFileSize = 0; // the bytes of whole pieces written to the file; a failed one may follow
    bool FFileTried = false;
    std::string FFailure; // a part of the result that was lost, as thrown by Replay
};

} // namespace corvane
