#include "base/command_line.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace torvane {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// "RegServer" of "/RegServer", "-regserver" or "--RegServer"; empty for anything else.
std::string SwitchName(const std::string& argument) {
    size_t start = 0;
    if (argument.rfind("--", 0) == 0)
        start = 2;
    else if (!argument.empty() && (argument[0] == '/' || argument[0] == '-'))
        start = 1;
    else
        return {};
    return Lower(argument.substr(start));
}

}  // namespace

StartOptions ParseStartOptions(const std::vector<std::string>& arguments) {
    StartOptions options;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto value = [&](const char* option) -> std::string {
            if (i + 1 < arguments.size()) return arguments[++i];
            options.error = std::string(option) + " needs a value";
            return {};
        };
        if (argument == "--service") {
            options.serviceUrl = value("--service");
        } else if (argument.rfind("--service=", 0) == 0) {
            options.serviceUrl = argument.substr(10);
        } else if (argument == "--screenshot") {
            options.screenshotDir = value("--screenshot");
        } else if (argument.rfind("--screenshot=", 0) == 0) {
            options.screenshotDir = argument.substr(13);
        } else if (argument == "--demo-account") {
            options.demoAccount = true;
        } else {
            const std::string name = SwitchName(argument);
            if (name == "regserver" || name == "register")
                options.action = StartAction::Register;
            else if (name == "unregserver" || name == "unregister")
                options.action = StartAction::Unregister;
            else if (name == "embedding" || name == "automation")
                options.action = StartAction::ExitQuietly;
            else
                options.error = "unknown option: " + argument;
        }
        if (!options.error.empty()) break;
    }
    return options;
}

std::string UserApplicationsFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data != '\0')
        return std::string(data) + "/applications";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : ".") + "/.local/share/applications";
}

bool InstallDesktopEntry(const std::string& applicationsFolder, const std::string& executable) {
    std::error_code error;
    std::filesystem::create_directories(applicationsFolder, error);
    std::ofstream out(std::filesystem::path(applicationsFolder) / "Torvane.desktop",
                      std::ios::trunc);
    if (!out.is_open()) return false;
    out << "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Torvane\n"
           "Comment=소리 플레이어의 컨텐츠를 관리합니다\n"
           "Exec=\""
        << executable
        << "\"\n"
           "Terminal=false\n"
           "Categories=AudioVideo;Education;\n";
    return static_cast<bool>(out);
}

bool RemoveDesktopEntry(const std::string& applicationsFolder) {
    std::error_code error;
    std::filesystem::remove(std::filesystem::path(applicationsFolder) / "Torvane.desktop", error);
    return !error;
}

}  // namespace torvane
