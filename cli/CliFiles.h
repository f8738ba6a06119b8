// File access of the command-line tool: whole-file reads, and writes that never leave a half-written or
// emptied file behind (a temporary file in the same folder, renamed over the target when complete).
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

namespace corvane {

// Reads the whole file; throws std::runtime_error with the reason ("cannot open: ...").
std::string ReadWholeFile(const std::string& Path);

// Reads standard input to its end; throws std::runtime_error on a read error.
std::string ReadStandardInput();

// Writes Data to Path through a temporary file beside it and a rename, so Path either keeps its old content
// or gets all of Data. A new file gets Mode (0666 less the umask); an existing one keeps its permissions.
// Throws std::runtime_error naming Path.
void WriteFileAtomically(const std::string& Path, std::string_view Data, mode_t Mode);

// The same, for content that arrives in pieces: the temporary file is created with the first piece and
// takes the target's place at Commit; without Commit it is removed. Write never throws, so that a failing
// disk does not break off the work that feeds it: the first failure is thrown by Commit.
class TAtomicFileWriter {
public:
    TAtomicFileWriter(std::string Path, mode_t Mode) : FPath(std::move(Path)), FMode(Mode) {}
    TAtomicFileWriter(const TAtomicFileWriter&) = delete;
    TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;
    ~TAtomicFileWriter();

    void Write(std::string_view Data);
    void Commit();

private:
    void Open();
    void Fail(const std::string& Reason);
    void Fail(int Error);

    std::string FPath;
    mode_t FMode;
    std::string FTemporary;
    int FDescriptor = -1;
    bool FOpened = false;
    std::string FFailure; // the first failure, as thrown by Commit
};

// "folder/name.rtf" -> "name": the file name without its folder and its last extension.
std::string FileStem(std::string_view Path);

// "folder/name.html" -> "folder", "name.html" -> ".".
std::string FolderOf(std::string_view Path);

// Joins a folder and a file name with exactly one slash between them.
std::string JoinPath(std::string_view Folder, std::string_view Name);

bool IsFolder(const std::string& Path);

} // namespace corvane
