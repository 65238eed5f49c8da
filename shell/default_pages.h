// The pages of the desktop app, and pages that show only their titles and answer the main window
// as a page without a card's data would (for windows whose tests do not look at the pages).
#pragma once

#include "shell/main_window.h"

namespace torvane {

PageFactory TitleOnlyPages();

// The pages the app shows: the content page on the window's card, session, messages and player;
// the update page, whose installs run in the download dialog; the child name page.
PageFactory DefaultPages(CTorvaneDlg& window);

}  // namespace torvane
