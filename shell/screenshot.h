// `torvane --screenshot DIR`: renders the sign-in window and the main window (home page shown,
// first menu category open) to PNG files, so the look can be checked without a display.
#pragma once

#include <QString>

#include "base/command_line.h"
#include "base/settings.h"
#include "service/session.h"

namespace torvane {

// Writes DIR/login.png, DIR/main.png, DIR/content-<tab>.png for the eight kind tabs on a demo
// card, and DIR/download.png; returns the process's exit status.
// The sign-in, when the boxes are filled, goes to `session`'s service.
int TakeScreenshots(const QString& folder, const ServiceSession& session, ISettings& settings,
                    const StartOptions& options);

}  // namespace torvane
