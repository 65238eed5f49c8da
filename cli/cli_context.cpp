#include "cli/cli_context.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <string>

#include "base/outcome_telling.h"
#include "base/removable_drives.h"
#include "common/messages.h"

namespace torvane::cli {

int ExitCodeFor(OutcomeKind kind) {
    switch (kind) {
        case OutcomeKind::Done:
            return kExitOk;
        case OutcomeKind::Failed:
            return kExitFailed;
        case OutcomeKind::Usage:
            return kExitUsage;
        case OutcomeKind::Cancelled:
        case OutcomeKind::Refused:
            return kExitCancelled;
        case OutcomeKind::NotSignedIn:
            return kExitNotSignedIn;
        case OutcomeKind::ServiceFailed:
            return kExitServiceFailed;
        case OutcomeKind::CardUnreadable:
            return kExitCardUnreadable;
        case OutcomeKind::CardFull:
            return kExitCardFull;
        case OutcomeKind::UnknownItem:
            return kExitUnknownItem;
    }
    return kExitFailed;
}

OutcomeKind KindOfExitCode(int exitCode) {
    for (const OutcomeKind kind :
         {OutcomeKind::Done, OutcomeKind::Usage, OutcomeKind::Cancelled, OutcomeKind::NotSignedIn,
          OutcomeKind::ServiceFailed, OutcomeKind::CardUnreadable, OutcomeKind::CardFull,
          OutcomeKind::UnknownItem}) {
        if (ExitCodeFor(kind) == exitCode) return kind;
    }
    return OutcomeKind::Failed;
}

void TerminalMessageSink::Show(MessageKind kind, std::string_view text) {
    std::lock_guard lock(mutex_);
    last_ = text;
    if (allToStderr_ || kind == MessageKind::Error || kind == MessageKind::Exclamation)
        std::cerr << text << '\n';
    else
        held_.emplace_back(text);
}

void TerminalMessageSink::Release(bool succeeded) {
    std::lock_guard lock(mutex_);
    std::ostream& stream = succeeded ? std::cout : std::cerr;
    for (const std::string& text : held_) stream << text << '\n';
    held_.clear();
}

std::string TerminalMessageSink::LastSentence() {
    std::lock_guard lock(mutex_);
    return last_;
}

bool TerminalMessageSink::Ask(MessageKind, std::string_view question) {
    if (!isatty(STDIN_FILENO)) {
        std::cerr << question << kCliAnsweredNo << "\n";
        return false;
    }
    std::cerr << question << " [y/N] " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;
    return answer == "y" || answer == "Y" || answer == "yes";
}

std::ostream& CliContext::Out() {
    return std::cout;
}

int CliContext::Fail(const Status& failure) {
    Fail(failure.kind(), failure.message());
    failureId_ = failure.id();
    return exitCode;
}

int CliContext::Fail(OutcomeKind kind, std::string_view reason) {
    messages_.Release(false);
    if (!reason.empty()) std::cerr << reason << '\n';
    failure_ = reason;
    failureId_ = reason.empty() ? MessageId::None : MessageId::Text;
    Failed(kind);
    return exitCode;
}

bool CliContext::Check(const Status& status) {
    if (status.ok()) return true;
    Fail(status);
    return false;
}

bool CliContext::Conclude(const Status& outcome) {
    if (outcome.ok()) {
        TellOutcome(messages_, outcome);
        return true;
    }
    for (const Message& note : outcome.notes())
        messages_.Show(IconOf(note.id, outcome.kind()), MessageText(note));
    if (outcome.id() == MessageId::None)
        Failed(outcome.kind());
    else
        Fail(outcome);
    return false;
}

void CliContext::Emit(const nlohmann::ordered_json& document) {
    // Service texts are UTF-8 already; a damaged byte must not end the command.
    if (options.json)
        Out() << document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
              << '\n';
}

int CliContext::Finish() {
    messages_.Release(exitCode == kExitOk);
    if (options.json && exitCode != kExitOk) {
        const std::string message = failure_.empty() ? messages_.LastSentence() : failure_;
        const OutcomeKind kind =
            ExitCodeFor(failureKind_) == exitCode ? failureKind_ : KindOfExitCode(exitCode);
        nlohmann::ordered_json error = {
            {"error", {{"kind", OutcomeKindKey(kind)}, {"message", message}}}};
        // The sentence's stable name when the catalogue has it, for scripts that act on the
        // reason rather than read it.
        if (!failure_.empty() && failureId_ != MessageId::None && failureId_ != MessageId::Text)
            error["error"]["id"] = MessageKey(failureId_);
        std::cerr << error.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                  << '\n';
    }
    return exitCode;
}

std::optional<std::string> CliContext::RequireDevice() {
    std::string device = options.device;
    if (device.empty())
        if (const char* env = std::getenv("TORVANE_DEVICE")) device = env;
    if (device.empty()) {
        // Like the desktop app: the first removable drive holding the device database.
        if (auto found = FindDeviceDrive(SystemDriveLister().RemovableDrives())) device = *found;
    }
    if (device.empty()) {
        Fail(OutcomeKind::CardUnreadable, kCliNoDevice);
        return std::nullopt;
    }
    std::error_code error;
    if (!std::filesystem::is_directory(device, error)) {
        Fail(OutcomeKind::CardUnreadable, CliDeviceFolderNotFound(device));
        return std::nullopt;
    }
    while (device.size() > 1 && device.back() == '/') device.pop_back();
    return device;
}

std::string HelpWithGlobalOptions::make_help(const CLI::App* app, std::string name,
                                             CLI::AppFormatMode mode) const {
    std::string help = CLI::Formatter::make_help(app, name, mode);
    const CLI::App* root = app;
    while (root->get_parent() != nullptr) root = root->get_parent();
    if (root == app) return help;
    std::vector<const CLI::Option*> globals;
    for (const CLI::Option* option : root->get_options())
        if (!option->get_lnames().empty() && option->get_lnames().front() != "help")
            globals.push_back(option);
    // Before the footer, which ends every help with the exit statuses.
    const std::string group = make_group("Global options", false, globals);
    const std::size_t footer =
        app->get_footer().empty() ? std::string::npos : help.rfind(app->get_footer());
    if (footer == std::string::npos) return help + group;
    return help.insert(footer, group + "\n");
}

}  // namespace torvane::cli
