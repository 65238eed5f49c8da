// torvane-demo-service: runs the local content service until interrupted.
//   torvane-demo-service --port 0 --data DIR [fault and size options]
// The first line of output names the address: "listening on 127.0.0.1:PORT".
#include <signal.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <iostream>

#include "tools/demo_service/demo_service.h"

int main(int argc, char** argv) {
    using namespace torvane::demo;
    CLI::App app{"Torvane's local content service, serving the demo data on 127.0.0.1"};
    int port = 8080;
    std::string dataDir = DemoService::DefaultDataDir().string();
    FaultPlan faults;
    DemoSettings settings;
    std::string bodyFault = "none";
    app.add_option("--port", port, "Port on 127.0.0.1; 0 picks a free one")
        ->check(CLI::Range(0, 65535));
    app.add_option("--data", dataDir, "Folder of the demo data")->check(CLI::ExistingDirectory);
    app.add_option("--fault-path", faults.pathPrefix,
                   "Faults touch only requests whose path starts with this");
    app.add_option("--fault-400", faults.badRequestFirst,
                   "Answer 400 to the first N touched requests")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--fault-status", faults.status, "Answer every touched request with 404 or 500")
        ->check(CLI::IsMember({0, 404, 500}));
    app.add_option("--fault-body", bodyFault,
                   "How bodies travel: none, stall, cutoff, no-length, chunked, slow")
        ->check(CLI::IsMember({"none", "stall", "cutoff", "no-length", "chunked", "slow"}));
    app.add_option("--slow-chunk", faults.slowChunkBytes, "Bytes per piece of a slow body")
        ->check(CLI::PositiveNumber);
    app.add_option("--slow-delay-ms", faults.slowDelayMs, "Pause after each piece of a slow body")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--stall-ms", faults.stallMs, "How long a stalled body holds the connection")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--voice-delay-ms", settings.voiceDelayMs,
                   "How long a requested name voice takes to be ready")
        ->check(CLI::NonNegativeNumber);
    app.add_option("--big-file-mib", settings.bigFileMiB,
                   "Add content E9000 with one file of N MiB to the demo catalogue")
        ->check(CLI::Range(0, 2047));
    app.add_option("--big-package-mib", settings.bigPackageMiB,
                   "Add a system package of N MiB to the update list")
        ->check(CLI::Range(0, 4096));
    app.add_option("--oversize-voice-mib", settings.oversizeVoiceMiB,
                   "Send every name voice as N MiB while listing its real size")
        ->check(CLI::Range(0, 4096));
    app.add_option("--extra-children", settings.extraChildren,
                   "List this many more children in every account")
        ->check(CLI::Range(0, 1000000));
    bool noCookieCheck = false;
    app.add_flag("--no-cookie-check", noCookieCheck,
                 "Answer lists and commands without a signed-in session");
    CLI11_PARSE(app, argc, argv);
    faults.body = *ParseBodyFault(bodyFault);
    settings.checkCookie = !noCookieCheck;

    // The request threads inherit this mask, so the signals reach sigwait below.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    DemoService service(dataDir, faults, settings);
    if (!service.Start(port)) {
        std::cerr << "torvane-demo-service: " << service.Error() << '\n';
        return 1;
    }
    std::cout << "listening on 127.0.0.1:" << service.Port() << std::endl;
    int received = 0;
    sigwait(&signals, &received);
    service.Stop();
    return 0;
}
