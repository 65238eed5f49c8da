// `torvane-dev --screenshot DIR`: renders the sign-in window, the main window (home page shown,
// first menu category open), the content page on a demo card, the download dialog, the child name
// page (the add window open) and the update page under its tabs to PNG files, so the look can be
// checked without a display.
#pragma once

#include <QPalette>
#include <QString>
#include <functional>

#include "base/settings.h"
#include "service/session.h"

namespace torvane {

class CLoginDlg;

// Writes DIR/login.png, DIR/main.png, DIR/content-<tab>.png for the eight kind tabs on a demo
// card, DIR/download.png, DIR/children.png, DIR/update.png and DIR/update-reset.png, and under a
// dark desktop theme DIR/login-dark.png, DIR/update-reset-dark.png and DIR/help-dark.png; returns
// the process's exit status.
// The sign-in, when the boxes are filled (by `prepareSignIn`, when given), goes to `session`'s
// service.
int TakeScreenshots(const QString& folder, const ServiceSession& session, ISettings& settings,
                    const std::function<void(CLoginDlg&)>& prepareSignIn);

// The palette a dark desktop theme gives the application (light text on dark grey).
QPalette DarkDesktopPalette();

}  // namespace torvane
