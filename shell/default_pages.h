// The pages the app shows until the content, update and child name pages are built: each shows
// its title and answers the main window as a page without a card's data would.
#pragma once

#include "shell/main_window.h"

namespace torvane {

PageFactory TitleOnlyPages();

}  // namespace torvane
