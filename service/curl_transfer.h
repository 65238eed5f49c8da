// What the text request and the file download share on top of libcurl: handles that clean up
// after themselves, the header block, the reading of the answer's status line and headers, and
// the watch that fails a transfer gone silent.
#pragma once

#include <curl/curl.h>

#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "service/http_client.h"

namespace torvane::curl {

inline constexpr const char* kAgent = "Torvane";

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;
using HeaderList = std::unique_ptr<curl_slist, SlistDeleter>;

// A new easy handle; libcurl's global state is set up on first use.
EasyHandle NewEasyHandle();

// The header lines as libcurl takes them; null when memory ran out.
HeaderList MakeHeaders(std::initializer_list<std::string> lines);

// What the headers of the final answer said. Interim answers (100 Continue) are forgotten.
struct AnswerHead {
    long status = 0;
    bool complete = false;  // the blank line after the final answer's headers arrived
    std::optional<std::string> setCookie;  // the first Set-Cookie, whole
    std::optional<std::uint64_t> contentLength;

    // Takes one header line; returns true at the end of a final answer's headers.
    bool Take(std::string_view line);
};

// Fails a transfer that has received nothing for the receive time-out. Pauses asked for by the
// user do not count: the pausing code touches the watch when it resumes.
struct StallWatch {
    std::chrono::milliseconds timeout{30000};
    std::chrono::steady_clock::time_point last = std::chrono::steady_clock::now();
    bool stalled = false;

    void Touch() { last = std::chrono::steady_clock::now(); }
    static int OnXferInfo(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t);
};

// Options every exchange shares: address, agent, time-outs, the stall watch, no proxy for
// loopback, no redirects. `noProxy` must outlive the transfer.
void SetCommonOptions(CURL* handle, const std::string& url, const HttpLimits& limits,
                      StallWatch& watch, const std::string& noProxy);

// Hosts that never go through a proxy: loopback and the user's own no_proxy list.
std::string NoProxyList();

// "scheme://host:port/path?query".
std::string FullUrl(const UrlParts& parts);

}  // namespace torvane::curl
