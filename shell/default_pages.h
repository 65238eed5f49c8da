// The pages of the desktop app, and pages that show only their titles and answer the main window
// as a page without a card's data would (for windows whose tests do not look at the pages).
#pragma once

#include "shell/main_window.h"

namespace torvane {

PageFactory TitleOnlyPages();

// The pages of the app: the update page and the child name page, with the content page still
// showing its title. The update page runs its installs through a BackgroundJobRunner; the
// download dialog's runner takes its place here.
PageFactory DefaultPages(IMessageSink& messages);

}  // namespace torvane
