// A fresh temporary folder per test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace corvane::test {

class TTestFolder {
public:
    TTestFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "corvane-cli-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (!::mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
        FPath = buffer.data();
    }
    TTestFolder(const TTestFolder&) = delete;
    TTestFolder& operator=(const TTestFolder&) = delete;
    ~TTestFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(FPath, ignored);
    }

    const std::string& Path() const { return FPath; }
    std::string operator/(const std::string& Name) const { return FPath + "/" + Name; }

    std::string Write(const std::string& Name, const std::string& Content) const {
        std::string path = *this / Name;
        std::ofstream(path, std::ios::binary) << Content;
        return path;
    }

    // Names of the files in the folder, sorted.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(FPath))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::string FPath;
};

inline std::string ReadFile(const std::string& Path) {
    std::ifstream stream(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

} // namespace corvane::test
