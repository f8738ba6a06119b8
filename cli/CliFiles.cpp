#include "CliFiles.h"

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
    if (S_ISREG(info.st_mode)) data.reserve(static_cast<std::size_t>(info.st_size));
    if (!ReadAll(file.Get(), data)) throw SystemError("cannot read", errno);
    return data;
}

std::string ReadStandardInput() {
    std::string data;
    if (!ReadAll(STDIN_FILENO, data)) throw SystemError("cannot read standard input", errno);
    return data;
}

void WriteFileAtomically(const std::string& Path, std::string_view Data, mode_t Mode) {
    struct stat existing {};
    if (::stat(Path.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) throw std::runtime_error("cannot write " + Path + ": it is a folder");
        Mode = existing.st_mode & 07777;
    }
    // The temporary name starts with a dot so that a reader of the folder does not take it for a result.
    std::string folder = FolderOf(Path);
    std::string name = Path.substr(Path.rfind('/') == std::string::npos ? 0 : Path.rfind('/') + 1);
    std::string temporary = JoinPath(folder, "." + name + ".XXXXXX");
    std::vector<char> pattern(temporary.begin(), temporary.end());
    pattern.push_back('\0');
    TDescriptor file(::mkostemp(pattern.data(), O_CLOEXEC));
    if (file.Get() < 0) throw SystemError("cannot write " + Path, errno);
    temporary.assign(pattern.data());

    auto fail = [&](int Error) {
        ::unlink(temporary.c_str());
        return SystemError("cannot write " + Path, Error);
    };
    const char* next = Data.data();
    std::size_t left = Data.size();
    while (left > 0) {
        ssize_t count = ::write(file.Get(), next, left);
        if (count < 0) {
            if (errno == EINTR) continue;
            throw fail(errno);
        }
        next += count;
        left -= static_cast<std::size_t>(count);
    }
    if (::fchmod(file.Get(), Mode) != 0) throw fail(errno);
    if (!file.Close()) throw fail(errno);
    if (::rename(temporary.c_str(), Path.c_str()) != 0) throw fail(errno);
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
