#include "base/command_line.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "desktop_entry_template.h"

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

// "-x" and "--x" are options; "/..." that names none of the switches is a path.
bool IsOption(const std::string& argument) {
    return argument.size() > 1 && argument[0] == '-';
}

// The program in an Exec line: a bare name stays as it is; a path (a build folder may hold spaces
// or "$") is quoted, with the quoting's and the desktop file's own escapes, and "%" doubled so the
// launcher takes it literally.
std::string ExecArgument(const std::string& executable) {
    const bool plain = std::all_of(executable.begin(), executable.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '/';
    });
    if (plain && executable.find('/') == std::string::npos) return executable;
    // Inside quotes '"', '`', '$' and '\\' take a backslash; the file's string escapes then
    // double every backslash.
    std::string quoted = "\"";
    for (const char c : executable) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += "\\\\";
        if (c == '\\') quoted += "\\";
        quoted += c == '%' ? std::string("%%") : std::string(1, c);
    }
    return quoted + '"';
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
        } else if (argument == "--version") {
            options.action = StartAction::PrintVersion;
        } else if (argument == "--help" || argument == "-h") {
            options.action = StartAction::PrintHelp;
        } else if (const std::string name = SwitchName(argument);
                   name == "regserver" || name == "register") {
            options.action = StartAction::Register;
        } else if (name == "unregserver" || name == "unregister") {
            options.action = StartAction::Unregister;
        } else if (name == "embedding" || name == "automation") {
            options.action = StartAction::ExitQuietly;
        } else if (IsOption(argument)) {
            options.error = "unknown option: " + argument;
        } else if (!options.backupFile.empty()) {
            options.error = "only one backup file can be opened: " + argument;
        } else {
            options.backupFile = argument;
        }
        if (!options.error.empty()) break;
    }
    return options;
}

std::string StartHelpText() {
    return "Usage: torvane [OPTION...] [BACKUP-FILE]\n"
           "The desktop companion of a children's RFID sound player: signs in to the content\n"
           "service and installs the bought contents onto the player's memory card.\n"
           "\n"
           "  BACKUP-FILE           a card backup (*.tvbackup) to offer for restore\n"
           "  --service URL         the content service's address for this start\n"
           "  --register            add Torvane to the user's menu (a build not installed)\n"
           "  --unregister          take that menu entry away again\n"
           "  --version             print the program's version and end\n"
           "  -h, --help            print this help and end\n"
           "\n"
           "Environment: TORVANE_SERVICE_URL (the service's address), TORVANE_DRIVES\n"
           "(\":\"-separated folders shown as cards). In the window F1 opens the help.\n"
           "See torvane(1) and torvane-cli(1).\n";
}

std::string UserApplicationsFolder() {
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data != '\0')
        return std::string(data) + "/applications";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : ".") + "/.local/share/applications";
}

std::string DesktopEntryText(const std::string& executable) {
    std::string text(kDesktopEntryTemplate);
    const std::string marker = "@TORVANE_DESKTOP_EXEC@";
    if (const size_t at = text.find(marker); at != std::string::npos)
        text.replace(at, marker.size(), ExecArgument(executable));
    return text;
}

bool InstallDesktopEntry(const std::string& applicationsFolder, const std::string& executable) {
    std::error_code error;
    std::filesystem::create_directories(applicationsFolder, error);
    std::ofstream out(std::filesystem::path(applicationsFolder) / kDesktopEntryFileName,
                      std::ios::trunc);
    if (!out.is_open()) return false;
    out << DesktopEntryText(executable);
    return static_cast<bool>(out);
}

bool RemoveDesktopEntry(const std::string& applicationsFolder) {
    std::error_code error;
    std::filesystem::remove(std::filesystem::path(applicationsFolder) / kDesktopEntryFileName,
                            error);
    return !error;
}

}  // namespace torvane
