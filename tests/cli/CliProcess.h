// Runs the built corvane-xhtml as a child process: arguments, standard input and working folder in,
// exit status and both output streams out.
#pragma once

#include <cerrno>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace corvane::test {

struct TProcessResult {
    int Status = -1;
    std::string Out, Err;
};

// Replaces the calling (child) process by the tool, or by a shell running Shell with the tool as $0 and the
// arguments as $@ when Shell is given.
[[noreturn]] inline void ExecuteCli(std::vector<std::string> Arguments, const std::string& Shell = "") {
    Arguments.insert(Arguments.begin(), CORVANE_CLI_EXECUTABLE);
    if (!Shell.empty()) Arguments.insert(Arguments.begin(), {"/bin/sh", "-c", Shell});
    std::vector<char*> argv;
    for (std::string& argument : Arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

inline int ExitStatusOf(pid_t Child) {
    int status = 0;
    while (::waitpid(Child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

inline std::string ReadBack(std::FILE* File) {
    std::string text;
    std::rewind(File);
    char buffer[65536];
    for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, File)) > 0;)
        text.append(buffer, count);
    std::fclose(File);
    return text;
}

// Standard input comes from a file and the output streams go to files, so that no pipe can fill up.
inline TProcessResult RunCli(std::vector<std::string> Arguments, const std::string& Input = "",
                             const std::string& Folder = "", const std::string& Shell = "") {
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    std::fwrite(Input.data(), 1, Input.size(), in);
    std::fflush(in);
    std::rewind(in);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(fileno(in), 0);
        ::dup2(fileno(out), 1);
        ::dup2(fileno(err), 2);
        if (!Folder.empty() && ::chdir(Folder.c_str()) != 0) ::_exit(127);
        ExecuteCli(std::move(Arguments), Shell);
    }
    std::fclose(in);
    TProcessResult result;
    result.Status = ExitStatusOf(child);
    result.Out = ReadBack(out);
    result.Err = ReadBack(err);
    return result;
}

} // namespace corvane::test
