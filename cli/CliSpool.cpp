#include "CliSpool.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>
#include <vector>

namespace corvane {

namespace {

constexpr std::size_t ReplayChunk = std::size_t{1} << 20;

std::string DefaultFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder != nullptr && *folder != '\0' ? folder : "/tmp";
}

// A file nobody else can open and that vanishes with its descriptor; -1 when the folder takes none.
int OpenUnlinkedFile(const std::string& Folder) {
#if defined(O_TMPFILE)
    const int unnamed = ::open(Folder.c_str(), O_TMPFILE | O_RDWR | O_EXCL | O_CLOEXEC, 0600);
    if (unnamed >= 0) return unnamed;
#endif
    // File systems without unnamed files: a named one, unlinked at once.
    const std::string name = Folder + "/corvane-xhtml-XXXXXX";
    std::vector<char> pattern(name.begin(), name.end());
    pattern.push_back('\0');
    const int descriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (descriptor >= 0) ::unlink(pattern.data());
    return descriptor;
}

} // namespace

TSpooledOutput::TSpooledOutput(std::size_t Limit, std::string Folder)
    : FLimit(Limit), FFolder(Folder.empty() ? DefaultFolder() : std::move(Folder)) {}

TSpooledOutput::~TSpooledOutput() {
    if (FDescriptor >= 0) ::close(FDescriptor);
}

void TSpooledOutput::Write(std::string_view Piece) {
    if (FDescriptor < 0 && !FFileTried && FMemory.size() + Piece.size() > FLimit) MoveToFile();
    if (FDescriptor >= 0 && WriteToFile(Piece)) return;
    FMemory += Piece;
}

void TSpooledOutput::MoveToFile() {
    FFileTried = true;
    FDescriptor = OpenUnlinkedFile(FFolder);
    if (FDescriptor >= 0 && WriteToFile(FMemory)) std::string().swap(FMemory);
}

bool TSpooledOutput::WriteToFile(std::string_view Data) {
    for (std::string_view rest = Data; !rest.empty();) {
        const ssize_t count = ::write(FDescriptor, rest.data(), rest.size());
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) {
            MoveBackToMemory();
            return false;
        }
        rest.remove_prefix(static_cast<std::size_t>(count));
    }
    FFileSize += Data.size();
    return true;
}

void TSpooledOutput::MoveBackToMemory() {
    std::string held;
    if (!ReadBack([&held](std::string_view Chunk) { held += Chunk; }))
        FFailure = std::string("cannot read back the temporary file: ") + std::strerror(errno);
    held += FMemory;
    FMemory = std::move(held);
    ::close(FDescriptor);
    FDescriptor = -1;
    FFileSize = 0;
}

bool TSpooledOutput::ReadBack(const std::function<void(std::string_view)>& Chunk) {
    std::string buffer(std::min(ReplayChunk, FFileSize), '\0');
    for (std::size_t offset = 0; offset < FFileSize;) {
        const std::size_t wanted = std::min(buffer.size(), FFileSize - offset);
        const ssize_t count = ::pread(FDescriptor, buffer.data(), wanted, static_cast<off_t>(offset));
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return false;
        if (count == 0) {
            errno = EIO; // shorter than what was written to it
            return false;
        }
        Chunk(std::string_view(buffer.data(), static_cast<std::size_t>(count)));
        offset += static_cast<std::size_t>(count);
    }
    return true;
}

void TSpooledOutput::Replay(const std::function<void(std::string_view)>& Output) {
    if (!FFailure.empty()) throw std::runtime_error(FFailure);
    if (FDescriptor >= 0 && !ReadBack(Output))
        throw std::runtime_error(std::string("cannot read back the temporary file: ") + std::strerror(errno));
    if (!FMemory.empty()) Output(FMemory);
}

} // namespace corvane
