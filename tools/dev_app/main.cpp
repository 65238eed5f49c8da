// torvane-dev: the desktop app as a developer runs it, with the screenshots and the demo account
// the shipping program leaves out. Never installed.
#include <QLineEdit>
#include <QString>
#include <iostream>
#include <string>
#include <vector>

#include "base/command_line.h"
#include "service/login_dialog.h"
#include "shell/application.h"
#include "tools/dev_app/dev_options.h"
#include "tools/dev_app/screenshot.h"

int main(int argc, char** argv) {
    using namespace torvane;
    const DevelopmentOptions options =
        TakeDevelopmentOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.error.empty()) {
        std::cerr << options.error << '\n';
        return 2;
    }
    if (options.help) {
        std::cout << StartHelpText() << DevelopmentHelpText();
        return 0;
    }

    StartHooks hooks;
    if (options.demoAccount) {
        hooks.prepareSignIn = [](CLoginDlg& dialog) {
            dialog.IdEdit()->setText(kDemoUserId);
            dialog.PasswordEdit()->setText(kDemoPassword);
        };
    }
    if (!options.screenshotDir.empty()) {
        hooks.drawInstead = [&options, &hooks](const ServiceSession& session, ISettings& settings) {
            return TakeScreenshots(QString::fromStdString(options.screenshotDir), session, settings,
                                   hooks.prepareSignIn);
        };
    }
    hooks.arguments = options.rest;
    return RunTorvane(argc, argv, hooks);
}
