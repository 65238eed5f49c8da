// The pages the app shows until the update and child name pages are built: each shows its title
// and answers the main window as a page without a card's data would.
#pragma once

#include "shell/main_window.h"

namespace torvane {

PageFactory TitleOnlyPages();

// The pages the app shows: the content page on the window's card, session, messages and player;
// the update and child name pages as title pages until they are built.
PageFactory DefaultPages(CTorvaneDlg& window);

}  // namespace torvane
