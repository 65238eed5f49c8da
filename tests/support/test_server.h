// The one low-level HTTP double: a server inside the test process, on a free loopback port. It
// records every request it receives and answers through handlers the test gives per path; it can
// also answer a status for the first requests, the way an overloaded service does.
#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace torvane::test {

struct RecordedRequest {
    std::string method;
    std::string target;  // path and query as sent
    std::string path;
    std::string version;
    std::string body;
    httplib::Headers headers;

    std::string Header(const std::string& name) const;
    bool HasHeader(const std::string& name) const { return headers.count(name) != 0; }
    std::string Param(const std::string& name) const;
};

class TestServer {
  public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    TestServer();
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }
    int Port() const { return port_; }

    // Answers requests for `path` (any verb).
    void On(const std::string& path, Handler handler);
    // Answers `path` with a 200 text body and, when given, a Set-Cookie header.
    void OnText(const std::string& path, std::string body, std::string setCookie = "SID=abc");
    // Answers the given statuses, one per request, before the handlers take over.
    void AnswerStatuses(std::vector<int> statuses);

    std::vector<RecordedRequest> Requests() const;
    RecordedRequest LastRequest() const;

    // Sleeps up to `duration`, ending early when the server stops: a stalled answer that does
    // not hold the test up at its end.
    bool Stall(std::chrono::milliseconds duration);

  private:
    void Handle(const httplib::Request& request, httplib::Response& response);

    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    std::map<std::string, Handler> handlers_;
    std::vector<int> statuses_;
    std::vector<RecordedRequest> requests_;
};

}  // namespace torvane::test
