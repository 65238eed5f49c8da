#include "tools/demo_service/demo_service.h"

#include <httplib.h>
#include <stdlib.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "tools/demo_service/routes.h"

namespace torvane::demo {
namespace fs = std::filesystem;
namespace {

constexpr std::size_t kSendChunk = 64 * 1024;

// The value of one cookie in a Cookie header ("a=1; TORVANESESSION=abc").
std::string CookieValue(const std::string& header, std::string_view name) {
    std::size_t pos = 0;
    while (pos < header.size()) {
        std::size_t end = header.find(';', pos);
        if (end == std::string::npos) {
            end = header.size();
        }
        std::string_view part(header.data() + pos, end - pos);
        while (!part.empty() && part.front() == ' ') {
            part.remove_prefix(1);
        }
        if (part.size() > name.size() && part.substr(0, name.size()) == name &&
            part[name.size()] == '=') {
            return std::string(part.substr(name.size() + 1));
        }
        pos = end + 1;
    }
    return {};
}

}  // namespace

struct DemoService::Impl {
    Impl(fs::path dir, FaultPlan plan, DemoSettings s)
        : dataDir(std::move(dir)), faults(std::move(plan)), settings(s) {}

    void Dispatch(const httplib::Request& req, httplib::Response& res);
    bool FaultApplies(const std::string& path) const {
        return path.compare(0, faults.pathPrefix.size(), faults.pathPrefix) == 0;
    }
    void Send(httplib::Response& res, const Answer& answer, BodyFault fault);
    // Waits up to `ms`, ending early when the service stops. False when it stopped.
    bool Pause(int ms) const;

    fs::path dataDir;
    FaultPlan faults;
    DemoSettings settings;
    std::string error;
    DemoData data;
    std::unique_ptr<ServiceState> state;
    std::unique_ptr<ServiceRoutes> routes;
    fs::path workDir;
    httplib::Server server;
    std::thread listener;
    int port = 0;
    std::atomic<bool> stopping{false};
    std::atomic<int> faultCount{0};
    mutable std::mutex logMutex;
    std::vector<RecordedRequest> log;
};

fs::path DemoService::DefaultDataDir() {
    return TORVANE_DEMO_DATA_DIR;
}

DemoService::DemoService(fs::path dataDir, FaultPlan faults, DemoSettings settings)
    : impl_(std::make_unique<Impl>(std::move(dataDir), std::move(faults), settings)) {}

DemoService::~DemoService() {
    Stop();
}

bool DemoService::Start(int port) {
    Impl& s = *impl_;
    if (s.listener.joinable() || s.state) {
        s.error = "the service was already started";
        return false;
    }
    if (!LoadDemoData(s.dataDir, s.data, s.error)) {
        return false;
    }
    std::string pattern = (fs::temp_directory_path() / "torvane-demo-service-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        s.error = "cannot create a work folder in " + fs::temp_directory_path().string();
        return false;
    }
    s.workDir = pattern;
    s.state =
        std::make_unique<ServiceState>(s.data, std::chrono::milliseconds(s.settings.voiceDelayMs));
    s.routes = std::make_unique<ServiceRoutes>(s.data, *s.state, s.settings);
    if (!s.routes->Prepare(s.workDir, s.error)) {
        return false;
    }

    // Idle keep-alive connections would hold Stop for the whole keep-alive time.
    s.server.set_keep_alive_timeout(1);
    auto handler = [&s](const httplib::Request& req, httplib::Response& res) {
        s.Dispatch(req, res);
    };
    s.server.Get(".*", handler);
    s.server.Post(".*", handler);
    if (port == 0) {
        s.port = s.server.bind_to_any_port("127.0.0.1");
    } else if (s.server.bind_to_port("127.0.0.1", port)) {
        s.port = port;
    } else {
        s.port = -1;
    }
    if (s.port <= 0) {
        s.error = "cannot listen on 127.0.0.1:" + std::to_string(port);
        return false;
    }
    s.routes->SetBaseUrl(BaseUrl());
    s.listener = std::thread([&s] { s.server.listen_after_bind(); });
    // A stop that came before the listener ran would be lost, and Stop would wait forever.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!s.server.is_running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (!s.server.is_running()) {
        s.error = "the listener did not start";
        return false;
    }
    return true;
}

void DemoService::Stop() {
    Impl& s = *impl_;
    s.stopping = true;
    if (s.listener.joinable()) {
        s.server.stop();
        s.listener.join();
    }
    if (!s.workDir.empty()) {
        std::error_code ec;
        fs::remove_all(s.workDir, ec);
        s.workDir.clear();
    }
}

int DemoService::Port() const {
    return impl_->port;
}

std::string DemoService::BaseUrl() const {
    return "http://127.0.0.1:" + std::to_string(impl_->port);
}

const std::string& DemoService::Error() const {
    return impl_->error;
}

std::string DemoService::OpenSession(std::string_view userId) {
    if (!impl_->state) {
        return {};
    }
    return std::string(kCookieName) + "=" + impl_->state->OpenSignedInSession(std::string(userId));
}

std::vector<RecordedRequest> DemoService::Requests() const {
    std::lock_guard lock(impl_->logMutex);
    return impl_->log;
}

void DemoService::Impl::Dispatch(const httplib::Request& req, httplib::Response& res) {
    {
        std::lock_guard lock(logMutex);
        log.push_back({req.method, req.target, req.get_header_value("Cookie"),
                       req.get_header_value("Content-Type"), req.body});
    }
    RequestView view{req.method, req.path, req.params, {}};
    // Form posts are read whatever content type they claim.
    if (req.method == "POST" && !req.body.empty()) {
        httplib::Params form;
        httplib::detail::parse_query_text(req.body, form);
        view.params.insert(form.begin(), form.end());
    }
    view.session = CookieValue(req.get_header_value("Cookie"), kCookieName);
    if (view.session.empty() || !state->HasSession(view.session)) {
        view.session = state->NewSession();
    }
    res.set_header("Set-Cookie", std::string(kCookieName) + "=" + view.session + "; path=/");

    Answer answer;
    const bool faulty = FaultApplies(req.path);
    const int count = faulty ? ++faultCount : 0;
    if (faulty && count <= faults.badRequestFirst) {
        answer = {400, "text/plain", std::make_shared<StringBody>("Bad Request\n")};
    } else if (faulty && faults.status != 0) {
        answer = {faults.status, "text/plain",
                  std::make_shared<StringBody>(faults.status == 404 ? "Not Found\n"
                                                                    : "Server failure\n")};
    } else {
        answer = routes->Handle(view);
    }
    Send(res, answer, faulty && answer.status == 200 ? faults.body : BodyFault::None);
}

bool DemoService::Impl::Pause(int ms) const {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!stopping && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, 20)));
    }
    return !stopping;
}

void DemoService::Impl::Send(httplib::Response& res, const Answer& answer, BodyFault fault) {
    res.status = answer.status;
    const std::shared_ptr<const BodySource> body = answer.body;
    const std::uint64_t size = body ? body->Size() : 0;
    if (size == 0) {
        res.set_content("", answer.contentType);
        return;
    }
    // Writes the next piece of the body at `offset`, at most `limit` bytes.
    auto writeFrom = [body](std::size_t offset, std::size_t limit, httplib::DataSink& sink) {
        std::string buffer(std::min(limit, kSendChunk), '\0');
        const std::size_t n = body->Read(offset, buffer.data(), buffer.size());
        return n > 0 && sink.write(buffer.data(), n);
    };
    switch (fault) {
        case BodyFault::None:
            if (auto text = std::dynamic_pointer_cast<const StringBody>(body)) {
                res.set_content(text->text(), answer.contentType);
            } else {
                res.set_content_provider(
                    size, answer.contentType,
                    [writeFrom](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                        return writeFrom(offset, length, sink);
                    });
            }
            return;
        case BodyFault::NoContentLength:
        case BodyFault::NoContentLengthCut:
        case BodyFault::Chunked: {
            // Cut: the connection closes after half the body, which without a length looks
            // like the whole of it.
            const std::size_t end = fault == BodyFault::NoContentLengthCut ? size / 2 : size;
            auto provider = [writeFrom, end](std::size_t offset, httplib::DataSink& sink) {
                const std::size_t size = end;
                if (offset >= size) {
                    sink.done();
                    return true;
                }
                return writeFrom(offset, size - offset, sink);
            };
            if (fault == BodyFault::Chunked) {
                res.set_chunked_content_provider(answer.contentType, provider);
            } else {
                res.set_content_provider(answer.contentType, provider);
            }
            return;
        }
        case BodyFault::Stall:
        case BodyFault::CutOff: {
            const std::size_t half = size / 2;
            const bool stall = fault == BodyFault::Stall;
            res.set_content_provider(
                size, answer.contentType,
                [this, writeFrom, half, stall](std::size_t offset, std::size_t,
                                               httplib::DataSink& sink) {
                    if (offset < half) {
                        return writeFrom(offset, half - offset, sink);
                    }
                    if (stall) {
                        // Hold the connection without a byte until the client gives up, the
                        // stall time is over or the service stops.
                        const auto until = std::chrono::steady_clock::now() +
                                           std::chrono::milliseconds(faults.stallMs);
                        while (!stopping && sink.is_writable() &&
                               std::chrono::steady_clock::now() < until) {
                            std::this_thread::sleep_for(std::chrono::milliseconds(20));
                        }
                    }
                    return false;  // closes the connection short of the announced length
                });
            return;
        }
        case BodyFault::Slow:
            res.set_content_provider(
                size, answer.contentType,
                [this, writeFrom](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                    const auto piece = static_cast<std::size_t>(std::max(1, faults.slowChunkBytes));
                    return writeFrom(offset, std::min(length, piece), sink) &&
                           Pause(faults.slowDelayMs);
                });
            return;
    }
}

}  // namespace torvane::demo
