#include "tests/support/program_run.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

namespace torvane::test {
namespace {

void ApplyEnvironment(const std::vector<std::string>& environment) {
    for (const std::string& entry : environment) {
        const std::size_t equals = entry.find('=');
        if (equals == std::string::npos) {
            ::unsetenv(entry.c_str());
        } else {
            ::setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
        }
    }
}

// The child's side of standard input; false when it could not be set up.
bool ConnectInput(const ProgramInput& input, int pipeEnd, int terminalEnd) {
    switch (input.kind) {
        case Input::Empty: {
            const int null = ::open("/dev/null", O_RDONLY);
            return null >= 0 && ::dup2(null, STDIN_FILENO) >= 0;
        }
        case Input::Closed:
            return ::close(STDIN_FILENO) == 0;
        case Input::Piped:
            return ::dup2(pipeEnd, STDIN_FILENO) >= 0;
        case Input::Terminal:
            ::setsid();
            return ::dup2(terminalEnd, STDIN_FILENO) >= 0;
    }
    return false;
}

void WriteAll(int fd, const std::string& text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n <= 0) return;
        written += static_cast<std::size_t>(n);
    }
}

// Reads both outputs together, so that neither fills up while the other is read.
void ReadOutputs(int outFd, int errFd, ProgramRun& run) {
    pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
    std::string* targets[2] = {&run.out, &run.err};
    int open = 2;
    char buffer[4096];
    while (open > 0 && ::poll(fds, 2, -1) > 0) {
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                targets[i]->append(buffer, static_cast<std::size_t>(n));
            } else {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
}

}  // namespace

ProgramRun RunProgram(const std::vector<std::string>& arguments, const ProgramInput& input,
                      const std::vector<std::string>& environment) {
    // A program that ends before reading its input must not end the test with it.
    std::signal(SIGPIPE, SIG_IGN);
    ProgramRun run;
    int out[2];
    int err[2];
    int in[2] = {-1, -1};
    int terminal = -1;
    int terminalEnd = -1;
    if (arguments.empty() || ::pipe(out) != 0 || ::pipe(err) != 0) return run;
    if (input.kind == Input::Piped && ::pipe(in) != 0) return run;
    if (input.kind == Input::Terminal &&
        ::openpty(&terminal, &terminalEnd, nullptr, nullptr, nullptr) != 0) {
        return run;
    }
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!ConnectInput(input, in[0], terminalEnd)) ::_exit(126);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        for (int fd : {out[0], out[1], err[0], err[1], in[0], in[1], terminal, terminalEnd}) {
            if (fd > STDERR_FILENO) ::close(fd);
        }
        ApplyEnvironment(environment);
        std::vector<char*> argv;
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    if (input.kind == Input::Piped) {
        ::close(in[0]);
        WriteAll(in[1], input.text);
        ::close(in[1]);
    }
    if (input.kind == Input::Terminal) {
        ::close(terminalEnd);
        WriteAll(terminal, input.text);
    }
    ReadOutputs(out[0], err[0], run);
    if (terminal >= 0) ::close(terminal);
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        run.exitCode = WEXITSTATUS(status);
    }
    return run;
}

}  // namespace torvane::test
