#include "CorvaneXHTML.h"

#include "CxTypes.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace corvane {

namespace {

std::string FileError(std::string_view What, const std::string& FileName, int Error) {
    std::string Text(What);
    Text.append(" \"").append(FileName).append("\": ").append(std::strerror(Error));
    return Text;
}

// Closes the descriptor and removes the temporary file unless the write was committed.
class TTemporaryFile {
public:
    explicit TTemporaryFile(const std::filesystem::path& Target) {
        std::random_device Seed;
        std::mt19937_64 Random(Seed());
        for (int Attempt = 0; Attempt < 100; ++Attempt) {
            FPath = Target;
            FPath += ".tmp" + std::to_string(Random() % 100000000);
            // 0666 lets the umask decide, as for any newly created file.
            FHandle = ::open(FPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (FHandle >= 0 || errno != EEXIST) break;
        }
        if (FHandle < 0) {
            const int Error = errno;
            throw ECxError(FileError("Cannot create file", FPath.string(), Error));
        }
    }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;
    ~TTemporaryFile() {
        if (FHandle >= 0) ::close(FHandle);
        if (!FCommitted) ::unlink(FPath.c_str());
    }

    void Write(std::string_view Data) {
        while (!Data.empty()) {
            const ssize_t Written = ::write(FHandle, Data.data(), Data.size());
            if (Written < 0) {
                const int Error = errno;
                if (Error == EINTR) continue;
                throw ECxError(FileError("Cannot write file", FPath.string(), Error));
            }
            Data.remove_prefix(static_cast<std::size_t>(Written));
        }
    }

    // Closes the file and moves it over Target.
    void Commit(const std::filesystem::path& Target) {
        // A replaced file keeps its permissions, as it would when overwritten in place.
        struct stat Existing;
        if (::stat(Target.c_str(), &Existing) == 0) ::fchmod(FHandle, Existing.st_mode & 07777);
        const int Handle = FHandle;
        FHandle = -1;
        if (::close(Handle) != 0) {
            const int Error = errno;
            throw ECxError(FileError("Cannot write file", FPath.string(), Error));
        }
        if (::rename(FPath.c_str(), Target.c_str()) != 0) {
            const int Error = errno;
            throw ECxError(FileError("Cannot create file", Target.string(), Error));
        }
        FCommitted = true;
    }

private:
    std::filesystem::path FPath;
    int FHandle = -1;
    bool FCommitted = false;
};

} // namespace

std::string StreamToString(std::istream& Stream) {
    const std::istream::pos_type Start = Stream.tellg();
    if (Start == std::istream::pos_type(-1)) throw ECxError("Stream size error");
    Stream.seekg(0, std::ios::end);
    const std::istream::pos_type End = Stream.tellg();
    Stream.seekg(Start);
    if (End == std::istream::pos_type(-1) || !Stream) throw ECxError("Stream size error");
    const std::int64_t Size = static_cast<std::int64_t>(End - Start);
    if (Size < 0 || Size > 2147483647) throw ECxError("Stream size error");

    std::string Result(static_cast<std::size_t>(Size), '\0');
    Stream.read(Result.data(), static_cast<std::streamsize>(Size));
    if (Stream.gcount() != static_cast<std::streamsize>(Size)) throw ECxError("Stream read error");
    return Result;
}

std::string TCustomCorvane::ConvertFromFile(const std::string& InputFileName) {
    errno = 0;
    std::ifstream Input(InputFileName, std::ios::binary);
    if (!Input) {
        const int Error = errno;
        throw ECxError(FileError("Cannot open file", InputFileName, Error));
    }
    return Convert(StreamToString(Input));
}

void TCustomCorvane::ConvertFile(const std::string& InputFileName, const std::string& OutputFileName) {
    const std::string Output = ConvertFromFile(InputFileName);
    std::filesystem::path Target(OutputFileName);
    // Writing through a link replaces what it points at, not the link itself.
    std::error_code Error;
    if (std::filesystem::is_symlink(Target, Error)) {
        std::filesystem::path Resolved = std::filesystem::weakly_canonical(Target, Error);
        if (!Error) Target = Resolved;
    }
    TTemporaryFile File(Target);
    File.Write(Output);
    File.Commit(Target);
}

} // namespace corvane
