#include "cli/cli_context.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "base/messages.h"
#include "base/removable_drives.h"

namespace torvane::cli {

void TerminalMessageSink::Show(MessageKind kind, std::string_view text) {
    std::ostream& stream = kind == MessageKind::Error ? std::cerr : std::cout;
    stream << text << '\n';
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
    std::cerr << reason << '\n';
    exitCode = kExitFailed;
    return exitCode;
}

int CliContext::UsageError(std::string_view reason) {
    std::cerr << reason << '\n';
    exitCode = kExitUsage;
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
