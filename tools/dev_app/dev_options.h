// The options only the development build of the desktop app knows: pictures of the windows for
// the manual and the look checks, and the local demo service's account filled in at sign-in. The
// shipping app refuses both; everything else goes on to the app's own start.
#pragma once

#include <string>
#include <vector>

namespace torvane {

// The local demo service's account (tools/demo_service).
inline constexpr const char* kDemoUserId = "demo";
inline constexpr const char* kDemoPassword = "demo1234";

struct DevelopmentOptions {
    std::string screenshotDir;      // --screenshot DIR: render the windows to PNG files and end
    bool demoAccount = false;       // --demo-account: the demo account filled in at sign-in
    bool help = false;              // --help or -h: the app's options and these
    std::vector<std::string> rest;  // every other argument, in order, for the app's start
    std::string error;              // a usage error; the program says it and ends
};

DevelopmentOptions TakeDevelopmentOptions(const std::vector<std::string>& arguments);

// The lines `--help` adds under the app's own options.
std::string DevelopmentHelpText();

}  // namespace torvane
