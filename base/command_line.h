// The desktop app's command line: the server switches a desktop integration passes, the option
// for the service address, and the backup file a file manager hands over when the parent opens
// one.
#pragma once

#include <string>
#include <vector>

namespace torvane {

enum class StartAction {
    Run,           // the normal start
    Register,      // install the desktop entry, then end
    Unregister,    // remove the desktop entry, then end
    ExitQuietly,   // started embedded or as an automation server: end at once, show nothing
    PrintVersion,  // --version: print the program's version, then end
    PrintHelp      // --help: print the options, then end
};

struct StartOptions {
    StartAction action = StartAction::Run;
    std::string serviceUrl;  // --service URL
    // A card backup (*.tvbackup) opened from the file manager; the card care page offers to
    // restore it onto the player's card once the parent has signed in.
    std::string backupFile;
    std::string error;  // a usage error; the app says it and ends
};

// Switches are recognised with "/", "-" or "--" in front and in any case: RegServer, Register,
// UnregServer, Unregister, Embedding, Automation. Any other argument that is not an option is the
// backup file; an absolute path ("/home/...") is a file, not a switch. Only one file is taken.
StartOptions ParseStartOptions(const std::vector<std::string>& arguments);

// What `torvane --help` prints.
std::string StartHelpText();

// The desktop entry's file name; the same as the installed one, so a registered build takes the
// installed program's place in the menu instead of showing a second Torvane.
inline constexpr const char* kDesktopEntryFileName = "io.torvane.Torvane.desktop";
// The icon the entry names, as a file of the hicolor theme.
inline constexpr const char* kDesktopIconFileName = "io.torvane.Torvane.svg";

// The desktop entry that starts `executable` (a file name looked up in PATH, or a full path).
std::string DesktopEntryText(const std::string& executable);
// The user's desktop entry in `applicationsFolder`, starting `executable`.
bool InstallDesktopEntry(const std::string& applicationsFolder, const std::string& executable);
bool RemoveDesktopEntry(const std::string& applicationsFolder);
// $XDG_DATA_HOME/applications, else ~/.local/share/applications.
std::string UserApplicationsFolder();

}  // namespace torvane
