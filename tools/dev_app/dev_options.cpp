#include "tools/dev_app/dev_options.h"

#include <string_view>

namespace torvane {

DevelopmentOptions TakeDevelopmentOptions(const std::vector<std::string>& arguments) {
    DevelopmentOptions options;
    constexpr std::string_view kScreenshotIs = "--screenshot=";
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--screenshot") {
            if (i + 1 == arguments.size()) {
                options.error = "--screenshot needs a value";
                break;
            }
            options.screenshotDir = arguments[++i];
        } else if (argument.starts_with(kScreenshotIs)) {
            options.screenshotDir = argument.substr(kScreenshotIs.size());
        } else if (argument == "--demo-account") {
            options.demoAccount = true;
        } else {
            if (argument == "--help" || argument == "-h") options.help = true;
            options.rest.push_back(argument);
        }
    }
    return options;
}

std::string DevelopmentHelpText() {
    return "\n"
           "Development build only:\n"
           "  --screenshot DIR      draw the windows into PNG files in DIR and end\n"
           "  --demo-account        fill in the local demo service's account at sign-in\n";
}

}  // namespace torvane
