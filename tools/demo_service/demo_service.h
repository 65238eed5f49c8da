// Torvane's local content service: a small HTTP server on 127.0.0.1 that answers every request of
// the desktop program and torvane-cli the way the vendor's content service does (sign-in page and
// form, content list, children, banners, system update list, files, packages, shop pages), from
// demo data kept in the source tree. Tests start it in-process; the demo runs it as the program
// torvane-demo-service.
//
//   DemoService service(DemoService::DefaultDataDir());
//   if (!service.Start(0)) { ... service.Error() ... }
//   std::string base = service.BaseUrl();   // "http://127.0.0.1:PORT"
//   ...
//   service.Stop();                         // also done by the destructor
//
// Accounts of the demo data: "demo" / "demo1234" (a catalogue with contents of every kind and
// three children) and "empty" / "empty1234" (nothing bought, no children).
//
// Sessions: every answer carries "Set-Cookie: TORVANESESSION=<token>; path=/"; a request that
// brings a known session cookie keeps it, any other request gets a new session. The sign-in page
// GET followed by the form POST signs a session in. The lists and the child commands, and the
// system update list, answer 403 unless their Cookie names a signed-in session whose user is the
// request's userID (and, for the two lists, whose password is the cookie parameter). Files,
// pictures, packages and shop pages are open to everyone, as players and browsers fetch them
// without the program's cookie.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tools/demo_service/fault_plan.h"

namespace torvane::demo {

struct DemoSettings {
    // A requested name voice is ready ("exist") this long after the request.
    int voiceDelayMs = 2000;
    // When > 0, the first account's catalogue gains content "E9000" with one file of this many
    // MiB (at most 2047), generated while it is sent.
    int bigFileMiB = 0;
    // When > 0, the system update list gains a package of this many MiB of sound files.
    int bigPackageMiB = 0;
    // When > 0, every name voice is sent as a sound of this many MiB while the children list
    // still gives its real size: a service that sends far more than it listed.
    int oversizeVoiceMiB = 0;
    // This many more children, without name voices, in every account's children list.
    int extraChildren = 0;
    // Off: lists and commands answer without a signed-in session (for tests of other parts that
    // do not sign in). Requests still need userID; the answer is that account's.
    bool checkCookie = true;
};

// One request as it reached the service, for tests that check what a client sent.
struct RecordedRequest {
    std::string method;
    std::string target;       // path and query exactly as received
    std::string cookie;       // the Cookie header, empty when none
    std::string contentType;  // the Content-Type header, empty when none
    std::string body;
};

class DemoService {
  public:
    static constexpr std::string_view kCookieName = "TORVANESESSION";

    // The demo data of the source tree.
    static std::filesystem::path DefaultDataDir();

    explicit DemoService(std::filesystem::path dataDir = DefaultDataDir(), FaultPlan faults = {},
                         DemoSettings settings = {});
    ~DemoService();
    DemoService(const DemoService&) = delete;
    DemoService& operator=(const DemoService&) = delete;

    // Reads the data, makes sounds, pictures and packages, and starts serving on 127.0.0.1:port
    // (0 picks a free port). False with Error() set when any of it fails. Start once per object.
    bool Start(int port = 0);
    // Stops serving and waits for the request threads; stalled and slow answers end at once.
    void Stop();

    int Port() const;
    std::string BaseUrl() const;  // "http://127.0.0.1:PORT"
    const std::string& Error() const;

    // "TORVANESESSION=<token>" of a session already signed in as `userId`, for tests that do not
    // go through the sign-in pages.
    std::string OpenSession(std::string_view userId);

    // Every request received so far, in arrival order.
    std::vector<RecordedRequest> Requests() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace torvane::demo
