#include "service/http_client.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "common/messages.h"
#include "common/text_codec.h"
#include "service/curl_transfer.h"

namespace torvane {
namespace {

using namespace curl;

constexpr int kAttempts = 3;
constexpr std::size_t kMaxCookieLength = 511;

struct TextExchange {
    StallWatch watch;
    AnswerHead head;
    bool wantCookie = false;
    std::size_t cap = 0;
    bool tooLarge = false;
    bool outOfMemory = false;
    std::uint64_t announced = 0;
    std::string body;

    bool Keep(const char* data, std::size_t size) {
        try {
            body.append(data, size);
            return true;
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
            announced = body.size() + size;
            return false;
        }
    }

    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
        auto* exchange = static_cast<TextExchange*>(self);
        const std::size_t bytes = size * count;
        exchange->watch.Touch();
        if (!exchange->head.Take(std::string_view(data, bytes))) return bytes;
        // The final answer's headers are complete: decide whether its body is worth reading.
        const AnswerHead& head = exchange->head;
        if (head.status != 200) return 0;
        if (exchange->wantCookie && !head.setCookie) return 0;
        if (head.contentLength && *head.contentLength > exchange->cap) {
            exchange->tooLarge = true;
            exchange->announced = *head.contentLength;
            return 0;
        }
        if (head.contentLength) {
            exchange->announced = *head.contentLength;
            try {
                exchange->body.reserve(static_cast<std::size_t>(*head.contentLength));
            } catch (const std::bad_alloc&) {
                exchange->outOfMemory = true;
                return 0;
            }
        }
        return bytes;
    }

    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self) {
        auto* exchange = static_cast<TextExchange*>(self);
        const std::size_t bytes = size * count;
        exchange->watch.Touch();
        if (exchange->head.status != 200) return 0;
        if (exchange->body.size() + bytes > exchange->cap) {
            exchange->tooLarge = true;
            exchange->announced = exchange->body.size() + bytes;
            return 0;
        }
        return exchange->Keep(data, bytes) ? bytes : 0;
    }
};

}  // namespace

bool FileByteOutput::Write(const char* data, std::size_t size) {
    return file_ && std::fwrite(data, 1, size, file_) == size;
}

std::optional<UrlParts> SplitUrl(std::string_view url) {
    while (!url.empty() && (url.front() == ' ' || url.front() == '\t')) url.remove_prefix(1);
    UrlParts parts;
    parts.scheme = "http";
    if (const std::size_t mark = url.find("://"); mark != std::string_view::npos) {
        parts.scheme.clear();
        for (char c : url.substr(0, mark))
            parts.scheme += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        url.remove_prefix(mark + 3);
    }
    parts.port = parts.scheme == "https" ? 443 : 80;
    const std::size_t hostEnd = std::min(url.find('/'), url.find('?'));
    std::string_view authority = url.substr(0, hostEnd);
    std::string_view rest = hostEnd == std::string_view::npos ? "" : url.substr(hostEnd);
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    std::size_t colon = authority.rfind(':');
    if (!authority.empty() && authority.front() == '[') {  // IPv6 literal
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        colon = authority.find(':', close);
    }
    if (colon != std::string_view::npos) {
        const std::string port(authority.substr(colon + 1));
        char* end = nullptr;
        const long number = std::strtol(port.c_str(), &end, 10);
        if (port.empty() || *end != '\0' || number <= 0 || number > 65535) return std::nullopt;
        parts.port = static_cast<int>(number);
        authority = authority.substr(0, colon);
    }
    if (authority.empty()) return std::nullopt;
    parts.host.assign(authority);
    parts.pathAndQuery = rest.empty() ? "/" : std::string(rest);
    if (parts.pathAndQuery.front() == '?') parts.pathAndQuery.insert(0, "/");
    return parts;
}

namespace {

bool IsKeptInAddress(unsigned char byte) {
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
           (byte >= 'a' && byte <= 'z') || byte == '@' || byte == '.' || byte == '/' ||
           byte == '\\' || byte == '-' || byte == '_' || byte == ':';
}

// A CP949 lead byte: the byte after it belongs to the same character, whatever its value.
bool IsCp949LeadByte(unsigned char byte) {
    return byte >= 0x81 && byte <= 0xfe;
}

}  // namespace

std::string UrlEncode(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string encoded;
    encoded.reserve(bytes.size() * 3);
    const auto escape = [&encoded](unsigned char byte) {
        encoded += '%';
        encoded += kHex[byte >> 4];
        encoded += kHex[byte & 0x0f];
    };
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (IsCp949LeadByte(byte)) {
            // Both bytes of a double-byte character are escaped: the second byte of many
            // syllables (똠 is 8C 63) is an ASCII letter, and a service or proxy that splits text
            // on character boundaries must see the whole character escaped.
            escape(byte);
            if (i + 1 < bytes.size()) escape(static_cast<unsigned char>(bytes[++i]));
        } else if (IsKeptInAddress(byte)) {
            encoded += static_cast<char>(byte);
        } else {
            escape(byte);
        }
    }
    return encoded;
}

std::string UrlEncodeText(std::string_view utf8) {
    return UrlEncode(Utf8ToCp949(utf8));
}

Status RequestText(std::string_view url, std::optional<std::string_view> body, std::string& cookie,
                   std::optional<std::string>& answer, const HttpLimits& limits) {
    answer.reset();
    const std::optional<UrlParts> parts = SplitUrl(url);
    if (!parts) {
        return Status::Failure(OutcomeKind::ServiceFailed,
                               HttpConnectFailed(static_cast<int>(CURLE_URL_MALFORMAT)));
    }
    const std::string fullUrl = FullUrl(*parts);
    const std::string noProxy = NoProxyList();
    const bool wantCookie = cookie.empty();
    const std::size_t length = body ? body->size() : 0;
    HeaderList headers =
        wantCookie ? MakeHeaders({"Content-Type: application/vnd.syncml+xml",
                                  "Content-Length: " + std::to_string(length), "Accept: */*"})
                   : MakeHeaders({"Content-Type: application/x-www-form-urlencoded",
                                  "Content-Length: " + std::to_string(length), "Accept: */*",
                                  "Cookie: " + cookie});

    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        EasyHandle handle = NewEasyHandle();
        if (!handle || !headers) {
            return Status::Failure(OutcomeKind::ServiceFailed,
                                   HttpOpenFailed(static_cast<int>(CURLE_OUT_OF_MEMORY)));
        }
        TextExchange exchange;
        exchange.watch.timeout = limits.receiveTimeout;
        exchange.wantCookie = wantCookie;
        exchange.cap = limits.maxAnswerBytes;
        CURL* easy = handle.get();
        SetCommonOptions(easy, fullUrl, limits, exchange.watch, noProxy);
        curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_0));
        curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());
        curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &TextExchange::OnHeader);
        curl_easy_setopt(easy, CURLOPT_HEADERDATA, &exchange);
        curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &TextExchange::OnBody);
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, &exchange);
        if (body) {
            curl_easy_setopt(easy, CURLOPT_POST, 1L);
            curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body->data());
            curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(length));
        }
        const CURLcode result = curl_easy_perform(easy);
        const AnswerHead& head = exchange.head;

        if (!head.complete) continue;  // nothing came back: the send failed, try again
        if (head.status == 400) continue;
        if (head.status != 200) {
            return Status::Failure(OutcomeKind::ServiceFailed, HttpStatusText(head.status));
        }
        if (wantCookie) {
            if (!head.setCookie) {
                return Status::Failure(OutcomeKind::ServiceFailed, std::string(kHttpNoCookie));
            }
            std::string value = head.setCookie->substr(0, head.setCookie->find(';'));
            if (value.size() > kMaxCookieLength) value.resize(kMaxCookieLength);
            cookie = std::move(value);
        }
        if (exchange.tooLarge) {
            return Status::Failure(OutcomeKind::ServiceFailed,
                                   HttpAnswerTooLarge(exchange.announced, limits.maxAnswerBytes));
        }
        if (exchange.outOfMemory) {
            return Status::Failure(OutcomeKind::ServiceFailed,
                                   HttpNoMemoryForAnswer(exchange.announced));
        }
        answer = std::move(exchange.body);
        if (result != CURLE_OK) {
            const CURLcode reason = exchange.watch.stalled ? CURLE_OPERATION_TIMEDOUT : result;
            return Status::Failure(OutcomeKind::ServiceFailed,
                                   HttpReadFailed(static_cast<int>(reason)));
        }
        return Status::Ok();
    }
    return Status::Failure(OutcomeKind::ServiceFailed, HttpAttemptsFailed(kAttempts));
}

}  // namespace torvane
