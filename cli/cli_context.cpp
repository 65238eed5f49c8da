#include "cli/cli_context.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <string>

#include "base/messages.h"
#include "base/removable_drives.h"

namespace torvane::cli {

void TerminalMessageSink::Show(MessageKind kind, std::string_view text) {
    std::lock_guard lock(mutex_);
    if (kind == MessageKind::Error || kind == MessageKind::Exclamation)
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

int CliContext::Fail(std::string_view reason) {
    messages_.Release(false);
    std::cerr << reason << '\n';
    exitCode = kExitFailed;
    return exitCode;
}

int CliContext::UsageError(std::string_view reason) {
    messages_.Release(false);
    std::cerr << reason << '\n';
    exitCode = kExitUsage;
    return exitCode;
}

int CliContext::Finish() {
    messages_.Release(exitCode == kExitOk);
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
        Fail(kCliNoDevice);
        return std::nullopt;
    }
    std::error_code error;
    if (!std::filesystem::is_directory(device, error)) {
        Fail(CliDeviceFolderNotFound(device));
        return std::nullopt;
    }
    while (device.size() > 1 && device.back() == '/') device.pop_back();
    return device;
}

}  // namespace torvane::cli
