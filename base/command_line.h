// The desktop app's command line: the server switches a desktop integration passes, and the
// options for the service address, screenshots and the demo account.
#pragma once

#include <string>
#include <vector>

namespace torvane {

enum class StartAction {
    Run,         // the normal start
    Register,    // install the desktop entry, then end
    Unregister,  // remove the desktop entry, then end
    ExitQuietly  // started embedded or as an automation server: end at once, show nothing
};

struct StartOptions {
    StartAction action = StartAction::Run;
    std::string serviceUrl;     // --service URL
    std::string screenshotDir;  // --screenshot DIR: render the windows to PNG files and end
    bool demoAccount = false;   // --demo-account: the demo account pre-filled at sign-in
    std::string error;          // a usage error; the app says it and ends
};

// Switches are recognised with "/", "-" or "--" in front and in any case: RegServer, Register,
// UnregServer, Unregister, Embedding, Automation.
StartOptions ParseStartOptions(const std::vector<std::string>& arguments);

// The demo service's account.
inline constexpr const char* kDemoUserId = "demo";
inline constexpr const char* kDemoPassword = "demo1234";

// The user's desktop entry "Torvane.desktop" in `applicationsFolder`, starting `executable`.
bool InstallDesktopEntry(const std::string& applicationsFolder, const std::string& executable);
bool RemoveDesktopEntry(const std::string& applicationsFolder);
// $XDG_DATA_HOME/applications, else ~/.local/share/applications.
std::string UserApplicationsFolder();

}  // namespace torvane
