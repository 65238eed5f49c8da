// What every torvane-cli command shares: the global options, the terminal message sink and the
// exit status. Commands live in one file per subsystem and register themselves in main.cpp.
#pragma once

#include <CLI/CLI.hpp>
#include <iosfwd>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/message_sink.h"
#include "common/status.h"
#include "service/session.h"

namespace torvane::cli {

// Exit statuses, one for each kind of outcome a script may want to tell apart; the manual page
// and --help list them.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // also `device check`: problems found
inline constexpr int kExitUsage = 2;
inline constexpr int kExitCancelled = 3;  // cancelled, answered No, or refused untouched
inline constexpr int kExitNotSignedIn = 4;
inline constexpr int kExitServiceFailed = 5;
inline constexpr int kExitCardUnreadable = 6;
inline constexpr int kExitCardFull = 7;
inline constexpr int kExitUnknownItem = 8;

int ExitCodeFor(OutcomeKind kind);
// The kind an exit status stands for (Failed for any status without a kind of its own).
OutcomeKind KindOfExitCode(int exitCode);

struct GlobalOptions {
    std::string device;              // --device DIR, else TORVANE_DEVICE
    bool json = false;               // --json: machine-readable output on stdout
    std::string service;             // --service URL, else TORVANE_SERVICE_URL
    std::string user;                // --user ID
    bool passwordFromStdin = false;  // --password-stdin, else TORVANE_PASSWORD, else asked
    bool yes = false;                // --yes: answers the reset confirmation only
};

// Prints messages on the terminal: stdout keeps what a command did, stderr what it refused or
// could not do. Errors and warnings (exclamations) go to stderr at once. The rules shared with
// the desktop app say some refusals without an icon, as the device's program always did
// ("하나이상의 게임이 존재하여야 합니다", the install engine's "저장공간이 부족합니다"), so a
// plain or information sentence is held until the command's outcome is known: stdout when it
// succeeds, stderr when it ends with a non-zero status. With --json every sentence goes to stderr
// at once: stdout holds the one document. Questions are asked on stderr at once, on a terminal,
// and answered No without one. Jobs show their messages from the engine's thread.
class TerminalMessageSink final : public IMessageSink {
  public:
    void Show(MessageKind kind, std::string_view text) override;
    bool Ask(MessageKind kind, std::string_view question) override;
    // Writes the held sentences, in the order they were shown: on stdout after a success, on
    // stderr otherwise.
    void Release(bool succeeded);
    // Nothing is held: for --json, whose stdout is the document alone.
    void SendAllToStderr() { allToStderr_ = true; }
    // The last sentence shown: the words of a failure the core told the user itself.
    std::string LastSentence();

  private:
    std::mutex mutex_;
    std::vector<std::string> held_;
    std::string last_;
    bool allToStderr_ = false;
};

class CliContext {
  public:
    GlobalOptions options;
    int exitCode = kExitOk;
    // The run's one session with the content service: pointed at the service and signed in by
    // the commands that need it (cli/session_login.h), then handed to every request and job.
    ServiceSession session;

    IMessageSink& Messages() { return messages_; }
    // --json: stdout holds the one document, every sentence goes to stderr.
    void UseJson() {
        options.json = true;
        messages_.SendAllToStderr();
    }
    std::ostream& Out();

    // Records a failure: one line on stderr and the exit status of its kind. Returns the
    // status for chaining. What the command said before it failed goes to stderr first, so the
    // reason reads last.
    int Fail(const Status& failure);
    int Fail(OutcomeKind kind, std::string_view reason);
    int Fail(std::string_view reason) { return Fail(OutcomeKind::Failed, reason); }
    // Records a usage error: one line on stderr and exit status 2.
    int UsageError(std::string_view reason) { return Fail(OutcomeKind::Usage, reason); }
    // Records a failure the core has already told the user (its last sentence is the reason).
    void Failed(OutcomeKind kind = OutcomeKind::Failed) {
        failureKind_ = kind;
        exitCode = ExitCodeFor(kind);
    }
    // Records the end of a step: nothing after a success, else its failure.
    bool Check(const Status& status);
    // Ends a rule of the core by its outcome: a success's sentence and notes are said as the
    // command's own (stdout, or stderr with --json), a failure is recorded with its sentence (or,
    // without one, the last sentence said) and its kind. True on success.
    bool Conclude(const Status& outcome);
    // Prints what a command did: the one JSON document with --json.
    void Emit(const nlohmann::ordered_json& document);
    // Ends the run: writes what is still held where the exit status says and, with --json, the
    // error document on stderr; returns the exit status.
    int Finish();

    // The device folder from --device or TORVANE_DEVICE; fails (and returns nothing) when
    // neither names an existing folder.
    std::optional<std::string> RequireDevice();

  private:
    TerminalMessageSink messages_;
    std::string failure_;                          // the reason recorded by Fail
    MessageId failureId_ = MessageId::None;        // its sentence of the catalogue, if any
    OutcomeKind failureKind_ = OutcomeKind::Done;  // told apart where exit statuses are shared
};

// Each subsystem adds its commands to the app, in this order; the callbacks set ctx.exitCode.
// A later group may add commands to a group made earlier (app.get_subcommand("children")).
void AddStoreCommands(CLI::App& app, CliContext& ctx);     // cipher, device, tables, diy show
void AddServiceCommands(CLI::App& app, CliContext& ctx);   // login, catalogue, children, updates
void AddDeliveryCommands(CLI::App& app, CliContext& ctx);  // install, delete, game, diy, ...
void AddCareCommands(CLI::App& app, CliContext& ctx);      // device check, backup, restore
void AddVolumeCommands(CLI::App& app, CliContext& ctx);    // device list, device eject

// Subcommand help lists the global options too: they may stand after the command.
class HelpWithGlobalOptions final : public CLI::Formatter {
  public:
    std::string make_help(const CLI::App* app, std::string name,
                          CLI::AppFormatMode mode) const override;
};

}  // namespace torvane::cli
