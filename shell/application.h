// The desktop app's start: switches, single instance, settings, sign-in and the main window.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace torvane {

class CLoginDlg;
class ISettings;
struct ServiceSession;

// What a development build of the app adds to the start (tools/dev_app); the shipping program
// leaves them empty.
struct StartHooks {
    // The app's own options when the command line holds more: Qt and its web engine still see
    // the whole command line, as they would see the shipping program's.
    std::optional<std::vector<std::string>> arguments;
    // Runs instead of the window, once the service's address is known; its result is the exit
    // status.
    std::function<int(const ServiceSession& session, ISettings& settings)> drawInstead;
    // Fills in the sign-in before it is shown.
    std::function<void(CLoginDlg& dialog)> prepareSignIn;
};

int RunTorvane(int argc, char** argv, const StartHooks& hooks = {});

}  // namespace torvane
