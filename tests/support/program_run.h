// Runs a program of the build (torvane-cli, the local content service's tools) to its end and
// keeps what it printed, the way a user's shell or script would see it.
#pragma once

#include <string>
#include <vector>

namespace torvane::test {

struct ProgramRun {
    int exitCode = -1;  // -1 when it did not exit normally
    std::string out;
    std::string err;
};

// What the program finds on its standard input.
enum class Input {
    Empty,     // /dev/null: a script with nothing to say
    Closed,    // no standard input at all
    Piped,     // the given text through a pipe, then its end
    Terminal,  // the given text typed on a terminal of its own
};

struct ProgramInput {
    Input kind = Input::Empty;
    std::string text;
};

// `arguments[0]` is the program's path. `environment` holds "NAME=value" entries set (or, with
// "NAME" alone, removed) on top of the test's own environment.
ProgramRun RunProgram(const std::vector<std::string>& arguments, const ProgramInput& input = {},
                      const std::vector<std::string>& environment = {});

}  // namespace torvane::test
