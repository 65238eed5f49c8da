#include "cli/session_login.h"

#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "common/messages.h"
#include "service/session.h"

namespace torvane::cli {
namespace {

std::optional<std::string> FromEnvironment(const char* name) {
    if (const char* value = std::getenv(name); value && *value) return std::string(value);
    return std::nullopt;
}

// Reads one line from the terminal; without echo for a password.
std::optional<std::string> AskOnTerminal(std::string_view prompt, bool hidden) {
    if (!isatty(STDIN_FILENO)) return std::nullopt;
    std::cerr << prompt << std::flush;
    termios saved{};
    const bool quiet = hidden && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (quiet) {
        termios silent = saved;
        silent.c_lflag &= static_cast<tcflag_t>(~ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    }
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    if (quiet) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        std::cerr << '\n';
    }
    if (!read || line.empty()) return std::nullopt;
    return line;
}

}  // namespace

void ConfigureService(CliContext& ctx) {
    ctx.session.baseUrl = ResolveServiceUrl(ctx.options.service, "");
}

std::optional<std::string> UserIdFor(CliContext& ctx) {
    if (!ctx.options.user.empty()) return ctx.options.user;
    if (auto user = FromEnvironment("TORVANE_USER")) return user;
    if (auto user = AskOnTerminal(kCliPromptUserId, false)) return user;
    ctx.Fail(OutcomeKind::NotSignedIn, "no account: give --user ID or set TORVANE_USER");
    return std::nullopt;
}

std::optional<std::string> PasswordFor(CliContext& ctx) {
    if (ctx.options.passwordFromStdin) {
        std::string line;
        if (!std::getline(std::cin, line) || line.empty()) {
            ctx.Fail(OutcomeKind::NotSignedIn, "--password-stdin: no password on standard input");
            return std::nullopt;
        }
        if (line.back() == '\r') line.pop_back();
        return line;
    }
    if (auto password = FromEnvironment("TORVANE_PASSWORD")) return password;
    if (auto password = AskOnTerminal(kCliPromptPassword, true)) return password;
    ctx.Fail(OutcomeKind::NotSignedIn,
             "no password: set TORVANE_PASSWORD or run on a terminal to be asked");
    return std::nullopt;
}

std::optional<LoginOutcome> SignInForCommand(CliContext& ctx) {
    ConfigureService(ctx);
    const std::optional<std::string> user = UserIdFor(ctx);
    if (!user) return std::nullopt;
    const std::optional<std::string> password = PasswordFor(ctx);
    if (!password) return std::nullopt;
    LoginOutcome outcome = SignIn({*user, *password, false, false}, ctx.session);
    if (!ctx.Check(outcome.status)) {
        // The reason behind the sentence (the client's or the parser's), for the one who scripts.
        for (const Message& note : outcome.status.notes()) std::cerr << MessageText(note) << '\n';
        return std::nullopt;
    }
    return outcome;
}

}  // namespace torvane::cli
