// The desktop app's start: switches, single instance, settings, sign-in and the main window.
#pragma once

namespace torvane {

int RunTorvane(int argc, char** argv);

}  // namespace torvane
