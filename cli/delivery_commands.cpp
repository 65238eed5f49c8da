// Commands that change the card: install, delete, game, diy, children apply, updates install.
#include "cli/cli_context.h"

namespace torvane::cli {

void AddDeliveryCommands(CLI::App& app, CliContext& ctx) {
    (void)app;
    (void)ctx;
}

}  // namespace torvane::cli
