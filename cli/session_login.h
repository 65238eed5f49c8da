// Signing in from the command line: the service address, identifier and password are gathered
// the way every torvane-cli command that talks to the service gathers them, then the context's
// session is opened.
#pragma once

#include <optional>
#include <string>

#include "cli/cli_context.h"
#include "service/login.h"

namespace torvane::cli {

// Points the context's session at the service: --service, else TORVANE_SERVICE_URL, else the
// local content service's address.
void ConfigureService(CliContext& ctx);

// The identifier: --user, else TORVANE_USER, else asked on the terminal. Nothing (and "not signed
// in" recorded) when there is none.
std::optional<std::string> UserIdFor(CliContext& ctx);

// The password: the first line of standard input with --password-stdin, else TORVANE_PASSWORD,
// else asked without echo on the terminal.
// Nothing (and "not signed in" recorded) when there is none.
std::optional<std::string> PasswordFor(CliContext& ctx);

// Configures the service and signs in. On failure records the sentence for the user (with the
// client's reason in parentheses when there is one) and its kind, and returns nothing.
std::optional<LoginOutcome> SignInForCommand(CliContext& ctx);

}  // namespace torvane::cli
