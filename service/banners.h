// The service's banner list, shown on the sign-in window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "service/http_client.h"
#include "service/session.h"

namespace torvane {

struct BannerInfo {
    std::string fileUrl;  // the banner picture
    std::string linkUrl;  // where the banner leads (kept, not used)
};

struct BannerList {
    std::vector<BannerInfo> entries;  // in the answer's order
    std::string errorText;            // empty after a good fetch
};

// Reads a bannerList answer into the list (appending). False with the parser's message.
bool ReadBannerList(std::string_view answer, BannerList& list);

// Clears the list and fetches it from the service. False with the reason in errorText.
bool FetchBanners(BannerList& list, ServiceSession& session = Session(),
                  const HttpLimits& limits = HttpLimits{});

// The banner's local file name: the text after the address's last '/'; empty without a '/'.
std::string BannerFileName(std::string_view fileUrl);

}  // namespace torvane
