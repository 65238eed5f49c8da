// The file download of the service client; see service/http_client.h.
#include <algorithm>
#include <thread>

#include "common/messages.h"
#include "service/curl_transfer.h"
#include "service/http_client.h"

namespace torvane {
namespace {

using namespace curl;

constexpr long kDownloadBufferSize = 32768;

struct DownloadExchange {
    StallWatch watch;
    AnswerHead head;
    IByteOutput* output = nullptr;
    IFileProgressEvent* progress = nullptr;
    DownloadControl* control = nullptr;
    bool addOne = false;
    std::chrono::milliseconds pausePoll{500};
    bool cancelled = false;
    bool outputFailed = false;
    std::optional<std::uint64_t> expected;
    std::optional<std::uint64_t> bound;
    std::uint64_t received = 0;
    bool tooLong = false;
    std::string chunk;

    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
        auto* exchange = static_cast<DownloadExchange*>(self);
        const std::size_t bytes = size * count;
        exchange->watch.Touch();
        if (exchange->head.Take(std::string_view(data, bytes)) && exchange->head.status != 200)
            return 0;
        return bytes;
    }

    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self) {
        auto* exchange = static_cast<DownloadExchange*>(self);
        const std::size_t bytes = size * count;
        exchange->watch.Touch();
        if (exchange->head.status != 200) return 0;
        exchange->received += bytes;
        // More than the catalogue said is not the file it listed; nothing more is stored.
        if ((exchange->expected && exchange->received > *exchange->expected) ||
            (exchange->bound && exchange->received > *exchange->bound)) {
            exchange->tooLong = true;
            return 0;
        }
        const char* bytesToWrite = data;
        if (exchange->addOne) {
            exchange->chunk.assign(data, bytes);
            for (char& byte : exchange->chunk)
                byte = static_cast<char>(static_cast<unsigned char>(byte) + 1);
            bytesToWrite = exchange->chunk.data();
        }
        if (!exchange->output->Write(bytesToWrite, bytes)) {
            exchange->outputFailed = true;
            return 0;
        }
        if (exchange->progress) exchange->progress->OnProgress(static_cast<std::int32_t>(bytes));
        if (DownloadControl* control = exchange->control) {
            // A cancel asked for during a pause ends the transfer too: the user is waiting.
            while (control->pause.load() && !control->cancel.load())
                std::this_thread::sleep_for(exchange->pausePoll);
            exchange->watch.Touch();
            if (control->cancel.load()) {
                exchange->cancelled = true;
                return 0;
            }
        }
        return bytes;
    }
};

}  // namespace

Status DownloadToFile(const ServiceSession& session, std::string_view url, IByteOutput& output,
                      IFileProgressEvent* progress, DownloadControl* control, bool addOne,
                      const HttpLimits& limits) {
    const auto failed = [url](std::string why) {
        return Status::Failure(OutcomeKind::ServiceFailed, std::string(url) + ": " + why);
    };
    // Files always come from the session's service, whatever host the address names.
    const std::optional<UrlParts> service = SplitUrl(session.baseUrl);
    if (!service) return failed("no service address");
    std::string path;
    if (const std::optional<UrlParts> target = SplitUrl(url)) {
        path = target->pathAndQuery;
    } else {
        std::string_view trimmed = url;
        while (!trimmed.empty() && trimmed.front() == ' ') trimmed.remove_prefix(1);
        if (trimmed.empty() || trimmed.front() != '/') return failed("no file address");
        path.assign(trimmed);
    }
    UrlParts source = *service;
    source.pathAndQuery = path;
    const std::string host = service->port == 80 || service->port == 443
                                 ? service->host
                                 : service->host + ":" + std::to_string(service->port);
    const std::string& cookie = session.cookie;
    // "Cookie;" is libcurl's way of sending the header with an empty value.
    HeaderList headers =
        MakeHeaders({"Content-Type: application/x-www-form-urlencoded", "Content-Length: 0",
                     "Accept: */*", "User-Agent: Torvane", "Connection: close", "Host: " + host,
                     cookie.empty() ? std::string("Cookie;") : "Cookie: " + cookie});
    EasyHandle handle = NewEasyHandle();
    if (!handle || !headers) return failed(HttpOpenFailed(static_cast<int>(CURLE_OUT_OF_MEMORY)));
    DownloadExchange exchange;
    exchange.watch.timeout = limits.receiveTimeout;
    exchange.output = &output;
    exchange.progress = progress;
    exchange.control = control;
    exchange.addOne = addOne;
    exchange.pausePoll = limits.pausePoll;
    exchange.expected = limits.expectedBytes;
    exchange.bound = limits.maxBytes;
    const std::string noProxy = NoProxyList();
    CURL* easy = handle.get();
    SetCommonOptions(easy, FullUrl(source), limits, exchange.watch, noProxy);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, kDownloadBufferSize);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &DownloadExchange::OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &exchange);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &DownloadExchange::OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &exchange);
    const CURLcode result = curl_easy_perform(easy);
    if (exchange.cancelled) return Status::Failure(OutcomeKind::Cancelled, "cancelled");
    if (result != CURLE_OK && !exchange.outputFailed && !exchange.tooLong)
        return failed(HttpReadFailed(static_cast<int>(result)));
    if (!exchange.head.complete || exchange.head.status != 200)
        return failed(HttpStatusText(exchange.head.status));
    if (exchange.outputFailed) return failed("the file could not be written");
    const bool sizeAsListed = !exchange.expected || exchange.received == *exchange.expected;
    if (exchange.tooLong || !sizeAsListed) return failed("not the size the service listed");
    return Status::Ok();
}

Status DownloadToFile(const ServiceSession& session, std::string_view url, std::FILE* file,
                      IFileProgressEvent* progress, DownloadControl* control, bool addOne,
                      const HttpLimits& limits) {
    FileByteOutput output(file);
    return DownloadToFile(session, url, output, progress, control, addOne, limits);
}
}  // namespace torvane
