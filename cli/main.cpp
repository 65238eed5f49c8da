// torvane-cli: the command-line front end over Torvane's core.
#include <CLI/CLI.hpp>
#include <iostream>
#include <string>

#include "cli/cli_context.h"
#include "torvane_version.h"

int main(int argc, char** argv) {
    using namespace torvane::cli;
    CliContext ctx;
    CLI::App app{"Torvane: install and manage contents on the sound player's card", "torvane-cli"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "torvane-cli " + std::string(torvane::kProgramVersion),
                         "print the program's version and end");
    // Global options may stand before or after the command.
    app.fallthrough();
    app.add_option("--device", ctx.options.device, "device folder (else TORVANE_DEVICE)");
    app.add_flag("--json", ctx.options.json, "machine-readable output on stdout (UTF-8)");
    app.add_option("--service", ctx.options.service, "service address (else TORVANE_SERVICE_URL)");
    app.add_option("--user", ctx.options.user, "account identifier");
    // The password never goes on the command line, where every user's process list shows it.
    app.add_flag("--password-stdin", ctx.options.passwordFromStdin,
                 "read the password from the first line of standard input (else "
                 "TORVANE_PASSWORD, else asked)");
    app.add_flag("--yes", ctx.options.yes, "answer yes to the reset confirmation");

    AddStoreCommands(app, ctx);
    AddServiceCommands(app, ctx);
    AddDeliveryCommands(app, ctx);
    AddCareCommands(app, ctx);
    AddVolumeCommands(app, ctx);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << e.what() << '\n';
        return kExitUsage;
    }
    return ctx.Finish();
}
