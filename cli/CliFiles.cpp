#include "CliFiles.h"

#include "CxMemoryPages.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace corvane {

namespace {

std::runtime_error SystemError(const std::string& What, int Error) {
    return std::runtime_error(What + ": " + std::strerror(Error));
}

// Appends everything readable from Descriptor to Data.
bool ReadAll(int Descriptor, std::string& Data) {
    char buffer[65536];
    for (;;) {
        ssize_t count = ::read(Descriptor, buffer, sizeof buffer);
        if (count == 0) return true;
        if (count < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        Data.append(buffer, static_cast<std::size_t>(count));
    }
}

class TDescriptor {
public:
    explicit TDescriptor(int Value) : FValue(Value) {}
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    ~TDescriptor() {
        if (FValue >= 0) ::close(FValue);
    }
    int Get() const { return FValue; }
    // Closes now so that a failing close is noticed; returns false then.
    bool Close() {
        int value = FValue;
        FValue = -1;
        return ::close(value) == 0;
    }

private:
    int FValue;
};

} // namespace

std::string ReadWholeFile(const std::string& Path) {
    TDescriptor file(::open(Path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) throw SystemError("cannot open", errno);
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) throw SystemError("cannot read", errno);
    if (S_ISDIR(info.st_mode)) throw std::runtime_error("cannot read: it is a folder");
    std::string data;
    if (S_ISREG(info.st_mode)) {
        // Straight into the string: a large input is not copied through a buffer. Its memory is reserved,
        // and takes huge pages where it can, before anything touches it.
        data.reserve(static_cast<std::size_t>(info.st_size));
        AdviseHugePages(data.data(), data.capacity());
        data.resize(static_cast<std::size_t>(info.st_size));
        std::size_t filled = 0;
        while (filled < data.size()) {
            ssize_t count = ::read(file.Get(), data.data() + filled, data.size() - filled);
            if (count == 0) break;
            if (count < 0) {
                if (errno == EINTR) continue;
                throw SystemError("cannot read", errno);
            }
            filled += static_cast<std::size_t>(count);
        }
        data.resize(filled);
    }
    // Whatever the size did not announce (a growing file, a pipe) follows in chunks.
    if (!ReadAll(file.Get(), data)) throw SystemError("cannot read", errno);
    return data;
}

std::string ReadStandardInput() {
    std::string data;
    if (!ReadAll(STDIN_FILENO, data)) throw SystemError("cannot read standard input", errno);
    return data;
}

void WriteFileAtomically(const std::string& Path, std::string_view Data, mode_t Mode) {
    TAtomicFileWriter file(Path, Mode);
    file.Write(Data);
    file.Commit();
}

TAtomicFileWriter::~TAtomicFileWriter() {
    if (FDescriptor >= 0) ::close(FDescriptor);
    if (!FTemporary.empty()) ::unlink(FTemporary.c_str());
}

void TAtomicFileWriter::Open() {
    FOpened = true;
    struct stat existing {};
    if (::stat(FPath.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) return Fail("it is a folder");
        FMode = existing.st_mode & 07777;
    }
    // The temporary name starts with a dot so that a reader of the folder does not take it for a result.
    std::string folder = FolderOf(FPath);
    std::string name = FPath.substr(FPath.rfind('/') == std::string::npos ? 0 : FPath.rfind('/') + 1);
    std::string temporary = JoinPath(folder, "." + name + ".XXXXXX");
    std::vector<char> pattern(temporary.begin(), temporary.end());
    pattern.push_back('\0');
    FDescriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (FDescriptor < 0) return Fail(errno);
    FTemporary.assign(pattern.data());
}

void TAtomicFileWriter::Write(std::string_view Data) {
    if (!FOpened) Open();
    while (!Data.empty() && FFailure.empty()) {
        ssize_t count = ::write(FDescriptor, Data.data(), Data.size());
        if (count < 0) {
            if (errno == EINTR) continue;
            Fail(errno);
            break;
        }
        Data.remove_prefix(static_cast<std::size_t>(count));
    }
}

void TAtomicFileWriter::Commit() {
    if (!FOpened) Open();
    if (FFailure.empty() && ::fchmod(FDescriptor, FMode) != 0) Fail(errno);
    if (FFailure.empty()) {
        const int descriptor = FDescriptor;
        FDescriptor = -1;
        if (::close(descriptor) != 0) Fail(errno);
    }
    if (FFailure.empty() && ::rename(FTemporary.c_str(), FPath.c_str()) != 0) Fail(errno);
    if (!FFailure.empty()) throw std::runtime_error(FFailure);
    FTemporary.clear(); // it is the target now
}

void TAtomicFileWriter::Fail(const std::string& Reason) {
    if (FFailure.empty()) FFailure = "cannot write " + FPath + ": " + Reason;
}

void TAtomicFileWriter::Fail(int Error) {
    Fail(std::string(std::strerror(Error)));
}

std::string FileStem(std::string_view Path) {
    std::size_t slash = Path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? Path : Path.substr(slash + 1);
    std::size_t dot = name.rfind('.');
    // A leading dot marks a hidden file, not an extension.
    if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
    return std::string(name);
}

std::string FolderOf(std::string_view Path) {
    std::size_t slash = Path.rfind('/');
    if (slash == std::string_view::npos) return ".";
    if (slash == 0) return "/";
    return std::string(Path.substr(0, slash));
}

std::string JoinPath(std::string_view Folder, std::string_view Name) {
    std::string path(Folder);
    if (!path.empty() && path.back() != '/') path += '/';
    path += Name;
    return path;
}

bool IsFolder(const std::string& Path) {
    struct stat info {};
    return ::stat(Path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace corvane
