// HTTP access to the content service: one text request and one file download, each a blocking
// call that opens and closes its own connection. Both send the session cookie; the text request
// also captures it when the session has none yet.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "common/status.h"
#include "service/session.h"

namespace torvane {

// Progress of a file download: told the size of every chunk just written.
class IFileProgressEvent {
  public:
    virtual ~IFileProgressEvent() = default;
    virtual void OnProgress(std::int32_t count) = 0;
};

// Set by the user interface thread, polled by the downloading thread after every chunk.
struct DownloadControl {
    std::atomic<bool> cancel{false};
    std::atomic<bool> pause{false};
};

// Where a download's bytes go. Write returns false when the bytes could not be stored (disk full),
// which fails the download.
class IByteOutput {
  public:
    virtual ~IByteOutput() = default;
    virtual bool Write(const char* data, std::size_t size) = 0;
};

// Writes into a file the caller has opened for binary writing (and closes).
class FileByteOutput final : public IByteOutput {
  public:
    explicit FileByteOutput(std::FILE* file) : file_(file) {}
    bool Write(const char* data, std::size_t size) override;

  private:
    std::FILE* file_;
};

// Bounds of one exchange. The defaults are the program's; tests shorten them.
struct HttpLimits {
    // A transfer that receives nothing for this long fails (the service's answers and files).
    std::chrono::milliseconds receiveTimeout{30000};
    // Time allowed to reach the service's host.
    std::chrono::milliseconds connectTimeout{15000};
    // Largest answer kept in memory; a larger one fails before anything is allocated for it.
    std::size_t maxAnswerBytes = std::size_t{64} * 1024 * 1024;
    // Sleep between looks at the pause flag.
    std::chrono::milliseconds pausePoll{500};
    // A file download's size as the catalogue gives it: a body that comes short of it (a cut
    // without Content-Length looks like a whole file) or runs past it fails the download.
    std::optional<std::uint64_t> expectedBytes;
    // A file download's upper bound when its size is not listed: a body running past it fails.
    std::optional<std::uint64_t> maxBytes;
};

// Sends one request to `url` (scheme, host, optional port, path and query): a POST with `body`
// when given, else a GET. `cookie` is the session's cookie: sent when set, captured from the
// answer's first Set-Cookie (up to its first ';') when empty. On status 200 `answer` holds the
// body (also when reading it broke off: then the request failed). Succeeds when the whole body was
// read; otherwise fails with a one-line English reason.
Status RequestText(std::string_view url, std::optional<std::string_view> body, std::string& cookie,
                   std::optional<std::string>& answer, const HttpLimits& limits = HttpLimits{});

// Fetches the path and query of `url` from the session's service (its host and port) into
// `output`, with the session's cookie. With `addOne` every byte is stored increased by one (mod
// 256), the way the device keeps its sound files. Succeeds when the whole resource arrived; fails
// as cancelled when the control's cancel flag stopped it, and as the service failing when the
// service could not be reached, the status was not 200, the transfer broke off, stalled or came
// short of its announced length, or the output refused bytes.
Status DownloadToFile(const ServiceSession& session, std::string_view url, IByteOutput& output,
                      IFileProgressEvent* progress, DownloadControl* control, bool addOne,
                      const HttpLimits& limits = HttpLimits{});
Status DownloadToFile(const ServiceSession& session, std::string_view url, std::FILE* file,
                      IFileProgressEvent* progress, DownloadControl* control, bool addOne,
                      const HttpLimits& limits = HttpLimits{});

// Percent-encodes every byte except 0-9, A-Z, a-z and @ . / \ - _ : as "%xx" (lower-case hex).
// Walks the text as CP949 characters: both bytes of a double-byte character are escaped, even a
// second byte that is an ASCII letter. Give it CP949 bytes: the service decodes query values in
// its own code page.
std::string UrlEncode(std::string_view bytes);

// UTF-8 text as the service wants it in a query or form: converted to CP949, then encoded.
std::string UrlEncodeText(std::string_view utf8);

// The parts of a service address: "http://host:port/path?query". Leading blanks are skipped; the
// port is 80 when absent. Nothing when there is no host.
struct UrlParts {
    std::string scheme;
    std::string host;
    int port = 80;
    std::string pathAndQuery;  // "/" when the address has no path
};
std::optional<UrlParts> SplitUrl(std::string_view url);

}  // namespace torvane
