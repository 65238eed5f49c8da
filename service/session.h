// The signed-in session and the address of the content service. Each front end owns one: the
// desktop app's application object and torvane-cli's context build it once and hand it to every
// request; sign-in fills it and every later request reads it.
#pragma once

#include <string>
#include <string_view>

namespace torvane {

// The local content service of the project, used when nothing else is configured.
inline constexpr std::string_view kDefaultServiceUrl = "http://127.0.0.1:8080";

struct ServiceSession {
    std::string baseUrl{kDefaultServiceUrl};  // scheme, host and optional port; no trailing '/'
    std::string userId;                       // identifier as typed at sign-in (UTF-8)
    std::string password;  // password as typed at sign-in (UTF-8); the list requests carry it
    std::string cookie;    // "name=value" of the service's session cookie; empty: no session

    // Forgets the sign-in (the address stays).
    void Clear();
};

// The service address to use: the command line's when given, else TORVANE_SERVICE_URL, else the
// saved setting, else the local content service. Trailing slashes are dropped.
std::string ResolveServiceUrl(std::string_view commandLine, std::string_view setting);

}  // namespace torvane
