// Runs the built corvane-xhtml as a child process: arguments, standard input and working folder in,
// exit status and both output streams out.
#pragma once

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace corvane::test {

struct TProcessResult {
    int Status = -1;
    std::string Out, Err;
};

inline std::vector<char*> ArgumentVector(std::vector<std::string>& Arguments) {
    std::vector<char*> argv;
    for (std::string& argument : Arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    return argv;
}

inline int ExitStatusOf(pid_t Child) {
    int status = 0;
    while (::waitpid(Child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Reads the given descriptors to their ends, writing Input to InputDescriptor meanwhile.
inline void Pump(int InputDescriptor, const std::string& Input,
                 std::vector<std::pair<int, std::string*>> Outputs) {
    std::size_t written = 0;
    if (Input.empty() && InputDescriptor >= 0) {
        ::close(InputDescriptor);
        InputDescriptor = -1;
    }
    while (InputDescriptor >= 0 || !Outputs.empty()) {
        std::vector<pollfd> polls;
        for (auto& output : Outputs)
            polls.push_back({output.first, POLLIN, 0});
        if (InputDescriptor >= 0) polls.push_back({InputDescriptor, POLLOUT, 0});
        if (::poll(polls.data(), polls.size(), -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        for (std::size_t i = 0; i < polls.size(); ++i) {
            if (!polls[i].revents) continue;
            if (polls[i].fd == InputDescriptor) {
                ssize_t count = ::write(InputDescriptor, Input.data() + written, Input.size() - written);
                if (count > 0) written += static_cast<std::size_t>(count);
                if (count < 0 || written == Input.size()) {
                    ::close(InputDescriptor);
                    InputDescriptor = -1;
                }
                continue;
            }
            char buffer[65536];
            ssize_t count = ::read(polls[i].fd, buffer, sizeof buffer);
            auto output =
                std::find_if(Outputs.begin(), Outputs.end(), [&](auto& o) { return o.first == polls[i].fd; });
            if (count > 0) {
                output->second->append(buffer, static_cast<std::size_t>(count));
            } else if (count == 0 || errno != EINTR) {
                ::close(output->first);
                Outputs.erase(output);
            }
        }
    }
}

inline TProcessResult RunCli(std::vector<std::string> Arguments, const std::string& Input = "",
                             const std::string& Folder = "") {
    Arguments.insert(Arguments.begin(), CORVANE_CLI_EXECUTABLE);
    int in[2], out[2], err[2];
    if (::pipe2(in, O_CLOEXEC) || ::pipe2(out, O_CLOEXEC) || ::pipe2(err, O_CLOEXEC)) return {};
    std::vector<char*> argv = ArgumentVector(Arguments);
    pid_t child = ::fork();
    if (child == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        if (!Folder.empty() && ::chdir(Folder.c_str()) != 0) ::_exit(127);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    ::close(err[1]);
    TProcessResult result;
    Pump(in[1], Input, {{out[0], &result.Out}, {err[0], &result.Err}});
    result.Status = ExitStatusOf(child);
    return result;
}

// Runs with standard error on a pseudo-terminal (standard output too); Out receives what the terminal showed.
inline TProcessResult RunCliOnTerminal(std::vector<std::string> Arguments) {
    Arguments.insert(Arguments.begin(), CORVANE_CLI_EXECUTABLE);
    std::vector<char*> argv = ArgumentVector(Arguments);
    int terminal = -1;
    winsize size{};
    size.ws_col = 100;
    size.ws_row = 24;
    pid_t child = ::forkpty(&terminal, nullptr, nullptr, &size);
    if (child < 0) return {};
    if (child == 0) {
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    TProcessResult result;
    Pump(-1, "", {{terminal, &result.Out}});
    result.Status = ExitStatusOf(child);
    return result;
}

} // namespace corvane::test
