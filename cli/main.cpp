// torvane-cli: the command-line front end over Torvane's core.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "cli/cli_context.h"
#include "torvane_version.h"

namespace {

constexpr std::string_view kExitStatusHelp =
    "Exit status: 0 done, 1 failed (device check: problems found), 2 usage, 3 cancelled or "
    "refused, 4 not signed in or wrong password, 5 service unreachable or failing, 6 card "
    "missing or unreadable, 7 card full or not writable, 8 unknown content, child or package.\n"
    "With --json, stdout holds one JSON document and a failure prints "
    "{\"error\": {\"kind\": ..., \"message\": ...}} on stderr.";

// The first word that is not an option's and names no command of the group it stands in: the
// command the user mistyped ("bogus" in `torvane-cli --device card bogus` or `diy bogus`).
std::string UnknownCommand(const CLI::App& app) {
    const CLI::App* group = &app;
    while (!group->get_subcommands().empty()) group = group->get_subcommands().front();
    if (group->get_subcommands({}).empty()) return {};  // a command, not a group of them
    // A word the group does not know falls through to the groups above it.
    for (const std::string& word : app.remaining(true)) {
        if (!word.empty() && word.front() != '-') return word;
    }
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    using namespace torvane::cli;
    CliContext ctx;
    // The sentences go aside from the first one on: the callbacks run before the options are
    // all known.
    for (int i = 1; i < argc; ++i)
        if (std::string_view(argv[i]) == "--json") ctx.UseJson();
    CLI::App app{"Torvane: install and manage contents on the sound player's card", "torvane-cli"};
    app.formatter(std::make_shared<HelpWithGlobalOptions>());
    app.footer(std::string(kExitStatusHelp));
    app.require_subcommand(1);
    app.set_version_flag("--version", "torvane-cli " + std::string(torvane::kProgramVersion),
                         "print the program's version and end");
    // Global options may stand before or after the command.
    app.fallthrough();
    app.add_option("--device", ctx.options.device, "device folder (else TORVANE_DEVICE)");
    app.add_flag("--json", ctx.options.json,
                 "one JSON document on stdout (UTF-8); sentences and progress on stderr");
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
        const std::string unknown = UnknownCommand(app);
        ctx.UsageError(unknown.empty() ? std::string(e.what()) : "unknown command: " + unknown);
    }
    return ctx.Finish();
}
