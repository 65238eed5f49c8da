// The local home page that the web view opens at start and on the home button: the template from
// the program's resources with the program's version filled in, written to "home.html" in the
// private temporary folder next to a copy of its background picture "HomeBG.jpg".
#pragma once

#include <string>
#include <string_view>

#include "torvane_version.h"

namespace torvane {

inline constexpr const char* kHomePageFileName = "home.html";
inline constexpr const char* kHomePictureFileName = "HomeBG.jpg";

// Every "{Version}" becomes "Version <version>"; every "{ServiceUrl}" (the notice frame's host)
// becomes the configured service address.
std::string FillHomeTemplate(std::string_view pageTemplate, std::string_view version,
                             std::string_view serviceUrl);

// Writes "home.html" into `folder` and copies "HomeBG.jpg" from `programFolder` unless a copy is
// already there. False when the page cannot be written (the picture's copy is best effort).
bool WriteHomePage(const std::string& folder, const std::string& programFolder,
                   std::string_view page);

// "file://" and the full path of "home.html".
std::string HomeAddress(const std::string& folder);

}  // namespace torvane
