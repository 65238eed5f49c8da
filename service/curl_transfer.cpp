#include "service/curl_transfer.h"

#include <cctype>
#include <cstdlib>
#include <mutex>

namespace torvane::curl {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    return true;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

}  // namespace

EasyHandle NewEasyHandle() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    return EasyHandle(curl_easy_init());
}

HeaderList MakeHeaders(std::initializer_list<std::string> lines) {
    curl_slist* list = nullptr;
    for (const std::string& line : lines) {
        curl_slist* grown = curl_slist_append(list, line.c_str());
        if (!grown) {
            curl_slist_free_all(list);
            return nullptr;
        }
        list = grown;
    }
    return HeaderList(list);
}

bool AnswerHead::Take(std::string_view line) {
    if (StartsWithNoCase(line, "HTTP/")) {
        *this = AnswerHead{};
        const std::size_t blank = line.find(' ');
        if (blank != std::string_view::npos)
            status = std::strtol(std::string(line.substr(blank + 1, 3)).c_str(), nullptr, 10);
        return false;
    }
    if (Trim(line).empty()) {
        if (status >= 100 && status < 200) return false;
        complete = true;
        return true;
    }
    if (StartsWithNoCase(line, "Set-Cookie:")) {
        if (!setCookie) setCookie = std::string(Trim(line.substr(11)));
    } else if (StartsWithNoCase(line, "Content-Length:")) {
        const std::string value(Trim(line.substr(15)));
        char* end = nullptr;
        const unsigned long long length = std::strtoull(value.c_str(), &end, 10);
        if (!value.empty() && end && *end == '\0') contentLength = length;
    }
    return false;
}

int StallWatch::OnXferInfo(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* watch = static_cast<StallWatch*>(self);
    if (std::chrono::steady_clock::now() - watch->last > watch->timeout) {
        watch->stalled = true;
        return 1;
    }
    return 0;
}

std::string NoProxyList() {
    std::string list = "127.0.0.1,localhost,::1";
    for (const char* name : {"no_proxy", "NO_PROXY"})
        if (const char* value = std::getenv(name); value && *value) return list + "," + value;
    return list;
}

void SetCommonOptions(CURL* handle, const std::string& url, const HttpLimits& limits,
                      StallWatch& watch, const std::string& noProxy) {
    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_USERAGENT, kAgent);
    curl_easy_setopt(handle, CURLOPT_NOPROXY, noProxy.c_str());
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(limits.connectTimeout.count()));
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, &StallWatch::OnXferInfo);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &watch);
    // Redirects are not followed: the service answers in place.
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
}

std::string FullUrl(const UrlParts& parts) {
    return parts.scheme + "://" + parts.host + ":" + std::to_string(parts.port) +
           parts.pathAndQuery;
}

}  // namespace torvane::curl
