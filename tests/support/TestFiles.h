// Files for tests: whole-file reads, the corpus of real documents, and a fresh temporary folder per test.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace corvane::test {

inline std::string ReadFile(const std::filesystem::path& Path) {
    std::ifstream Stream(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(Stream), std::istreambuf_iterator<char>()};
}

#ifdef CORVANE_CORPUS_DIR
// Every RTF document of the corpus, sorted.
inline std::vector<std::filesystem::path> CorpusFiles() {
    std::vector<std::filesystem::path> Files;
    for (const auto& Entry : std::filesystem::recursive_directory_iterator(CORVANE_CORPUS_DIR))
        if (Entry.is_regular_file() && Entry.path().extension() == ".rtf") Files.push_back(Entry.path());
    std::sort(Files.begin(), Files.end());
    return Files;
}
#endif

// A fresh temporary folder, removed with everything in it afterwards.
class TTestFolder {
public:
    TTestFolder() {
        std::string Pattern = (std::filesystem::temp_directory_path() / "corvane-test-XXXXXX").string();
        if (!::mkdtemp(Pattern.data())) throw std::runtime_error("mkdtemp failed");
        FPath = Pattern;
    }
    TTestFolder(const TTestFolder&) = delete;
    TTestFolder& operator=(const TTestFolder&) = delete;
    ~TTestFolder() {
        std::error_code Ignored;
        std::filesystem::remove_all(FPath, Ignored);
    }

    const std::string& Path() const { return FPath; }
    std::string operator/(const std::string& Name) const { return FPath + "/" + Name; }

    std::string Write(const std::string& Name, const std::string& Content) const {
        const std::string Target = *this / Name;
        std::ofstream(Target, std::ios::binary) << Content;
        return Target;
    }

    // Names of the files in the folder, sorted.
    std::vector<std::string> Files() const {
        std::vector<std::string> Names;
        for (const auto& Entry : std::filesystem::directory_iterator(FPath))
            Names.push_back(Entry.path().filename().string());
        std::sort(Names.begin(), Names.end());
        return Names;
    }

private:
    std::string FPath;
};

} // namespace corvane::test
