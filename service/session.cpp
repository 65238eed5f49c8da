#include "service/session.h"

#include <cstdlib>

namespace torvane {

void ServiceSession::Clear() {
    userId.clear();
    password.clear();
    cookie.clear();
}

std::string ResolveServiceUrl(std::string_view commandLine, std::string_view setting) {
    std::string url;
    if (!commandLine.empty()) {
        url = commandLine;
    } else if (const char* env = std::getenv("TORVANE_SERVICE_URL"); env && *env) {
        url = env;
    } else if (!setting.empty()) {
        url = setting;
    } else {
        url = kDefaultServiceUrl;
    }
    while (url.size() > 1 && url.back() == '/') url.pop_back();
    return url;
}

}  // namespace torvane
