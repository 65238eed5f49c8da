// Commands that talk to the content service: login, catalogue, children, updates.
#include "cli/cli_context.h"

namespace torvane::cli {

void AddServiceCommands(CLI::App& app, CliContext& ctx) {
    (void)app;
    (void)ctx;
}

}  // namespace torvane::cli
