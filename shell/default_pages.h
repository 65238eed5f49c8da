// The pages of the desktop app.
#pragma once

#include "shell/main_window.h"

namespace torvane {

// The pages the app shows: the content page on the window's card, session, messages and player;
// the update page, whose installs run in the download dialog; the child name page.
PageFactory DefaultPages(CTorvaneDlg& window);

}  // namespace torvane
