// The service's banner list, shown on the sign-in window.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "service/http_client.h"
#include "service/list_fetch.h"
#include "service/session.h"

namespace torvane {

struct BannerInfo {
    std::string fileUrl;  // the banner picture
    std::string linkUrl;  // where the banner leads (kept, not used)
};

using BannerList = ServiceList<BannerInfo>;

// Reads a bannerList answer.
BannerList ReadBannerList(std::string_view answer);

// Fetches the list from the session's service. The banners are shown before sign-in: a session
// without a cookie keeps the one this request opens, and the banner picture is fetched with it.
BannerList FetchBanners(ServiceSession& session, const HttpLimits& limits = HttpLimits{});

// The banner's local file name: the text after the address's last '/'; empty without a '/'.
std::string BannerFileName(std::string_view fileUrl);

}  // namespace torvane
