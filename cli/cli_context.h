// What every torvane-cli command shares: the global options, the terminal message sink and the
// exit status. Commands live in one file per subsystem and register themselves in main.cpp.
#pragma once

#include <CLI/CLI.hpp>
#include <iosfwd>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/message_sink.h"
#include "service/session.h"

namespace torvane::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitCancelled = 3;

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
// succeeds, stderr when it ends with a non-zero status. Questions are asked on stderr at once, on
// a terminal, and answered No without one. Jobs show their messages from the engine's thread.
class TerminalMessageSink final : public IMessageSink {
  public:
    void Show(MessageKind kind, std::string_view text) override;
    bool Ask(MessageKind kind, std::string_view question) override;
    // Writes the held sentences, in the order they were shown: on stdout after a success, on
    // stderr otherwise.
    void Release(bool succeeded);

  private:
    std::mutex mutex_;
    std::vector<std::string> held_;
};

// Answers one question as told and passes everything else on: how a flag such as --yes answers
// the one question it stands for, and no other.
class PresetAnswer final : public IMessageSink {
  public:
    PresetAnswer(IMessageSink& inner, std::string question, bool answerYes)
        : inner_(inner), question_(std::move(question)), answerYes_(answerYes) {}
    void Show(MessageKind kind, std::string_view text) override { inner_.Show(kind, text); }
    bool Ask(MessageKind kind, std::string_view question) override {
        if (answerYes_ && question == question_) return true;
        return inner_.Ask(kind, question);
    }

  private:
    IMessageSink& inner_;
    std::string question_;
    bool answerYes_;
};

class CliContext {
  public:
    GlobalOptions options;
    int exitCode = kExitOk;
    // The run's one session with the content service: pointed at the service and signed in by
    // the commands that need it (cli/session_login.h), then handed to every request and job.
    ServiceSession session;

    IMessageSink& Messages() { return messages_; }
    std::ostream& Out();

    // Records a failure: one line on stderr and exit status 1. Returns the status for chaining.
    // What the command said before it failed goes to stderr first, so the reason reads last.
    int Fail(std::string_view reason);
    // Records a usage error: one line on stderr and exit status 2.
    int UsageError(std::string_view reason);
    // Ends the run: writes what is still held where the exit status says, and returns the status.
    int Finish();

    // The device folder from --device or TORVANE_DEVICE; fails (and returns nothing) when
    // neither names an existing folder.
    std::optional<std::string> RequireDevice();

  private:
    TerminalMessageSink messages_;
};

// Each subsystem adds its commands to the app, in this order; the callbacks set ctx.exitCode.
// A later group may add commands to a group made earlier (app.get_subcommand("children")).
void AddStoreCommands(CLI::App& app, CliContext& ctx);    // cipher, device, tables, diy show
void AddServiceCommands(CLI::App& app, CliContext& ctx);  // login, catalogue, children, updates
void AddDeliveryCommands(CLI::App& app, CliContext& ctx);
// device list, device eject
void AddVolumeCommands(CLI::App& app, CliContext& ctx);
void AddCareCommands(
    CLI::App& app, CliContext& ctx);  // device check [--repair]  // install, delete, game, diy, ...

}  // namespace torvane::cli
