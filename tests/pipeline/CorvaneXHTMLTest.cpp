#include "CorvaneXHTML.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace corvane {
namespace {

namespace fs = std::filesystem;

// A fresh folder per test, removed with everything in it.
class TScratchFolder {
public:
    TScratchFolder() {
        std::random_device Seed;
        FPath =
            fs::temp_directory_path() / ("corvane-test-" + std::to_string(Seed()) + std::to_string(Seed()));
        fs::create_directories(FPath);
    }
    ~TScratchFolder() {
        std::error_code Ignored;
        fs::remove_all(FPath, Ignored);
    }
    fs::path operator/(const std::string& Name) const { return FPath / Name; }
    std::vector<std::string> Names() const {
        std::vector<std::string> Result;
        for (const auto& Entry : fs::directory_iterator(FPath))
            Result.push_back(Entry.path().filename().string());
        std::sort(Result.begin(), Result.end());
        return Result;
    }

private:
    fs::path FPath;
};

void WriteFile(const fs::path& Path, const std::string& Bytes) {
    std::ofstream(Path, std::ios::binary) << Bytes;
}

std::string ReadFile(const fs::path& Path) {
    std::ifstream Input(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(Input), {});
}

TEST(CorvaneFiles, ConvertFileWritesTheResultExactly) {
    TScratchFolder Folder;
    WriteFile(Folder / "in.rtf", "{\\rtf1 Hello}");
    TRkCorvaneXHTML Cx;
    Cx.OptionsHead().SetAddOuterHTML(false);
    Cx.ConvertFile((Folder / "in.rtf").string(), (Folder / "out.html").string());
    EXPECT_EQ(ReadFile(Folder / "out.html"), "    <p>\r\n      Hello\r\n    </p>\r\n");
    EXPECT_EQ(Cx.ConvertFromFile((Folder / "in.rtf").string()), ReadFile(Folder / "out.html"));

    // An existing file is replaced whole, never appended to.
    WriteFile(Folder / "in.rtf", "{\\rtf1 Hi}");
    Cx.ConvertFile((Folder / "in.rtf").string(), (Folder / "out.html").string());
    EXPECT_EQ(ReadFile(Folder / "out.html"), "    <p>\r\n      Hi\r\n    </p>\r\n");
    EXPECT_EQ(Folder.Names(), (std::vector<std::string>{"in.rtf", "out.html"}));
}

TEST(CorvaneFiles, InputWithoutHeaderWritesAnEmptyFile) {
    TScratchFolder Folder;
    WriteFile(Folder / "in.txt", "plain text");
    WriteFile(Folder / "out.html", "old");
    TRkCorvaneXHTML Cx;
    Cx.ConvertFile((Folder / "in.txt").string(), (Folder / "out.html").string());
    EXPECT_TRUE(fs::exists(Folder / "out.html"));
    EXPECT_EQ(fs::file_size(Folder / "out.html"), 0u);
}

TEST(CorvaneFiles, FailedConversionLeavesNoFileAndTheOldTargetUntouched) {
    TScratchFolder Folder;
    WriteFile(Folder / "in.rtf", "{\\rtf1 \\'zz}"); // not a hexadecimal character: the conversion fails
    TRkCorvaneXHTML Cx;
    EXPECT_THROW(Cx.ConvertFile((Folder / "in.rtf").string(), (Folder / "new.html").string()), ECxError);
    EXPECT_EQ(Folder.Names(), (std::vector<std::string>{"in.rtf"}));

    WriteFile(Folder / "old.html", "previous result");
    EXPECT_THROW(Cx.ConvertFile((Folder / "in.rtf").string(), (Folder / "old.html").string()), ECxError);
    EXPECT_EQ(ReadFile(Folder / "old.html"), "previous result");
    EXPECT_EQ(Folder.Names(), (std::vector<std::string>{"in.rtf", "old.html"}));
}

TEST(CorvaneFiles, FileErrorsPropagateWithoutLeftovers) {
    TScratchFolder Folder;
    TRkCorvaneXHTML Cx;
    EXPECT_THROW(Cx.ConvertFromFile((Folder / "missing.rtf").string()), ECxError);
    WriteFile(Folder / "in.rtf", "{\\rtf1 Hello}");
    EXPECT_THROW(
        Cx.ConvertFile((Folder / "in.rtf").string(), (Folder / "no-such-folder" / "out.html").string()),
        ECxError);
    // A folder in the way of the output: the write succeeds, the final rename fails.
    fs::create_directory(Folder / "taken");
    WriteFile(Folder / "taken" / "inside", "x");
    EXPECT_THROW(Cx.ConvertFile((Folder / "in.rtf").string(), (Folder / "taken").string()), ECxError);
    EXPECT_EQ(Folder.Names(), (std::vector<std::string>{"in.rtf", "taken"}));
}

TEST(CorvaneFiles, ConvertFileWritesThroughALink) {
    TScratchFolder Folder;
    WriteFile(Folder / "in.rtf", "{\\rtf1 Hello}");
    WriteFile(Folder / "real.html", "old");
    fs::create_symlink(Folder / "real.html", Folder / "link.html");
    TRkCorvaneXHTML Cx;
    Cx.ConvertFile((Folder / "in.rtf").string(), (Folder / "link.html").string());
    EXPECT_TRUE(fs::is_symlink(Folder / "link.html"));
    EXPECT_EQ(ReadFile(Folder / "real.html"), Cx.Convert("{\\rtf1 Hello}"));
}

// A stream that cannot tell its position, like a pipe.
class TUnseekableBuffer : public std::streambuf {
protected:
    int_type underflow() override { return traits_type::eof(); }
};

TEST(CorvaneStreams, StreamToStringReadsTheRestOfASeekableStream) {
    std::istringstream Stream("0123456789");
    EXPECT_EQ(StreamToString(Stream), "0123456789");
    Stream.clear();
    Stream.seekg(4);
    EXPECT_EQ(StreamToString(Stream), "456789");
    std::istringstream Empty("");
    EXPECT_EQ(StreamToString(Empty), "");

    TUnseekableBuffer Buffer;
    std::istream Unseekable(&Buffer);
    try {
        StreamToString(Unseekable);
        FAIL() << "no exception";
    } catch (const ECxError& E) {
        EXPECT_STREQ(E.what(), "Stream size error");
    }
}

} // namespace
} // namespace corvane
