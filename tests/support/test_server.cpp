#include "tests/support/test_server.h"

#include <stdexcept>

namespace torvane::test {

std::string RecordedRequest::Header(const std::string& name) const {
    const auto found = headers.find(name);
    return found == headers.end() ? std::string() : found->second;
}

std::string RecordedRequest::Param(const std::string& name) const {
    httplib::Params params;
    const std::size_t mark = target.find('?');
    if (mark != std::string::npos)
        httplib::detail::parse_query_text(target.substr(mark + 1), params);
    const auto found = params.find(name);
    return found == params.end() ? std::string() : found->second;
}

TestServer::TestServer() {
    auto handle = [this](const httplib::Request& request, httplib::Response& response) {
        Handle(request, response);
    };
    server_.Get(".*", handle);
    server_.Post(".*", handle);
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) throw std::runtime_error("test server could not bind");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TestServer::~TestServer() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
    server_.stop();
    thread_.join();
}

void TestServer::On(const std::string& path, Handler handler) {
    std::lock_guard lock(mutex_);
    handlers_[path] = std::move(handler);
}

void TestServer::OnText(const std::string& path, std::string body, std::string setCookie) {
    On(path, [body = std::move(body), setCookie = std::move(setCookie)](
                 const httplib::Request&, httplib::Response& response) {
        if (!setCookie.empty()) response.set_header("Set-Cookie", setCookie + "; path=/");
        response.set_content(body, "text/xml");
    });
}

void TestServer::AnswerStatuses(std::vector<int> statuses) {
    std::lock_guard lock(mutex_);
    statuses_ = std::move(statuses);
}

std::vector<RecordedRequest> TestServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

RecordedRequest TestServer::LastRequest() const {
    std::lock_guard lock(mutex_);
    return requests_.empty() ? RecordedRequest{} : requests_.back();
}

bool TestServer::Stall(std::chrono::milliseconds duration) {
    std::unique_lock lock(mutex_);
    return !stopped_.wait_for(lock, duration, [this] { return stopping_; });
}

void TestServer::Handle(const httplib::Request& request, httplib::Response& response) {
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(RecordedRequest{request.method, request.target, request.path,
                                            request.version, request.body, request.headers});
        if (!statuses_.empty()) {
            response.status = statuses_.front();
            statuses_.erase(statuses_.begin());
            response.set_header("Set-Cookie", "SID=status");
            response.set_content("status", "text/plain");
            return;
        }
        const auto found = handlers_.find(request.path);
        if (found != handlers_.end()) handler = found->second;
    }
    if (!handler) {
        response.status = 404;
        return;
    }
    handler(request, response);
}

}  // namespace torvane::test
