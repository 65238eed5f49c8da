// Commands over the card's files: cipher, device show, tables rebuild, diy show.
#include "cli/cli_context.h"

namespace torvane::cli {

void AddStoreCommands(CLI::App& app, CliContext& ctx) {
    (void)app;
    (void)ctx;
}

}  // namespace torvane::cli
